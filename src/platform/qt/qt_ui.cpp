// Message boxes through Qt.
#include "platform/qt/qt_ui.h"

#include "platform/qt/qt_text.h"

#include <QApplication>
#include <QMessageBox>

static void initCompiledResources() {
    Q_INIT_RESOURCE(resources);
}

namespace platform::qt {
namespace {

QMessageBox::StandardButtons standardButtons(Buttons buttons) {
    switch (buttons) {
    case Buttons::Ok:
        return QMessageBox::Ok;
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon messageIcon(Icon icon) {
    switch (icon) {
    case Icon::None:
        return QMessageBox::NoIcon;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

Answer answerOf(int button) {
    switch (button) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

} // namespace

QWidget* QtUi::owner() const {
    return m_owner ? m_owner : QApplication::activeWindow();
}

Answer QtUi::messageBox(const char* caption, const char* text, Buttons buttons, Icon icon) {
    // Captions may end in a line break; a window title cannot show one.
    const QString title = toQString(caption).trimmed();
    QMessageBox box(messageIcon(icon), title, toQString(text), standardButtons(buttons), owner());
    box.setTextFormat(Qt::PlainText);
    if (buttons == Buttons::YesNoCancel || buttons == Buttons::YesNo)
        box.setDefaultButton(QMessageBox::Yes);
    return answerOf(box.exec());
}

void initResources() {
    initCompiledResources();
}

} // namespace platform::qt
