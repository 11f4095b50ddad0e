// The tool bar across the top of the frame: one button set at a time, drawn from the glyph
// strip over the tiled background; clicks send the button's command, momentary buttons show
// pressed for a moment, multi-choice buttons step through their alternatives (backwards with
// the right button) and open their list of alternatives under the mouse, and a resting mouse
// gets the button's hint.
#pragma once

#include "shell/button_sets.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <functional>

class QComboBox;
class QPainter;
class QTimer;

namespace tarvo {

// Timer periods of the bar, in milliseconds.
inline constexpr int kMomentaryMs = 200;
inline constexpr int kHintMs = 1000;
inline constexpr int kPopupStepMs = 10;
// The pop-up list of alternatives grows by this many pixels a step.
inline constexpr int kPopupStep = 8;

class ToolPopup;
class HintWindow;

// The three drop-down lists of the bar, by the command each sends.
inline constexpr int kNodeList = 95;
inline constexpr int kFontList = 96;
inline constexpr int kRelationList = 94;

// Draws one item of a drop-down list: the list's id, the item's index (-1 for the edit part),
// the painter, the item's rectangle, and whether it is selected. The active view supplies it.
using ListItemPainter =
    std::function<void(int list, int index, QPainter& painter, const QRect& rect, bool selected)>;

class ToolBar : public QWidget {
    Q_OBJECT
public:
    explicit ToolBar(QWidget* parent = nullptr);
    ~ToolBar() override;

    // 20 x 1.2, truncated.
    static constexpr int kButtonSize = 24;
    static constexpr int kBorder = 2;
    static constexpr int kGlyphSize = 16;
    static constexpr int kGlyphCount = 41;
    static constexpr int kBackgroundStrip = 12;

    // Makes the set current: a momentary press is let go first, and the bar repaints. The set
    // must outlive its time here.
    void setButtonSet(ButtonSet* set);
    ButtonSet* buttonSet() const { return m_set; }
    // The button area: a right limit of 0 keeps the one there is.
    void setButtonArea(int left, int top, int rightLimit);
    // Clears or sets the disabled bit of every button of the current set, redrawing the ones
    // that changed.
    void setAllButtonsEnabled(bool enabled);
    // Redraws the button (or the button whose alternative it is) that has the command.
    void updateCommand(int command);

    // The button under a point of the bar, or -1.
    int buttonAt(QPoint point) const;
    QRect buttonRect(int index) const;
    // Whether hints show when the mouse rests on a button.
    void setHintsEnabled(bool on) { m_hintsEnabled = on; }
    // The index of the button whose alternatives are open, or -1.
    int openAlternatives() const { return m_open; }
    HintWindow* hintWindow() const;
    // Whether a hint is waiting for the mouse to rest.
    bool hintPending() const;
    ToolPopup* popup() const;
    bool glyphsLoaded() const { return !m_glyphs.isNull(); }

    // The drop-down list with the id (94, 95 or 96); they start hidden and the views show them.
    QComboBox* list(int id) const;
    // Who draws the lists' items; without one they show their texts.
    void setListItemPainter(ListItemPainter painter) { m_itemPainter = std::move(painter); }
    const ListItemPainter& listItemPainter() const { return m_itemPainter; }

    // What a click on the button does (a right click steps alternatives backwards).
    void press(int index, bool backwards);
    // The momentary timer's end: every pressed momentary button comes up again.
    void releaseMomentary();
    // Picks an alternative of the button whose list is open, as a click in the list does.
    void pickAlternative(int row);
    // The hint timer's end: the hint of the button (or of the open list's alternative) under
    // the mouse, if it is still there.
    void showHint(QPoint global);
    // The mouse rests on row `row` of the open list of alternatives, or has left the list.
    void hoverAlternative(int row);
    void alternativesLeft();

    // Draws one button (or alternative) with its top-left corner at `at`.
    void drawButton(QPainter& painter, const ButtonRecord& button, QPoint at) const;

Q_SIGNALS:
    // A button's command, or a list's id when its selection changed, for the active document
    // window.
    void commandChosen(int command);
    // A drop-down list of the node or relation is about to open; the view fills it first.
    void listOpening(int id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void openPopup(int index);
    void closePopup();
    void closeHint();
    void redrawButton(int index);
    void createLists();

    ButtonSet* m_set = nullptr;
    int m_left = 4;
    int m_top = 0;
    int m_rightLimit = 32767;
    QPixmap m_glyphs;
    QPixmap m_background;
    QTimer* m_momentary = nullptr;
    QTimer* m_hint = nullptr;
    int m_hovered = -1;
    int m_hinted = -1;
    // The row of the open list whose hint shows, or -1.
    int m_hintedRow = -1;
    int m_open = -1;
    bool m_hintsEnabled = true;
    QPointer<ToolPopup> m_popup;
    QPointer<HintWindow> m_hintWindow;
    QComboBox* m_lists[3] = {};
    ListItemPainter m_itemPainter;
};

// The list of a multi-choice button's alternatives, stacked under the button; it grows into
// view a few pixels a step and closes when the mouse leaves it, the bar and the hint.
class ToolPopup : public QWidget {
    Q_OBJECT
public:
    ToolPopup(ToolBar* bar, int index);
    int index() const { return m_index; }
    // The height shown so far, and the whole height.
    int shownHeight() const { return m_shown; }
    int fullHeight() const;
    // One step of growing; true while it grows.
    bool grow();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    ToolBar* m_bar;
    int m_index;
    int m_shown = 0;
};

// The small yellow window with a button's hint; it never takes the focus.
class HintWindow : public QWidget {
    Q_OBJECT
public:
    explicit HintWindow(QWidget* owner);
    void showText(const QString& text, QPoint global);
    QString text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};

} // namespace tarvo
