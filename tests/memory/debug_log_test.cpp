// The debugging log: a fresh file at start, every line appended and flushed at once.
#include "memory/debug_log.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tarvo {
namespace {

std::string logContents() {
    std::ifstream in(DebugLogPath(), std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

TEST(DebugLog, StartsAfreshAndAppendsLines) {
    ASSERT_TRUE(LogLine("left over from an earlier run"));
    ASSERT_TRUE(StartDebugLog());
    EXPECT_EQ(logContents(), "Debugging log file ");
    ASSERT_TRUE(LogLine("Node:"));
    ASSERT_TRUE(LogText("##"));
    ASSERT_TRUE(LogLine(""));
    // Readable while nothing has closed the program: each write closed the file.
    EXPECT_EQ(logContents(), "Debugging log file Node:\n##\n");
    EXPECT_TRUE(DebugLogOn);
}

} // namespace
} // namespace tarvo
