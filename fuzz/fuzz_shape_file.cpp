// Shape files from anywhere: any bytes must read without fault, and every shape read must make
// an outline within its buffer and within reach of its box, a region, a drawing and hit tests at
// any box size in either orientation.
#include "layout/view_node.h"
#include "memory/shared_buffers.h"
#include "netfile/shape_file.h"
#include "platform/qt/qt_display.h"
#include "platform/qt/qt_region.h"
#include "view/shapes.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Shapes are independent of each other: a fault in a later one is found with fewer before it.
constexpr int kShapesTried = 16;
constexpr int kImageWidth = 220;
constexpr int kImageHeight = 120;

struct BoxSize {
    int halfWidth;
    int halfHeight;
    int penWidth;
    bool fill;
};
constexpr BoxSize kSizes[] = {
    {0, 0, 1, true}, {10, 6, 1, true}, {45, 20, 3, false}, {100, 50, 2, true}};

void checkOutline(const tarvo::ShapeInstance& instance, const BoxSize& size) {
    if (instance.storedCount < 1 || instance.outlineCount != instance.storedCount - 1 ||
        instance.storedCount + instance.headerCount > 125)
        std::abort();
    for (int i = 0; i < instance.storedCount; ++i) {
        const platform::Point p = instance.outline()[i];
        if (std::abs(p.x) > tarvo::kOutlineReach * std::max(1, size.halfWidth) ||
            std::abs(p.y) > tarvo::kOutlineReach * std::max(1, size.halfHeight))
            std::abort();
    }
}

void tryShape(tarvo::ShapeInstance& instance, platform::Display& display, bool vertical) {
    const int cx = kImageWidth / 2;
    const int cy = kImageHeight / 2;
    for (const BoxSize& size : kSizes) {
        const tarvo::PixelBox box{cx - size.halfWidth, cy - size.halfHeight,
                                  cx + size.halfWidth + 1, cy + size.halfHeight + 1};
        tarvo::Prepare(instance, size.halfWidth, size.halfHeight, size.penWidth, box, cx, cy,
                       vertical);
        checkOutline(instance, size);
        int labels = 0;
        const tarvo::LabelPainter label = [&labels](platform::Display&) { ++labels; };
        tarvo::Draw(instance, display,
                    tarvo::ShapeDrawing{vertical, 1, size.halfWidth, size.halfHeight}, cx, cy, {},
                    size.penWidth, label, size.fill);
        if (labels != 1)
            std::abort();
        for (const platform::Point p : {platform::Point{0, 0},
                                        {size.halfWidth / 2, size.halfHeight / 3},
                                        {-size.halfWidth, -size.halfHeight},
                                        {size.halfWidth + 1, 0}})
            (void)tarvo::Contains(instance, p.x, p.y);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    tarvo::AllocateWordBuffer();
    tarvo::AllocateScratchText();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::FILE* in = size ? fmemopen(bytes.data(), bytes.size(), "r") : nullptr;
    tarvo::ShapeFileState state;
    tarvo::ReadShapeStream(state, in);
    if (in)
        std::fclose(in);
    if (state.regionCache.size() != static_cast<std::size_t>(state.shapeCount))
        std::abort();

    platform::qt::QtRegionMaker regions;
    tarvo::ShapeSet* set = tarvo::MakeShapeSet(regions, &state);
    {
        platform::qt::ImageDisplay image(kImageWidth, kImageHeight);
        const int shapes = std::min(state.shapeCount, kShapesTried);
        for (int number = 1; number <= shapes; ++number) {
            tarvo::ShapeInstance* instance = tarvo::InstanceFor(*set, number);
            if (!instance)
                std::abort();
            tryShape(*instance, image.display(), true);
            tryShape(*instance, image.display(), false);
            tarvo::RemakeOutlines(*set, true);
        }
        if (tarvo::InstanceFor(*set, state.shapeCount + 1) || tarvo::InstanceFor(*set, 0))
            std::abort();
    }
    tarvo::DestroyShapeSet(set);
    return 0;
}
