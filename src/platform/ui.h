// What the program asks of the window system to ask the user something: message boxes.
#pragma once

namespace platform {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Icon { None, Information, Warning, Question, Error };
enum class Answer { Ok, Cancel, Yes, No };

// Texts are Windows-1252 byte strings; the backend converts them for display.
class Ui {
public:
    virtual ~Ui() = default;
    virtual Answer messageBox(const char* caption, const char* text, Buttons buttons,
                              Icon icon) = 0;
};

} // namespace platform
