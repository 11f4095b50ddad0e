// Labels as widgets show them.
#pragma once

#include <QString>

namespace tarvo {

// The label's text as the user reads it (ShownUnicodeText): without its formatting codes,
// phonetic runs as the IPA symbols their bytes stand for and everything else as its
// Windows-1252 character.
QString ShownLabel(const char* label);

} // namespace tarvo
