// The commands a view's document window handles, and the keys of the view window.
#pragma once

namespace tarvo {

class NetView;

// Runs command `id`; false when the view does not handle it.
bool ViewCommand(NetView& view, int id);
// A key pressed in the view window (platform::keys codes); false when it went nowhere.
bool ViewKey(NetView& view, int key, bool shift, bool ctrl);

} // namespace tarvo
