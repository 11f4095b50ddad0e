// A full paint of a view with about 1,000 visible nodes into a 1920 x 1080 image, against the
// floor of drawing as many framed rectangles and labels straight through QPainter.
//
// The network is 20 layers of 50 entities, each below two of the layer above, so every node
// has two links to draw; the view is fitted to the image without keeping the aspect.
#include "labels/colours.h"
#include "labels/font_table.h"
#include "layout/view_node.h"
#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"
#include "model/network.h"
#include "netfile/network_file.h"
#include "platform/font_catalog.h"
#include "platform/off_window_host.h"
#include "platform/qt/qt_display.h"
#include "platform/qt/qt_font_catalog.h"
#include "platform/qt/qt_region.h"
#include "view/net_view.h"
#include "view/node_labels.h"
#include "view/view_paint.h"
#include "view/view_scale.h"
#include "view/view_window.h"

#include "qt_bench_main.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>
#include <memory>
#include <string>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kLayers = 20;
constexpr int kPerLayer = 50;

std::string layeredNetwork() {
    std::string text = "#ENTITIES\n";
    auto name = [](int layer, int k) {
        return "n" + std::to_string(layer) + "_" + std::to_string(k);
    };
    for (int layer = 1; layer < kLayers; ++layer)
        for (int k = 0; k < kPerLayer; ++k) {
            text += name(layer, k) + " isa " + name(layer - 1, k) + "\n";
            text += name(layer, k) + " isa " + name(layer - 1, (k + 1) % kPerLayer) + "\n";
        }
    return text + "#FONTS\n";
}

struct PaintFixture {
    PaintFixture()
        : host(
              {kWidth, kHeight}, [] { return std::make_unique<platform::qt::ImageDisplay>(1, 1); },
              regions) {
        const std::string text = layeredNetwork();
        std::FILE* in = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
        tarvo::ReadNetworkStream(network, in);
        std::fclose(in);
        tarvo::InitColourTable(colours, {0, 120, 215});
        view.colours = &colours;
        tarvo::CreateView(view, network, network.find("n0_0", 0), &host, nullptr, {});
        host.runPosted();
        tarvo::ScaleToWindow(view, false);
    }
    ~PaintFixture() { tarvo::DestroyView(view); }

    // Before the view, which goes first.
    tarvo::Network network;
    tarvo::ColourState colours;
    // Before the host, which keeps a reference to it.
    platform::qt::QtRegionMaker regions;
    platform::OffWindowHost host;
    tarvo::NetView view;
};

int visibleNodes(const tarvo::NetView& view) {
    int count = 0;
    for (int row = 0; row < view.layout.grid.slotCount; ++row)
        for (int column = 0; column < view.layout.grid.layerCount; ++column)
            count += view.layout.grid.at(row, column) != nullptr;
    return count;
}

void PaintView(benchmark::State& state) {
    PaintFixture fixture;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        platform::qt::QtDisplay display(painter);
        tarvo::Paint(fixture.view, display);
    }
    state.counters["cells"] = visibleNodes(fixture.view);
    state.counters["label_points"] = fixture.view.fonts.labelPoints;
}
BENCHMARK(PaintView)->Unit(benchmark::kMillisecond);

// The same with every label measured again, as each paint did before labels kept their
// layouts.
void PaintViewMeasuringLabels(benchmark::State& state) {
    PaintFixture fixture;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        if (fixture.view.labelLayouts)
            fixture.view.labelLayouts->clear();
        QPainter painter(&image);
        platform::qt::QtDisplay display(painter);
        tarvo::Paint(fixture.view, display);
    }
    state.counters["cells"] = visibleNodes(fixture.view);
}
BENCHMARK(PaintViewMeasuringLabels)->Unit(benchmark::kMillisecond);

// A repaint of one node's box and its surroundings, as marking a node asks for: it costs what
// lies in the area, not the whole view.
void PaintOneNode(benchmark::State& state) {
    PaintFixture fixture;
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    const tarvo::ViewNode* middle = fixture.view.layout.grid.at(
        fixture.view.layout.grid.slotCount / 2, fixture.view.layout.grid.layerCount / 2);
    const tarvo::PixelBox box = middle ? middle->layoutBox : tarvo::PixelBox{0, 0, 40, 40};
    const platform::Rect area = platform::Rect{box.left, box.top, box.right, box.bottom}.grown(6);
    for (auto _ : state) {
        QPainter painter(&image);
        platform::qt::QtDisplay display(painter);
        display.intersectClipRect(area);
        tarvo::Paint(fixture.view, display);
    }
}
BENCHMARK(PaintOneNode)->Unit(benchmark::kMicrosecond);

// The floor: as many boxes, each framed and labelled, with two lines, straight from QPainter.
void PaintFloor(benchmark::State& state) {
    PaintFixture fixture;
    const int cells = visibleNodes(fixture.view);
    const int w = static_cast<int>(fixture.view.geometry.cellWidth);
    const int h = static_cast<int>(fixture.view.geometry.cellHeight);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QFont font;
    font.setPixelSize(std::max(6, fixture.view.fonts.labelPoints * 4 / 3));
    for (auto _ : state) {
        QPainter painter(&image);
        painter.fillRect(image.rect(), Qt::white);
        painter.setFont(font);
        for (int i = 0; i < cells; ++i) {
            const int x = (i % kPerLayer) * w;
            const int y = (i / kPerLayer) * h;
            painter.drawLine(x + w / 2, y, x, y - h / 2);
            painter.drawLine(x + w / 2, y, x + w, y - h / 2);
            painter.drawRect(x + w / 6, y + h / 6, 2 * w / 3, 2 * h / 3);
            painter.drawText(x + w / 5, y + h / 2, QStringLiteral("n12_34"));
        }
    }
    state.counters["cells"] = cells;
}
BENCHMARK(PaintFloor)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return RunQtBenchmarks(argc, argv);
}
