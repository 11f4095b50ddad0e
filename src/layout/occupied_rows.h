// OccupiedRows: the filled rows of one column while a sweep treats its layer.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tarvo {

// The rows of one column that a layer's treatment has filled, one bit a row, with the place of
// each filled row's node beside it. A treatment only ever fills rows (a shift moves a run and
// fills the free row at its end), so the nearest free row above or below is found 64 rows at a
// time, and only the bits need clearing for the next layer: a place is read only where its bit
// is set. The bits past the last row stay clear.
class OccupiedRows {
public:
    void reset(int rows) {
        m_rows = rows;
        m_bits.assign(wordsFor(rows), 0);
        if (m_places.size() < static_cast<std::size_t>(rows))
            m_places.resize(static_cast<std::size_t>(rows));
    }
    int rows() const { return m_rows; }
    bool taken(int r) const { return (m_bits[word(r)] >> bit(r) & 1u) != 0; }
    // The place of the node in a taken row.
    int place(int r) const { return m_places[static_cast<std::size_t>(r)]; }
    void set(int r, int place) {
        occupy(r);
        m_places[static_cast<std::size_t>(r)] = place;
    }
    void occupy(int r) { m_bits[word(r)] |= std::uint64_t{1} << bit(r); }
    // Moves the places of the taken rows [first, last] by `by` rows; the caller marks the row
    // the run moves into.
    void move(int first, int last, int by) {
        int* places = m_places.data();
        std::memmove(places + first + by, places + first,
                     static_cast<std::size_t>(last - first + 1) * sizeof(int));
    }
    // The nearest free row at or below r; the row count when there is none.
    int below(int r) const {
        std::size_t w = word(r);
        std::uint64_t free = ~m_bits[w] & (~std::uint64_t{0} << bit(r));
        while (free == 0) {
            if (++w == m_bits.size())
                return m_rows;
            free = ~m_bits[w];
        }
        return std::min(static_cast<int>(w * 64) + std::countr_zero(free), m_rows);
    }
    // The nearest free row at or above r; -1 when there is none.
    int above(int r) const {
        std::size_t w = word(r);
        std::uint64_t free = ~m_bits[w] & (~std::uint64_t{0} >> (63 - bit(r)));
        while (free == 0) {
            if (w-- == 0)
                return -1;
            free = ~m_bits[w];
        }
        return static_cast<int>(w * 64) + 63 - std::countl_zero(free);
    }
    // Every row one further down, with a new free first row.
    void insertFront() {
        ++m_rows;
        if (m_bits.size() < wordsFor(m_rows))
            m_bits.push_back(0);
        std::uint64_t carry = 0;
        for (std::uint64_t& bits : m_bits) {
            const std::uint64_t next = bits >> 63;
            bits = bits << 1 | carry;
            carry = next;
        }
        if (m_places.size() < static_cast<std::size_t>(m_rows))
            m_places.resize(static_cast<std::size_t>(m_rows));
        move(0, m_rows - 2, 1);
    }
    // A free row appended at the end.
    void append() {
        ++m_rows;
        if (m_bits.size() < wordsFor(m_rows))
            m_bits.push_back(0);
        if (m_places.size() < static_cast<std::size_t>(m_rows))
            m_places.resize(static_cast<std::size_t>(m_rows));
    }
    // Calls f(row) for every taken row of [low, high], in order.
    template <typename F> void forEachTaken(int low, int high, F&& f) const {
        if (high < low)
            return;
        for (std::size_t w = word(low), last = word(high); w <= last; ++w) {
            for (std::uint64_t bits = m_bits[w]; bits != 0; bits &= bits - 1)
                f(static_cast<int>(w * 64) + std::countr_zero(bits));
        }
    }

private:
    static std::size_t word(int r) { return static_cast<std::size_t>(r) >> 6; }
    static unsigned bit(int r) { return static_cast<unsigned>(r) & 63u; }
    static std::size_t wordsFor(int rows) { return (static_cast<std::size_t>(rows) + 63) / 64; }

    std::vector<std::uint64_t> m_bits;
    std::vector<int> m_places;
    int m_rows = 0;
};

} // namespace tarvo
