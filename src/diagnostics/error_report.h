// The program's error box: one way for every subsystem to tell the user of a problem.
#pragma once

#include "diagnostics/diagnostics.h"

namespace tarvo {

inline constexpr int kErrorMessageBytes = 200;

struct ErrorState {
    // Silences the box while the program shuts down.
    bool ErrorsSuppressed = false;
    // Set after running out of memory or a failed consistency check; never cleared afterwards
    // except at start-up. Every later box takes its fatal form.
    bool FatalError = false;
    char message[kErrorMessageBytes] = {};
};

ErrorState& errorState();

// Shows `text` (cut to 199 characters) in the modal error box unless errors are suppressed.
void ShowError(const char* text);
// Formats one argument into the message and shows it.
void ShowErrorF(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Shows each problem in the error box, in order.
void ShowDiagnostics(const Diagnostics& problems);
// When `value` is not zero, the consistency check at `point` failed: a fatal error.
void ReportNonZero(long value, int point);

} // namespace tarvo
