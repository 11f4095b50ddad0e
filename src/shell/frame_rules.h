// The frame's rules that need no window: where a chosen network file is loaded from, and the
// texts of the frame's caption and of its file messages and save question.
#pragma once

#include <optional>
#include <string>

namespace tarvo {

// The frame's caption and the title of a document without a name.
inline constexpr const char* kProgramCaption = "Tarvo++";
inline constexpr const char* kUntitled = "(untitled)";
// The start-up network, relative to the working folder.
inline constexpr const char* kStartupNetwork = "Databases/script.dat";

// The network path of a file chosen in the open dialog: the part of the path from its folder
// "Databases" (or else "Net1") on, which the program loads relative to its working folder. The
// letter case stays as it is, since the file system tells cases apart, and separators stay
// single. Nothing when the path holds neither folder.
std::optional<std::string> NetworkPathOf(const std::string& chosen);

// The file to read for a chosen network file, which Save then writes back: its network path
// when that names the very file chosen (a file of the working folder), else the chosen path
// itself, so that the network read and the file saved are always the one chosen. Nothing when
// the path holds neither folder.
std::optional<std::string> NetworkFileToRead(const std::string& chosen);

// "Tarvo++ - title", or "Tarvo++ - (untitled)" for an empty title.
std::string FrameTitle(const std::string& title);
// `format` with its one "%s" replaced by `name`, or by "(untitled)" when the name is empty.
std::string FileMessageText(const char* format, const std::string& name);
// The save question for the network at `name`.
std::string SaveQuestionText(const std::string& name);

} // namespace tarvo
