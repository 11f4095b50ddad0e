// Labels as widgets show them.
#include "dialogs/shown_label.h"

#include "labels/label_text.h"

#include <string>

namespace tarvo {

QString ShownLabel(const char* label) {
    std::string utf8;
    ShownUnicodeText(label ? label : "", utf8);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace tarvo
