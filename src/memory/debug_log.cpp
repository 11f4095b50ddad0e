// The debugging log: every write opens, appends and closes the file.
#include "memory/debug_log.h"

#include <cstdio>

namespace tarvo {

// The debugging log is one file for the whole process: whether it is written, and where, are its
// own state.
bool DebugLogOn = true;

const char*& DebugLogPath() {
    static const char* path = kDebugLogFile;
    return path;
}

namespace {

// The log is one file for the whole process, so whether it was restarted in this run is the
// log's own state, not a view's or a layout's.
bool restartedOnce = false;

bool writeTo(const char* mode, const char* text, bool lineBreak) {
    std::FILE* file = std::fopen(DebugLogPath(), mode);
    if (!file)
        return false;
    bool ok = std::fputs(text ? text : "", file) >= 0;
    if (lineBreak)
        ok = std::fputc('\n', file) != EOF && ok;
    return std::fclose(file) == 0 && ok;
}

} // namespace

bool StartDebugLog() {
    return writeTo("w", "Debugging log file ", false);
}
bool RestartDebugLog(const char* text) {
    return writeTo("w", text, false);
}
bool RestartDebugLogOnce(const char* text) {
    if (restartedOnce)
        return false;
    restartedOnce = true;
    return RestartDebugLog(text);
}
void ForgetDebugLogRestart() {
    restartedOnce = false;
}
bool LogLine(const char* text) {
    return writeTo("a", text, true);
}
bool LogText(const char* text) {
    return writeTo("a", text, false);
}

} // namespace tarvo
