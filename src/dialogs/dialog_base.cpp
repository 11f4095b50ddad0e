// The dialog framework: builds a dialog from its template and turns the controls' signals and the
// dialog's events into calls of the operations a dialog overrides.
#include "dialogs/dialog_base.h"

#include "dialogs/dialog_template.h"

#include <QAbstractButton>
#include <QBitmap>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>
#include <QTimerEvent>

namespace tarvo {

// Draws the items of an owner-drawn list through its dialog, at the height the dialog measures.
class ListItemDelegate : public QStyledItemDelegate {
public:
    ListItemDelegate(DialogBase& dialog, QListWidget* list)
        : QStyledItemDelegate(list), m_dialog(dialog), m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(m_dialog.OnMeasureItem(m_list));
        return size;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        if (!m_dialog.OnDrawListItem(*m_list, index.row(), *painter, option.rect, selected))
            QStyledItemDelegate::paint(painter, option, index);
    }

private:
    DialogBase& m_dialog;
    QListWidget* m_list;
};

namespace {

// Bitmap n of the resources; null when the program has none of that number.
QPixmap bitmapResource(int number) {
    return QPixmap(QStringLiteral(":/bitmaps/%1.png").arg(number));
}

bool isOwnerDrawn(const QWidget* control) {
    return control->property("ownerDraw").toBool();
}

// The brush that dims a disabled button: bitmap 10 as a pattern in light grey, or a half-tone
// when the program has no such bitmap.
QBrush dimmingBrush() {
    const QColor lightGrey(192, 192, 192);
    const QPixmap pattern = bitmapResource(10);
    if (pattern.isNull())
        return QBrush(lightGrey, Qt::Dense4Pattern);
    return QBrush(lightGrey, QBitmap::fromImage(pattern.toImage()));
}

} // namespace

DialogBase::DialogBase(DialogSet& set, QWidget* owner)
    : QDialog(owner ? owner : set.mainFrame.data()), m_set(set), m_previous(set.head) {
    set.head = this;
}

DialogBase::~DialogBase() {
    // The controls outlive this part of the object while the window goes; none may reach an
    // operation after it.
    const QList<QWidget*> controls = findChildren<QWidget*>();
    for (QWidget* candidate : controls) {
        candidate->removeEventFilter(this);
        disconnect(candidate, nullptr, this, nullptr);
    }
    unlinkFromStack();
}

void DialogBase::unlinkFromStack() {
    // Modeless dialogs may go in any order, so the object is taken out wherever it stands.
    DialogBase*& head = m_set.head;
    if (head == this) {
        head = m_previous;
        return;
    }
    for (DialogBase* dialog = head; dialog; dialog = dialog->m_previous) {
        if (dialog->m_previous == this) {
            dialog->m_previous = m_previous;
            return;
        }
    }
}

bool DialogBase::build() {
    if (!m_built) {
        QString error;
        if (!LoadDialogTemplate(QString::fromLatin1(TemplateName()), *this, &error)) {
            qWarning("dialog template %s: %s", TemplateName(), qPrintable(error));
            return false;
        }
        m_built = true;
        connectControls();
    }
    return true;
}

bool DialogBase::OpenModeless() {
    if (!build())
        return false;
    m_ended = false;
    setModal(false);
    initialise();
    if (!m_ended)
        show();
    return true;
}

int DialogBase::RunModal() {
    if (!build())
        return -1;
    m_ended = false;
    initialise();
    if (m_ended)
        return result();
    // A copy, so that a hook may replace itself while it runs.
    const ModalHook hook = m_set.modalHook;
    if (hook) {
        show();
        hook(*this);
        if (m_ended)
            return result();
        hide();
    }
    return exec();
}

void DialogBase::initialise() {
    if (!m_captionText.isEmpty()) {
        if (QWidget* text = control(control::kText))
            text->setProperty("text", m_captionText);
    }
    moveToPlacement();
    OnInitDialog();
}

void DialogBase::moveToPlacement() {
    // The controls take their final sizes when polished; the place is worked out for those.
    ensurePolished();
    if (layout())
        layout()->activate();
    resize(size().expandedTo(minimumSizeHint()));
    // The window is made now so that its frame counts: places are those of the frame.
    winId();
    QRect& placement = m_set.placement;
    if (!placement.isValid()) {
        const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
        const QRect area = owner && owner->isVisible()
                               ? owner->frameGeometry()
                               : QGuiApplication::primaryScreen()->availableGeometry();
        QRect centred(QPoint(), frameGeometry().size());
        centred.moveCenter(area.center());
        placement = centred;
    }
    // A place remembered on a screen that has since gone is pulled back onto the primary one.
    const QScreen* screen = QGuiApplication::screenAt(placement.topLeft());
    const QRect area = (screen ? screen : QGuiApplication::primaryScreen())->availableGeometry();
    QPoint place = placement.topLeft();
    const QSize frame = frameGeometry().size();
    place.setX(std::max(area.left(), std::min(place.x(), area.right() - frame.width() + 1)));
    place.setY(std::max(area.top(), std::min(place.y(), area.bottom() - frame.height() + 1)));
    move(place);
}

void DialogBase::done(int code) {
    m_ended = true;
    if (isVisible())
        m_set.placement = frameGeometry();
    QDialog::done(code);
}

void DialogBase::reject() {
    // The close box and Escape act as the Cancel button.
    clicked(control::kCancel);
}

void DialogBase::OnEnd(int /*code*/) {
    done(1);
}

QWidget* DialogBase::control(int id) const {
    const QList<QWidget*> controls = findChildren<QWidget*>();
    for (QWidget* candidate : controls) {
        if (controlId(candidate) == id)
            return candidate;
    }
    return nullptr;
}

