// The main of a benchmark that draws or measures text: an offscreen Qt application, the
// program's heap, buffers, font table and colours, then every registered benchmark.
#pragma once

#include "labels/colours.h"
#include "labels/font_table.h"
#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"
#include "model/network.h"
#include "platform/qt/qt_font_catalog.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

// The program's heap, buffers and font table, the fonts those of `catalog`.
inline void SetUpProgramParts(platform::qt::QtFontCatalog& catalog) {
    tarvo::AllocateWordBuffer();
    tarvo::CreateHeap();
    tarvo::AllocateScratchText();
    tarvo::BuildFontTable(catalog);
    tarvo::ChoosePreferredFonts();
}

inline int RunQtBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    platform::qt::QtFontCatalog catalog;
    SetUpProgramParts(catalog);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
