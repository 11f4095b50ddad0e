// Labels drawn into an image: runs follow each other on the baseline, superscript is raised,
// subscript lowered, bold is wider, and bad font indices draw in the default font.
#include "labels/label_runs.h"

#include "labels/font_table.h"
#include "labels/label_cells.h"
#include "platform/font_catalog.h"
#include "platform/qt/qt_display.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <string>

namespace tarvo {
namespace {

constexpr int kPoints = 24;
constexpr int kBaseline = 80;

// The rows holding ink within columns [left, right) of the image.
struct Ink {
    int top = -1;
    int bottom = -1;
    int pixels = 0;
};

Ink inkIn(const QImage& image, int left, int right) {
    Ink ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = std::max(left, 0); x < std::min(right, image.width()); ++x) {
            if (qGray(image.pixel(x, y)) > 128)
                continue;
            ++ink.pixels;
            if (ink.top < 0)
                ink.top = y;
            ink.bottom = y;
        }
    }
    return ink;
}

class LabelDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ListedFontCatalog catalog("DejaVu Sans;DejaVu Serif");
        BuildFontTable(catalog);
        ChoosePreferredFonts();
        image.fill(Qt::white);
        painter.begin(&image);
        display = std::make_unique<platform::qt::QtDisplay>(painter);
    }
    void TearDown() override {
        display.reset();
        painter.end();
        ReleaseFontTable();
    }

    int measure(const std::string& label, int font = -1) {
        return MeasureLabel(*display, label.c_str(), static_cast<int>(label.size()), 0, font,
                            kPoints);
    }
    int draw(const std::string& label, int x = 10) {
        display->moveTo({x, kBaseline});
        return DrawLabel(*display, label.c_str(), static_cast<int>(label.size()), 0, -1, kPoints);
    }

    QImage image{600, 120, QImage::Format_RGB32};
    QPainter painter;
    std::unique_ptr<platform::qt::QtDisplay> display;
};

TEST_F(LabelDrawingTest, SuperscriptIsRaisedAndSubscriptLowered) {
    const int plain = measure("xx");
    const int width = draw("xx\x7fuxx\x7fnxx\x7f"
                           "dxx");
    ASSERT_GT(plain, 0);
    EXPECT_EQ(width, measure("xx\x7fuxx\x7fnxx\x7f"
                             "dxx"));
    EXPECT_EQ(display->currentPosition().y, kBaseline) << "the pen ends on the baseline";

    const int superAt = 10 + plain;
    const int superEnd = superAt + measure("\x7fuxx");
    const int subAt = superEnd + plain;
    const Ink normal = inkIn(image, 10, superAt);
    const Ink raised = inkIn(image, superAt, superEnd);
    const Ink lowered = inkIn(image, subAt, 10 + width);
    ASSERT_GT(normal.pixels, 0);
    ASSERT_GT(raised.pixels, 0);
    ASSERT_GT(lowered.pixels, 0);
    EXPECT_LE(normal.bottom, kBaseline);
    EXPECT_LT(raised.bottom, normal.bottom - kPoints / 4) << "superscript stands above the line";
    EXPECT_GT(lowered.bottom, normal.bottom + 1) << "subscript hangs below the line";
    EXPECT_LT(raised.bottom - raised.top, normal.bottom - normal.top)
        << "superscript is drawn smaller";
}

TEST_F(LabelDrawingTest, BoldRunsAreWiderAndDarker) {
    const int plain = measure("mmmm");
    const int bold = measure("\x7f"
                             "bmmmm");
    EXPECT_GT(bold, plain);
    draw("mmmm", 10);
    draw("\x7f"
         "bmmmm",
         300);
    EXPECT_GT(inkIn(image, 300, 600).pixels, inkIn(image, 0, 300).pixels * 11 / 10);
    EXPECT_EQ(measure("mm\x7f"
                      "bmm\x7f"
                      "bmm"),
              measure("mm") +
                  measure("\x7f"
                          "bmm") +
                  measure("mm"));
}

TEST_F(LabelDrawingTest, LengthLimitsTheTextAndTheSelectedFontComesBack) {
    platform::LogicalFont lf;
    platform::SetFaceName(lf.faceName, "DejaVu Serif");
    lf.height = -10;
    std::unique_ptr<platform::Font> mine = display->createFont(lf);
    display->selectFont(mine.get());
    const std::string label = "abc\x7f"
                              "bdef";
    EXPECT_EQ(MeasureLabel(*display, label.c_str(), 2, 0, -1, kPoints), measure("ab"));
    EXPECT_EQ(MeasureLabel(*display, label.c_str(), 5, 0, -1, kPoints), measure("abc"))
        << "a length that ends inside an escape draws nothing of what follows";
    draw(label);
    EXPECT_EQ(display->selectFont(nullptr), mine.get());
}

TEST_F(LabelDrawingTest, FontIndicesOutsideTheTableDrawInTheDefaultFont) {
    const int expected = measure("Wide label");
    for (int bad : {2, 99, -7})
        EXPECT_EQ(measure("Wide label", bad), expected) << bad;
    EXPECT_EQ(measure("\x7f"
                      "99fWide label"),
              expected);
    EXPECT_NE(measure("Wide label", 1 - fonts().DefaultFont), expected)
        << "the table's other font does differ";

    ReleaseFontTable();
    EXPECT_GT(measure("Wide label"), 0) << "with no table the system's font draws";
}

