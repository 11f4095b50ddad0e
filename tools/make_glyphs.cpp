// Draws the tool bar's bitmaps: the glyph strip (41 glyphs of 16 x 16 side by side, the normal
// ones above and their disabled forms below) and the background strip the bar is tiled with.
//   tarvo-glyphs OUT_FOLDER   writes BARBUTT_FG_L.png and BARBACK_L.png there
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

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

void letter(QPainter& p, const QString& text, int pixels, bool bold, bool italic,
            const QColor& colour = kInk, QRectF area = QRectF(0, 0, kGlyph, kGlyph)) {
    QFont font("DejaVu Serif");
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    p.setFont(font);
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
        p.drawLine(x, 3 + i * 3.3, x + w, 3 + i * 3.3);
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
            for (int i = 0; i < 4; ++i)
                box(p, 1 + (i % 2) * 7, 1 + (i / 2) * 7, 6, 6,
                    QColor(greys[i], greys[i], greys[i]));
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

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tarvo-glyphs OUT_FOLDER\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const std::vector<Glyph> all = glyphs();
    if (static_cast<int>(all.size()) != kGlyphCount) {
        std::fprintf(stderr, "error: %zu glyphs drawn, %d wanted\n", all.size(), kGlyphCount);
        return 1;
    }
    QImage strip(kGlyph * kGlyphCount, 2 * kGlyph, QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    for (int i = 0; i < kGlyphCount; ++i) {
        QImage glyph(kGlyph, kGlyph, QImage::Format_ARGB32);
        glyph.fill(Qt::transparent);
        {
            QPainter p(&glyph);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            all[static_cast<std::size_t>(i)](p);
        }
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
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!strip.save(folder + "/BARBUTT_FG_L.png") || !back.save(folder + "/BARBACK_L.png")) {
        std::fprintf(stderr, "error: Could not write the bitmaps into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
