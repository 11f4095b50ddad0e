// What the fuzz targets that read network files share: the silent set-up and reading bytes as
// a network file.
#pragma once

#include "memory/shared_buffers.h"
#include "model/network.h"
#include "netfile/network_file.h"
#include "platform/headless_ui.h"

#include <cstdio>
#include <string>

namespace fuzzing {

// Messages go nowhere; the buffers the reader needs exist.
inline void StartNetworkFuzzing() {
    static platform::SilentUi silent;
    platform::setUi(&silent);
    tarvo::AllocateWordBuffer();
    tarvo::AllocateScratchText();
}

// The open network is replaced by what `bytes` read as a network file give.
inline void ReadNetworkBytes(const std::string& bytes) {
    tarvo::ReleaseNetwork();
    std::FILE* in = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "r");
    tarvo::ReadNetworkStream(in);
    std::fclose(in);
}

} // namespace fuzzing
