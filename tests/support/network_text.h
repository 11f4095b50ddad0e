// A network as its file would hold it, and its size, for tests that compare a network
// before and after what they do to it.
#pragma once

#include "containers/node_table.h"
#include "model/network.h"
#include "netfile/network_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace testing_support {

inline std::string NetworkAsText(tarvo::Network& net) {
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* out = open_memstream(&buffer, &size);
    EXPECT_TRUE(tarvo::WriteNetworkStream(net, out));
    std::fclose(out);
    std::string file(buffer, size);
    std::free(buffer);
    return file;
}

// Every node of the network's table, properties included.
inline int NetworkNodeCount(const tarvo::Network& net) {
    int count = 0;
    net.table()->forEach(
        [](void* context, tarvo::NodeBase*) {
            ++*static_cast<int*>(context);
            return 0;
        },
        &count);
    return count;
}

// A new network read from the text of a network file.
inline std::unique_ptr<tarvo::Network> ReadNetworkText(const std::string& text) {
    auto net = std::make_unique<tarvo::Network>();
    std::FILE* in = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    tarvo::ReadNetworkStream(*net, in);
    std::fclose(in);
    return net;
}

} // namespace testing_support
