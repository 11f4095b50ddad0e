// The open network as its file would hold it, and its size, for tests that compare a network
// before and after what they do to it.
#pragma once

#include "model/network.h"
#include "model/node_table.h"
#include "netfile/network_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace testing_support {

inline std::string NetworkAsText() {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    EXPECT_TRUE(tarvo::WriteNetworkStream(out));
    std::fclose(out);
    std::string file(buffer, size);
    std::free(buffer);
    return file;
}

// Every node of the open network's table, properties included.
inline int NetworkNodeCount() {
    int count = 0;
    tarvo::currentNetwork()->forEach(
        [](void* context, tarvo::NodeBase*) {
            ++*static_cast<int*>(context);
            return 0;
        },
        &count);
    return count;
}

} // namespace testing_support
