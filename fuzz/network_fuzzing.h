// What the fuzz targets that read network files share: the silent set-up and reading bytes as
// a network file.
#pragma once

#include "memory/shared_buffers.h"
#include "model/network.h"
#include "netfile/network_file.h"

#include <cstdio>
#include <memory>
#include <string>

namespace fuzzing {

// The buffers the reader needs exist; read without a list, its problems go nowhere.
inline void StartNetworkFuzzing() {
    tarvo::AllocateWordBuffer();
    tarvo::AllocateScratchText();
}

// A new network read from `bytes` as a network file.
inline std::unique_ptr<tarvo::Network> ReadNetworkBytes(const std::string& bytes) {
    auto net = std::make_unique<tarvo::Network>();
    std::FILE* in = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "r");
    tarvo::ReadNetworkStream(*net, in);
    std::fclose(in);
    return net;
}

} // namespace fuzzing
