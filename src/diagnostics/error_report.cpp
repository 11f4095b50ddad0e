// The error box's logic: the message buffer, the shutdown silence and the fatal form.
#include "diagnostics/error_report.h"

#include "platform/ui.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace tarvo {

ErrorState& errorState() {
    static ErrorState state;
    return state;
}

void ShowError(const char* text) {
    ErrorState& state = errorState();
    if (state.ErrorsSuppressed)
        return;
    // The text may be the message buffer itself (ShowErrorF), so move rather than copy.
    const char* source = text ? text : "";
    const std::size_t length = std::min(std::strlen(source), std::size_t{kErrorMessageBytes - 1});
    std::memmove(state.message, source, length);
    state.message[length] = '\0';
    platform::ui().errorBox(state.message, state.FatalError);
}

void ShowErrorF(const char* format, ...) {
    ErrorState& state = errorState();
    if (state.ErrorsSuppressed)
        return;
    std::va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(state.message, sizeof state.message, format, arguments);
    va_end(arguments);
    ShowError(state.message);
}

void ShowDiagnostics(const Diagnostics& problems) {
    for (const Diagnostic& problem : problems)
        ShowError(problem.message.c_str());
}

void ReportNonZero(long value, int point) {
    if (value == 0)
        return;
    errorState().FatalError = true;
    ShowErrorF("Non zero detected at point %d", point);
}

} // namespace tarvo
