// Byte strings written with escapes, so that labels with control bytes and Windows-1252 letters
// can be typed on a command line and printed to a terminal.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvo::cli {

// Bytes below 32, DEL and bytes of 128 or more as "\xNN" (lower-case hex), "\" as "\\".
std::string EscapeBytes(std::string_view bytes);
// The reverse; nothing when an escape is malformed, with `error` saying why.
std::optional<std::string> UnescapeBytes(std::string_view text, std::string& error);

} // namespace tarvo::cli
