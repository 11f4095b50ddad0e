// A presenter without windows.
#include "platform/headless_ui.h"

#include "platform/cp1252.h"

#include <cstdio>
#include <string>

namespace platform {

Answer HeadlessUi::messageBox(const char* caption, const char* text, Buttons buttons, Icon) {
    std::string line = Cp1252ToUtf8(caption ? caption : "");
    while (!line.empty() && line.back() == '\n')
        line.pop_back();
    std::fprintf(stderr, "%s: %s\n", line.c_str(), Cp1252ToUtf8(text ? text : "").c_str());
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
        break;
    }
    return Answer::Cancel;
}

} // namespace platform
