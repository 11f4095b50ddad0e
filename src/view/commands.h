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
inline constexpr int kSelectRelation = 94;
inline constexpr int kSelectNode = 95;
inline constexpr int kSelectFont = 96;
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
inline constexpr int kFirstOnTopRow = 271;
inline constexpr int kLastOnTopRow = 272;
inline constexpr int kFirstOnBottomRow = 273;
inline constexpr int kLastOnBottomRow = 274;
inline constexpr int kPreviousPage = 275;
inline constexpr int kNextPage = 276;
inline constexpr int kCurrentPosition = 277;
inline constexpr int kBold = 280;
inline constexpr int kItalic = 281;
inline constexpr int kPhonetic = 282;
inline constexpr int kNormalSize = 283;
inline constexpr int kSmallSize = 284;
inline constexpr int kSuperscript = 285;
inline constexpr int kSubscript = 286;
inline constexpr int kFont = 287;
inline constexpr int kNoFormatting = 288;
inline constexpr int kJustifyFirst = 301;  // 301-303
inline constexpr int kRaiseChildren = 304; // 304-305
inline constexpr int kLeftToRight = 311;   // 311-314
inline constexpr int kStraight = 315;      // 315-316
inline constexpr int kOpenReadable = 317;  // 317-318
inline constexpr int kHighlightLinks = 319;
inline constexpr int kExpandScale = 320;
inline constexpr int kReduceScale = 321;
inline constexpr int kScaleToWindow = 322;
inline constexpr int kDistanceNumber = 323;
inline constexpr int kNextShade = 324;
inline constexpr int kShadeNone = 325; // 325-327
inline constexpr int kColours = 329;
inline constexpr int kHideParents = 330;
inline constexpr int kHideChildren = 331;
inline constexpr int kRevealNetwork = 332;
inline constexpr int kExpandSpotlight = 333;
inline constexpr int kReduceSpotlight = 334;
inline constexpr int kInspectProperties = 335;
inline constexpr int kReadableLabelSize = 336;
inline constexpr int kUntangle = 337;
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
