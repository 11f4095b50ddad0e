// PointerMap and PointerSet: flat hash tables keyed by an address, for the walks and searches
// that ask "met before?" tens of thousands of times per run. They only grow and are cleared
// whole: nothing is ever taken out of one, which keeps them one array and a linear probe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace tarvo {

template <typename Value> class PointerMap {
public:
    // The value of `key`, or null when the map does not hold it.
    const Value* find(const void* key) const {
        if (m_count == 0)
            return nullptr;
        for (std::size_t at = home(key);; at = (at + 1) & m_mask) {
            const Slot& slot = m_slots[at];
            if (slot.key == key)
                return &slot.value;
            if (!slot.key)
                return nullptr;
        }
    }
    Value* find(const void* key) {
        return const_cast<Value*>(static_cast<const PointerMap*>(this)->find(key));
    }
    bool contains(const void* key) const { return find(key) != nullptr; }

    // Puts `value` under `key` unless the key is there; answers the stored value and whether it
    // was put there now. The reference holds until the next insertion.
    std::pair<Value&, bool> insert(const void* key, Value value) {
        if ((m_count + 1) * 4 > m_slots.size() * 3)
            grow();
        for (std::size_t at = home(key);; at = (at + 1) & m_mask) {
            Slot& slot = m_slots[at];
            if (slot.key == key)
                return {slot.value, false};
            if (!slot.key) {
                slot.key = key;
                slot.value = std::move(value);
                ++m_count;
                return {slot.value, true};
            }
        }
    }
    // The value under `key`, put there as Value{} when absent.
    Value& operator[](const void* key) { return insert(key, Value{}).first; }

    std::size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    // Forgets every key; keeps the room.
    void clear() {
        if (m_count == 0)
            return;
        for (Slot& slot : m_slots)
            slot = Slot{};
        m_count = 0;
    }

private:
    struct Slot {
        const void* key = nullptr;
        Value value{};
    };

    std::size_t home(const void* key) const {
        // Fibonacci hashing of the address: its low bits are alignment, its high bits vary.
        const auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(key));
        return static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ull) >> m_shift);
    }

    void grow() {
        std::vector<Slot> old = std::move(m_slots);
        const std::size_t capacity = old.empty() ? 16 : old.size() * 2;
        m_slots.assign(capacity, Slot{});
        m_mask = capacity - 1;
        m_shift = 64;
        for (std::size_t c = capacity; c > 1; c >>= 1)
            --m_shift;
        m_count = 0;
        for (Slot& slot : old)
            if (slot.key)
                insert(slot.key, std::move(slot.value));
    }

    std::vector<Slot> m_slots;
    std::size_t m_mask = 0;
    int m_shift = 64;
    std::size_t m_count = 0;
};

// The keys alone.
class PointerSet {
public:
    bool contains(const void* key) const { return m_map.contains(key); }
    // True when `key` was not there before.
    bool insert(const void* key) { return m_map.insert(key, Empty{}).second; }
    std::size_t size() const { return m_map.size(); }
    void clear() { m_map.clear(); }

private:
    struct Empty {};
    PointerMap<Empty> m_map;
};

} // namespace tarvo
