// Tests of the text builder: joining pieces, the final blank, and growth past the scratch buffer.
#include "containers/text_builder.h"

#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"

#include "support/failing_allocation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace tarvo {
namespace {

// What take() hands over, released again; "(null)" for no text. The text is the caller's own,
// never the shared scratch buffer.
std::string taken(TextBuilder& builder) {
    char* text = builder.take();
    EXPECT_TRUE(!text || text != sharedBuffers().scratchText);
    std::string result = text ? text : "(null)";
    Release(text);
    return result;
}

TEST(TextBuilderTest, JoinsPiecesAndDropsTheLastCharacter) {
    struct Case {
        std::vector<std::pair<const char*, int>> pieces;
        const char* expected;
    };
    const Case cases[] = {{{{"cat", 1}, {"eats", 1}}, "cat eats"},
                          {{{"cat", 1}, {"eats", 0}}, "cat eat"},
                          {{{"", 1}}, ""},
                          {{{"", 0}}, "(null)"},
                          {{}, "(null)"}};
    for (const Case& c : cases) {
        TextBuilder builder;
        for (const auto& [text, addBlank] : c.pieces)
            EXPECT_EQ(builder.append(text, addBlank), 1);
        EXPECT_EQ(taken(builder), c.expected);
    }
}

// The scratch buffer holds exactly 1000 bytes of pieces; one more doubles the capacity, as often
// as needed. Without a scratch buffer the builder allocates from the start.
TEST(TextBuilderTest, StaysInTheScratchBufferUpToExactly1000Bytes) {
    struct Case {
        int bytes, pieces, capacity;
        bool hasScratch;
    };
    const Case cases[] = {{999, 1, 1000, true},   {1000, 1, 1000, true},  {1000, 10, 1000, true},
                          {1001, 7, 2000, true},  {2001, 3, 4000, true},  {5000, 1, 8000, true},
                          {1000, 1, 1000, false}, {1001, 1, 2000, false}, {8, 2, 1000, false}};
    char* scratch = sharedBuffers().scratchText;
    ASSERT_NE(scratch, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.bytes << " bytes in " << c.pieces);
        sharedBuffers().scratchText = c.hasScratch ? scratch : nullptr;
        TextBuilder builder;
        std::string expected;
        for (int i = 0; i < c.pieces; ++i) {
            const int share =
                i + 1 < c.pieces ? c.bytes / c.pieces : c.bytes - static_cast<int>(expected.size());
            const std::string word(static_cast<std::size_t>(share - 1), static_cast<char>('a' + i));
            ASSERT_EQ(builder.append(word.c_str(), 1), 1);
            expected += word + ' ';
        }
        EXPECT_EQ(builder.length(), c.bytes);
        EXPECT_EQ(builder.capacity(), c.capacity);
        expected.pop_back();
        EXPECT_EQ(taken(builder), expected);
        EXPECT_EQ(builder.length(), 0);
    }
    sharedBuffers().scratchText = scratch;
}

using testing_support::noMemory;
using testing_support::plainFree;

TEST(TextBuilderTest, FailedGrowthKeepsTheTextSoFar) {
    if (currentHeap())
        GTEST_SKIP() << "a heap's free lists would serve the allocations";
    TextBuilder builder;
    ASSERT_EQ(builder.append("kept", 1), 1);
    SetSystemAllocation(noMemory, plainFree);
    EXPECT_EQ(builder.append(std::string(1200, 'x').c_str(), 1), 0);
    RestoreSystemAllocation();
    EXPECT_EQ(taken(builder), "kept");
}

// A builder dropped with a grown text releases it (the sanitizer build's leak check sees it
// otherwise); builders made one after another each start empty in the scratch buffer.
TEST(TextBuilderTest, ABuilderLeftWithAGrownTextReleasesItAndTheNextStartsEmpty) {
    {
        TextBuilder builder;
        ASSERT_EQ(builder.append(std::string(1500, 'g').c_str(), 1), 1);
        EXPECT_EQ(builder.capacity(), 2000);
    }
    TextBuilder next;
    EXPECT_EQ(next.length(), 0);
    EXPECT_EQ(next.capacity(), 1000) << "back in the scratch buffer";
    EXPECT_EQ(taken(next), "(null)");
}

} // namespace
} // namespace tarvo
