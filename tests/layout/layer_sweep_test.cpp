// The pieces a sweep's layer treatment is built of: the filled rows of a column, the rounding
// of aims to slots, and the rows and cells the column index keeps in the grid's stead.
#include "layout/layer_sweep.h"
#include "layout/layout_grid.h"
#include "layout/occupied_rows.h"
#include "layout/view_node.h"
#include "model/links.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace tarvo {
namespace {

// OccupiedRows against a plain array of flags.
struct RowModel {
    std::vector<bool> taken;

    int below(int r) const {
        while (r < static_cast<int>(taken.size()) && taken[static_cast<std::size_t>(r)])
            ++r;
        return r;
    }
    int above(int r) const {
        while (r >= 0 && taken[static_cast<std::size_t>(r)])
            --r;
        return r;
    }
};

void expectSameRows(const OccupiedRows& rows, const RowModel& model) {
    const int count = static_cast<int>(model.taken.size());
    ASSERT_EQ(rows.rows(), count);
    std::vector<int> listed;
    rows.forEachTaken(0, count - 1, [&](int r) { listed.push_back(r); });
    std::vector<int> expected;
    for (int r = 0; r < count; ++r) {
        SCOPED_TRACE(r);
        ASSERT_EQ(rows.taken(r), model.taken[static_cast<std::size_t>(r)]);
        EXPECT_EQ(rows.below(r), model.below(r));
        EXPECT_EQ(rows.above(r), model.above(r));
        if (model.taken[static_cast<std::size_t>(r)]) {
            expected.push_back(r);
            EXPECT_EQ(rows.place(r), 1000 + r);
        }
    }
    EXPECT_EQ(listed, expected);
}

TEST(OccupiedRowsTest, FreeRowsAreFoundAcrossWordBoundaries) {
    // Row counts at and around the 64-row words, columns empty, full, full but for one row at
    // a word's edge, and random; then rows opened at the front and appended, which carry the
    // bits over into the next word.
    std::mt19937 random(11u);
    for (int count : {1, 2, 63, 64, 65, 127, 128, 129, 200}) {
        for (int pattern = 0; pattern < 6; ++pattern) {
            SCOPED_TRACE(testing::Message() << count << " rows, pattern " << pattern);
            OccupiedRows rows;
            // A previous, longer use must leave nothing behind.
            rows.reset(300);
            for (int r = 0; r < 300; r += 3)
                rows.set(r, -1);
            rows.reset(count);
            RowModel model{std::vector<bool>(static_cast<std::size_t>(count), false)};
            for (int r = 0; r < count; ++r) {
                bool fill = false;
                switch (pattern) {
                case 0:
                    break;
                case 1:
                    fill = true;
                    break;
                case 2:
                    fill = r != 63;
                    break;
                case 3:
                    fill = r != 64 && r != 0;
                    break;
                case 4:
                    fill = r != count - 1;
                    break;
                default:
                    fill = random() % 4 != 0;
                    break;
                }
                if (fill) {
                    rows.set(r, 1000 + r);
                    model.taken[static_cast<std::size_t>(r)] = true;
                }
            }
            expectSameRows(rows, model);
            for (int grown = 0; grown < 70; ++grown) {
                if (grown % 2 == 0) {
                    rows.insertFront();
                    model.taken.insert(model.taken.begin(), false);
                    // Every place moved a row down: renumber them as the model has them.
                    for (int r = 0; r < rows.rows(); ++r)
                        if (model.taken[static_cast<std::size_t>(r)])
                            rows.set(r, 1000 + r);
                } else {
                    rows.append();
                    model.taken.push_back(false);
                }
            }
            expectSameRows(rows, model);
        }
    }
}

TEST(OccupiedRowsTest, ARunMovesWithItsPlaces) {
    OccupiedRows rows;
    rows.reset(130);
    for (int r = 60; r < 70; ++r)
        rows.set(r, r);
    // Down by one across the word edge at 64, into row 70.
    rows.move(60, 69, 1);
    rows.occupy(70);
    rows.set(60, -5);
    for (int r = 61; r <= 70; ++r)
        EXPECT_EQ(rows.place(r), r - 1);
    EXPECT_EQ(rows.place(60), -5);
    EXPECT_EQ(rows.below(60), 71);
    EXPECT_EQ(rows.above(70), 59);
    // And up by one, into row 59.
    rows.move(60, 70, -1);
    rows.occupy(59);
    EXPECT_EQ(rows.place(59), -5);
    EXPECT_EQ(rows.place(69), 69);
    EXPECT_EQ(rows.above(70), 58);
}

TEST(RoundedAimTest, RoundsAsLroundDoes) {
    // Halves go away from zero; the floats next to the halves go to the nearer whole number;
    // large floats are whole already.
    std::vector<float> aims{0.0f,       -0.0f,       0.5f,        -0.5f,        1.5f,        -1.5f,
                            2.5f,       -2.5f,       0.49999997f, -0.49999997f, 1e9f,        -1e9f,
                            8388607.5f, -8388607.5f, 16777217.0f, 1.0f / 3.0f,  -2.0f / 3.0f};
    for (float half = 0.5f; half < 5000.0f; half += 1.0f) {
        for (float sign : {1.0f, -1.0f}) {
            const float at = sign * half;
            aims.push_back(at);
            aims.push_back(std::nextafter(at, 0.0f));
            aims.push_back(std::nextafter(at, sign * 1e9f));
        }
    }
    std::mt19937 random(5u);
    std::uniform_real_distribution<float> spread(-70000.0f, 70000.0f);
    for (int i = 0; i < 20000; ++i)
        aims.push_back(spread(random));
    for (float aim : aims)
        EXPECT_EQ(roundedAim(aim), static_cast<int>(std::lround(aim))) << aim;
}

// Fillers at the given slots of a grid of the given rows and offset, one column per list.
struct FillerGrid {
    std::vector<ViewNode*> nodes;

