// The modal error box made from the "ERROR" template, in its normal and its fatal form.
#pragma once

#include <QDialog>

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

} // namespace tarvo
