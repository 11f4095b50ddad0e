// What the program asks of the window system to talk to the user: message boxes and the error box.
#pragma once

namespace platform {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Information, Warning, Question, Error };
enum class Answer { Ok, Cancel, Yes, No };

// Texts are Windows-1252 byte strings; the backend converts them for display.
class Ui {
public:
    virtual ~Ui() = default;
    // The modal error box; in its fatal form only Cancel is offered.
    virtual void errorBox(const char* message, bool fatal) = 0;
    virtual Answer messageBox(const char* caption, const char* text, Buttons buttons,
                              Icon icon) = 0;
};

// The presenter in use; the headless one until a window system installs its own.
Ui& ui();
// Installs `presenter` (null restores the headless one) and answers the previous one.
Ui* setUi(Ui* presenter);

} // namespace platform
