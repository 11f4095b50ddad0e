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
    ToolPopup* popup() const;
    bool glyphsLoaded() const { return !m_glyphs.isNull(); }

    // What a click on the button does (a right click steps alternatives backwards).
    void press(int index, bool backwards);
    // The momentary timer's end: every pressed momentary button comes up again.
    void releaseMomentary();
    // Picks an alternative of the button whose list is open, as a click in the list does.
    void pickAlternative(int row);
    // The hint timer's end: the hint of the button under the mouse, if it is still there.
    void showHint(QPoint global);

    // Draws one button (or alternative) with its top-left corner at `at`.
    void drawButton(QPainter& painter, const ButtonRecord& button, QPoint at) const;

Q_SIGNALS:
    // A button's command, for the active document window.
    void commandChosen(int command);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void openPopup(int index);
    void closePopup();
    void closeHint();
    void redrawButton(int index);

    ButtonSet* m_set = nullptr;
    int m_left = 4;
    int m_top = 2;
    int m_rightLimit = 32767;
    QPixmap m_glyphs;
    QPixmap m_background;
    QTimer* m_momentary = nullptr;
    QTimer* m_hint = nullptr;
    int m_hovered = -1;
    int m_hinted = -1;
    int m_open = -1;
    bool m_hintsEnabled = true;
    QPointer<ToolPopup> m_popup;
    QPointer<HintWindow> m_hintWindow;
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
