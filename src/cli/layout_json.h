// A view's layout as JSON, for tarvo-cli layout.
#pragma once

#include <string>

namespace tarvo {
class NetView;
}

namespace tarvo::cli {

// {"clusters":C,"energy":E,"slots":S,"layers":L,"cells":[{"name":N,"slot":s,"layer":l,
//  "dummy":false,"distance":d},...],"hidden":[...]}: the cells row by row, fillers with an
// empty name, the hidden nodes in table order.
std::string LayoutJson(const NetView& view);

} // namespace tarvo::cli
