// The program's error box: one way for every subsystem to tell the user of a problem.
#pragma once

#include "diagnostics/diagnostics.h"

namespace tarvo {

inline constexpr int kErrorMessageBytes = 200;

// What puts the error box in front of the user: the window system's modal box, or a record in
// tests. The layer that owns the windows implements it and hands it down.
class ErrorPresenter {
public:
    virtual ~ErrorPresenter() = default;
    // Shows `message` (Windows-1252); in its fatal form only Cancel is offered.
    virtual void errorBox(const char* message, bool fatal) = 0;
};

// The error box's logic for one program run: the message buffer, the shutdown silence and the
// fatal form, over the presenter it was given.
class ErrorReport {
public:
    explicit ErrorReport(ErrorPresenter& presenter) : m_presenter(&presenter) {}
    ErrorReport(const ErrorReport&) = delete;
    ErrorReport& operator=(const ErrorReport&) = delete;

    // Shows `text` (cut to 199 characters) in the modal error box unless errors are suppressed.
    void show(const char* text);
    // Formats one argument into the message and shows it.
    void showF(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Shows each problem in the error box, in order.
    void showDiagnostics(const Diagnostics& problems);
    // A problem the program cannot go on after (out of memory, a failed consistency check):
    // this box and every later one take the fatal form.
    void showFatal(const char* text);
    // When `value` is not zero, the consistency check at `point` failed: a fatal error.
    void reportNonZero(long value, int point);

    // Silences the box while the program shuts down.
    void suppress() { m_suppressed = true; }
    bool suppressed() const { return m_suppressed; }
    // Whether a fatal error was reported; cleared only at start-up.
    bool fatal() const { return m_fatal; }
    void clearFatal() { m_fatal = false; }
    // The last message shown.
    const char* message() const { return m_message; }

private:
    ErrorPresenter* m_presenter;
    bool m_suppressed = false;
    bool m_fatal = false;
    char m_message[kErrorMessageBytes] = {};
};

} // namespace tarvo
