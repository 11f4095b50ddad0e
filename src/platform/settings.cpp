// Reading whole numbers from stored text, and the store kept in memory.
#include "platform/settings.h"

#include <charconv>

namespace platform {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

std::optional<int> ParseWholeNumber(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    // from_chars takes a minus but no plus.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

int MemorySettings::integer(std::string_view key, int fallback) const {
    const auto found = m_values.find(key);
    if (found == m_values.end())
        return fallback;
    return ParseWholeNumber(found->second).value_or(fallback);
}

std::string MemorySettings::text(std::string_view key, std::string_view fallback) const {
    const auto found = m_values.find(key);
    return found == m_values.end() ? std::string(fallback) : found->second;
}

void MemorySettings::setInteger(std::string_view key, int value) {
    m_values.insert_or_assign(std::string(key), std::to_string(value));
}

void MemorySettings::setText(std::string_view key, std::string_view value) {
    m_values.insert_or_assign(std::string(key), std::string(value));
}

bool MemorySettings::holds(std::string_view key) const {
    return m_values.find(key) != m_values.end();
}

} // namespace platform
