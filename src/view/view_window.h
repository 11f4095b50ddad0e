// A view's life in its window: creation on a network node, destruction, and the window's
// size changes.
#pragma once

namespace platform {
class ViewHost;
}

#include "view/net_view.h"

namespace tarvo {

class NetView;
class Node;
class ViewMenus;

struct ViewStartup {
    // The document window's title.
    const char* title = "";
    // The start-up spotlight depth: above 1, only the nodes up to one less from the current
    // node stay shown.
    int spotlightDepth = 0;
    // Where the view opens, and the label size it then needs at the least.
    OpenAt openAt = OpenAt::Readable;
    int readablePoints = kReadablePoints;
};

// Makes the view's nodes from `node`, lays them out and readies the window. 0 when memory ran
// out. The host must offer the posted tasks the view leaves it (the first scale to window).
int CreateView(NetView& view, Network& net, Node* node, platform::ViewHost* host, ViewMenus* menus,
               const ViewStartup& startup);
void DestroyView(NetView& view);

// The window changed size: regions go, the client size and everything derived follow.
void ViewResized(NetView& view, bool maximised, bool minimised);

} // namespace tarvo
