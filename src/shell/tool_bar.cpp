// The tool bar, its pop-up list of alternatives and its hint window.
#include "shell/tool_bar.h"

#include "platform/qt/qt_text.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>
#include <cstring>

namespace tarvo {
namespace {

const QColor kFrameGrey(192, 192, 192);
const QColor kHintYellow(255, 255, 223);

// The raised or sunk frame of a button, in the light grey of the bar's buttons.
void drawFrame(QPainter& painter, QRect r, bool sunk) {
    painter.fillRect(r, kFrameGrey);
    const QColor light = sunk ? QColor(128, 128, 128) : Qt::white;
    const QColor dark = sunk ? Qt::white : QColor(64, 64, 64);
    painter.setPen(light);
    painter.drawLine(r.topLeft(), r.topRight() - QPoint(1, 0));
    painter.drawLine(r.topLeft(), r.bottomLeft() - QPoint(0, 1));
    painter.setPen(dark);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
}

int wrapped(int value, int count) {
    return ((value % count) + count) % count;
}

// The lists' places on the bar before scaling (left, top, width, height of the open list), their
// ids and hints.
struct ListPlace {
    int id;
    const char* hint;
    int left, top, width, height;
};
constexpr ListPlace kListPlaces[] = {{kNodeList, "Select node", 63, -1, 100, 140},
                                     {kFontList, "Select font", 63, -1, 100, 140},
                                     {kRelationList, "Select relation", 184, -1, 60, 140}};
constexpr int kEditHeight = 17;
constexpr int kItemHeight = 23;

// Items drawn by the active view, 23 pixels high; the closed list's own face is 17.
class ListDelegate : public QStyledItemDelegate {
public:
    ListDelegate(ToolBar* bar, int id) : QStyledItemDelegate(bar), m_bar(bar), m_id(id) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), kItemHeight);
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        if (!m_bar->listItemPainter()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        m_bar->listItemPainter()(m_id, index.row(), *painter, option.rect, selected);
    }

private:
    ToolBar* m_bar;
    int m_id;
};

// A list that tells the bar before it opens.
class DropDown : public QComboBox {
public:
    DropDown(ToolBar* bar, int id) : QComboBox(bar), m_bar(bar), m_id(id) {}
    void showPopup() override {
        if (m_id != kFontList)
            Q_EMIT m_bar->listOpening(m_id);
        QComboBox::showPopup();
    }

private:
    ToolBar* m_bar;
    int m_id;
};

} // namespace

ToolBar::ToolBar(QWidget* parent)
    : QWidget(parent), m_glyphs(QStringLiteral(":/bitmaps/BARBUTT_FG_L.png")),
      m_background(QStringLiteral(":/bitmaps/BARBACK_L.png")), m_momentary(new QTimer(this)),
      m_hint(new QTimer(this)) {
    setObjectName(QStringLiteral("ToolBar"));
    setMouseTracking(true);
    // One button high, and the line along the bottom edge.
    setFixedHeight(kButtonSize + 1);
    m_momentary->setSingleShot(true);
    m_momentary->setInterval(kMomentaryMs);
    connect(m_momentary, &QTimer::timeout, this, &ToolBar::releaseMomentary);
    m_hint->setSingleShot(true);
    m_hint->setInterval(kHintMs);
    connect(m_hint, &QTimer::timeout, this, [this] { showHint(QCursor::pos()); });
    createLists();
}

void ToolBar::createLists() {
    for (int i = 0; i < 3; ++i) {
        const ListPlace& place = kListPlaces[i];
        auto* list = new DropDown(this, place.id);
        list->setObjectName(QString::number(place.id));
        list->setToolTip(QString::fromLatin1(place.hint));
        list->setItemDelegate(new ListDelegate(this, place.id));
        // The scale is above 1: the lists move down by 2 pixels.
        list->setGeometry(
            static_cast<int>(static_cast<float>(place.left) * kButtonScale), place.top + 2,
            static_cast<int>(static_cast<float>(place.width) * kButtonScale), kEditHeight + 4);
        list->view()->setMinimumHeight(place.height - kEditHeight);
        QPalette colours = list->palette();
        colours.setColor(QPalette::Base,
                         place.id == kFontList ? QColor(Qt::white) : QColor(192, 192, 192));
        list->setPalette(colours);
        list->hide();
        connect(list, &QComboBox::activated, this,
                [this, id = place.id](int) { Q_EMIT commandChosen(id); });
        m_lists[i] = list;
    }
}

