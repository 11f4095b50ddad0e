// Draws the program's bitmaps: the tool bar's glyph strip (41 glyphs of 16 x 16 side by side,
// the normal ones above and their disabled forms below) and the background strip the bar is
// tiled with, the bitmap buttons of the dialogs with the pattern that dims them when disabled,
// and the cursors of the network view's mouse drags.
//   tarvo-glyphs RESOURCES_FOLDER   writes bitmaps/*.png and cursors/*.png under it
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kGlyph = 16;
constexpr int kGlyphCount = 41;
constexpr int kBarHeight = 28;
constexpr int kBackWidth = 12;

const QColor kInk(20, 20, 20);
const QColor kBlue(30, 70, 160);
const QColor kRed(170, 30, 30);
const QColor kPaper(255, 250, 235);

void box(QPainter& p, qreal x, qreal y, qreal w, qreal h, const QColor& fill = kPaper) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(fill);
    p.drawRect(QRectF(x + 0.5, y + 0.5, w, h));
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour = kBlue) {
    p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    const QPointF d = to - from;
    const qreal length = std::hypot(d.x(), d.y());
    const QPointF u = d / length;
    const QPointF n(-u.y(), u.x());
    QPolygonF head{to + u * 1.5, to - u * 4 + n * 3.5, to - u * 4 - n * 3.5};
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(head);
}

