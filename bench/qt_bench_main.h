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

inline int RunQtBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    tarvo::AllocateWordBuffer();
    tarvo::CreateHeap();
    tarvo::AllocateScratchText();
    platform::qt::QtFontCatalog catalog;
    tarvo::BuildFontTable(catalog);
    tarvo::ChoosePreferredFonts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
