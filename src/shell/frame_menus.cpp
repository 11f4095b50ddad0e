// The menu tables of the frame and the pop-ups made from them.
#include "shell/frame_menus.h"

#include "view/commands.h"

#include <QAction>
#include <QMenu>

#include <span>

namespace tarvo {
namespace {

// One line of a menu table: a pop-up (id 0 and the lines of depth one more after it), an item,
// or a separator (null caption). Depth 0 lines are the pop-ups of the bar.
struct MenuLine {
    int depth;
    const char* caption;
    int id;
};

constexpr MenuLine kInitMenu[] = {
    {0, "&Net", 0},
    {1, "&New", 0},
    {2, "&Entity", cmd::kNewEntity},
    {2, "&Relation", cmd::kNewRelation},
    {2, "&Text Window", cmd::kTextWindow},
    {1, "Select &Network...", cmd::kSelectNetwork},
    {1, "Open &Partition...", cmd::kOpenPartition},
    {1, nullptr, 0},
    {1, "&Save", cmd::kSave},
    {1, "Save &as...", cmd::kSaveAs},
    {1, nullptr, 0},
    {1, "&Options...", cmd::kOptions},
    {1, nullptr, 0},
    {1, "E&xit", cmd::kExit},
    {0, "&Help", 0},
    {1, "&About Tarvo", cmd::kAbout},
};

// The "&View" pop-up keeps the option pop-ups at the places the views caption them: 4 shade,
// 5 justification, 6 depth justify, 7 orientation, 8 line style, 9 the scale views open at.
constexpr MenuLine kViewMenu[] = {
    {0, "&Net", 0},
    {1, "&New", 0},
    {2, "&Entity", cmd::kNewEntity},
    {2, "&Relation", cmd::kNewRelation},
    {1, "Select &Network...", cmd::kSelectNetwork},
    {1, "Open &Partition...", cmd::kOpenPartition},
    {1, "&Close", cmd::kClose},
    {1, nullptr, 0},
    {1, "&Save", cmd::kSave},
    {1, "Save &as...", cmd::kSaveAs},
    {1, nullptr, 0},
    {1, "&Options...", cmd::kOptions},
    {1, "&Critique!\tF5", cmd::kCritique},
    {1, nullptr, 0},
    {1, "E&xit", cmd::kExit},

    {0, "&Edit", 0},
    {1, "&Undo\tAlt+Backsp", cmd::kUndo},
    {1, nullptr, 0},
    {1, "&Delete node\tDel", cmd::kDeleteNode},
    {1, "&Insert parent\tIns", cmd::kInsertParent},
    {1, "Insert &child\tCtrl+Ins", cmd::kInsertChild},
    {1, "&Text...\tEnter", cmd::kText},
    {1, nullptr, 0},
    {1, "Inspect &links...\tF3", cmd::kInspectLinks},
    {1, "Inspect &Properties...\tF4", cmd::kInspectProperties},
    {1, nullptr, 0},
    {1, "&Go to...", 0},
    {2, "First on &Top row\tHome", cmd::kFirstOnTopRow},
    {2, "&Last on Top row\tCtrl+Home", cmd::kLastOnTopRow},
    {2, "&First on Bottom row\tEnd", cmd::kFirstOnBottomRow},
    {2, "Last on &Bottom row\tCtrl+End", cmd::kLastOnBottomRow},
    {2, nullptr, 0},
    {2, "&Previous page\tPage Up", cmd::kPreviousPage},
    {2, "&Next page\tPage Down", cmd::kNextPage},
    {2, "&Current position\tSpace", cmd::kCurrentPosition},
    {1, "F&ormat", 0},
    {2, "&Bold\tCtrl+B", cmd::kBold},
    {2, "&Italic\tCtrl+I", cmd::kItalic},
    {2, "&Phonetic\tCtrl+P", cmd::kPhonetic},
    {2, nullptr, 0},
    {2, "&Font...\tCtrl+F", cmd::kFont},
    {2, "&No formatting\tCtrl+0", cmd::kNoFormatting},
    {1, "&Size && position:\tNormal", 0},
    {2, "&Normal\tCtrl+N", cmd::kNormalSize},
    {2, "&Small\tCtrl+S", cmd::kSmallSize},
    {2, "S&uperscript\tCtrl+1", cmd::kSuperscript},
    {2, "Subs&cript\tCtrl+2", cmd::kSubscript},

    {0, "&View", 0},
    {1, "Highlight &links\tCtrl+L", cmd::kHighlightLinks},
    {1, "Distance &number\tCtrl+D", cmd::kDistanceNumber},
    {1, "Co&lours...\tF2", cmd::kColours},
    {1, nullptr, 0},
    {1, "Distance &shade:\tGreyed", 0},
    {2, "&None", cmd::kShadeNone},
    {2, "&Greyed", cmd::kShadeNone + 1},
    {2, "&Coloured", cmd::kShadeNone + 2},
    {1, "&Justification:\tCentred", 0},
    {2, "&First", cmd::kJustifyFirst},
    {2, "&Centred", cmd::kJustifyFirst + 1},
    {2, "&Last", cmd::kJustifyFirst + 2},
    {1, "&Depth justify:\tRaise children", 0},
    {2, "&Raise children", cmd::kRaiseChildren},
    {2, "&Lower parents", cmd::kRaiseChildren + 1},
    {1, "&Orientation:\tTop-down", 0},
    {2, "&Left to right", cmd::kLeftToRight},
    {2, "&Right to left", cmd::kLeftToRight + 1},
    {2, "&Top-down", cmd::kLeftToRight + 2},
    {2, "&Bottom-up", cmd::kLeftToRight + 3},
    {1, "&Line style:\tCurved", 0},
    {2, "&Straight", cmd::kStraight},
    {2, "&Curved", cmd::kStraight + 1},
    {1, "Open views &at:\tReadable size", 0},
    {2, "&Readable size", cmd::kOpenReadable},
    {2, "&Fit to window", cmd::kOpenReadable + 1},
    {1, "Readable label si&ze...", cmd::kReadableLabelSize},
    {1, "&Untangle crossings", cmd::kUntangle},
    {1, nullptr, 0},
    {1, "&Expand scale\tCtrl+Page Up", cmd::kExpandScale},
    {1, "&Reduce scale\tCtrl+Page Down", cmd::kReduceScale},
    {1, "Scale to &Window\tCtrl+Enter", cmd::kScaleToWindow},
    {1, nullptr, 0},
    {1, "Hide &parents", cmd::kHideParents},
    {1, "Hide &children", cmd::kHideChildren},
    {1, "Reveal &network\tCtrl+Shift+Home", cmd::kRevealNetwork},
    {1, "&Expand spotlight\tCtrl+Shift+Page Up", cmd::kExpandSpotlight},
    {1, "&Reduce spotlight\tCtrl+Shift+Page Down", cmd::kReduceSpotlight},

    {0, "&Window", 0},
    {1, "&Tile horizontal", cmd::kTileHorizontal},
    {1, "&Cascade", cmd::kCascade},
    {1, "Arrange &Icons", cmd::kArrangeIcons},
    {1, "Tile &vertical", cmd::kTileVertical},
    {1, "Close &All", cmd::kCloseAll},

    {0, "&Help", 0},
    {1, "&About Tarvo", cmd::kAbout},
};

// Adds the lines from `at` that lie deeper than `depth` to `menu`; answers the first line after.
std::size_t addLines(std::span<const MenuLine> lines, std::size_t at, int depth, QMenu* menu,
                     MenuBarItems& bar) {
    while (at < lines.size() && lines[at].depth > depth) {
        const MenuLine& line = lines[at];
        if (!line.caption) {
            menu->addSeparator();
            ++at;
        } else if (line.id == 0) {
            QMenu* popup = menu->addMenu(QString::fromLatin1(line.caption));
            at = addLines(lines, at + 1, line.depth, popup, bar);
        } else {
            QAction* item = menu->addAction(QString::fromLatin1(line.caption));
            item->setData(line.id);
            item->setEnabled(!IsUnhandledCommand(line.id));
            bar.items[line.id] = item;
            ++at;
        }
    }
    return at;
}

} // namespace

const Accelerator kAccelerators[11] = {
    {"Alt+Backspace", cmd::kUndo},
    {"Ctrl+Z", cmd::kUndo},
    {"F2", cmd::kColours},
    {"F3", cmd::kInspectLinks},
    {"F4", cmd::kInspectProperties},
    {"F5", cmd::kCritique},
    {"Shift+F5", cmd::kCascade},
    {"F6", cmd::kTileVertical},
    {"Shift+F6", cmd::kTileHorizontal},
    {"Tab", cmd::kNext},
    {"Shift+Tab", cmd::kPrevious},
};

bool IsUnhandledCommand(int id) {
    return id == cmd::kNewEntity || id == cmd::kNewRelation || id == cmd::kOptions ||
           id == cmd::kTextWindow;
}

MenuBarItems BuildMenuBar(MenuBarKind kind, QWidget* owner) {
    const std::span<const MenuLine> lines =
        kind == MenuBarKind::Init ? std::span<const MenuLine>(kInitMenu) : kViewMenu;
    MenuBarItems bar;
    std::size_t at = 0;
    while (at < lines.size()) {
        auto* popup = new QMenu(QString::fromLatin1(lines[at].caption), owner);
        bar.popups.append(popup);
        at = addLines(lines, at + 1, 0, popup, bar);
    }
    // INIT lists the windows in "&Help", VIEW in "&Window".
    bar.windowList = kind == MenuBarKind::Init ? bar.popups.value(1) : bar.popups.value(3);
    return bar;
}

} // namespace tarvo
