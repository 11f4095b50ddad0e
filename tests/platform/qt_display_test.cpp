// The Qt display: figures cover the pixels the window system's conventions give them, arcs run
// anticlockwise, clips stay put when the origin moves, and exclusive-or lines leave no trace;
// the view host's drag cursors and the dialogs' bitmap buttons load from the resources.
#include "platform/qt/qt_display.h"
#include "platform/qt/qt_view_host.h"

#include <QPixmap>
#include <QScrollArea>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

namespace platform::qt {
namespace {

bool black(const QImage& image, int x, int y) {
    return image.pixelColor(x, y) == QColor(Qt::black);
}

TEST(QtDisplay, RectanglesAndInsideFramePensStayWithinTheirBox) {
    ImageDisplay surface(40, 40);
    Display& d = surface.display();
    d.rectangle({5, 5, 15, 15});
    auto thick = d.createPen({PenStyle::InsideFrame, 4, {}});
    d.selectPen(thick.get());
    d.rectangle({20, 20, 30, 30});
    const QImage& image = surface.finish();
    // One pixel: from left to right - 1.
    EXPECT_TRUE(black(image, 5, 5));
    EXPECT_TRUE(black(image, 14, 14));
    EXPECT_FALSE(black(image, 15, 10));
    EXPECT_FALSE(black(image, 10, 4));
    // Four pixels, all inside.
    EXPECT_TRUE(black(image, 20, 25));
    EXPECT_TRUE(black(image, 23, 25));
    EXPECT_FALSE(black(image, 24, 25));
    EXPECT_TRUE(black(image, 29, 25));
    EXPECT_FALSE(black(image, 30, 25));
    EXPECT_FALSE(black(image, 19, 25));
}

// Text that a font keeps laid out draws, the first time and again, as QPainter draws it; drawn
// character by character, each character stands where the widths before it put it.
TEST(QtDisplay, KeptTextDrawsAsThePainterDrawsIt) {
    LogicalFont look;
    look.height = -13;
    for (const char* text : {"7", "12", "Wo", "AVAVAVAVAVAVAVAVAVAV"}) {
        SCOPED_TRACE(text);
        const int length = static_cast<int>(std::strlen(text));
        ImageDisplay kept(260, 80);
        Display& d = kept.display();
        std::unique_ptr<Font> font = d.createFont(look);
        d.selectFont(font.get());
        d.setTextColour({200, 0, 0});
        for (int round = 0; round < 2; ++round) {
            d.textAt({250, 20 + 25 * round}, kAlignRight | kAlignBaseline, text, length);
            d.moveTo({5, 20 + 25 * round});
            d.textOut(text, length);
        }
        d.moveTo({5, 70});
        d.textOutEach(text, length);
        EXPECT_EQ(d.currentPosition().x, 5 + d.textExtent(text, length).width);
        ImageDisplay plain(260, 80);
        QPainter& painter = static_cast<QtDisplay&>(plain).painter();
        painter.setFont(toQFont(look));
        painter.setPen(QColor(200, 0, 0));
        const int advance = painter.fontMetrics().horizontalAdvance(QString::fromLatin1(text));
        for (int round = 0; round < 2; ++round) {
            painter.drawText(QPoint(250 - advance, 20 + 25 * round), QString::fromLatin1(text));
            painter.drawText(QPoint(5, 20 + 25 * round), QString::fromLatin1(text));
        }
        for (int i = 0, x = 5; i < length; ++i) {
            const QString character = QString::fromLatin1(text + i, 1);
            painter.drawText(QPoint(x, 70), character);
            x += painter.fontMetrics().horizontalAdvance(character);
        }
        EXPECT_EQ(kept.finish(), plain.finish());
    }
}

TEST(QtDisplay, RestoringTheStateDrawsTextInTheFontItHadAgain) {
    LogicalFont smallLook;
    smallLook.height = -10;
    LogicalFont bigLook;
    bigLook.height = -30;
    ImageDisplay restored(120, 60);
    ImageDisplay straight(120, 60);
    for (Display* d : {&restored.display(), &straight.display()}) {
        std::unique_ptr<Font> small = d->createFont(smallLook);
        std::unique_ptr<Font> big = d->createFont(bigLook);
        d->selectFont(small.get());
        if (d == &restored.display())
            d->save();
        d->selectFont(big.get());
        d->moveTo({60, 40});
        d->textOut("W", 1);
        if (d == &restored.display())
            d->restore();
        else
            d->selectFont(small.get());
        d->moveTo({5, 40});
        d->textOut("W", 1);
        d->selectFont(nullptr);
    }
    EXPECT_EQ(restored.finish(), straight.finish());
}

// The frame of an unfilled rectangle covers exactly the pixels of the frame of a filled one.
TEST(QtDisplay, UnfilledFramesCoverThePixelsOfFilledOnes) {
    const Rect rects[] = {{5, 5, 6, 6},  {5, 5, 7, 7},   {3, 4, 4, 30},
                          {2, 8, 37, 9}, {2, 8, 37, 10}, {6, 7, 31, 22}};
    for (const Rect& rect : rects) {
        SCOPED_TRACE(testing::Message()
                     << rect.left << "," << rect.top << " " << rect.right << "," << rect.bottom);
        ImageDisplay unfilled(40, 40);
        ImageDisplay filled(40, 40);
        auto none = unfilled.display().createBrush({BrushStyle::Null, {}});
        auto white = filled.display().createBrush({BrushStyle::Solid, {255, 255, 255}});
        unfilled.display().selectBrush(none.get());
        filled.display().selectBrush(white.get());
        for (ImageDisplay* surface : {&unfilled, &filled}) {
            auto pen = surface->display().createPen({PenStyle::InsideFrame, 1, {}});
            surface->display().selectPen(pen.get());
            surface->display().rectangle(rect);
            surface->display().selectPen(nullptr);
        }
        EXPECT_EQ(unfilled.finish(), filled.finish());
    }
}

TEST(QtDisplay, ArcsRunAnticlockwiseFromTheStartRayToTheEndRay) {
    ImageDisplay surface(60, 60);
    Display& d = surface.display();
    // From the right (three o'clock) anticlockwise to the top: the upper right quarter only.
    d.arc({10, 10, 51, 51}, {60, 30}, {30, 0});
    const QImage& image = surface.finish();
    // Drawn smooth, the arc's pixels are shades of grey: counted are the darker half.
    int upperRight = 0, others = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            if (image.pixelColor(x, y).lightness() < 128)
                ++((x >= 30 && y <= 30) ? upperRight : others);
    EXPECT_GT(upperRight, 20);
    EXPECT_LE(others, 2);
}

// A circle 200,000 pixels across whose top crosses the surface: only that piece shows, where
// the curve is, with the origin moved and under a clip, from the start ray to the end ray.
TEST(QtDisplay, ArcsOfHugeEllipsesDrawTheirVisiblePieceWhereTheCurveIs) {
    constexpr int kRadius = 100000;
    ImageDisplay surface(200, 120);
    Display& d = surface.display();
    d.setOrigin({-1000, 0});
    // Regions are in the surface's pixels: the clip leaves out its right tenth.
    auto clip = d.rectRegion({0, 0, 180, 120});
    d.selectClipRegion(clip.get());
    // Centred below the surface: the top of the circle runs along y = 60, from the start ray at
    // x = 1150 anticlockwise over the top at x = 1100 and on, far to the left.
    const Point centre{1100, 60 + kRadius};
    d.arc({centre.x - kRadius, centre.y - kRadius, centre.x + kRadius + 1, centre.y + kRadius + 1},
          {1150, 0}, {0, centre.y});
    const QImage& image = surface.finish();
    int onCurve = 0, off = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 200; ++x) {
            if (image.pixelColor(x, y).lightness() >= 128)
                continue;
            const double dx = x + 1000 + 0.5 - centre.x;
            const double curveY = centre.y - std::sqrt(double(kRadius) * kRadius - dx * dx);
            const bool near = std::abs(y + 0.5 - curveY) <= 1.5;
            ++(near ? onCurve : off);
            EXPECT_LT(x, 180) << "the clip holds";
            EXPECT_LE(x + 1000, 1150 + 1) << "nothing right of the start ray";
        }
    EXPECT_GT(onCurve, 120) << "the curve runs from the start ray to the clip's edge";
    EXPECT_EQ(off, 0);
}

TEST(QtDisplay, ClipsStayOnTheSurfaceWhenTheOriginMoves) {
    ImageDisplay surface(40, 40);
    Display& d = surface.display();
    auto clip = d.rectRegion({0, 0, 20, 40});
    d.selectClipRegion(clip.get());
    d.setOrigin({10, 0});
    auto brush = d.createBrush({BrushStyle::Solid, {}, {}, {}});
    d.fillRect({0, 0, 20, 10}, *brush); // surface 10..29, clipped at 20
    EXPECT_EQ(d.clipBox(), (Rect{-10, 0, 10, 40}));
    EXPECT_TRUE(d.rectVisible({5, 5, 8, 8}));
    EXPECT_FALSE(d.rectVisible({12, 5, 18, 8}));
    d.save();
    d.excludeClipRect({0, 20, 10, 30});
    d.fillRect({-10, 20, 10, 30}, *brush);
    d.restore();
    d.fillRect({-10, 35, 10, 36}, *brush);
    // A clip made after a restore that ended an earlier one still holds.
    d.selectClipRegion(nullptr);
    d.setOrigin({0, 0});
    d.excludeClipRect({30, 0, 40, 40});
    d.fillRect({25, 38, 40, 40}, *brush);
    const QImage& image = surface.finish();
    EXPECT_TRUE(black(image, 27, 39));
    EXPECT_FALSE(black(image, 33, 39));
    EXPECT_TRUE(black(image, 15, 5));
    EXPECT_FALSE(black(image, 25, 5));
    EXPECT_TRUE(black(image, 5, 25));
    EXPECT_FALSE(black(image, 15, 25)); // excluded
    EXPECT_TRUE(black(image, 15, 35));  // the exclusion ended with restore
}

TEST(QtDisplay, ExclusiveOrLinesDrawnTwiceLeaveNoTrace) {
    ImageDisplay surface(30, 30);
    Display& d = surface.display();
    d.xorLine({2, 15}, {28, 15});
    d.selectPen(nullptr);
    QImage once = surface.image().copy();
    d.xorLine({2, 15}, {28, 15});
    const QImage& twice = surface.finish();
    EXPECT_NE(once.pixelColor(10, 15), QColor(Qt::white));
    for (int x = 0; x < 30; ++x)
        EXPECT_EQ(twice.pixelColor(x, 15), QColor(Qt::white)) << x;
}

TEST(QtViewHost, DragCursorsAndButtonBitmapsLoadFromTheResources) {
    for (const int n : {1, 4, 5, 6, 7, 8})
        EXPECT_EQ(QPixmap(QStringLiteral(":/cursors/%1.png").arg(n)).size(), QSize(32, 32)) << n;
    for (const int id : {1032, 1033, 1034, 1035, 3032, 3033, 3034, 3035, 5032, 5033, 5034, 5035})
        EXPECT_EQ(QPixmap(QStringLiteral(":/bitmaps/%1.png").arg(id)).size(), QSize(28, 24)) << id;
    EXPECT_EQ(QPixmap(QStringLiteral(":/bitmaps/10.png")).size(), QSize(8, 8));

    QScrollArea area;
    QtViewHost host(area);
    host.setCursor(CursorShape::DragLink);
    EXPECT_EQ(area.viewport()->cursor().shape(), Qt::BitmapCursor);
    // The hot spot is the pointer's tip, as the image says, not the image's centre.
    EXPECT_EQ(area.viewport()->cursor().hotSpot(), QPoint(2, 2));
    host.setCursor(CursorShape::Arrow);
    EXPECT_EQ(area.viewport()->cursor().shape(), Qt::ArrowCursor);
    host.setCursor(CursorShape::Pan);
    EXPECT_EQ(area.viewport()->cursor().shape(), Qt::BitmapCursor);
}

} // namespace
} // namespace platform::qt
