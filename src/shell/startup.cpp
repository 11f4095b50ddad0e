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
#include "shell/button_sets.h"

#include <QGuiApplication>
#include <QPalette>

namespace tarvo {
namespace {

// Colours, accent keys and fonts, in that order, from what the window system says.
void loadLabelResources() {
    const QColor highlight = QGuiApplication::palette().color(QPalette::Highlight);
    InitColourTable({static_cast<std::uint8_t>(highlight.red()),
                     static_cast<std::uint8_t>(highlight.green()),
                     static_cast<std::uint8_t>(highlight.blue())});
    platform::qt::X11KeyboardLayout layout;
    InitAccentKeys(layout);
    platform::qt::QtFontCatalog catalog;
    BuildFontTable(catalog);
    // Until a network is loaded the preferred fonts come from the installed fonts alone.
    ChoosePreferredFonts();
}

} // namespace

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
    loadLabelResources();
    LoadButtonDefinitions("BUTTS.DEF");
    errorState().FatalError = false;
    return true;
}

void ShutDownProgram() {
    errorState().ErrorsSuppressed = true;
    // The networks went with their holders (the frame), before the heap they live in.
    ReleaseFontTable();
    ReleaseButtonDefinitions();
    ReleaseScratchText();
    DestroyHeap();
    ReleaseWordBuffer();
}

} // namespace tarvo
