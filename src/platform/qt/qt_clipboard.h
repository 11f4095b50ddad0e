// The clipboard of the window system: plain text as Unicode for other programs, and the raw
// cell form under a private type that only this program reads.
#pragma once

#include "platform/clipboard.h"

namespace platform::qt {

// The type the raw cell form is put on the clipboard as.
inline constexpr const char* kLabelCellsMimeType = "application/x-tarvo-label-cells";

class QtClipboard final : public Clipboard {
public:
    void setText(const std::string& plain, const std::string& raw) override;
    bool raw(std::string& raw) const override;
    std::string text() const override;
};

} // namespace platform::qt
