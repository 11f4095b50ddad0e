// The error box.
#include "dialogs/error_box.h"

#include "platform/qt/qt_text.h"
#include "ui_ERROR.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>

namespace tarvo {

ErrorBox::ErrorBox(QWidget* owner) : QDialog(owner), m_form(std::make_unique<Ui::ERROR>()) {
    m_form->setupUi(this);
    const QIcon icon(QStringLiteral(":/icons/tarvo.png"));
    m_form->icon103->setPixmap(
        (icon.isNull() ? style()->standardIcon(QStyle::SP_MessageBoxCritical) : icon)
            .pixmap(32, 32));
    connect(m_form->button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_form->button2, &QPushButton::clicked, this, &QDialog::reject);
}

ErrorBox::~ErrorBox() = default;

void ErrorBox::prepare(const char* message, bool fatal) {
    m_form->text10->setText(platform::qt::toQString(message));
    setWindowTitle(fatal ? QStringLiteral("Fatal Error") : QStringLiteral("Error"));
    m_form->button1->setVisible(!fatal);
    m_form->button1->setDefault(!fatal);
    m_form->button2->setVisible(fatal);
    m_form->button2->setDefault(fatal);
    (fatal ? m_form->button2 : m_form->button1)->setFocus();
}

QLabel* ErrorBox::messageLabel() const {
    return m_form->text10;
}
QPushButton* ErrorBox::okButton() const {
    return m_form->button1;
}
QPushButton* ErrorBox::cancelButton() const {
    return m_form->button2;
}

void ErrorBoxPresenter::errorBox(const char* message, bool fatal) {
    ErrorBox box(m_owner ? m_owner.data() : QApplication::activeWindow());
    box.prepare(message, fatal);
    box.exec();
}

} // namespace tarvo
