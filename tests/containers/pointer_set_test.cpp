// The flat address-keyed tables the searches keep their "met before" sets in.
#include "containers/pointer_set.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvo {
namespace {

TEST(PointerSetTest, KeepsWhatWasPutThroughGrowthAndClear) {
    // Addresses of one array: neighbours differ only in their low bits, the hard case for a
    // hash that would take them as they are.
    std::vector<int> items(5000);
    PointerSet set;
    EXPECT_FALSE(set.contains(items.data()));
    for (std::size_t i = 0; i < items.size(); i += 2)
        EXPECT_TRUE(set.insert(&items[i]));
    EXPECT_FALSE(set.insert(items.data())) << "a second insertion is refused";
    EXPECT_EQ(set.size(), items.size() / 2);
    for (std::size_t i = 0; i < items.size(); ++i)
        EXPECT_EQ(set.contains(&items[i]), i % 2 == 0) << i;
    set.clear();
    EXPECT_EQ(set.size(), 0u);
    EXPECT_FALSE(set.contains(items.data()));
    EXPECT_TRUE(set.insert(&items[1]));
    EXPECT_TRUE(set.contains(&items[1]));
}

TEST(PointerMapTest, TheFirstValueStaysAndTheIndexOperatorAssigns) {
    std::vector<char> keys(300);
    PointerMap<int> map;
    EXPECT_EQ(map.find(keys.data()), nullptr);
    for (std::size_t i = 0; i < keys.size(); ++i)
        EXPECT_TRUE(map.insert(&keys[i], static_cast<int>(i)).second);
    const auto again = map.insert(&keys[7], 99);
    EXPECT_FALSE(again.second);
    EXPECT_EQ(again.first, 7) << "insert keeps the value already there";
    map[&keys[7]] = 42;
    map[keys.data()] += 5;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const int* value = map.find(&keys[i]);
        ASSERT_NE(value, nullptr) << i;
        EXPECT_EQ(*value, i == 7 ? 42 : i == 0 ? 5 : static_cast<int>(i));
    }
    EXPECT_EQ(map.size(), keys.size());
}

} // namespace
} // namespace tarvo
