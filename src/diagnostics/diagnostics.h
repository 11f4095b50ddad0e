// Problems a reader met in outside text, in the order it met them: the message as the user
// reads it and the line of the text it was on. Readers hand them back; the program shows them
// in its error box and the command-line tool prints them.
#pragma once

#include <string>
#include <vector>

namespace tarvo {

struct Diagnostic {
    std::string message;
    // The line the reader was on, counted from 1; 0 for a problem of the whole file.
    int line = 0;
};

using Diagnostics = std::vector<Diagnostic>;

} // namespace tarvo
