// The clipboard of the window system: the raw cell form and the UTF-8 text come back as they
// went, and plain text from other programs arrives without the raw form.
#include "platform/qt/qt_clipboard.h"

#include "platform/cp1252.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace platform::qt {
namespace {

TEST(QtClipboard, BothFormsComeBackAsTheyWent) {
    QtClipboard board;
    // Raw cells hold zero bytes and bytes above 127; the text has letters outside ASCII.
    const std::string raw("a\x10\x00\x00\xE9\x20\x01\x00", 8);
    board.setText("caf\u00e9 \u20ac \u00f0\u025b k\u02b0", raw);
    std::string back;
    ASSERT_TRUE(board.raw(back));
    EXPECT_EQ(back, raw);
    EXPECT_EQ(board.text(), "caf\u00e9 \u20ac \u00f0\u025b k\u02b0");
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QString::fromUtf8("caf\u00e9 \u20ac \u00f0\u025b k\u02b0"))
        << "other programs read Unicode, IPA included";
}

TEST(QtClipboard, TextFromOtherProgramsHasNoRawFormAndItsLineBreaksBecomeBlanks) {
    QtClipboard board;
    board.setText("x", std::string("x\0\0\0", 4));
    QGuiApplication::clipboard()->setText(QString::fromUtf8("na\u00efve\r\nreader"));
    std::string back;
    EXPECT_FALSE(board.raw(back));
    EXPECT_EQ(board.text(), "na\u00efve\r\nreader");
    EXPECT_EQ(TextForLabel(Utf8ToCp1252(board.text())), "na\xEFve reader");
}

} // namespace
} // namespace platform::qt
