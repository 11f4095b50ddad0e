// The label editor: typing, deleting, accents, formatting, the clipboard, and how it commits
// (or refuses to) and undoes.
#include "view/label_editor.h"

#include "containers/node_list.h"
#include "edit/changes.h"
#include "labels/accents.h"
#include "labels/font_table.h"
#include "labels/label_markup.h"
#include "layout/view_node.h"
#include "memory/size_class_heap.h"
#include "model/network.h"
#include "platform/clipboard.h"
#include "platform/font_catalog.h"
#include "platform/keyboard_layout.h"
#include "platform/keys.h"
#include "view/commands.h"
#include "view/shapes.h"
#include "view/view_commands.h"
#include "view/view_editing.h"
#include "view/view_mouse.h"
#include "view/view_operations.h"

#include "support/null_display.h"
#include "support/view_fixture.h"

namespace tarvo {
namespace {

using namespace platform::keys;
using testing_support::kGrammar;

class LabelEditorTest : public testing_support::ViewFixture {
protected:
    DisplayMaker measuring() override {
        return [] { return std::make_unique<testing_support::NullDisplay>(); };
    }
    platform::RegionMaker& regions() override { return m_regions; }

    void SetUp() override {
        load(kGrammar);
        open("noun");
        OpenEditor(*view);
        ASSERT_TRUE(EditorOpen(*view));
    }
    void TearDown() override {
        ViewFixture::TearDown();
        accentKeys() = AccentKeyState{};
    }
    void type(const char* text) {
        for (; *text; ++text)
            EditorChar(*view, static_cast<unsigned char>(*text), 1);
    }
    // Selects cells from..to-1 with the keys.
    void select(int from, int to) {
        EditorKey(*view, kHome, false);
        for (int i = 0; i < from; ++i)
            EditorKey(*view, kRight, false);
        for (int i = from; i < to; ++i)
            EditorKey(*view, kRight, true);
    }
    std::string markupOf(const std::string& label) {
        std::string out;
        LabelToMarkup(label.c_str(), out);
        return out;
    }
    // The internal form of a label written in markup.
    std::string taken(const char* markup) {
        char* label = MarkupToLabel(markup, net->labelIds());
        std::string out = label ? label : "";
        Release(label);
        return out;
    }
    std::string currentMarkup() { return markupOf(view->current->source->keyText()); }

private:
    testing_support::NullDisplay m_regions;
};

TEST_F(LabelEditorTest, TypingIsLimitedTo20RepeatsAndBackspaceStopsAtTheStart) {
    EditorChar(*view, 'x', 25);
    EXPECT_EQ(EditorText(*view), "noun" + std::string(20, 'x'));
    EditorChar(*view, kBackspace, 18);
    EXPECT_EQ(EditorText(*view), "nounxx");

    EditorKey(*view, kHome, false);
    EditorChar(*view, kBackspace, 5);
    EXPECT_EQ(EditorText(*view), "nounxx") << "nothing stands before the caret";
    EditorChar(*view, '\t', 1);
    EXPECT_EQ(EditorText(*view), "nounxx") << "control characters are not typed";
}

TEST_F(LabelEditorTest, TypingReplacesTheSelectionAndDeleteTakesTheCellAfterTheCaret) {
    select(1, 3);
    type("e");
    EXPECT_EQ(EditorText(*view), "nen");
    EditorKey(*view, kHome, false);
    EditorKey(*view, kDelete, false);
    EXPECT_EQ(EditorText(*view), "en");
    EXPECT_FALSE(EditorKey(*view, kPageUp, false)) << "left to the view";
}

TEST_F(LabelEditorTest, CommittingTheUnchangedLabelIssuesNoRecord) {
    const ChangeRecord* undo = changes(*net).undo;
    const ChangeRecord* history = changes(*net).history;
    type("x");
    EditorChar(*view, kBackspace, 1);
    EXPECT_TRUE(EditorCanUndo(*view));
    EXPECT_TRUE(CloseEditor(*view, true));
    EXPECT_FALSE(EditorOpen(*view));
    EXPECT_EQ(changes(*net).undo, undo);
    EXPECT_EQ(changes(*net).history, history);
    EXPECT_EQ(menus.enables[cmd::kUndo], undo != nullptr);
}

TEST_F(LabelEditorTest, TheNameOfAnotherNodeIsRefusedAndANewOneCommitsWithEnter) {
    EditorSelectAll(*view);
    type("verb");
    EXPECT_FALSE(CloseEditor(*view, true));
    EXPECT_TRUE(EditorOpen(*view)) << "the editor stays, with its text";
    EXPECT_EQ(EditorText(*view), "verb");

    type("al");
    EXPECT_TRUE(ViewKey(*view, kEnter, false, false));
    EXPECT_FALSE(EditorOpen(*view));
    EXPECT_NE(findNode("verbal", 0), nullptr);
    EXPECT_EQ(findNode("noun", 0), nullptr);
    EXPECT_TRUE(UndoLastChange(*view));
    EXPECT_NE(findNode("noun", 0), nullptr);
}

TEST_F(LabelEditorTest, AnAccentKeyAccentsOnlyTheNextLetter) {
    platform::UsKeyboardLayout layout;
    InitAccentKeys(layout);
    int key = 0;
    bool shift = false;
    ASSERT_TRUE(layout.keyForCharacter('\'', &key, &shift));
    EditorSelectAll(*view);
    EditorCtrlKey(*view, key, shift);
    type("ee");
    EXPECT_EQ(EditorText(*view), "\xE9"
                                 "e");
}

TEST_F(LabelEditorTest, FormattingGoesToTheSelectionOrToWhatIsTypedNext) {
    select(1, 3);
    ViewCommand(*view, cmd::kBold);
    EXPECT_EQ(StyleAtCaret(*view) & kBold, kBold);
    EditorKey(*view, kEnd, false);
    ApplyFormat(*view, kFormatSize, 128);
    type("2");
    EXPECT_EQ(markupOf(EditorText(*view)), markupOf(taken("n<b>ou<\\b>n<super>2")));
    EXPECT_EQ(menus.checks[cmd::kNormalSize + 2], true);

    EXPECT_TRUE(CloseEditor(*view, true));
    EXPECT_EQ(currentMarkup(), markupOf(taken("n<b>ou<\\b>n<super>2")));
}

TEST_F(LabelEditorTest, TabMovesTheEditorOnTogglesFollowTheCaretAndRaisedTextLiftsIt) {
    // Tab commits the label and takes the editor to the next node along the link cursor's
    // list, the siblings under "word"; Shift+Tab brings it back.
    ASSERT_NE(view->currentLink, nullptr);
    ASSERT_EQ(view->currentLink->source, findNode("word", 0));
    type("s");
    ViewNode* const before = view->current;
    ViewCommand(*view, cmd::kNext);
    ASSERT_TRUE(EditorOpen(*view));
    EXPECT_NE(view->current, before);
    EXPECT_EQ(view->editor->node, view->current);
    EXPECT_NE(findNode("nouns", 0), nullptr);
    bool sibling = false;
    forEachNode(findNode("word", 0)->slotList(ChildSlot),
                [&](NodeBase* n) { sibling = sibling || n == view->current->source; });
    EXPECT_TRUE(sibling);
    ViewCommand(*view, cmd::kPrevious);
    ASSERT_TRUE(EditorOpen(*view));
    EXPECT_EQ(view->current, before);
    EXPECT_EQ(EditorText(*view), "nouns");

    // "n" bold, "ouns" plain: selected from the start, the caret stands after a plain cell, so
    // Bold makes the whole selection bold; selected back to the start, after no cell at all.
    select(0, 1);
    ViewCommand(*view, cmd::kBold);
    EditorSelectAll(*view);
    EXPECT_EQ(StyleAtCaret(*view) & kBold, 0);
    EXPECT_EQ(menus.checks[cmd::kBold], false);
    ViewCommand(*view, cmd::kBold);
    EXPECT_EQ(markupOf(EditorText(*view)), markupOf(taken("<b>nouns")));
    EditorKey(*view, kEnd, false);
    EditorKey(*view, kHome, true);
    ViewCommand(*view, cmd::kBold);
    EXPECT_EQ(markupOf(EditorText(*view)), markupOf(taken("<b>nouns")))
        << "nothing stands before the caret: the toggle turns bold on";

    // Raised text lifts the editor by its offset without making it taller, and the caret's
    // line starts at the editor's top.
    EditorSelectAll(*view);
    ApplyFormat(*view, kFormatSize, 128);
    const LabelEditor& e = *view->editor;
    ASSERT_GT(e.raisedOffset, 0);
    const platform::Point centre = BoxCentre(e.node->layoutBox);
    EXPECT_EQ(e.rect.bottom - e.rect.top, e.blockHeight);
    EXPECT_EQ(e.rect.top, centre.y - e.blockHeight / 2 - e.raisedOffset);
    EXPECT_EQ(e.caretAt.y, e.rect.top + e.lineHeight / 4);
}

TEST_F(LabelEditorTest, HoveringOverTheEditorNamesItJustAboveItsBottom) {
    // Wider than the node's box: the editor reaches out beside it.
    type(std::string(30, 'x').c_str());
    const platform::Rect rect = view->editor->rect;
    const platform::Point beside{rect.left + 3, (rect.top + rect.bottom) / 2};
    const PixelBox& box = view->current->layoutBox;
    ASSERT_LT(beside.x, box.left);
    ViewMouseMove(*view, beside);
    host->tick(kHoverTimer);
    EXPECT_EQ(host->popupText, "Edit the label");
    EXPECT_EQ(host->popupAt, (platform::Point{beside.x, rect.bottom - 10}));
    EXPECT_EQ(HoverText(*view, beside), "Edit the label");

    // Outside the editor, a node is named where the mouse rests.
    CloseEditor(*view, false);
    const platform::Point inside = BoxCentre(view->current->layoutBox);
    ViewMouseMove(*view, inside);
    host->tick(kHoverTimer);
    EXPECT_EQ(host->popupText, "noun");
    EXPECT_EQ(host->popupAt, inside);
}

TEST_F(LabelEditorTest, NoFormattingAlsoGoesBackToTheDefaultFont) {
    // Times New Roman, the default font, stands second, so that font 0 is another face.
    platform::ListedFontCatalog catalog("Arial;Times New Roman");
    BuildFontTable(catalog);
    ChoosePreferredFonts();
    struct ReleaseFonts {
        ~ReleaseFonts() {
            ReleaseFontTable();
            ChoosePreferredFonts();
        }
    } releaseFonts;
    ASSERT_EQ(fonts().DefaultFont, 1);
    ASSERT_TRUE(CloseEditor(*view, false));
    OpenEditor(*view);

    // On a selection in another font.
    select(0, 4);
    ApplyFormat(*view, kFormatFont, 0);
    ViewCommand(*view, cmd::kBold);
    EXPECT_EQ(markupOf(EditorText(*view)), markupOf(taken("<f=0><b>noun")));
    ViewCommand(*view, cmd::kNoFormatting);
    EXPECT_EQ(markupOf(EditorText(*view)), "noun");
    // On what is typed next.
    EditorKey(*view, kEnd, false);
    ApplyFormat(*view, kFormatFont, 0);
    ViewCommand(*view, cmd::kNoFormatting);
    type("s");
    EXPECT_EQ(markupOf(EditorText(*view)), "nouns");
    // And on the whole label, with the editor closed.
    select(0, 5);
    ApplyFormat(*view, kFormatFont, 0);
    ASSERT_TRUE(CloseEditor(*view, true));
    EXPECT_EQ(currentMarkup(), markupOf(taken("<f=0>nouns")));
    ViewCommand(*view, cmd::kNoFormatting);
    EXPECT_EQ(currentMarkup(), "nouns");
}

TEST_F(LabelEditorTest, CopiedTextKeepsItsFormattingOnlyThroughTheRawForm) {
    select(1, 3);
    EditorApplyFormat(*view, kFormatToggle, kBold);
    EditorCtrlKey(*view, 'C', false);
    std::string plain = host->board.text();
    EXPECT_EQ(plain, "ou");

    EditorKey(*view, kHome, false);
    EditorCtrlKey(*view, 'V', false);
    EXPECT_EQ(markupOf(EditorText(*view)), markupOf(taken("<b>ou<\\b>n<b>ou<\\b>n")));

    host->board.setPlainText("ou");
    EditorKey(*view, kHome, false);
    EditorCtrlKey(*view, 'V', false);
    EXPECT_EQ(markupOf(EditorText(*view)), markupOf(taken("ou<b>ou<\\b>n<b>ou<\\b>n")));
}

// A phonetic run is edited byte by byte, each byte one IPA symbol; other programs get the
// symbols as Unicode, this program's editors the bytes with their formatting.
TEST_F(LabelEditorTest, APhoneticRunIsSelectedOneSymbolAByteAndCopiedAsUnicodeIpa) {
    EditorSelectAll(*view);
    EditorChar(*view, kBackspace, 1);
    EditorApplyFormat(*view, kFormatToggle, kPhonetic);
    type("DE kHAtH");
    ASSERT_EQ(EditorText(*view), taken("<phon>DE kHAtH"));

    const char* const symbols[] = {"\u00f0", "\u025b", " ", "k", "\u02b0", "\u0251", "t", "\u02b0"};
    std::string expected;
    EditorKey(*view, kHome, false);
    for (int i = 0; i < 8; ++i) {
        EditorKey(*view, kRight, true);
        EXPECT_EQ(view->editor->caret, i + 1);
        EditorCtrlKey(*view, 'C', false);
        expected += symbols[i];
        EXPECT_EQ(host->board.text(), expected) << i;
        std::string raw;
        ASSERT_TRUE(host->board.raw(raw));
        EXPECT_EQ(raw.size(), 4u * static_cast<unsigned>(i + 1)) << "four raw bytes a cell";
        EXPECT_EQ(raw[static_cast<std::size_t>(4 * i)], "DE kHAtH"[i]);
        EXPECT_TRUE(raw[static_cast<std::size_t>(4 * i + 1)] & kPhonetic);
    }

    // The raw form pastes back as the phonetic run it was.
    EditorKey(*view, kEnd, false);
    EditorApplyFormat(*view, kFormatToggle, kPhonetic);
    type(" x ");
    EditorCtrlKey(*view, 'V', false);
    EXPECT_EQ(EditorText(*view), taken("<phon>DE kHAtH<\\phon> x <phon>DE kHAtH"));

    // Unicode IPA from another program comes into a phonetic run as its bytes, and into plain
    // text as what Windows-1252 can hold of it.
    EditorSelectAll(*view);
    EditorChar(*view, kBackspace, 1);
    EditorApplyFormat(*view, kFormatToggle, kPhonetic);
    host->board.setPlainText("\u00f0\u025b k\u02b0\u0251t\u02b0 e\u0301");
    EditorCtrlKey(*view, 'V', false);
    EXPECT_EQ(EditorText(*view), taken("<phon>DE kHAtH e@"));
    EditorApplyFormat(*view, kFormatToggle, kPhonetic);
    host->board.setPlainText(" caf\u00e9 \u00f0");
    EditorCtrlKey(*view, 'V', false);
    EXPECT_EQ(EditorText(*view), taken("<phon>DE kHAtH e@<\\phon> caf\xe9 \xf0"));
}

TEST_F(LabelEditorTest, PastedLineBreaksBecomeBlanksAndALongPasteIsCut) {
    host->board.setPlainText(" big\r\nred\tdog");
    EditorCtrlKey(*view, 'V', false);
    EXPECT_EQ(EditorText(*view), "noun big red dog");

    EditorSelectAll(*view);
    EditorCtrlKey(*view, 'X', false);
    EXPECT_EQ(EditorText(*view), "");
    host->board.setPlainText(std::string(3000, 'z'));
    EditorCtrlKey(*view, 'V', false);
    EXPECT_EQ(EditorText(*view), std::string(kMaxLabelCells, 'z'));
    EXPECT_TRUE(CloseEditor(*view, true));
    EXPECT_EQ(std::string(view->current->source->keyText()), std::string(kMaxLabelCells, 'z'));
}

TEST_F(LabelEditorTest, UndoInsideTheEditorThrowsAwayItsEdits) {
    const ChangeRecord* undo = changes(*net).undo;
    type("s");
    EXPECT_EQ(menus.enables[cmd::kUndo], true);
    ViewCommand(*view, cmd::kUndo);
    EXPECT_TRUE(EditorOpen(*view));
    EXPECT_EQ(EditorText(*view), "noun");
    EXPECT_FALSE(EditorCanUndo(*view));
    EXPECT_EQ(changes(*net).undo, undo);
    EXPECT_TRUE(ViewKey(*view, kEscape, false, false));
    EXPECT_FALSE(EditorOpen(*view));
}

TEST_F(LabelEditorTest, TheMouseMovesTheCaretAndDragsTheSelection) {
    const platform::Rect area = view->editor->rect;
    ASSERT_TRUE(EditorContains(*view, {area.left + 1, area.top + 1}));
    EXPECT_FALSE(EditorContains(*view, {area.right, area.top}));
    // The null display makes every character 10 pixels wide.
    EditorMouseDown(*view, {area.left + 1, area.top + 1});
    EditorMouseDrag(*view, {area.left + 1 + 20, area.top + 1});
    type("X");
    EXPECT_EQ(EditorText(*view), "Xun");
    EXPECT_EQ(host->caret.y, view->editor->caretAt.y);
}

TEST_F(LabelEditorTest, AnotherViewDeletingTheNodeTakesTheEditorAway) {
    platform::OffWindowHost otherHost({600, 400}, measuring(), regions());
    NetView other;
    ViewStartup startup;
    startup.title = "noun";
    ASSERT_EQ(CreateView(other, *net, findNode("noun", 0), &otherHost, &menus, startup), 1);
    otherHost.runPosted();
    type("s");
    EXPECT_TRUE(DeleteCurrentNode(other));
    EXPECT_FALSE(EditorOpen(*view));
    EXPECT_NE(view->current, nullptr);
    DestroyView(other);
}

} // namespace
} // namespace tarvo
