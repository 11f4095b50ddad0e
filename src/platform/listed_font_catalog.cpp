// A catalog of named faces, the same on every machine.
#include "platform/font_catalog.h"

namespace platform {

ListedFontCatalog::ListedFontCatalog(const std::string& faces) {
    std::size_t start = 0;
    while (start <= faces.size()) {
        std::size_t end = faces.find(';', start);
        if (end == std::string::npos)
            end = faces.size();
        std::string face = faces.substr(start, end - start);
        if (!face.empty()) {
            InstalledFont font;
            font.faceName = face.substr(0, kFaceNameBytes - 1);
            font.fullName = font.faceName;
            font.styleName = "Regular";
            font.scriptName = "Western";
            m_fonts.push_back(font);
        }
        start = end + 1;
    }
}

ListedFontCatalog::ListedFontCatalog(std::vector<InstalledFont> fonts, int pixelsPerInch)
    : m_fonts(std::move(fonts)), m_pixelsPerInch(pixelsPerInch) {}

} // namespace platform
