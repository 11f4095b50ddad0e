// Button definition files from anywhere: any bytes must read without fault and without hanging,
// and every button read must have a terminated label, a caption inside it and as many
// alternatives as its state says, placed from left to right.
#include "network_fuzzing.h"
#include "shell/button_sets.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void checkButtons(const tarvo::ButtonRecord* buttons, int count, bool placed) {
    if ((count > 0) != (buttons != nullptr))
        std::abort();
    int position = -1;
    for (int i = 0; i < count; ++i) {
        const tarvo::ButtonRecord& b = buttons[i];
        if (!std::memchr(b.label, 0, sizeof b.label))
            std::abort();
        if (b.caption && (b.caption <= b.label || b.caption > b.label + sizeof b.label - 1 ||
                          !std::memchr(b.caption, 0, b.label + sizeof b.label - b.caption)))
            std::abort();
        if ((b.alternativeCount() > 0) != (b.alternatives != nullptr))
            std::abort();
        if (placed) {
            if (b.position <= position)
                std::abort();
            position = b.position;
        }
        checkButtons(b.alternatives, b.alternativeCount(), false);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::StartNetworkFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    std::FILE* in = fmemopen(bytes.data(), bytes.size(), "r");
    for (const char* section : {"Net", "NetEdit"}) {
        int count = 0;
        tarvo::ButtonRecord* buttons =
            tarvo::ReadButtonSet(in, section, &count, tarvo::kButtonWidth, tarvo::kButtonScale);
        checkButtons(buttons, count, true);
        tarvo::ReleaseButtons(buttons, count);
    }
    std::fclose(in);
    return 0;
}
