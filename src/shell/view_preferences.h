// How views open, as the frame keeps it between runs: at readable size or fitted to the window,
// and the label size that counts as readable. Plain rules over the settings store.
#pragma once

#include "view/net_view.h"

#include <optional>
#include <string_view>

namespace platform {
class Settings;
}

namespace tarvo {

inline constexpr const char* kOpenAtKey = "view/openAt";
inline constexpr const char* kReadablePointsKey = "view/readablePoints";

struct ViewPreferences {
    OpenAt openAt = OpenAt::Readable;
    int readablePoints = kReadablePoints;
};

// What the store holds, each value that is missing or not one the program would have written
// (junk, a choice that does not exist, a size out of range) replaced by its default.
ViewPreferences ReadViewPreferences(const platform::Settings& settings);
// Writes the choice's number; a value that is no choice is not written.
void WriteOpenAt(platform::Settings& settings, OpenAt where);
// Writes the size brought into the range.
void WriteReadablePoints(platform::Settings& settings, int points);

// The size brought into kFewestReadablePoints .. kMostReadablePoints.
int ReadablePointsWithin(int points);
// The readable size the user typed: a whole number, brought into the range (asking for more
// or less than there is gives the most or the least); nothing for other text.
std::optional<int> TypedReadablePoints(std::string_view typed);

} // namespace tarvo
