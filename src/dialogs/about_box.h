// The About box, which also stands on the screen while the program loads its first network.
#pragma once

#include <functional>

namespace tarvo {

struct DialogSet;

// How long the splash stays once the network has loaded, and its timer.
inline constexpr int kSplashMs = 2000;
inline constexpr int kSplashTimer = 1;

// Shows "ABOUT" until OK. In splash mode `load` runs as the box starts, and the box closes by
// itself 2000 ms later.
void ShowAbout(DialogSet& set, bool splash, const std::function<void()>& load = {});

} // namespace tarvo