QFont serif(int pixels, bool bold, bool italic) {
    QFont font("DejaVu Serif");
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void letter(QPainter& p, const QString& text, int pixels, bool bold, bool italic,
            const QColor& colour = kInk, QRectF area = QRectF(0, 0, kGlyph, kGlyph)) {
    p.setFont(serif(pixels, bold, italic));
    p.setPen(colour);
    p.drawText(area, Qt::AlignCenter, text);
}

// A small tree: a parent over two children, turned by `angle` degrees around the centre.
void tree(QPainter& p, qreal angle) {
    p.save();
    p.translate(8, 8);
    p.rotate(angle);
    p.translate(-8, -8);
    p.setPen(QPen(kInk, 1));
    p.drawLine(QPointF(8, 5), QPointF(4, 11));
    p.drawLine(QPointF(8, 5), QPointF(12, 11));
    box(p, 5, 1, 6, 4, QColor(250, 200, 60));
    box(p, 1, 11, 6, 4);
    box(p, 9, 11, 6, 4);
    p.restore();
}

void bars(QPainter& p, int align) {
    p.setPen(QPen(kInk, 2));
    const int widths[] = {12, 8, 10, 6};
    for (int i = 0; i < 4; ++i) {
        const int w = widths[i];
        const int x = align == 0 ? 2 : align == 1 ? (16 - w) / 2 : 14 - w;
        const int y = static_cast<int>(3 + i * 3.3);
        p.drawLine(x, y, x + w, y);
    }
}

using Glyph = std::function<void(QPainter&)>;

std::vector<Glyph> glyphs() {
    return {
        // 0 open partition
        [](QPainter& p) { tree(p, 0); },
        // 1 save
        [](QPainter& p) {
            box(p, 1, 1, 13, 13, kBlue);
            box(p, 4, 1, 7, 5, Qt::white);
            box(p, 3, 9, 9, 5, kPaper);
        },
        // 2 undo
        [](QPainter& p) {
            QPainterPath path(QPointF(4, 6));
            path.cubicTo(QPointF(10, 2), QPointF(16, 8), QPointF(9, 13));
            p.setPen(QPen(kBlue, 2));
            p.setBrush(Qt::NoBrush);
            p.drawPath(path);
            arrow(p, QPointF(7, 4.5), QPointF(2, 7));
        },
        // 3 insert parent, 4 insert child
        [](QPainter& p) {
            box(p, 3, 9, 10, 6);
            p.setPen(QPen(kRed, 2));
            p.drawLine(8, 1, 8, 7);
            p.drawLine(5, 4, 11, 4);
        },
        [](QPainter& p) {
            box(p, 3, 1, 10, 6);
            p.setPen(QPen(kRed, 2));
            p.drawLine(8, 9, 8, 15);
            p.drawLine(5, 12, 11, 12);
        },
        // 5 delete
        [](QPainter& p) {
            box(p, 2, 4, 12, 8);
            p.setPen(QPen(kRed, 2));
            p.drawLine(3, 2, 13, 14);
            p.drawLine(13, 2, 3, 14);
        },
        // 6 edit the label
        [](QPainter& p) {
            box(p, 0, 3, 15, 10, Qt::white);
            letter(p, "ab", 9, false, false, kInk, QRectF(0, 3, 12, 10));
            p.setPen(QPen(kRed, 1));
            p.drawLine(12, 5, 12, 11);
        },
        // 7 inspect links
        [](QPainter& p) {
            p.setPen(QPen(kInk, 1.5));
            p.setBrush(QColor(210, 230, 255));
            p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
            p.setPen(QPen(kInk, 2.5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
        },
        // 8 first on top row, 9 first on bottom row
        [](QPainter& p) {
            p.setPen(QPen(kInk, 2));
            p.drawLine(2, 2, 14, 2);
            arrow(p, QPointF(12, 14), QPointF(4, 5));
        },
        [](QPainter& p) {
            p.setPen(QPen(kInk, 2));
            p.drawLine(2, 14, 14, 14);
            arrow(p, QPointF(12, 2), QPointF(4, 11));
        },
        // 10 previous page, 11 next page
        [](QPainter& p) {
            arrow(p, QPointF(8, 14), QPointF(8, 8));
            arrow(p, QPointF(8, 8), QPointF(8, 2));
        },
        [](QPainter& p) {
            arrow(p, QPointF(8, 2), QPointF(8, 8));
            arrow(p, QPointF(8, 8), QPointF(8, 14));
        },
        // 12 current position
        [](QPainter& p) {
            p.setPen(QPen(kRed, 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
            p.drawLine(8, 0, 8, 5);
            p.drawLine(8, 11, 8, 16);
            p.drawLine(0, 8, 5, 8);
            p.drawLine(11, 8, 16, 8);
        },
        // 13 bold, 14 italic, 15 phonetic
        [](QPainter& p) { letter(p, "B", 14, true, false); },
        [](QPainter& p) { letter(p, "I", 14, false, true); },
        [](QPainter& p) { letter(p, QString::fromUtf8("\u0259"), 15, false, false, kBlue); },
        // 16 normal size, 17 small, 18 superscript, 19 subscript
        [](QPainter& p) { letter(p, "N", 13, false, false); },
        [](QPainter& p) { letter(p, "s", 10, false, false); },
        [](QPainter& p) {
            letter(p, "x", 12, false, false, kInk, QRectF(0, 3, 10, 13));
            letter(p, "2", 8, false, false, kRed, QRectF(9, 0, 7, 8));
        },
        [](QPainter& p) {
            letter(p, "x", 12, false, false, kInk, QRectF(0, 0, 10, 12));
            letter(p, "2", 8, false, false, kRed, QRectF(9, 8, 7, 8));
        },
        // 20 font, 21 no formatting
        [](QPainter& p) { letter(p, "F", 14, false, false, kBlue); },
        [](QPainter& p) {
            letter(p, "A", 13, true, true);
            p.setPen(QPen(kRed, 1.5));
            p.drawLine(2, 14, 14, 2);
        },
        // 22 justify first, 23 centred, 24 last
        [](QPainter& p) { bars(p, 0); },
        [](QPainter& p) { bars(p, 1); },
        [](QPainter& p) { bars(p, 2); },
        // 25 raise children, 26 lower parents
        [](QPainter& p) {
            box(p, 1, 1, 5, 4);
            box(p, 1, 11, 5, 4);
            arrow(p, QPointF(11, 14), QPointF(11, 4));
        },
        [](QPainter& p) {
            box(p, 10, 1, 5, 4);
            box(p, 10, 11, 5, 4);
            arrow(p, QPointF(5, 2), QPointF(5, 12));
        },
        // 27 left to right, 28 right to left, 29 top-down, 30 bottom-up
        [](QPainter& p) { tree(p, -90); },
        [](QPainter& p) { tree(p, 90); },
        [](QPainter& p) { tree(p, 0); },
        [](QPainter& p) { tree(p, 180); },
        // 31 straight links, 32 curved links
        [](QPainter& p) {
            box(p, 1, 1, 5, 4);
            box(p, 10, 11, 5, 4);
            p.setPen(QPen(kInk, 1.5));
            p.drawLine(QPointF(4, 5), QPointF(12, 11));
        },
        [](QPainter& p) {
            box(p, 1, 1, 5, 4);
            box(p, 10, 11, 5, 4);
            QPainterPath path(QPointF(3.5, 5.5));
            path.cubicTo(QPointF(3.5, 10), QPointF(12.5, 6), QPointF(12.5, 11));
            p.setPen(QPen(kInk, 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawPath(path);
        },
        // 33 highlight links
        [](QPainter& p) {
            box(p, 5, 1, 6, 4, QColor(250, 200, 60));
            p.setPen(QPen(QColor(60, 140, 230), 2));
            p.drawLine(QPointF(8, 5), QPointF(3, 14));
            p.drawLine(QPointF(8, 5), QPointF(13, 14));
        },
        // 34 expand scale, 35 reduce scale, 36 scale to window
        [](QPainter& p) {
            box(p, 1, 1, 14, 14, Qt::white);
            p.setPen(QPen(kInk, 2));
            p.drawLine(4, 8, 12, 8);
            p.drawLine(8, 4, 8, 12);
        },
        [](QPainter& p) {
            box(p, 1, 1, 14, 14, Qt::white);
            p.setPen(QPen(kInk, 2));
            p.drawLine(4, 8, 12, 8);
        },
        [](QPainter& p) {
            box(p, 0, 0, 15, 15, Qt::white);
            box(p, 4, 4, 7, 7, kPaper);
            arrow(p, QPointF(3, 3), QPointF(1.5, 1.5));
            arrow(p, QPointF(12, 12), QPointF(13.5, 13.5));
        },
        // 37 distance numbers, 38 distance shade
        [](QPainter& p) { letter(p, "12", 10, true, false, kBlue); },
        [](QPainter& p) {
            const int greys[] = {235, 190, 140, 90};
            for (int i = 0; i < 4; ++i) {
                const int column = i % 2;
                const int row = i / 2;
                box(p, 1 + column * 7, 1 + row * 7, 6, 6, QColor(greys[i], greys[i], greys[i]));
            }
        },
        // 39 expand spotlight, 40 reduce spotlight
        [](QPainter& p) {
            p.setPen(QPen(QColor(200, 150, 0), 1));
            p.setBrush(QColor(255, 230, 120));
            p.drawEllipse(QRectF(1, 1, 14, 14));
            p.setBrush(QColor(250, 200, 60));
            p.drawEllipse(QRectF(6, 6, 4, 4));
        },
        [](QPainter& p) {
            p.setPen(QPen(QColor(200, 150, 0), 1));
            p.setBrush(QColor(255, 230, 120));
            p.drawEllipse(QRectF(5, 5, 6, 6));
            p.setBrush(QColor(250, 200, 60));
            p.drawEllipse(QRectF(7, 7, 2, 2));
        },
    };
}

// The disabled form: the glyph's dark lines in grey with a white shadow below and right of
// them, its light fills left out, so that a filled glyph does not become a grey block.
QImage disabled(const QImage& glyph) {
    QImage out(glyph.size(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    auto dark = [&](int x, int y) {
        const QRgb p = glyph.pixel(x, y);
        return qAlpha(p) >= 96 && qGray(p) < 170;
    };
    for (int y = 0; y + 1 < glyph.height(); ++y)
        for (int x = 0; x + 1 < glyph.width(); ++x)
            if (dark(x, y))
                out.setPixel(x + 1, y + 1, qRgba(255, 255, 255, 255));
    for (int y = 0; y < glyph.height(); ++y)
        for (int x = 0; x < glyph.width(); ++x)
            if (dark(x, y))
                out.setPixel(x, y, qRgba(128, 128, 128, 255));
    return out;
}

// A transparent image of w x h with `draw` painted on it, smoothed.
QImage painted(int w, int h, const std::function<void(QPainter&)>& draw) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    draw(p);
    return image;
}

// ---- The cursors: 32 x 32, white shapes outlined in black, so that they show on any colour.

constexpr int kCursor = 32;

void outlined(QPainter& p, const QPainterPath& shape) {
    p.setPen(QPen(Qt::black, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(shape);
}

// A double-headed arrow from `from` to `to` as one closed outline.
QPainterPath doubleArrow(QPointF from, QPointF to) {
    const QPointF d = to - from;
    const qreal length = std::hypot(d.x(), d.y());
    const qreal head = 6;
    const qreal shaft = 1.75;
    const qreal wing = 5.5;
    QPolygonF outline{{0, 0},
                      {head, -wing},
                      {head, -shaft},
                      {length - head, -shaft},
                      {length - head, -wing},
                      {length, 0},
                      {length - head, wing},
                      {length - head, shaft},
                      {head, shaft},
                      {head, wing},
                      {0, 0}};
    QTransform place;
    place.translate(from.x(), from.y());
    place.rotateRadians(std::atan2(d.y(), d.x()));
    QPainterPath path;
    path.addPolygon(place.map(outline));
    return path;
}

// The usual arrow pointer with its tip at `tip`.
void pointer(QPainter& p, QPointF tip) {
    const QPolygonF shape{{0, 0},      {0, 16},     {4, 12.5},    {6.8, 18.5},
                          {9.3, 17.4}, {6.6, 11.5}, {11.5, 11.5}, {0, 0}};
    QPainterPath path;
    path.addPolygon(shape.translated(tip));
    outlined(p, path);
}

// A line with a white border, as a link between nodes is drawn under a pointer.
void link(QPainter& p, QPointF from, QPointF to) {
    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    p.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(from, to);
}

// A magnifier: a lens centred at (12, 12) on a handle towards the lower right; `inside` marks
// what it does to what is under the lens.
void magnifier(QPainter& p, const std::function<void(QPainter&)>& inside) {
    QPainterPath handle;
    handle.addPolygon(
        QTransform().translate(12, 12).rotate(45).map(QPolygonF(QRectF(9, -2.75, 13, 5.5))));
    handle.closeSubpath();
    outlined(p, handle);
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(12, 12), 10.5, 10.5);
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(12, 12), 8, 8);
    inside(p);
}

// The open hand that pulls the network along.
QPainterPath openHand() {
    QPainterPath hand;
    auto part = [&hand](QRectF r, qreal angle = 0) {
        QPainterPath piece;
        piece.addRoundedRect(r, r.width() / 2, r.width() / 2);
        if (angle != 0) {
            const QPointF c = r.center();
            piece = QTransform()
                        .translate(c.x(), c.y())
                        .rotate(angle)
                        .translate(-c.x(), -c.y())
                        .map(piece);
        }
        hand = hand.united(piece);
    };
    part(QRectF(8, 13, 17, 16), 0);
    part(QRectF(8.5, 5, 4.5, 15));
    part(QRectF(13.2, 2, 4.5, 17));
    part(QRectF(17.9, 3, 4.5, 16));
    part(QRectF(22.6, 7, 4.2, 13));
    part(QRectF(3.5, 12, 4.5, 13), -40);
    return hand;
}

struct Cursor {
    int number;
    QPoint hotSpot;
    std::function<void(QPainter&)> draw;
};

std::vector<Cursor> cursors() {
    return {
        // 1 moving a node among its siblings: the node over a left-right arrow
        {1, QPoint(16, 16),
         [](QPainter& p) {
             QPainterPath node;
             node.addRect(QRectF(9.5, 5.5, 13, 9));
             outlined(p, node);
             outlined(p, doubleArrow(QPointF(2, 22), QPointF(30, 22)));
         }},
        // 4 panning: an open hand
        {4, QPoint(16, 16), [](QPainter& p) { outlined(p, openHand()); }},
        // 5 zooming the cells: a magnifier with a plus
        {5, QPoint(12, 12),
         [](QPainter& p) {
             magnifier(p, [](QPainter& q) {
                 q.setPen(QPen(Qt::black, 2));
                 q.drawLine(QPointF(8, 12), QPointF(16, 12));
                 q.drawLine(QPointF(12, 8), QPointF(12, 16));
             });
         }},
        // 6 zooming with the cells' shape kept: a magnifier with a square
        {6, QPoint(12, 12),
         [](QPainter& p) {
             magnifier(p, [](QPainter& q) {
                 q.setPen(QPen(Qt::black, 1.5));
                 q.setBrush(Qt::NoBrush);
                 q.drawRect(QRectF(8.5, 8.5, 7, 7));
             });
         }},
        // 7 moving a link: a pointer with a stretch of line
        {7, QPoint(2, 2),
         [](QPainter& p) {
             link(p, QPointF(14, 29), QPointF(29, 17));
             pointer(p, QPointF(2, 2));
         }},
        // 8 moving a stub: a pointer with a short line ending in a circle
        {8, QPoint(2, 2),
         [](QPainter& p) {
             link(p, QPointF(12, 29), QPointF(22, 22));
             p.setPen(QPen(Qt::black, 1.5));
             p.setBrush(Qt::white);
             p.drawEllipse(QPointF(25, 20), 3.5, 3.5);
             pointer(p, QPointF(2, 2));
         }},
    };
}

// ---- The dialogs' bitmap buttons: drawn from (0, 0) over the whole button, so as big as
// the 28 x 24 the dialog templates allow them.

constexpr int kButtonWidth = 28;
constexpr int kButtonHeight = 24;

enum class Look { Normal, Pushed, Focused };

// A button's face and edges in its look; a pushed one is sunken, a focused one has a dotted
// frame inside its edges.
void buttonFace(QPainter& p, Look look) {
    const int w = kButtonWidth;
    const int h = kButtonHeight;
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(0, 0, w, h, QColor(224, 224, 224));
    const QColor light = Qt::white;
    const QColor shade(128, 128, 128);
    const bool pushed = look == Look::Pushed;
    p.setPen(Qt::black);
    p.drawRect(0, 0, w - 1, h - 1);
    p.setPen(pushed ? shade : light);
    p.drawLine(1, 1, w - 3, 1);
    p.drawLine(1, 1, 1, h - 3);
    p.setPen(pushed ? light : shade);
    p.drawLine(1, h - 2, w - 2, h - 2);
    p.drawLine(w - 2, 1, w - 2, h - 2);
    if (!pushed) {
        p.drawLine(2, h - 3, w - 3, h - 3);
        p.drawLine(w - 3, 2, w - 3, h - 3);
    }
    if (look == Look::Focused) {
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.drawRect(3, 3, w - 7, h - 7);
    }
    p.setRenderHint(QPainter::Antialiasing, true);
}

struct Button {
    int id;
    std::function<void(QPainter&, QRectF)> label;
};

void buttonLetter(QPainter& p, QRectF area, const QString& text, const QFont& font,
                  const QColor& colour = kInk) {
    p.setFont(font);
    p.setPen(colour);
    p.drawText(area, Qt::AlignCenter, text);
}

// The expose toggles of the partition dialog.
std::vector<Button> buttons() {
    return {
        // 32 capitals: a capital and a small capital
        {32,
         [](QPainter& p, QRectF area) {
             QFont font = serif(14, false, false);
             font.setCapitalization(QFont::SmallCaps);
             buttonLetter(p, area, "Cc", font);
         }},
        // 33 italic
        {33, [](QPainter& p, QRectF area) { buttonLetter(p, area, "I", serif(16, false, true)); }},
        // 34 phonetic
        {34,
         [](QPainter& p, QRectF area) {
             buttonLetter(p, area, QString::fromUtf8("\u0283\u0259"), serif(14, false, false),
                          kBlue);
         }},
        // 35 any formatting
        {35,
         [](QPainter& p, QRectF area) { buttonLetter(p, area, "F", serif(16, true, true), kRed); }},
    };
}

QImage button(const Button& b, Look look) {
    return painted(kButtonWidth, kButtonHeight, [&](QPainter& p) {
        buttonFace(p, look);
        // A pushed button's label moves with its face.
        const qreal shift = look == Look::Pushed ? 1 : 0;
        b.label(p, QRectF(2 + shift, 2 + shift, kButtonWidth - 5, kButtonHeight - 5));
    });
}

// The pattern a disabled button is dimmed with: one pixel in two, as a two-colour image.
QImage dimmingPattern() {
    QImage pattern(8, 8, QImage::Format_Mono);
    pattern.setColor(0, qRgb(255, 255, 255));
    pattern.setColor(1, qRgb(0, 0, 0));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            pattern.setPixel(x, y, static_cast<uint>((x + y) % 2));
    return pattern;
}

bool save(const QImage& image, const QString& path) {
    if (image.save(path))
        return true;
    std::fprintf(stderr, "error: Could not write %s\n", qPrintable(path));
    return false;
}

bool writeToolBar(const QString& folder) {
    const std::vector<Glyph> all = glyphs();
    if (static_cast<int>(all.size()) != kGlyphCount) {
        std::fprintf(stderr, "error: %zu glyphs drawn, %d wanted\n", all.size(), kGlyphCount);
        return false;
    }
    QImage strip(kGlyph * kGlyphCount, 2 * kGlyph, QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    for (int i = 0; i < kGlyphCount; ++i) {
        const QImage glyph = painted(kGlyph, kGlyph, all[static_cast<std::size_t>(i)]);
        painter.drawImage(i * kGlyph, 0, glyph);
        painter.drawImage(i * kGlyph, kGlyph, disabled(glyph));
    }
    painter.end();
    // The background: light grey with a faint lighter band at the top, tiled across the bar.
    QImage back(kBackWidth, kBarHeight, QImage::Format_RGB32);
    for (int y = 0; y < kBarHeight; ++y) {
        const int grey = 212 + (y < 3 ? 20 - 6 * y : 0) - y / 7;
        for (int x = 0; x < kBackWidth; ++x)
            back.setPixel(x, y, qRgb(grey, grey, grey));
    }
    return save(strip, folder + "/BARBUTT_FG_L.png") && save(back, folder + "/BARBACK_L.png");
}

bool writeButtons(const QString& folder) {
    // Bitmap id + 1000 is a button's normal look, + 3000 pushed, + 5000 focused.
    const std::pair<int, Look> looks[] = {
        {1000, Look::Normal}, {3000, Look::Pushed}, {5000, Look::Focused}};
    for (const Button& b : buttons())
        for (const auto& [offset, look] : looks)
            if (!save(button(b, look), QStringLiteral("%1/%2.png").arg(folder).arg(b.id + offset)))
                return false;
    return save(dimmingPattern(), folder + "/10.png");
}

bool writeCursors(const QString& folder) {
    for (const Cursor& c : cursors()) {
        QImage image = painted(kCursor, kCursor, c.draw);
        // The program reads the hot spot from the image, so that it is set in one place.
        image.setText("HotSpotX", QString::number(c.hotSpot.x()));
        image.setText("HotSpotY", QString::number(c.hotSpot.y()));
        if (!save(image, QStringLiteral("%1/%2.png").arg(folder).arg(c.number)))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarvo-glyphs RESOURCES_FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QDir resources(QString::fromLocal8Bit(argv[1]));
    if (!resources.mkpath("bitmaps") || !resources.mkpath("cursors")) {
        std::fprintf(stderr, "error: Could not make the folders under %s\n", argv[1]);
        return 1;
    }
    const QString bitmaps = resources.filePath("bitmaps");
    const QString cursorFolder = resources.filePath("cursors");
    return writeToolBar(bitmaps) && writeButtons(bitmaps) && writeCursors(cursorFolder) ? 0 : 1;
}
