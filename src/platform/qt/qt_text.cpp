// Qt strings over the Windows-1252 table.
#include "platform/qt/qt_text.h"

#include "platform/cp1252.h"

namespace platform::qt {

QString toQString(const char* bytes) {
    return toQString(std::string(bytes ? bytes : ""));
}

QString toQString(const std::string& bytes) {
    const std::u16string wide = Cp1252ToUtf16(bytes);
    return QString(reinterpret_cast<const QChar*>(wide.data()),
                   static_cast<qsizetype>(wide.size()));
}

std::string fromQString(const QString& text) {
    return Utf16ToCp1252(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                             static_cast<std::size_t>(text.size())));
}

} // namespace platform::qt