QComboBox* ToolBar::list(int id) const {
    for (int i = 0; i < 3; ++i)
        if (kListPlaces[i].id == id)
            return m_lists[i];
    return nullptr;
}

ToolBar::~ToolBar() {
    closePopup();
    closeHint();
}

void ToolBar::setButtonSet(ButtonSet* set) {
    releaseMomentary();
    closePopup();
    m_set = set;
    m_hovered = m_hinted = -1;
    update();
}

void ToolBar::setButtonArea(int left, int top, int rightLimit) {
    m_left = left;
    m_top = top;
    if (rightLimit)
        m_rightLimit = rightLimit;
    update();
}

void ToolBar::setAllButtonsEnabled(bool enabled) {
    if (!m_set)
        return;
    for (int i = 0; i < m_set->count; ++i) {
        ButtonRecord& b = m_set->buttons[i];
        const std::uint32_t before = b.state;
        b.state = enabled ? b.state & ~ButtonState::Disabled : b.state | ButtonState::Disabled;
        if (b.state != before)
            redrawButton(i);
    }
}

void ToolBar::updateCommand(int command) {
    if (!m_set)
        return;
    for (int i = 0; i < m_set->count; ++i) {
        const ButtonRecord& b = m_set->buttons[i];
        bool has = b.command == command;
        for (int k = 0; k < b.alternativeCount() && !has; ++k)
            has = b.alternatives[k].command == command;
        if (has)
            redrawButton(i);
    }
}

QRect ToolBar::buttonRect(int index) const {
    if (!m_set || index < 0 || index >= m_set->count)
        return {};
    return QRect(m_left + m_set->buttons[index].position, m_top, kButtonSize, kButtonSize);
}

int ToolBar::buttonAt(QPoint point) const {
    if (!m_set || !rect().contains(point) || point.y() < m_top ||
        point.y() >= m_top + kButtonSize || point.x() < m_left ||
        point.x() >= m_left + m_rightLimit)
        return -1;
    for (int i = 0; i < m_set->count; ++i)
        if (buttonRect(i).contains(point))
            return i;
    return -1;
}

void ToolBar::drawButton(QPainter& painter, const ButtonRecord& button, QPoint at) const {
    const QRect face(at, QSize(kButtonSize, kButtonSize));
    drawFrame(painter, face, button.has(ButtonState::Pressed));
    const bool disabled = button.has(ButtonState::Disabled);
    const int image = std::clamp(button.image, 0, kGlyphCount - 1);
    const int offset = (kButtonSize - kGlyphSize) / 2 + (button.has(ButtonState::Pressed) ? 1 : 0);
    if (!m_glyphs.isNull())
        painter.drawPixmap(
            at + QPoint(offset, offset), m_glyphs,
            QRect(image * kGlyphSize, disabled ? kGlyphSize : 0, kGlyphSize, kGlyphSize));
    if (button.caption && *button.caption) {
        // The caption's characters were moved to the upper half; they stand for their plain
        // selves here.
        std::string plain(button.caption);
        for (char& c : plain)
            if (static_cast<unsigned char>(c) >= 160)
                c = static_cast<char>(static_cast<unsigned char>(c) - 128);
        const QRect area(at.x() + kBorder, at.y() + kButtonSize - 9, kButtonSize - 2 * kBorder,
                         9 - kBorder);
        painter.fillRect(area, kFrameGrey);
        QFont font = painter.font();
        font.setPixelSize(7);
        painter.setFont(font);
        painter.setPen(disabled ? QColor(128, 128, 128) : Qt::black);
        painter.drawText(area, Qt::AlignCenter, platform::qt::toQString(plain));
    }
}

void ToolBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.drawLine(0, height() - 1, width(), height() - 1);
    auto strips = [&](int from, int to) {
        for (int x = from; x < to; x += kBackgroundStrip) {
            const int w = std::min(kBackgroundStrip, to - x);
            if (m_background.isNull())
                painter.fillRect(QRect(x, 0, w, height() - 1), QColor(212, 212, 212));
            else
                painter.drawPixmap(QRect(x, 0, w, height() - 1), m_background,
                                   QRect(0, 0, w, m_background.height()));
        }
    };
    int filled = 0;
    if (!m_set || m_set->count == 0) {
        strips(0, width());
        painter.setPen(Qt::white);
        painter.drawLine(0, 0, 0, height() - 2);
        return;
    }
    for (int i = 0; i < m_set->count; ++i) {
        const QRect r = buttonRect(i);
        if (r.left() >= width())
            break;
        strips(filled, r.left());
        // The bar's background shows above and below the button too.
        painter.save();
        painter.setClipRect(QRect(r.left(), 0, r.width(), height() - 1));
        strips(r.left(), r.right() + 1);
        painter.restore();
        drawButton(painter, m_set->buttons[i], r.topLeft());
        filled = r.right() + 1;
    }
    strips(filled, width());
}

