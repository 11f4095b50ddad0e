// Reading and writing how views open.
#include "shell/view_preferences.h"

#include "platform/settings.h"

#include <algorithm>

namespace tarvo {
namespace {

bool isOpenAt(int where) {
    return where == kOpenReadable || where == kOpenFitToWindow;
}

bool isReadablePoints(int points) {
    return points >= kFewestReadablePoints && points <= kMostReadablePoints;
}

} // namespace

ViewPreferences ReadViewPreferences(const platform::Settings& settings) {
    ViewPreferences preferences;
    const int where = settings.integer(kOpenAtKey, preferences.openAt);
    if (isOpenAt(where))
        preferences.openAt = where;
    // A size out of range was not written by the program: it is no wish to honour in part.
    const int points = settings.integer(kReadablePointsKey, preferences.readablePoints);
    if (isReadablePoints(points))
        preferences.readablePoints = points;
    return preferences;
}

void WriteOpenAt(platform::Settings& settings, int where) {
    if (isOpenAt(where))
        settings.setInteger(kOpenAtKey, where);
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
