// Values the program keeps between runs (preferences, later window placement and recent files),
// stored by key. Keys are grouped by their part before a slash: "view/openAt".
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class Settings {
public:
    virtual ~Settings() = default;
    // The whole number stored at `key`; `fallback` when none is stored or what is stored is not
    // a whole number (a file edited by hand may hold anything).
    virtual int integer(std::string_view key, int fallback) const = 0;
    // The text stored at `key` (Windows-1252), or `fallback` when none is.
    virtual std::string text(std::string_view key, std::string_view fallback) const = 0;
    virtual void setInteger(std::string_view key, int value) = 0;
    virtual void setText(std::string_view key, std::string_view value) = 0;
};

// A whole number in decimal, with a sign or not and blanks around it, that fits an int; nothing
// for any other text. Every store reads its numbers through it, so that all read them alike.
std::optional<int> ParseWholeNumber(std::string_view text);

// Keeps the values in memory only: for tests and for runs that must leave no trace.
class MemorySettings final : public Settings {
public:
    int integer(std::string_view key, int fallback) const override;
    std::string text(std::string_view key, std::string_view fallback) const override;
    void setInteger(std::string_view key, int value) override;
    void setText(std::string_view key, std::string_view value) override;

    // Whether anything at all is stored at `key`.
    bool holds(std::string_view key) const;

private:
    std::map<std::string, std::string, std::less<>> m_values;
};

} // namespace platform
