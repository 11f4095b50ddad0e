// The installed fonts as Qt's font database reports them.
#pragma once

#include "platform/font_catalog.h"

namespace platform::qt {

class QtFontCatalog : public FontCatalog {
public:
    std::vector<InstalledFont> installedFonts() override;
    int pixelsPerInch() override;
};

// The family class a face name declares ("... Sans", "... Serif", "... Script"), 0 when it
// declares none.
std::uint8_t FamilyFromName(const std::string& face, bool fixedPitch);

} // namespace platform::qt
