// The program-wide objects made at start-up and released, in order, at shutdown.
#pragma once

namespace tarvo {

class ErrorReport;

// The first steps of start-up: the word buffer, the heap, the debugging log, the shared
// buffers. Problems go to `errors`, which starts afresh. Answers false when the program cannot
// go on.
bool StartProgram(ErrorReport& errors);

// The shutdown after the event loop: `errors` silenced, everything released, the heap last.
void ShutDownProgram(ErrorReport& errors);

} // namespace tarvo
