// The fonts installed on the system and the display's resolution.
#pragma once

#include "platform/font_description.h"

#include <string>
#include <vector>

namespace platform {

class FontCatalog {
public:
    virtual ~FontCatalog() = default;
    // Every installed family, in the system's order.
    virtual std::vector<InstalledFont> installedFonts() = 0;
    // Vertical logical pixels per inch of the display.
    virtual int pixelsPerInch() = 0;
};

// A catalog of named faces, so that results do not depend on the machine's fonts: every face
// is scalable, Latin, variable-pitch, at 96 pixels per inch.
class ListedFontCatalog : public FontCatalog {
public:
    // Faces separated by ";"; empty entries are ignored, each face is cut to 31 characters.
    explicit ListedFontCatalog(const std::string& faces);
    explicit ListedFontCatalog(std::vector<InstalledFont> fonts, int pixelsPerInch = 96);

    std::vector<InstalledFont> installedFonts() override { return m_fonts; }
    int pixelsPerInch() override { return m_pixelsPerInch; }

private:
    std::vector<InstalledFont> m_fonts;
    int m_pixelsPerInch = 96;
};

} // namespace platform
