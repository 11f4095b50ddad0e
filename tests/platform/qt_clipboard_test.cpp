// The clipboard of the window system: the raw cell form and Windows-1252 text come back as
// they went, and plain text from other programs arrives without the raw form.
#include "platform/qt/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace platform::qt {
namespace {

TEST(QtClipboard, BothFormsComeBackAsTheyWent) {
    QtClipboard board;
    // Raw cells hold zero bytes and bytes above 127; the text has letters outside ASCII.
    const std::string raw("a\x10\x00\x00\xE9\x20\x01\x00", 8);
    board.setText("caf\xE9 \x80", raw);
    std::string back;
    ASSERT_TRUE(board.raw(back));
    EXPECT_EQ(back, raw);
    EXPECT_EQ(board.text(), "caf\xE9 \x80");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("caf\u00e9 \u20ac"))
        << "other programs read Unicode";
}

TEST(QtClipboard, TextFromOtherProgramsHasNoRawFormAndItsLineBreaksBecomeBlanks) {
    QtClipboard board;
    board.setText("x", std::string("x\0\0\0", 4));
    QGuiApplication::clipboard()->setText(QString::fromUtf8("na\u00efve\r\nreader"));
    std::string back;
    EXPECT_FALSE(board.raw(back));
    EXPECT_EQ(TextForLabel(board.text()), "na\xEFve reader");
}

} // namespace
} // namespace platform::qt