    FillerGrid(LayoutGrid& grid, int rows, int offset,
               const std::vector<std::vector<int>>& columns) {
        grid.reset(rows, static_cast<int>(columns.size()), offset, 0);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            for (int slot : columns[c]) {
                auto* node = new ViewNode;
                node->layer = static_cast<int>(c);
                node->slot = slot;
                grid.place(node);
                nodes.push_back(node);
            }
        }
    }
    FillerGrid(const FillerGrid&) = delete;
    FillerGrid& operator=(const FillerGrid&) = delete;
    ~FillerGrid() {
        for (ViewNode* node : nodes)
            node->destroy();
    }
};

TEST(ColumnIndexTest, TrimmedRowsAndTheWrittenGridAreTheGridsOwn) {
    // Empty rows at the front, the back, both and neither; an empty column; no node at all.
    const struct {
        int rows;
        int offset;
        std::vector<std::vector<int>> columns;
    } cases[] = {
        {10, 3, {{-1, 2}, {0, 4}}},       {10, 0, {{0}, {}, {9}}}, {6, 2, {{-2, 3}}},
        {80, 70, {{-5}, {-3, 1}, {-60}}}, {5, 1, {{}, {}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows);
        LayoutGrid expected;
        FillerGrid expectedNodes(expected, c.rows, c.offset, c.columns);
        expected.trimEmptyRows();

        LayoutGrid grid;
        FillerGrid nodes(grid, c.rows, c.offset, c.columns);
        ColumnIndex index;
        index.build(grid);
        EXPECT_EQ(index.rowCount(), c.rows);
        EXPECT_EQ(index.rowOffset(), c.offset);
        index.trimRows();
        EXPECT_EQ(index.rowCount(), expected.slotCount);
        EXPECT_EQ(index.rowOffset(), expected.slotOffset);

        // Written out, the grid has the trimmed rows and each node in its cell, nothing else.
        ASSERT_TRUE(index.writeGrid(grid));
        EXPECT_EQ(grid.slotCount, expected.slotCount);
        EXPECT_EQ(grid.slotOffset, expected.slotOffset);
        EXPECT_EQ(grid.layerCount, expected.layerCount);
        int cells = 0;
        for (int column = 0; column < grid.layerCount; ++column) {
            for (int row = 0; row < grid.slotCount; ++row) {
                const ViewNode* node = grid.at(row, column);
                EXPECT_EQ(node != nullptr, expected.at(row, column) != nullptr);
                if (!node)
                    continue;
                ++cells;
                EXPECT_EQ(node->slot + grid.slotOffset, row);
                EXPECT_EQ(node->layer + grid.layerOffset, column);
            }
        }
        EXPECT_EQ(cells, static_cast<int>(nodes.nodes.size()));
    }
}

TEST(ColumnIndexTest, OpenedRowsMoveSlotZeroAndSortedColumnsFollowTheSlots) {
    LayoutGrid grid;
    FillerGrid nodes(grid, 4, 1, {{-1, 0, 2}});
    ColumnIndex index;
    index.build(grid);
    index.openFrontRow();
    index.appendRow();
    EXPECT_EQ(index.rowCount(), 6);
    EXPECT_EQ(index.rowOffset(), 2);
    // The slots turned round: the column lists the nodes in their new order once sorted, and
    // the rows that are left empty at both ends go.
    const std::vector<int> column = index.column(0);
    index.slot(column[0]) = 3;
    index.slot(column[1]) = 1;
    index.slot(column[2]) = -2;
    index.sortColumns();
    EXPECT_EQ(index.column(0), (std::vector<int>{column[2], column[1], column[0]}));
    index.trimRows();
    EXPECT_EQ(index.rowCount(), 6);
    EXPECT_EQ(index.rowOffset(), 2);
    index.slot(column[2]) = 0;
    index.sortColumns();
    index.trimRows();
    EXPECT_EQ(index.rowCount(), 4);
    EXPECT_EQ(index.rowOffset(), 0);
}

// The aim a node takes from neighbours at `slots`, worked out from its definition: their mean
// (a sum divided by the count), first or last slot.
float definedAim(const std::vector<int>& slots, Justification justification) {
    if (slots.empty())
        return NoTarget;
    if (justification == Justification::First)
        return static_cast<float>(*std::min_element(slots.begin(), slots.end()));
    if (justification == Justification::Last)
        return static_cast<float>(*std::max_element(slots.begin(), slots.end()));
    float sum = 0.0f;
    for (int s : slots)
        sum += static_cast<float>(s);
    return sum / static_cast<float>(slots.size());
}

// The blended aim from its definition: the sweep's side, mixed with both sides weighted by
// their counts.
float definedTarget(const std::vector<int>& ahead, const std::vector<int>& behind, float blend,
                    Justification justification) {
    const float aim = definedAim(ahead, justification);
    if (blend == 1.0f || aim == NoTarget)
        return aim;
    const float other = definedAim(behind, justification);
    if (other == NoTarget)
        return aim;
    const auto count = static_cast<float>(ahead.size());
    const auto otherCount = static_cast<float>(behind.size());
    const float mixed =
        (aim * count + other * otherCount) / static_cast<float>(ahead.size() + behind.size());
    return blend * aim + (1.0f - blend) * mixed;
}

std::uint32_t bitsOf(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

TEST(ColumnIndexTest, AimsAreTheDefinedOnesToTheLastBit) {
    // A middle column whose nodes have 0 to 3 parents and 0 to 3 children, most of them one
    // of each as fillers have, between two columns of neighbours at random slots; every node's
    // aim in both directions, with every justification and blends the improvement reaches.
    constexpr int kRows = 3000;
    constexpr int kOffset = 1700;
    std::mt19937 random(23u);
    std::vector<int> free(kRows);
    for (int r = 0; r < kRows; ++r)
        free[static_cast<std::size_t>(r)] = r - kOffset;
    std::vector<std::vector<int>> columns(3);
    for (auto& column : columns) {
        std::shuffle(free.begin(), free.end(), random);
        column.assign(free.begin(), free.begin() + 400);
        std::sort(column.begin(), column.end());
    }
    LayoutGrid grid;
    FillerGrid nodes(grid, kRows, kOffset, columns);
    auto nodeAt = [&](std::size_t column, std::size_t i) { return nodes.nodes[column * 400 + i]; };
    // Per middle node, the slots of its parents and its children.
    std::vector<std::vector<int>> neighbourSlots[2];
    neighbourSlots[ParentSlot].reserve(400);
    neighbourSlots[ChildSlot].reserve(400);
    for (std::size_t i = 0; i < 400; ++i) {
        ViewNode* node = nodeAt(1, i);
        for (int slot : {ParentSlot, ChildSlot}) {
            const auto roll = random() % 10;
            const std::size_t count = roll < 6 ? 1 : roll % 4;
            std::vector<int> slots;
            slots.reserve(count);
            for (std::size_t k = 0; k < count; ++k) {
                ViewNode* other = nodeAt(slot == ParentSlot ? 0 : 2, random() % 400);
                appendLink(node, slot, other);
                appendLink(other, slot ^ 1, node);
                slots.push_back(other->slot);
            }
            neighbourSlots[slot].push_back(slots);
        }
    }
    ColumnIndex index;
    index.build(grid);
    std::vector<float> blends;
    blends.reserve(40);
    for (float blend = 1.0f; blend > 0.04f; blend *= 0.9f)
        blends.push_back(blend);
    blends.push_back(0.0f);
    for (Justification justification :
         {Justification::Centred, Justification::First, Justification::Last}) {
        for (float blend : blends) {
            for (int slot : {ParentSlot, ChildSlot}) {
                for (std::size_t i = 0; i < 400; ++i) {
                    const float expected = definedTarget(
                        neighbourSlots[slot][i], neighbourSlots[slot ^ 1][i], blend, justification);
                    const float aim =
                        index.target(nodeAt(1, i)->sweepIndex, slot, blend, justification);
                    ASSERT_EQ(bitsOf(aim), bitsOf(expected))
                        << "node " << i << " slot " << slot << " blend " << blend << ": " << aim
                        << " for " << expected;
                }
            }
        }
    }
}

} // namespace
} // namespace tarvo