int DialogBase::controlId(const QObject* control) {
    return control ? control->property("ctrlId").toInt() : 0;
}

void DialogBase::setEditText(int id, const QString& text) {
    auto* edit = control<QLineEdit>(id);
    if (!edit)
        return;
    bool& suppressed = m_editChangesSuppressed;
    const bool before = suppressed;
    suppressed = true;
    edit->setText(text);
    suppressed = before;
}

bool DialogBase::press(int id) {
    auto* button = control<QAbstractButton>(id);
    if (!button || !button->isEnabled() || !button->isVisibleTo(this))
        return false;
    button->click();
    return true;
}

void DialogBase::clicked(int id) {
    if (id >= control::kFirstCheck && id <= control::kLastCheck) {
        OnCheck(id);
        return;
    }
    switch (id) {
    case control::kOk:
    case control::kYes:
    case 170:
    case 171:
        OnOk();
        return;
    case control::kCancel:
        OnEnd(0);
        return;
    case control::kNo:
    case 172:
        OnEnd(2);
        return;
    case control::kApply:
        OnApply();
        return;
    case control::kButton151:
        OnButton151();
        return;
    case control::kButton178:
        OnButton178();
        return;
    default:
        OnOtherCommand(id);
    }
}

void DialogBase::connectControls() {
    const QList<QWidget*> controls = findChildren<QWidget*>();
    for (QWidget* candidate : controls) {
        if (const int id = controlId(candidate))
            connectControl(candidate, id);
    }
}

void DialogBase::connectControl(QWidget* control, int id) {
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        connect(button, &QAbstractButton::clicked, this, [this, id] { clicked(id); });
        if (isOwnerDrawn(button))
            button->installEventFilter(this);
    } else if (auto* list = qobject_cast<QListWidget*>(control)) {
        connect(list, &QListWidget::currentRowChanged, this, [this, list] { OnSelChange(list); });
        connect(list, &QListWidget::itemDoubleClicked, this, [this, list] { OnDoubleClick(list); });
        list->installEventFilter(this);
        if (isOwnerDrawn(list))
            list->setItemDelegate(new ListItemDelegate(*this, list));
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        connect(combo, &QComboBox::currentIndexChanged, this,
                [this, combo] { OnSelChange(combo); });
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        connect(edit, &QLineEdit::textChanged, this, [this, id] {
            if (!m_editChangesSuppressed)
                OnEditChange(id);
        });
    }
}

bool DialogBase::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint:
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            QPainter painter(button);
            OnDrawItem(*button, painter);
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (isOwnerDrawn(widget) && qobject_cast<QListWidget*>(widget))
            return listKey(widget, static_cast<QKeyEvent*>(event)->key()) ||
                   QDialog::eventFilter(watched, event);
        break;
    case QEvent::FocusIn:
        OnFocusChange(kFocusGained, widget);
        break;
    case QEvent::FocusOut:
        OnFocusChange(kFocusLost, widget);
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

bool DialogBase::listKey(QWidget* list, int key) {
    const auto enabled = [this](int id) {
        const QWidget* button = control(id);
        return button && button->isEnabled();
    };
    switch (key) {
    case Qt::Key_Space:
        OnDoubleClick(list);
        return true;
    case Qt::Key_Minus:
        if (enabled(control::kListPrevious))
            OnListPrevious();
        return true;
    case Qt::Key_Period:
        if (enabled(control::kListNext))
            OnListNext();
        return true;
    default:
        return false;
    }
}

void DialogBase::OnDrawItem(QAbstractButton& button, QPainter& painter) {
    const int id = controlId(&button);
    // A toggle that is on shows its pushed face (154 shows its lit face instead).
    const bool on = button.isCheckable() && button.isChecked();
    const bool pushed = button.isDown() || (on && id != control::kToggle154);
    const bool lit = button.hasFocus() || (id == control::kToggle154 && on);
    QPixmap pixmap = bitmapResource(id + 1000);
    const QPixmap variant = pushed ? bitmapResource(id + 3000)
                            : lit  ? bitmapResource(id + 5000)
                                   : QPixmap();
    if (!variant.isNull())
        pixmap = variant;
    if (!pixmap.isNull()) {
        painter.drawPixmap(0, 0, pixmap);
    } else {
        // Until the button has its bitmaps it shows its text in its state.
        QStyleOptionButton option;
        option.initFrom(&button);
        option.text = button.text();
        option.state |= pushed ? QStyle::State_Sunken : QStyle::State_Raised;
        if (button.isChecked())
            option.state |= QStyle::State_On;
        button.style()->drawControl(QStyle::CE_PushButton, &option, &painter, &button);
    }
    if (!button.isEnabled()) {
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.fillRect(button.rect(), dimmingBrush());
    }
}

void DialogBase::StartTimer(int id, int milliseconds) {
    StopTimer(id);
    m_timers.emplace_back(id, startTimer(milliseconds));
}

void DialogBase::StopTimer(int id) {
    for (auto timer = m_timers.begin(); timer != m_timers.end(); ++timer) {
        if (timer->first == id) {
            killTimer(timer->second);
            m_timers.erase(timer);
            return;
        }
    }
}

void DialogBase::timerEvent(QTimerEvent* event) {
    // OnTimer may stop timers, so the list is not walked while it runs.
    for (const auto& [id, systemId] : m_timers) {
        if (systemId == event->timerId()) {
            const int ownId = id;
            OnTimer(ownId);
            return;
        }
    }
    QDialog::timerEvent(event);
}

void DialogBase::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_clickPoint = event->position().toPoint();
        OnLButtonDown(m_clickPoint.x(), m_clickPoint.y());
    }
    QDialog::mousePressEvent(event);
}

} // namespace tarvo
