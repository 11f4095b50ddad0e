// What the inheritance report and link inspection windows show, apart from their windows: the
// nodes of their boxes and lists, how each item is drawn, the link lists of each connection
// scope, and the moving and hiding of links those windows offer.
#pragma once

#include "view/view_modes.h"
#include "view/view_paint.h"

#include <cstdint>

#include <string>
#include <vector>

namespace tarvo {

struct InheritanceReport;
class NetView;
class Network;
class Node;
class NodeBase;
class NodeList;
class ViewNode;

// The controls whose contents are decided here.
namespace inspect {
inline constexpr int kNodeBox = 1012;
inline constexpr int kStipulatedNodes = 179;
inline constexpr int kStipulatedVia = 180;
inline constexpr int kInheritedNodes = 99;
inline constexpr int kInheritedVia = 102;
inline constexpr int kRelationBox = 94;
inline constexpr int kLinkNodeBox = 95;
inline constexpr int kFromList = 97;
inline constexpr int kToList = 98;
inline constexpr int kRelatedList = 99;
inline constexpr int kPathList = 1012;
inline constexpr int kMoveUp = 152;
inline constexpr int kMoveDown = 153;
inline constexpr int kExtend = 154;
inline constexpr int kFirstScope = 30;
inline constexpr int kLastScope = 34;
// Item heights: list boxes (and a drop-down box's own field), and a drop-down box's items.
inline constexpr int kListItemHeight = 17;
inline constexpr int kDropDownItemHeight = 23;
// Items of the stipulated list reaching outside this band are left undrawn.
inline constexpr int kStipulatedBandBottom = 88;
// The dialog's widths in dialog units: "Inspect links" narrow and wide, the report.
inline constexpr int kNarrowWidth = 145;
inline constexpr int kWideWidth = 280;
} // namespace inspect

// Which links "Inspect links" lists beside the node's own. Whoever keeps the windows keeps the
// scope, so that the next link window shows the scope the last one did.
//  actual:    the node's own links of the chosen relation (parent and child links for isa);
//  legal:     those and the links its ancestors pass down to it: the inherited properties of
//             the relation, or for isa every ancestor and every descendant;
//  partition: the node's own links of the relation whose other end is in the view;
//  all:       every link the node has, parent, child and properties of every relation.
enum class ConnectionScope : std::int32_t { Actual = 0, Legal = 1, Partition = 2, All = 3 };
template <> inline constexpr std::int32_t kModeCount<ConnectionScope> = 4;
// Commands 30-33 choose the scope (id - 30) into `scope`; answers whether the command was one
// of them (`scope` is left alone otherwise).
bool ChooseConnectionScope(int command, ConnectionScope& scope);

// The node the windows inspect: the network node of the view's current node.
Node* InspectedNode(const NetView& view);
// Marks what the searches and the drawing rely on: the nodes in the view and the inspected
// node's lineage (it clears the working bits of those nodes first).
void PrepareViewInspection(NetView& view);

// The node box: the network's nodes of the kind, sorted by label. Gathering them clears their
// working bits, so it comes before the inspection is prepared. The caller owns the list.
NodeList* NodeBoxNodes(Network& net, int relationKind);
// The relation box: "isa", then the network's relations sorted by label.
NodeList* RelationBoxNodes(Network& net);

// One list item: the node and, for type-ahead, the first character (UTF-8) of its label as the
// user reads it, a phonetic run's as IPA.
struct ListEntry {
    NodeBase* node = nullptr;
    std::string text;
};
// The items for the nodes of `list`, in order; with the debug log on, each node's plain label
// and "##" go to the log.
std::vector<ListEntry> ListEntries(const NodeList* list);
// The row of `keep` among the entries, or -1.
int EntryRow(const std::vector<ListEntry>& entries, const NodeBase* keep);

// How the mark beside a "via:" item points: out when the inspected node is the property's
// from-end, in when it is the to-end; unknown for an inherited property found in neither side
// list (the window then reports "Can't find relation direction!").
enum class Direction { None, Out, In, Unknown };

// How a report or link list draws one item.
struct ItemLook {
    // What stands in the list for the item: a property as its relation in the report's lists,
    // as its other end in the link lists.
    Node* drawn = nullptr;
    NodeLook look;
    Direction direction = Direction::None;
    // The item is outside the band its list draws.
    bool skipped = false;
};
// `s` is the inspected node, `item` the list's node, `top` and `bottom` the item's rectangle,
// `report` the report whose lists are shown (its side lists decide the direction of an inherited
// "via:" item, which is unknown without one).
ItemLook InspectionItemLook(int listId, const Node* s, Node* item, int top, int bottom,
                            bool selected, const InheritanceReport* report = nullptr);

// The lists of "Inspect links" for `s` with the chosen relation (isa or another): the from or
// parent side (list 97) and the to or child side (list 98). The caller owns both.
struct LinkLists {
    NodeList* from = nullptr;
    NodeList* to = nullptr;
};
LinkLists BuildLinkLists(const Network& net, Node* s, const Node* relation, ConnectionScope scope);
void DisposeLinkLists(LinkLists& lists);
// The link slot that list 97 or 98 sorts, and the caption naming it.
int SortedSlot(int listId, bool isa);
std::string SortCaption(int listId, bool isa);

struct MoveButtons {
    bool up = false;
    bool down = false;
};
// With selection `s` among `n` links (s < 0: none).
MoveButtons MoveEnabling(int s, int n);
// The selected row's place among the shown items that lie in s's slot, and how many do; the
// place is -1 when the row is not one of them.
int MovablePlace(const Node* s, int slot, const NodeList* shown, int row, int* count);
// Moves the link at `row` of the shown list one place up (step -1) or down (+1) among the
// movable ones, through the view's reordering; answers whether the network changed.
bool MoveShownLink(NetView& view, int slot, const NodeList* shown, int row, int step);

// The shown-or-hidden bit a double click toggles on a node of the list.
std::uint32_t ShownMarkBit(int listId);
// Double click on `node` of the list: toggles its bit unless its lineage mark protects it; for
// the list whose slot is being sorted the view then shows (bit clear) or hides (bit set) that
// link. Answers whether the bit changed.
bool ToggleShownMark(NetView* view, int listId, Node* node, int sortedSlot);
// Sets the bit of every node of `shown` whose link from the view's current node is hidden.
void MarkHiddenLinks(const NetView& view, int listId, const NodeList* shown, int slot);

} // namespace tarvo
