// Reading and writing how views open.
#include "shell/view_preferences.h"

#include "platform/settings.h"

#include <algorithm>

namespace tarvo {
namespace {

bool isReadablePoints(int points) {
    return points >= kFewestReadablePoints && points <= kMostReadablePoints;
}

} // namespace

ViewPreferences ReadViewPreferences(const platform::Settings& settings) {
    ViewPreferences preferences;
    const int where = settings.integer(kOpenAtKey, ToInt(preferences.openAt));
    if (const std::optional<OpenAt> stored = FromInt<OpenAt>(where))
        preferences.openAt = *stored;
    // A size out of range was not written by the program: it is no wish to honour in part.
    const int points = settings.integer(kReadablePointsKey, preferences.readablePoints);
    if (isReadablePoints(points))
        preferences.readablePoints = points;
    return preferences;
}

void WriteOpenAt(platform::Settings& settings, OpenAt where) {
    if (FromInt<OpenAt>(ToInt(where)))
        settings.setInteger(kOpenAtKey, ToInt(where));
}

void WriteReadablePoints(platform::Settings& settings, int points) {
    settings.setInteger(kReadablePointsKey, ReadablePointsWithin(points));
}

int ReadablePointsWithin(int points) {
    return std::clamp(points, kFewestReadablePoints, kMostReadablePoints);
}

std::optional<int> TypedReadablePoints(std::string_view typed) {
    const std::optional<int> points = platform::ParseWholeNumber(typed);
    if (!points)
        return std::nullopt;
    return ReadablePointsWithin(*points);
}

} // namespace tarvo