void ToolBar::redrawButton(int index) {
    update(buttonRect(index));
}

void ToolBar::press(int index, bool backwards) {
    closeHint();
    m_hint->stop();
    if (!m_set || index < 0 || index >= m_set->count)
        return;
    ButtonRecord& button = m_set->buttons[index];
    if (button.has(ButtonState::Disabled))
        return;
    if (button.has(ButtonState::Momentary)) {
        if (!m_momentary->isActive())
            m_momentary->start();
        button.state ^= ButtonState::Pressed;
        const int count = button.alternativeCount();
        if (count > 0) {
            // The alternative the button shows now, then the next (or previous) enabled one.
            int current = 0;
            for (int k = 0; k < count; ++k)
                if (button.alternatives[k].command == button.command)
                    current = k;
            int next = current;
            for (int step = 1; step <= count; ++step) {
                const int k = wrapped(current + (backwards ? -step : step), count);
                if (!button.alternatives[k].has(ButtonState::Disabled)) {
                    next = k;
                    break;
                }
            }
            ChooseAlternative(button, next);
            if (m_popup)
                m_popup->update();
        }
        redrawButton(index);
    }
    Q_EMIT commandChosen(button.command);
}

void ToolBar::releaseMomentary() {
    m_momentary->stop();
    if (!m_set)
        return;
    for (int i = 0; i < m_set->count; ++i) {
        ButtonRecord& b = m_set->buttons[i];
        if (b.has(ButtonState::Pressed) && b.has(ButtonState::Momentary)) {
            b.state &= ~ButtonState::Pressed;
            redrawButton(i);
        }
    }
}

void ToolBar::pickAlternative(int row) {
    if (!m_set || m_open < 0 || m_open >= m_set->count)
        return;
    ButtonRecord& button = m_set->buttons[m_open];
    if (row < 0 || row >= button.alternativeCount())
        return;
    if (button.alternatives[row].has(ButtonState::Disabled))
        return;
    ChooseAlternative(button, row);
    redrawButton(m_open);
    if (m_popup)
        m_popup->update();
    Q_EMIT commandChosen(button.command);
}

void ToolBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return;
    press(buttonAt(event->position().toPoint()), event->button() == Qt::RightButton);
}

void ToolBar::mouseMoveEvent(QMouseEvent* event) {
    const int index = buttonAt(event->position().toPoint());
    if (!m_hintsEnabled) {
        closeHint();
    } else if (index != m_hovered || index != m_hinted) {
        if (index != m_hinted)
            closeHint();
        if (index >= 0)
            m_hint->start();
    }
    m_hovered = index;
    if (index >= 0 && index != m_open && m_set->buttons[index].alternativeCount() > 0 &&
        !m_set->buttons[index].has(ButtonState::Disabled))
        openPopup(index);
}

void ToolBar::leaveEvent(QEvent*) {
    // Into the open list of alternatives too: its rows have hints of their own.
    m_hovered = -1;
    m_hint->stop();
    closeHint();
}

void ToolBar::hoverAlternative(int row) {
    if (!m_hintsEnabled) {
        closeHint();
        return;
    }
    if (row == m_hintedRow)
        return;
    closeHint();
    m_hint->start();
}

void ToolBar::alternativesLeft() {
    m_hint->stop();
    closeHint();
}

void ToolBar::moveEvent(QMoveEvent*) {
    // An open list would be left behind where the bar was.
    for (QComboBox* list : m_lists)
        list->hidePopup();
}

