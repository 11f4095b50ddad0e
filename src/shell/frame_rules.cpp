// The frame's path rule and texts.
#include "shell/frame_rules.h"

#include <filesystem>
#include <system_error>

namespace tarvo {

std::optional<std::string> NetworkPathOf(const std::string& chosen) {
    for (const char* folder : {"Databases", "Net1"}) {
        const std::string marker = std::string("/") + folder + "/";
        const std::size_t at = chosen.find(marker);
        if (at == std::string::npos)
            continue;
        // From the folder on, with any run of separators after it made one.
        std::string path;
        for (std::size_t i = at + 1; i < chosen.size(); ++i) {
            if (chosen[i] == '/' && !path.empty() && path.back() == '/')
                continue;
            path += chosen[i];
        }
        return path;
    }
    return std::nullopt;
}

std::optional<std::string> NetworkFileToRead(const std::string& chosen) {
    std::optional<std::string> path = NetworkPathOf(chosen);
    if (!path)
        return path;
    std::error_code error;
    if (std::filesystem::equivalent(*path, chosen, error))
        return path;
    return chosen;
}

std::string FrameTitle(const std::string& title) {
    return std::string(kProgramCaption) + " - " + (title.empty() ? kUntitled : title);
}

std::string FileMessageText(const char* format, const std::string& name) {
    std::string text = format ? format : "";
    const std::size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, name.empty() ? kUntitled : name);
    return text;
}

std::string SaveQuestionText(const std::string& name) {
    return FileMessageText("Save current changes in %s?", name);
}

} // namespace tarvo
