// Command ids of the menus, accelerators and tool bar, and the program's own window messages.
#pragma once

namespace tarvo::cmd {

inline constexpr int kNext = 10;
inline constexpr int kPrevious = 11;
inline constexpr int kTileHorizontal = 30;
inline constexpr int kCascade = 31;
inline constexpr int kArrangeIcons = 32;
inline constexpr int kCloseAll = 33;
inline constexpr int kTileVertical = 34;
inline constexpr int kNewEntity = 101;
inline constexpr int kOptions = 104;
inline constexpr int kExit = 105;
inline constexpr int kNewRelation = 106;
inline constexpr int kOpenPartition = 201;
inline constexpr int kCritique = 203;
inline constexpr int kUndo = 251;
inline constexpr int kDeleteNode = 252;
inline constexpr int kInsertParent = 253;
inline constexpr int kInsertChild = 254;
inline constexpr int kText = 255;
inline constexpr int kInspectLinks = 261;
inline constexpr int kColours = 329;
inline constexpr int kInspectProperties = 335;
inline constexpr int kAbout = 540;
inline constexpr int kTextWindow = 40001;
inline constexpr int kSelectNetwork = 40002;
inline constexpr int kSave = 40003;
inline constexpr int kSaveAs = 40004;
inline constexpr int kClose = 40006;

} // namespace tarvo::cmd

namespace tarvo::msg {

// A list of change records for the network and then every view.
inline constexpr int kChangeList = 1025;
// Every document window redraws.
inline constexpr int kRefresh = 1027;

} // namespace tarvo::msg
