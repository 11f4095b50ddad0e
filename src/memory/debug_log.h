// The debugging log "list.out" in the working directory.
#pragma once

namespace tarvo {

inline constexpr const char* kDebugLogFile = "list.out";
// Where the log is written: kDebugLogFile unless changed (the tests give each of their
// processes its own, since they run side by side in one folder).
const char*& DebugLogPath();

// Enables the diagnostic reports; on for the whole run.
extern bool DebugLogOn;

// Creates the log afresh with its first line.
bool StartDebugLog();
// Creates the log afresh holding `text` only.
bool RestartDebugLog(const char* text);
// RestartDebugLog the first time it is called in the process (the first layout of a run notes
// itself so); later calls leave the log alone and answer false. ForgetDebugLogRestart makes the
// next call restart it again.
bool RestartDebugLogOnce(const char* text);
void ForgetDebugLogRestart();
// Appends `text` and a line break, opening and closing the file so the log survives a crash.
bool LogLine(const char* text);
// Appends `text` as it is, without a line break.
bool LogText(const char* text);

} // namespace tarvo