void ToolBar::showHint(QPoint global) {
    m_hint->stop();
    const int index = buttonAt(mapFromGlobal(global));
    ButtonRecord* item = index >= 0 ? &m_set->buttons[index] : nullptr;
    int row = -1;
    if (!item && m_popup && m_popup->rect().contains(m_popup->mapFromGlobal(global))) {
        row = m_popup->mapFromGlobal(global).y() / kButtonSize;
        ButtonRecord& open = m_set->buttons[m_popup->index()];
        if (row >= 0 && row < open.alternativeCount())
            item = &open.alternatives[row];
    }
    if (!item) {
        closeHint();
        return;
    }
    if (!m_hintWindow)
        m_hintWindow = new HintWindow(this);
    m_hintWindow->showText(platform::qt::toQString(item->label), global);
    m_hinted = index;
    m_hintedRow = index >= 0 ? -1 : row;
}

void ToolBar::openPopup(int index) {
    closePopup();
    m_open = index;
    m_popup = new ToolPopup(this, index);
    auto* grower = new QTimer(m_popup);
    grower->setInterval(kPopupStepMs);
    connect(grower, &QTimer::timeout, m_popup, [this, grower] {
        if (!m_popup)
            return;
        m_popup->grow();
        // The list stays while the mouse is over it, the bar or the hint.
        const QPoint global = QCursor::pos();
        auto over = [&](QWidget* w) {
            return w && w->isVisible() && w->rect().contains(w->mapFromGlobal(global));
        };
        if (!over(m_popup) && !over(this) && !over(m_hintWindow)) {
            grower->stop();
            closePopup();
        }
    });
    grower->start();
}

void ToolBar::closePopup() {
    if (m_hintedRow >= 0)
        closeHint();
    if (m_popup) {
        m_popup->hide();
        m_popup->deleteLater();
    }
    m_popup = nullptr;
    m_open = -1;
}

void ToolBar::closeHint() {
    if (m_hintWindow)
        m_hintWindow->hide();
    m_hinted = -1;
    m_hintedRow = -1;
}

HintWindow* ToolBar::hintWindow() const {
    return m_hintWindow;
}

bool ToolBar::hintPending() const {
    return m_hint->isActive();
}

ToolPopup* ToolBar::popup() const {
    return m_popup;
}

ToolPopup::ToolPopup(ToolBar* bar, int index)
    : QWidget(bar, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      m_bar(bar), m_index(index) {
    setObjectName(QStringLiteral("Tarvo-ToolPop"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    const QRect button = bar->buttonRect(index);
    move(bar->mapToGlobal(QPoint(button.left() - 1, button.bottom() + 1)));
    resize(ToolBar::kButtonSize, 0);
    grow();
    show();
}

int ToolPopup::fullHeight() const {
    const ButtonSet* set = m_bar->buttonSet();
    return set ? set->buttons[m_index].alternativeCount() * ToolBar::kButtonSize : 0;
}

bool ToolPopup::grow() {
    if (m_shown >= fullHeight())
        return false;
    m_shown = std::min(fullHeight(), m_shown + kPopupStep);
    resize(ToolBar::kButtonSize, m_shown);
    update();
    return true;
}

void ToolPopup::paintEvent(QPaintEvent*) {
    const ButtonSet* set = m_bar->buttonSet();
    if (!set)
        return;
    QPainter painter(this);
    const ButtonRecord& button = set->buttons[m_index];
    // The list slides into view: its last rows come first.
    const int shift = m_shown - fullHeight();
    for (int k = 0; k < button.alternativeCount(); ++k)
        m_bar->drawButton(painter, button.alternatives[k],
                          QPoint(0, shift + k * ToolBar::kButtonSize));
}

void ToolPopup::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_bar->pickAlternative(event->position().toPoint().y() / ToolBar::kButtonSize);
}

void ToolPopup::mouseMoveEvent(QMouseEvent* event) {
    m_bar->hoverAlternative(event->position().toPoint().y() / ToolBar::kButtonSize);
}

void ToolPopup::leaveEvent(QEvent*) {
    m_bar->alternativesLeft();
}

HintWindow::HintWindow(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
    setObjectName(QStringLiteral("TrvPop"));
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void HintWindow::showText(const QString& text, QPoint global) {
    m_text = text;
    const QSize size = fontMetrics().size(0, text) + QSize(6, 3);
    setGeometry(QRect(global + QPoint(0, 16), size));
    show();
    update();
}

void HintWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kHintYellow);
    painter.setPen(isEnabled() ? Qt::black : QColor(128, 128, 128));
    painter.drawText(rect().adjusted(3, 1, -3, -2), Qt::AlignLeft | Qt::AlignVCenter, m_text);
}

} // namespace tarvo