// Without a legacy phonetic face, a phonetic run is measured and drawn with the IPA glyphs its
// bytes stand for, in the Unicode IPA face; a diacritic takes no room and sits on the letter.
TEST_F(LabelDrawingTest, PhoneticRunsAreMeasuredAndDrawnAsTheirIpaGlyphs) {
    const platform::LogicalFont lf = MakeLabelFont(0, kPoints, false, false, true);
    ASSERT_NE(lf.byteTexts, nullptr);
    const QFont ipaFont = platform::qt::toQFont(lf);
    const QFontMetrics metrics(ipaFont, &image);
    int expected = 0;
    for (const char* symbol : {"\u00f0", "\u025b", " ", "k", "\u02b0", "\u0251", "t", "\u02b0"})
        expected += metrics.horizontalAdvance(QString::fromUtf8(symbol));
    EXPECT_EQ(measure("\x7fpDE kHAtH"), expected);
    EXPECT_NE(measure("\x7fpDE kHAtH"), metrics.horizontalAdvance("DE kHAtH"))
        << "the letters the bytes are would measure otherwise";
    EXPECT_EQ(measure("\x7fpe@"), measure("\x7fpe")) << "the acute takes no room";

    // The run draws as the painter draws the IPA text in that face.
    EXPECT_EQ(draw("\x7fpDE", 10), metrics.horizontalAdvance(QString::fromUtf8("\u00f0")) +
                                       metrics.horizontalAdvance(QString::fromUtf8("\u025b")));
    painter.setFont(ipaFont);
    painter.setPen(Qt::black);
    painter.drawText(QPoint(300, kBaseline), QString::fromUtf8("\u00f0\u025b"));
    const int width = measure("\x7fpDE");
    for (int x = 0; x < width + 4; ++x)
        for (int y = 0; y < image.height(); ++y)
            ASSERT_EQ(image.pixel(10 + x, y), image.pixel(300 + x, y)) << x << ", " << y;

    // The cells of the editor and of fitted labels: the acute lies over the e, not after it.
    image.fill(Qt::white);
    std::unique_ptr<platform::Font> font = display->createFont(lf);
    display->selectFont(font.get());
    display->moveTo({10, kBaseline});
    display->textOut("e", 1);
    display->moveTo({300, kBaseline});
    display->textOutEach("e@", 2);
    EXPECT_EQ(display->currentPosition().x, 300 + display->textExtent("e", 1).width);
    const int e = display->textExtent("e", 1).width;
    EXPECT_GT(inkIn(image, 300, 300 + e + 1).pixels, inkIn(image, 10, 10 + e + 1).pixels + 5);
    EXPECT_EQ(inkIn(image, 300 + e + 2, 300 + 3 * e).pixels, 0);
    EXPECT_LT(inkIn(image, 300, 300 + e + 1).top, inkIn(image, 10, 10 + e + 1).top - 2)
        << "the accent stands above the letter";
    display->selectFont(nullptr);
    painter.setFont(ipaFont);
    painter.drawText(QPoint(450, kBaseline), QString::fromUtf8("e\u0301"));
    for (int x = -e; x < 2 * e; ++x)
        for (int y = 0; y < image.height(); ++y)
            ASSERT_EQ(image.pixel(300 + x, y), image.pixel(450 + x, y))
                << "placed as the font places it on the letter: " << x << ", " << y;
}

// A diacritic that begins a phonetic run, or a word in one, has no letter of its own: it stands
// on a dotted circle, which gives it room, instead of falling on the letter before the run.
TEST_F(LabelDrawingTest, AMarkWithoutALetterStandsOnADottedCircleBothInRunsAndInCells) {
    const platform::LogicalFont lf = MakeLabelFont(0, kPoints, false, false, true);
    const QFontMetrics metrics(platform::qt::toQFont(lf), &image);
    const int circle = metrics.horizontalAdvance(QString(QChar(0x25CC)));
    ASSERT_GT(circle, 0);
    // "ab", then a phonetic run of an acute and "e".
    const std::string label = "ab\x7fp@e";
    const int ab = measure("ab");
    EXPECT_EQ(measure(label), ab + circle + measure("\x7fpe"));
    EXPECT_EQ(measure("\x7fpe @e"), measure("\x7fpe e") + circle) << "a mark after a blank";
    EXPECT_EQ(measure("\x7fpe@e"), measure("\x7fpee")) << "a mark on its letter takes no room";

    const auto same = [&](int left, int otherLeft, int width) {
        for (int x = 0; x < width; ++x)
            for (int y = 0; y < image.height(); ++y)
                if (image.pixel(left + x, y) != image.pixel(otherLeft + x, y))
                    return false;
        return true;
    };
    const auto check = [&](const char* path) {
        SCOPED_TRACE(path);
        // "ab" is drawn as it is alone: nothing of the mark falls on the "b".
        EXPECT_TRUE(same(10, 300, ab - 1));
        const Ink onCircle = inkIn(image, 10 + ab, 10 + ab + circle);
        EXPECT_GT(onCircle.pixels, 10) << "the circle is drawn";
        EXPECT_LT(onCircle.top, inkIn(image, 300 + ab, 300 + ab + circle).top - 2)
            << "the acute stands above the circle, higher than the e beside it";
    };
    EXPECT_EQ(draw(label, 10), ab + circle + measure("\x7fpe"));
    draw("ab\x7fpe", 300);
    check("drawn by runs");

    // The cells of the editor and of fitted labels give the mark the circle's width and draw
    // it the same way.
    image.fill(Qt::white);
    LabelCells* cells = CellsOfLabel(label.c_str());
    ASSERT_NE(cells, nullptr);
    EXPECT_EQ(MeasureCells(*display, *cells, kPoints), measure(label));
    EXPECT_EQ(cells->cellAt(2)->width, circle);
    display->moveTo({10, kBaseline});
    DrawCells(*display, *cells, kPoints);
    EXPECT_EQ(display->currentPosition().x, 10 + measure(label));
    cells->destroy();
    draw("ab\x7fpe", 300);
    check("drawn by cells");
}

} // namespace
} // namespace tarvo
