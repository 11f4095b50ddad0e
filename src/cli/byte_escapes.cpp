// Byte strings with escapes.
#include "cli/byte_escapes.h"

#include "labels/label_markup.h"

#include <cstdio>

namespace tarvo::cli {
namespace {} // namespace

std::string EscapeBytes(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '\\') {
            out += "\\\\";
        } else if (b < 32 || b >= 127) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", b);
            out += escape;
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> UnescapeBytes(std::string_view text, std::string& error) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
            continue;
        }
        if (i + 3 < text.size() && text[i + 1] == 'x' && HexDigitValue(text[i + 2]) >= 0 &&
            HexDigitValue(text[i + 3]) >= 0) {
            const int value = HexDigitValue(text[i + 2]) * 16 + HexDigitValue(text[i + 3]);
            if (value == 0) {
                error = "\\x00 cannot stand in a label";
                return std::nullopt;
            }
            out += static_cast<char>(value);
            i += 3;
            continue;
        }
        error = "bad escape at character " + std::to_string(i + 1) +
                ": use \\\\ for a backslash and \\xNN for a byte";
        return std::nullopt;
    }
    return out;
}

} // namespace tarvo::cli
