// The error box's logic: cut-off, formatting, suppression and the fatal form.
#include "diagnostics/error_report.h"

#include "support/recording_ui.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvo {
namespace {

using testing_support::RecordingUi;

TEST(ErrorReport, MessagesAreCutTo199Characters) {
    RecordingUi boxes;
    ErrorReport report(boxes);
    for (std::size_t length : {0u, 198u, 199u, 200u, 5000u}) {
        boxes.boxes.clear();
        report.show(std::string(length, 'x').c_str());
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text.size(), std::min<std::size_t>(length, 199));
        EXPECT_EQ(boxes.boxes[0].caption, "Error");
    }
    report.showF("Could not read file %s!", std::string(300, 'y').c_str());
    EXPECT_EQ(boxes.boxes.back().text.size(), 199u);
    EXPECT_EQ(boxes.boxes.back().text.substr(0, 22), "Could not read file yy");
    // The message may be the report's own buffer.
    report.show(report.message());
    EXPECT_EQ(boxes.boxes.back().text, boxes.boxes[boxes.boxes.size() - 2].text);
    report.show(nullptr);
    EXPECT_EQ(boxes.boxes.back().text, "");
}

TEST(ErrorReport, SuppressedErrorsShowAndRecordNothing) {
    RecordingUi boxes;
    ErrorReport report(boxes);
    report.show("before");
    report.suppress();
    report.show("during shutdown");
    report.showF("format %d", 3);
    report.reportNonZero(5, 3);
    report.showDiagnostics({{"a problem", 2}});
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_STREQ(report.message(), "before");
    EXPECT_TRUE(report.suppressed());
}

TEST(ErrorReport, NonZeroCheckIsFatalOnlyForNonZero) {
    RecordingUi boxes;
    ErrorReport report(boxes);
    report.reportNonZero(0, 7);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_FALSE(report.fatal());

    report.reportNonZero(5, 3);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Non zero detected at point 3");
    EXPECT_EQ(boxes.boxes[0].caption, "Fatal Error");

    report.show("any later error");
    EXPECT_EQ(boxes.boxes.back().caption, "Fatal Error");
    report.clearFatal();
    report.show("after start-up");
    EXPECT_EQ(boxes.boxes.back().caption, "Error");
}

TEST(ErrorReport, EachReportKeepsItsOwnFormAndSilence) {
    RecordingUi firstBoxes;
    RecordingUi secondBoxes;
    ErrorReport first(firstBoxes);
    ErrorReport second(secondBoxes);
    first.showFatal("Out of memory. Sorry!");
    second.suppress();
    second.show("silenced");
    first.showDiagnostics({{"one", 1}, {"two", 2}});
    ASSERT_EQ(firstBoxes.boxes.size(), 3u);
    EXPECT_TRUE(firstBoxes.boxes[2].fatal);
    EXPECT_EQ(firstBoxes.boxes[2].text, "two");
    EXPECT_TRUE(secondBoxes.boxes.empty());
    EXPECT_FALSE(second.fatal());
    EXPECT_FALSE(first.suppressed());
}

} // namespace
} // namespace tarvo
