// The error box's logic: cut-off, formatting, suppression and the fatal form.
#include "diagnostics/error_report.h"

#include "support/recording_ui.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvo {
namespace {

using testing_support::recordingUi;

TEST(ErrorReport, MessagesAreCutTo199Characters) {
    for (std::size_t length : {0u, 198u, 199u, 200u, 5000u}) {
        recordingUi().boxes.clear();
        ShowError(std::string(length, 'x').c_str());
        ASSERT_EQ(recordingUi().boxes.size(), 1u);
        EXPECT_EQ(recordingUi().boxes[0].text.size(), std::min<std::size_t>(length, 199));
        EXPECT_EQ(recordingUi().boxes[0].caption, "Error");
    }
    ShowErrorF("Could not read file %s!", std::string(300, 'y').c_str());
    EXPECT_EQ(recordingUi().boxes.back().text.size(), 199u);
    EXPECT_EQ(recordingUi().boxes.back().text.substr(0, 22), "Could not read file yy");
}

TEST(ErrorReport, SuppressedErrorsShowAndRecordNothing) {
    ShowError("before");
    errorState().ErrorsSuppressed = true;
    ShowError("during shutdown");
    ShowErrorF("format %d", 3);
    ReportNonZero(5, 3);
    EXPECT_EQ(recordingUi().boxes.size(), 1u);
    EXPECT_STREQ(errorState().message, "before");
}

TEST(ErrorReport, NonZeroCheckIsFatalOnlyForNonZero) {
    ReportNonZero(0, 7);
    EXPECT_TRUE(recordingUi().boxes.empty());
    EXPECT_FALSE(errorState().FatalError);

    ReportNonZero(5, 3);
    ASSERT_EQ(recordingUi().boxes.size(), 1u);
    EXPECT_EQ(recordingUi().boxes[0].text, "Non zero detected at point 3");
    EXPECT_EQ(recordingUi().boxes[0].caption, "Fatal Error");

    ShowError("any later error");
    EXPECT_EQ(recordingUi().boxes.back().caption, "Fatal Error");
}

} // namespace
} // namespace tarvo
