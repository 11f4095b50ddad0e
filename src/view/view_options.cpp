// Option setters, the title and the captions of the view's options.
#include "view/view_options.h"

#include "edit/changes.h"
#include "labels/label_text.h"
#include "layout/view_node.h"
#include "platform/keys.h"
#include "platform/view_host.h"
#include "view/commands.h"
#include "view/layout.h"
#include "view/net_view.h"
#include "view/view_menus.h"
#include "view/view_operations.h"
#include "view/view_paint.h"
#include "view/view_scale.h"

#include <cstdio>
#include <string>

namespace tarvo {
namespace {

constexpr const char* kJustificationWords[] = {"First", "Centred", "Last"};
constexpr const char* kDepthWords[] = {"Raise children", "Lower parents"};
constexpr const char* kOrientationWords[] = {"Left to right", "Right to left", "Top-down",
                                             "Bottom-up"};
constexpr const char* kLineStyleWords[] = {"Straight", "Curved"};
constexpr const char* kShadeWords[] = {"None", "Greyed", "Coloured"};
constexpr const char* kOpenAtWords[] = {"Readable size", "Fit to window"};

struct OptionCaption {
    int position;
    const char* label; // the caption before the option's value
    int firstId;
    const char* const* words;
    int count;
    int group;
};

void showOption(NetView& view, const OptionCaption& option, int value) {
    ViewMenus& menus = *view.menus;
    const int menu = kViewMenuPosition + (view.maximised ? 1 : 0);
    const int shown = value >= 0 && value < option.count ? value : 0;
    char caption[80];
    std::snprintf(caption, sizeof caption, "%s%s", option.label, option.words[shown]);
    menus.setPopupCaption(menu, option.position, caption);
    for (int i = 0; i < option.count; ++i)
        menus.checkItem(option.firstId + i, i == value);
    // Not every option has buttons on the tool bar.
    if (option.group >= 0)
        menus.showGroupValue(option.group, value);
}

} // namespace

void DeriveOrientation(NetView& view) {
    view.geometry.orient(view.vertical());
}

void SetJustification(NetView& view, Justification value) {
    if (view.options.justification == value)
        return;
    view.options.justification = value;
    Relayout(view, true);
    UpdateOptionCaptions(view);
    UpdateScaleMenus(view);
}

void SetDepthJustify(NetView& view, DepthJustify value) {
    if (view.options.depthJustify == value)
        return;
    view.options.depthJustify = value;
    // Depth justification only moves the fillers of links that span layers.
    if (view.layout.dummyCount > 0)
        Relayout(view, true);
    UpdateOptionCaptions(view);
}

void SetOrientation(NetView& view, Orientation value) {
    if (view.options.orientation == value)
        return;
    view.options.orientation = value;
    DeriveOrientation(view);
    RemakeViewOutlines(view);
    // The cells turn with the view: the current node is brought into the window only once its
    // cell has its new place and size on the screen.
    ImproveLayout(view, [](NetView& v) {
        UpdateViewGeometry(v);
        GoToNode(v, v.current, 0);
        RepaintView(v);
        UpdateOptionCaptions(v);
        // The window's sides now meet the other axes: a fit would give other cells.
        v.geometry.scaleToWindowPossible = true;
        UpdateScaleMenus(v);
    });
    // The menu shows the choice while the view is still being laid out.
    if (LayoutUnfinished(view))
        UpdateOptionCaptions(view);
}

void ToggleUntangle(NetView& view) {
    view.options.untangle = !view.options.untangle;
    // The pass follows the improvement sweeps: the view is laid out afresh and improved, with
    // or without it, so that the picture is the one the option gives.
    Relayout(view, true);
    ImproveLayout(view);
    UpdateOptionCaptions(view);
}

void SetLineStyle(NetView& view, LineStyle value) {
    if (view.options.lineStyle == value)
        return;
    view.options.lineStyle = value;
    RepaintView(view);
    UpdateOptionCaptions(view);
}

void ToggleHighlightLinks(NetView& view) {
    HighlightCurrent(view, false);
    view.options.highlightLinks = !view.options.highlightLinks;
    HighlightCurrent(view, true);
    UpdateOptionCaptions(view);
}

void SetDistanceMode(NetView& view, DistanceMode value) {
    if (view.options.distanceMode == value)
        return;
    // The old numbers and shades go first, then the new ones are drawn.
    RedrawDistances(view, true);
    view.options.distanceMode = value;
    RedrawDistances(view, true);
    UpdateOptionCaptions(view);
    if (view.menus) {
        view.menus->closeNodeListDropDown();
        view.menus->repaintNodeList();
    }
    RepaintEditor(view);
    RepaintLinkInspection(view);
}

void SetOpenAt(NetView& view, OpenAt value) {
    if (view.options.openAt == value)
        return;
    // The view keeps its scale: the choice is how views open, this one's next fit included.
    view.options.openAt = value;
    UpdateOptionCaptions(view);
    if (view.menus)
        view.menus->rememberOpenAt(value);
}

void UpdateTitle(NetView& view) {
    if (!view.host)
        return;
    // The title bar shows the root's label as the user reads it, without its formatting codes
    // and with phonetic runs as IPA.
    std::string name;
    ShownUnicodeText(view.root && view.root->name ? view.root->name : "", name);
    // Built whole rather than in a fixed buffer, which could cut a long name inside a character.
    char count[32];
    std::snprintf(count, sizeof count, "%.2f", static_cast<double>(view.layout.clusterCount));
    const std::string title = std::string(view.kind == ViewKind::Relation ? "Relation" : "Entity") +
                              " Net (" + name + ") " + count;
    view.host->setTitle(title.c_str());
}

void UpdateOptionCaptions(NetView& view) {
    if (!view.menus)
        return;
    showOption(
        view,
        {5, "&Justification:\t", cmd::kJustifyFirst, kJustificationWords, 3, kJustificationGroup},
        ToInt(view.options.justification));
    showOption(view,
               {6, "&Depth justify:\t", cmd::kRaiseChildren, kDepthWords, 2, kDepthJustifyGroup},
               ToInt(view.options.depthJustify));
    showOption(view,
               {7, "&Orientation:\t", cmd::kLeftToRight, kOrientationWords, 4, kOrientationGroup},
               ToInt(view.options.orientation));
    showOption(view, {8, "&Line style:\t", cmd::kStraight, kLineStyleWords, 2, kLineStyleGroup},
               ToInt(view.options.lineStyle));
    showOption(view, {4, "Distance &shade:\t", cmd::kShadeNone, kShadeWords, 3, kShadeGroup},
               ToInt(view.options.distanceMode.shade));
    showOption(view, {9, "Open views &at:\t", cmd::kOpenReadable, kOpenAtWords, 2, -1},
               ToInt(view.options.openAt));
    ViewMenus& menus = *view.menus;
    menus.checkItem(cmd::kHighlightLinks, view.options.highlightLinks);
    menus.enableItem(cmd::kHighlightLinks, true);
    menus.showGroupValue(kHighlightLinksGroup, view.options.highlightLinks ? 1 : 0);
    menus.checkItem(cmd::kUntangle, view.options.untangle);
    menus.enableItem(cmd::kUntangle, true);
    menus.checkItem(cmd::kDistanceNumber, view.options.distanceMode.numbers);
    menus.enableItem(cmd::kDistanceNumber, true);
    menus.showGroupValue(kDistanceNumberGroup, view.options.distanceMode.numbers ? 1 : 0);
}

void UpdateScaleMenus(NetView& view) {
    if (!view.menus)
        return;
    view.menus->enableItem(cmd::kReduceScale,
                           view.geometry.slotExtent > 1.0f || view.geometry.layerExtent > 1.0f);
    view.menus->enableItem(cmd::kScaleToWindow, view.geometry.scaleToWindowPossible);
}

void UpdateMenus(NetView& view) {
    if (!view.menus)
        return;
    UpdateOptionCaptions(view);
    UpdateScaleMenus(view);
    UpdateSpotlightMenu(view);
    UpdateSizeCaption(view);
    const bool undo = EditorOpen(view) ? EditorCanUndo(view)
                                       : view.network && changes(*view.network).undo != nullptr;
    view.menus->enableItem(cmd::kUndo, undo);
    view.menus->checkItem(cmd::kInspectLinks, LinkInspectionOpen(view));
}

void RepaintView(NetView& view) {
    if (view.host)
        view.host->invalidate(nullptr);
}

int MapArrowKey(const NetView& view, int key) {
    using namespace platform::keys;
    switch (view.options.orientation) {
    case Orientation::LeftToRight:
        switch (key) {
        case kLeft:
            return kUp;
        case kUp:
            return kLeft;
        case kRight:
            return kDown;
        case kDown:
            return kRight;
        }
        break;
    case Orientation::RightToLeft:
        switch (key) {
        case kLeft:
            return kDown;
        case kUp:
            return kLeft;
        case kRight:
            return kUp;
        case kDown:
            return kRight;
        }
        break;
    case Orientation::BottomUp:
        if (key == kUp)
            return kDown;
        if (key == kDown)
            return kUp;
        break;
    case Orientation::TopDown:
        break;
    }
    return key;
}

} // namespace tarvo
