// What the fuzz targets that read network files share: the silent set-up and reading bytes as
// a network file.
#pragma once

#include "memory/shared_buffers.h"
#include "model/network.h"
#include "netfile/network_file.h"

#include <cstdio>
#include <string>

namespace fuzzing {

// The buffers the reader needs exist; read without a list, its problems go nowhere.
inline void StartNetworkFuzzing() {
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
