// The modal error box made from the "ERROR" template, in its normal and its fatal form.
#pragma once

#include "diagnostics/error_report.h"

#include <QDialog>
#include <QPointer>

#include <memory>

namespace Ui {
class ERROR;
}
class QLabel;
class QPushButton;

namespace tarvo {

class ErrorBox : public QDialog {
    Q_OBJECT
public:
    explicit ErrorBox(QWidget* owner = nullptr);
    ~ErrorBox() override;

    // Fills the box with `message` (Windows-1252) and sets it up for its normal or fatal form.
    void prepare(const char* message, bool fatal);

    QLabel* messageLabel() const;
    QPushButton* okButton() const;
    QPushButton* cancelButton() const;

private:
    std::unique_ptr<Ui::ERROR> m_form;
};

// The error report's presenter in the program: the error box, run modally over its owner.
class ErrorBoxPresenter : public ErrorPresenter {
public:
    void errorBox(const char* message, bool fatal) override;

    // The window the box belongs to; the active window when none is set.
    void setOwner(QWidget* owner) { m_owner = owner; }

private:
    QPointer<QWidget> m_owner;
};

} // namespace tarvo
