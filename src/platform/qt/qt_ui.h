// The presenter over Qt: message boxes as real modal windows.
#pragma once

#include "platform/ui.h"

class QWidget;

namespace platform::qt {

class QtUi : public Ui {
public:
    Answer messageBox(const char* caption, const char* text, Buttons buttons, Icon icon) override;

    // The window the boxes belong to; the active window when none is set.
    void setOwner(QWidget* owner) { m_owner = owner; }

private:
    QWidget* owner() const;
    QWidget* m_owner = nullptr;
};

// Makes the compiled-in resources (icons, bitmaps) reachable; call once after QApplication.
void initResources();

} // namespace platform::qt
