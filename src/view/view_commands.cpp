// The view's command table and its keys.
#include "view/view_commands.h"

#include "model/node.h"
#include "platform/keys.h"
#include "view/commands.h"
#include "view/layout.h"
#include "view/layout_slices.h"
#include "view/net_view.h"
#include "view/view_editing.h"
#include "view/view_mouse.h"
#include "view/view_operations.h"
#include "view/view_options.h"
#include "view/view_scale.h"

#include <cassert>
#include <iterator>

namespace tarvo {
namespace {

using Handler = void (*)(NetView& view, int id);

// Ids first..last run one handler, which gets the id.
struct CommandEntry {
    int first;
    int last;
    Handler handler;
};

// Bold, italic, phonetic; then normal, small, superscript, subscript.
constexpr int kFormatBits[] = {16, 32, 8};
constexpr int kSizeBits[] = {0, 64, 128, 192};

// The mode that command `id` of a run starting at `first` chooses: the first id the first mode.
template <typename Mode> Mode modeOfCommand(int id, int first) {
    const std::optional<Mode> mode = FromInt<Mode>(id - first);
    assert(mode && "a mode's command outside the run of its ids");
    return mode.value_or(Mode{});
}

// Insert and Ctrl+Insert, and the menu's insert commands. A drop inserts through the drag
// itself; from the keyboard or a menu the edit waits until no drag holds the view's nodes.
void insertFromCommand(NetView& view, bool asChild, bool byRelation) {
    if (!DragRunning(view))
        InsertNode(view, asChild, byRelation);
}

const CommandEntry kCommands[] = {
    {cmd::kNext, cmd::kPrevious, [](NetView& v, int id) { CycleFocus(v, id == cmd::kNext); }},
    {cmd::kSelectRelation, cmd::kSelectRelation, [](NetView& v, int) { SelectRelation(v); }},
    {cmd::kSelectNode, cmd::kSelectNode, [](NetView& v, int) { GoToListSelection(v); }},
    {cmd::kSelectFont, cmd::kSelectFont, [](NetView& v, int) { ApplyFont(v); }},
    {cmd::kCritique, cmd::kCritique, [](NetView& v, int) { StepLayout(v); }},
    {cmd::kUndo, cmd::kUndo,
     [](NetView& v, int) {
         if (EditorOpen(v))
             ReopenEditor(v);
         else
             UndoLastChange(v);
     }},
    {cmd::kDeleteNode, cmd::kDeleteNode, [](NetView& v, int) { DeleteCurrentNode(v); }},
    {cmd::kInsertParent, cmd::kInsertChild,
     [](NetView& v, int id) { insertFromCommand(v, id == cmd::kInsertChild, false); }},
    {cmd::kText, cmd::kText,
     [](NetView& v, int) {
         if (EditorOpen(v))
             CloseEditor(v, true);
         else
             OpenEditor(v);
     }},
    {cmd::kInspectLinks, cmd::kInspectLinks, [](NetView& v, int) { ToggleLinkInspection(v); }},
    {cmd::kFirstOnTopRow, cmd::kLastOnBottomRow,
     [](NetView& v, int id) {
         const int k = id - cmd::kFirstOnTopRow;
         GoToLayerEnd(v, k >= 2, (k & 1) != 0);
     }},
    {cmd::kPreviousPage, cmd::kNextPage,
     [](NetView& v, int id) { Page(v, id == cmd::kNextPage ? 1 : -1); }},
    {cmd::kCurrentPosition, cmd::kCurrentPosition, [](NetView& v, int) { ShowCurrent(v); }},
    {cmd::kBold, cmd::kPhonetic,
     [](NetView& v, int id) { ApplyFormat(v, kFormatToggle, kFormatBits[id - cmd::kBold]); }},
    {cmd::kNormalSize, cmd::kSubscript,
     [](NetView& v, int id) { ApplyFormat(v, kFormatSize, kSizeBits[id - cmd::kNormalSize]); }},
    {cmd::kFont, cmd::kFont, [](NetView& v, int) { ShowFontList(v); }},
    {cmd::kNoFormatting, cmd::kNoFormatting,
     [](NetView& v, int) { ApplyFormat(v, kFormatClear, -1); }},
    {cmd::kJustifyFirst, cmd::kJustifyFirst + 2,
     [](NetView& v, int id) {
         SetJustification(v, modeOfCommand<Justification>(id, cmd::kJustifyFirst));
     }},
    {cmd::kRaiseChildren, cmd::kRaiseChildren + 1,
     [](NetView& v, int id) {
         SetDepthJustify(v, modeOfCommand<DepthJustify>(id, cmd::kRaiseChildren));
     }},
    {cmd::kLeftToRight, cmd::kLeftToRight + 3,
     [](NetView& v, int id) {
         SetOrientation(v, modeOfCommand<Orientation>(id, cmd::kLeftToRight));
     }},
    {cmd::kStraight, cmd::kStraight + 1,
     [](NetView& v, int id) { SetLineStyle(v, modeOfCommand<LineStyle>(id, cmd::kStraight)); }},
    {cmd::kOpenReadable, cmd::kOpenReadable + 1,
     [](NetView& v, int id) { SetOpenAt(v, modeOfCommand<OpenAt>(id, cmd::kOpenReadable)); }},
    {cmd::kHighlightLinks, cmd::kHighlightLinks, [](NetView& v, int) { ToggleHighlightLinks(v); }},
    {cmd::kUntangle, cmd::kUntangle, [](NetView& v, int) { ToggleUntangle(v); }},
    {cmd::kExpandScale, cmd::kExpandScale, [](NetView& v, int) { ExpandScale(v); }},
    {cmd::kReduceScale, cmd::kReduceScale, [](NetView& v, int) { ReduceScale(v); }},
    {cmd::kScaleToWindow, cmd::kScaleToWindow, [](NetView& v, int) { ScaleToWindow(v, false); }},
    {cmd::kDistanceNumber, cmd::kDistanceNumber,
     [](NetView& v, int) {
         SetDistanceMode(v, {v.options.distanceMode.shade, !v.options.distanceMode.numbers});
     }},
    {cmd::kNextShade, cmd::kNextShade,
     [](NetView& v, int) {
         SetDistanceMode(v,
                         {NextShade(v.options.distanceMode.shade), v.options.distanceMode.numbers});
     }},
    {cmd::kShadeNone, cmd::kShadeNone + 2,
     [](NetView& v, int id) {
         SetDistanceMode(v, {modeOfCommand<DistanceShade>(id, cmd::kShadeNone),
                             v.options.distanceMode.numbers});
     }},
    {cmd::kColours, cmd::kColours, [](NetView& v, int) { OpenColoursDialog(v); }},
    {cmd::kHideParents, cmd::kHideChildren,
     [](NetView& v, int id) { ToggleSlotHidden(v, id - cmd::kHideParents); }},
    {cmd::kRevealNetwork, cmd::kRevealNetwork, [](NetView& v, int) { RevealNetwork(v); }},
    {cmd::kExpandSpotlight, cmd::kExpandSpotlight, [](NetView& v, int) { ExpandSpotlight(v); }},
    {cmd::kReduceSpotlight, cmd::kReduceSpotlight, [](NetView& v, int) { ReduceSpotlight(v); }},
    {cmd::kInspectProperties, cmd::kInspectProperties,
     [](NetView& v, int) { ToggleInheritanceWindow(v); }},
};

bool plainKey(NetView& view, int key, bool shift) {
    using namespace platform::keys;
    switch (key) {
    case kEnter:
        return ViewCommand(view, cmd::kText);
    case kSpace:
        return ViewCommand(view, cmd::kCurrentPosition);
    case kPageUp:
        return ViewCommand(view, cmd::kPreviousPage);
    case kPageDown:
        return ViewCommand(view, cmd::kNextPage);
    case kEnd:
        return ViewCommand(view, cmd::kFirstOnBottomRow);
    case kHome:
        return ViewCommand(view, cmd::kFirstOnTopRow);
    case kLeft:
    case kRight:
        if (shift)
            EnterRelationSlot(view, key == kLeft ? FromSlot : ToSlot);
        else
            StepSibling(view, key == kLeft ? -1 : 1);
        return true;
    case kUp:
    case kDown:
        EnterSlot(view, key == kUp ? ParentSlot : ChildSlot);
        return true;
    case kInsert:
        insertFromCommand(view, false, shift);
        return true;
    case kDelete:
        return ViewCommand(view, cmd::kDeleteNode);
    }
    PassKeyToNodeList(view, key);
    return true;
}

bool ctrlKey(NetView& view, int key, bool shift) {
    using namespace platform::keys;
    switch (key) {
    case kEnter:
        ScaleToWindow(view, shift);
        return true;
    case kPageUp:
        return ViewCommand(view, shift ? cmd::kExpandSpotlight : cmd::kExpandScale);
    case kPageDown:
        return ViewCommand(view, shift ? cmd::kReduceSpotlight : cmd::kReduceScale);
    case kEnd:
        return ViewCommand(view, cmd::kLastOnBottomRow);
    case kHome:
        return ViewCommand(view, shift ? cmd::kRevealNetwork : cmd::kLastOnTopRow);
    case kLeft:
    case kRight:
        // With Shift the current node itself moves among its siblings.
        if (shift)
            MoveAmongSiblings(view, key == kLeft ? -1 : 1);
        else
            MoveAlongLayer(view, key == kLeft ? -1 : 1);
        return true;
    case kUp:
    case kDown:
        MoveAcrossLayers(view, key == kUp ? -1 : 1);
        return true;
    case kInsert:
        insertFromCommand(view, true, shift);
        return true;
    case '0':
        return ViewCommand(view, cmd::kNoFormatting);
    case '1':
        return ViewCommand(view, cmd::kSuperscript);
    case '2':
        return ViewCommand(view, cmd::kSubscript);
    case 'B':
        return ViewCommand(view, cmd::kBold);
    case 'I':
        return ViewCommand(view, cmd::kItalic);
    case 'P':
        return ViewCommand(view, cmd::kPhonetic);
    case 'D':
        return ViewCommand(view, shift ? cmd::kNextShade : cmd::kDistanceNumber);
    case 'F':
        return ViewCommand(view, cmd::kFont);
    case 'L':
        return ViewCommand(view, cmd::kHighlightLinks);
    case 'N':
        return ViewCommand(view, cmd::kNormalSize);
    case 'S':
        return ViewCommand(view, cmd::kSmallSize);
    }
    return false;
}

// While the view is laid out in slices, the commands that start another layout (which takes
// the unfinished one over), change only how the picture is drawn, or undo (through the
// network, as an edit in another window); the others act on cells and wait.
bool takenWhileLayingOut(int id) {
    const auto within = [id](int first, int last) { return id >= first && id <= last; };
    return within(cmd::kNext, cmd::kPrevious) || id == cmd::kSelectRelation || id == cmd::kUndo ||
           within(cmd::kJustifyFirst, cmd::kStraight + 1) || id == cmd::kHighlightLinks ||
           within(cmd::kDistanceNumber, cmd::kShadeNone + 2) ||
           within(cmd::kRevealNetwork, cmd::kReduceSpotlight) || id == cmd::kUntangle;
}

} // namespace

bool ViewCommand(NetView& view, int id) {
    if (LayoutUnfinished(view) && (OpeningUnfinished(view) || !takenWhileLayingOut(id)))
        return true;
    for (const CommandEntry& entry : kCommands) {
        if (id >= entry.first && id <= entry.last) {
            entry.handler(view, id);
            return true;
        }
    }
    return false;
}

namespace {

// While the label editor is open it takes the keys first, on the text's own axes whatever the
// orientation. Of the rest, the view's commands get the few that make sense while typing
// (Enter commits the editor, paging commits it as the current node moves, Ctrl with a letter
// formats); nothing goes to the node list, since letters are typed into the label.
bool editorKey(NetView& view, int key, bool shift, bool ctrl) {
    using namespace platform::keys;
    if (!ctrl) {
        if (EditorKey(view, key, shift))
            return true;
        switch (key) {
        case kEnter:
        case kSpace:
        case kPageUp:
        case kPageDown:
        case kInsert:
            return plainKey(view, key, shift);
        }
        return false;
    }
    switch (key) {
    case kEnd:
    case kHome:
    case kLeft:
    case kRight:
    case kUp:
    case kDown:
    case 'A':
    case 'C':
    case 'X':
    case 'V':
        EditorCtrlKey(view, key, shift);
        return true;
    }
    return ctrlKey(view, key, shift);
}

} // namespace

bool ViewKey(NetView& view, int key, bool shift, bool ctrl) {
    // Keys move over the cells and edit them: they wait for the layout.
    if (LayoutUnfinished(view))
        return true;
    if (EditorOpen(view))
        return editorKey(view, key, shift, ctrl);
    key = MapArrowKey(view, key);
    return ctrl ? ctrlKey(view, key, shift) : plainKey(view, key, shift);
}

} // namespace tarvo
