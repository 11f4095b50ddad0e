// The base of the program's dialogs: the template, the owner, the dialog stack, the remembered
// placement, and the routing of controls to overridable operations by control id.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

class QAbstractButton;
class QListWidget;
class QPainter;

namespace tarvo {

class DialogBase;

// Control ids with a meaning of their own to the framework.
namespace control {
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;
inline constexpr int kText = 10;
inline constexpr int kApply = 150;
inline constexpr int kButton151 = 151;
inline constexpr int kToggle154 = 154;
inline constexpr int kListPrevious = 156;
inline constexpr int kListNext = 157;
inline constexpr int kButton178 = 178;
inline constexpr int kFirstCheck = 30;
inline constexpr int kLastCheck = 36;
} // namespace control

// The notification codes passed to OnFocusChange.
inline constexpr int kFocusGained = 4;
inline constexpr int kFocusLost = 5;
// The item height of lists unless a dialog measures its own.
inline constexpr int kDefaultItemHeight = 17;

// Called by RunModal with the dialog set up and shown, before it waits for the user; tests answer
// dialogs through it (a dialog ended in the hook returns at once).
using ModalHook = std::function<void(DialogBase& dialog)>;

// The dialogs of one frame: their owner, their stack, the place they share, and the answers of
// the asking dialogs. The frame holds it and hands it to every dialog it opens.
struct DialogSet {
    // The window that owns dialogs given no owner; it clears itself when the frame goes.
    QPointer<QWidget> mainFrame;
    // The most recently constructed dialog object of the set that still lives.
    DialogBase* head = nullptr;
    // Where the last dialog stood; invalid until the first dialog starts.
    QRect placement;
    // The answer of the last input (1 OK, 0 Cancel) or question (1 Yes, 2 No, 0 Cancel).
    int lastAnswer = 0;
    // While set, questions are asked without a Cancel button.
    bool noCancelQuestion = false;
    ModalHook modalHook;
};

class DialogBase : public QDialog {
    Q_OBJECT
public:
    // The dialog joins `set`; an owner of null makes the set's main frame the owner.
    explicit DialogBase(DialogSet& set, QWidget* owner = nullptr);
    ~DialogBase() override;

    // Builds the template, sets the dialog up, runs it modally and answers its end code; -1 when
    // the template cannot be built.
    int RunModal();
    // Builds the template, sets the dialog up and shows it without waiting for the user; false
    // when the template cannot be built.
    bool OpenModeless();

    // The text put into control 10 at start; none when empty.
    void setCaptionText(const QString& text) { m_captionText = text; }

    // The control with the id `id` (the template's `ctrlId`), or null.
    QWidget* control(int id) const;
    template <class Control> Control* control(int id) const {
        return qobject_cast<Control*>(control(id));
    }
    // The id of a control of this dialog, or 0.
    static int controlId(const QObject* control);
    // Writes `text` into the edit field `id` without reporting an edit change.
    void setEditText(int id, const QString& text);

    DialogSet& dialogSet() const { return m_set; }
    // The dialog object constructed before this one (the next down the dialog stack).
    DialogBase* previousDialog() const { return m_previous; }
    // Where the left button last went down, in the dialog's coordinates.
    QPoint clickPoint() const { return m_clickPoint; }
    // Whether the dialog has been ended since RunModal began.
    bool ended() const { return m_ended; }

    // Presses the button `id` as the user would; answers false when the dialog has no such
    // button that is enabled and shown.
    bool press(int id);

    // The routing of a click of the control `id`.
    void clicked(int id);

    void done(int code) override;
    void reject() override;

protected:
    virtual const char* TemplateName() const = 0;
    // Draws an owner-drawn button (the template's property `ownerDraw`); by default its bitmaps.
    virtual void OnDrawItem(QAbstractButton& button, QPainter& painter);
    virtual void OnInitDialog() {}
    virtual void OnApply() {}
    virtual void OnButton178() {}
    virtual void OnButton151() {}
    virtual void OnListPrevious() {}
    virtual void OnListNext() {}
    virtual void OnOk() { done(1); }
    // Cancel passes 0, No and 172 pass 2; by default every code ends the dialog with 1.
    virtual void OnEnd(int code);
    // Buttons 30 to 36.
    virtual void OnCheck(int /*id*/) {}
    virtual void OnSelChange(QWidget* /*control*/) {}
    virtual void OnEditChange(int /*id*/) {}
    virtual void OnLButtonDown(int /*x*/, int /*y*/) {}
    // A double click in a list, or the space key in an owner-drawn list.
    virtual void OnDoubleClick(QWidget* /*control*/) {}
    // A list gaining (kFocusGained) or losing (kFocusLost) the focus.
    virtual void OnFocusChange(int /*code*/, QWidget* /*control*/) {}
    virtual void OnTimer(int /*id*/) {}
    // A click of a button that no other operation takes; answers whether it was handled.
    virtual bool OnOtherCommand(int /*id*/) { return false; }
    // Draws item `row` of the owner-drawn list `list` into `rect`; answers false to leave the
    // item to the list's own drawing of its text.
    virtual bool OnDrawListItem(QListWidget& /*list*/, int /*row*/, QPainter& /*painter*/,
                                const QRect& /*rect*/, bool /*selected*/) {
        return false;
    }
    // The item height of the owner-drawn list `list`.
    virtual int OnMeasureItem(QWidget* /*list*/) { return kDefaultItemHeight; }

    // Starts or restarts the timer `id` of this dialog; OnTimer(id) follows every `milliseconds`.
    void StartTimer(int id, int milliseconds);
    void StopTimer(int id);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    friend class ListItemDelegate;

    bool build();
    void connectControls();
    void connectControl(QWidget* control, int id);
    void initialise();
    void moveToPlacement();
    bool listKey(QWidget* list, int key);
    void unlinkFromStack();

    DialogSet& m_set;
    DialogBase* m_previous;
    bool m_built = false;
    // Set while the program itself writes into an edit field, so that no edit change is reported.
    bool m_editChangesSuppressed = false;
    QString m_captionText;
    QPoint m_clickPoint;
    bool m_ended = false;
    // The dialog's timer ids beside the system's.
    std::vector<std::pair<int, int>> m_timers;
};

} // namespace tarvo
