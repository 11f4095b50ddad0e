// Start-up and shutdown of the program-wide objects.
#include "shell/startup.h"

#include "dialogs/error_report.h"
#include "memory/debug_log.h"
#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"

namespace tarvo {

bool StartProgram() {
    // The word buffer comes before the heap so that it outlives everything the heap holds.
    if (!AllocateWordBuffer())
        return false;
    CreateHeap();
    if (!currentHeap())
        return false;
    if (!StartDebugLog())
        ShowErrorF("Could not create the debugging log \"%s\".", kDebugLogFile);
    if (!AllocateScratchText())
        return false;
    errorState().FatalError = false;
    return true;
}

void ShutDownProgram() {
    errorState().ErrorsSuppressed = true;
    ReleaseScratchText();
    DestroyHeap();
    ReleaseWordBuffer();
}

} // namespace tarvo
