// The error box's logic: the message buffer, the shutdown silence and the fatal form.
#include "diagnostics/error_report.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace tarvo {

void ErrorReport::show(const char* text) {
    if (m_suppressed)
        return;
    // The text may be the message buffer itself (showF), so move rather than copy.
    const char* source = text ? text : "";
    const std::size_t length = std::min(std::strlen(source), std::size_t{kErrorMessageBytes - 1});
    std::memmove(m_message, source, length);
    m_message[length] = '\0';
    m_presenter->errorBox(m_message, m_fatal);
}

void ErrorReport::showF(const char* format, ...) {
    if (m_suppressed)
        return;
    std::va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(m_message, sizeof m_message, format, arguments);
    va_end(arguments);
    show(m_message);
}

void ErrorReport::showDiagnostics(const Diagnostics& problems) {
    for (const Diagnostic& problem : problems)
        show(problem.message.c_str());
}

void ErrorReport::showFatal(const char* text) {
    m_fatal = true;
    show(text);
}

void ErrorReport::reportNonZero(long value, int point) {
    if (value == 0)
        return;
    m_fatal = true;
    showF("Non zero detected at point %d", point);
}

} // namespace tarvo
