// Start-up and shutdown of the program-wide objects.
#include "shell/startup.h"

#include "diagnostics/error_report.h"
#include "edit/changes.h"
#include "labels/accents.h"
#include "labels/colours.h"
#include "labels/font_table.h"
#include "memory/debug_log.h"
#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"
#include "model/network.h"
#include "netfile/shape_file.h"
#include "platform/qt/qt_font_catalog.h"
#include "platform/qt/x11_keyboard_layout.h"

#include <QGuiApplication>
#include <QPalette>

namespace tarvo {
namespace {

// Accent keys and fonts, in that order, from what the window system says.
void loadLabelResources() {
    platform::qt::X11KeyboardLayout layout;
    InitAccentKeys(layout);
    platform::qt::QtFontCatalog catalog;
    BuildFontTable(catalog);
    // Until a network is loaded the preferred fonts come from the installed fonts alone.
    ChoosePreferredFonts();
}

} // namespace

bool StartProgram(ErrorReport& errors) {
    // The word buffer comes before the heap so that it outlives everything the heap holds.
    if (!AllocateWordBuffer())
        return false;
    CreateHeap();
    if (!currentHeap())
        return false;
    if (!StartDebugLog())
        errors.showF("Could not create the debugging log \"%s\".", kDebugLogFile);
    if (!AllocateScratchText())
        return false;
    loadLabelResources();
    errors.clearFatal();
    return true;
}

void ShutDownProgram(ErrorReport& errors) {
    errors.suppress();
    // The networks went with their holders (the frame), before the heap they live in.
    ReleaseFontTable();
    ReleaseScratchText();
    DestroyHeap();
    ReleaseWordBuffer();
}

} // namespace tarvo
