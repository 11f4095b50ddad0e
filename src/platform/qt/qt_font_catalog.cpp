// The font database read into the program's description of installed fonts.
#include "platform/qt/qt_font_catalog.h"

#include "platform/qt/qt_text.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>

namespace platform::qt {
namespace {

// The style that stands for the family: its upright regular face where there is one.
QString regularStyle(const QString& family) {
    const QStringList styles = QFontDatabase::styles(family);
    for (const char* name : {"Regular", "Normal", "Book", "Roman", "Medium"})
        if (styles.contains(QLatin1String(name)))
            return QLatin1String(name);
    return styles.isEmpty() ? QString() : styles.first();
}

bool hasWord(const QString& face, const char* pattern) {
    return face.contains(
        QRegularExpression(QLatin1String(pattern), QRegularExpression::CaseInsensitiveOption));
}

} // namespace

std::uint8_t FamilyFromName(const std::string& face, bool fixedPitch) {
    const QString name = QString::fromStdString(face);
    if (hasWord(name, R"(\b(sans|grotesk|gothic)\b)"))
        return kFamilySwiss;
    if (hasWord(name, R"(\b(script|hand|cursive|chancery|brush)\b)"))
        return kFamilyScript;
    if (fixedPitch || hasWord(name, R"(\b(mono|monospace|typewriter)\b)"))
        return kFamilyModern;
    if (hasWord(name, R"(\b(serif|roman)\b)"))
        return kFamilyRoman;
    if (hasWord(name, R"(\b(symbol|dingbats|emoji|ornaments)\b)"))
        return kFamilyDecorative;
    return 0;
}

std::vector<InstalledFont> QtFontCatalog::installedFonts() {
    std::vector<InstalledFont> fonts;
    for (const QString& family : QFontDatabase::families()) {
        if (QFontDatabase::isPrivateFamily(family))
            continue;
        const QString style = regularStyle(family);
        const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
        InstalledFont font;
        font.faceName = fromQString(family);
        font.styleName = fromQString(style);
        font.fullName = style.isEmpty() || style == QLatin1String("Regular")
                            ? font.faceName
                            : font.faceName + " " + font.styleName;
        font.latin = systems.contains(QFontDatabase::Latin);
        font.symbol = systems.contains(QFontDatabase::Symbol);
        font.scriptName = font.latin ? "Western" : font.symbol ? "Symbol" : "Other";
        font.weight = QFontDatabase::weight(family, style);
        font.italic = QFontDatabase::italic(family, style);
        font.smoothlyScalable = QFontDatabase::isSmoothlyScalable(family, style);
        font.fixedPitch = QFontDatabase::isFixedPitch(family, style);
        font.family = FamilyFromName(font.faceName, font.fixedPitch);
        fonts.push_back(std::move(font));
    }
    return fonts;
}

int QtFontCatalog::pixelsPerInch() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchY()) : 96;
}

} // namespace platform::qt
