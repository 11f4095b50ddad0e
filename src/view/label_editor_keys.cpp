// The label editor's keys: typing, moving and deleting by character, word and line, and the
// clipboard.
#include "view/label_editor_parts.h"

#include "labels/accents.h"
#include "labels/ipa93.h"
#include "labels/label_cells.h"
#include "labels/label_text.h"
#include "platform/clipboard.h"
#include "platform/cp1252.h"
#include "platform/keys.h"
#include "platform/view_host.h"
#include "view/net_view.h"
#include "view/view_operations.h"

#include <algorithm>
#include <string>

namespace tarvo {

using namespace label_edit;

namespace {

using platform::Point;

constexpr int kMaxRepeat = 20;

// The caret on the line above (-1) or below (1) at the same x; where there is no such line, it
// stays.
int lineStep(const LabelEditor& e, int direction) {
    if (!e.words)
        return e.caret;
    const Point at = pointOf(e, e.caret);
    const int y = at.y + direction * e.lineHeight;
    const int top = -e.blockHeight / 2;
    if (y < top || y >= top + e.blockHeight)
        return e.caret;
    return CaretAt(*e.words, {at.x, y}, e.lineHeight);
}

int wordCount(const LabelEditor& e) {
    return e.words ? e.words->size() : 0;
}

int previousWordStart(const LabelEditor& e) {
    if (wordCount(e) == 0)
        return 0;
    const int k = WordOfCaret(*e.words, e.caret);
    const int start = WordBounds(*e.words, k, true);
    if (start < e.caret)
        return start;
    return k > 0 ? WordBounds(*e.words, k - 1, true) : 0;
}

int nextWordEnd(const LabelEditor& e) {
    if (wordCount(e) == 0)
        return length(e);
    const int k = WordOfCaret(*e.words, e.caret);
    const int end = WordBounds(*e.words, k, false);
    if (end > e.caret)
        return end;
    return k + 1 < wordCount(e) ? WordBounds(*e.words, k + 1, false) : length(e);
}

// The start of the word that holds a position.
int wordStartAt(const LabelEditor& e, int position) {
    if (wordCount(e) == 0)
        return position;
    const int k = WordOfCaret(*e.words, position);
    return std::min(position, WordBounds(*e.words, k, true));
}

void copySelection(const NetView& view, const LabelEditor& e) {
    if (!hasSelection(e))
        return;
    // Other programs get the text as it reads, phonetic runs as Unicode IPA; this program's
    // editors get the cells as they are.
    std::string label;
    std::string plain;
    std::string raw;
    AppendCellsText(*e.cells, selectionStart(e), selectionEnd(e), kCellsAsLabel, label);
    PlainUnicodeText(label.c_str(), plain);
    AppendCellsText(*e.cells, selectionStart(e), selectionEnd(e), kCellsAsRaw, raw);
    if (view.host)
        view.host->clipboard().setText(plain, raw);
}

void paste(NetView& view, LabelEditor& e) {
    if (!view.host)
        return;
    platform::Clipboard& board = view.host->clipboard();
    std::string raw;
    if (board.raw(raw) && !raw.empty()) {
        insertAtCaret(view, e, raw.data(), static_cast<int>(raw.size()), true);
        return;
    }
    // Text pasted into a phonetic run comes in as the bytes that stand for its IPA symbols.
    const TextCell* before = e.cells->cellAt((hasSelection(e) ? selectionStart(e) : e.caret) - 1);
    const int style = e.pendingStyle >= 0 ? e.pendingStyle : before ? before->style : 0;
    const std::string plain = board.text();
    const std::string text = platform::TextForLabel(
        (style & kPhonetic) ? Ipa93FromUnicode(plain) : platform::Utf8ToCp1252(plain));
    if (!text.empty())
        insertAtCaret(view, e, text.data(), static_cast<int>(text.size()), false);
}

} // namespace

void EditorChar(NetView& view, int character, int repeat) {
    LabelEditor* e = view.editor;
    if (!e)
        return;
    repeat = std::clamp(repeat, 1, kMaxRepeat);
    unsigned char ch = static_cast<unsigned char>(character);
    if (ch == platform::keys::kBackspace) {
        if (deleteSelection(*e))
            textChanged(view, *e);
        else
            eraseRange(view, *e, e->caret - repeat, e->caret);
        return;
    }
    if (ch < ' ')
        return;
    ApplyAccent(ch, e->pendingAccent);
    e->pendingAccent = 0;
    const std::string run(static_cast<std::size_t>(repeat), static_cast<char>(ch));
    insertAtCaret(view, *e, run.data(), repeat, false);
}

bool EditorKey(NetView& view, int key, bool shift) {
    using namespace platform::keys;
    LabelEditor* e = view.editor;
    if (!e)
        return false;
    switch (key) {
    case kEscape:
        CloseEditor(view, false);
        return true;
    case kEnd:
        moveCaret(view, *e, length(*e), shift);
        return true;
    case kHome:
        moveCaret(view, *e, 0, shift);
        return true;
    case kLeft:
    case kRight:
        moveCaret(view, *e, e->caret + (key == kLeft ? -1 : 1), shift);
        return true;
    case kUp:
    case kDown:
        moveCaret(view, *e, lineStep(*e, key == kUp ? -1 : 1), shift);
        return true;
    case kDelete:
        deleteForward(view, *e);
        return true;
    default:
        return false;
    }
}

void EditorCtrlKey(NetView& view, int key, bool shift) {
    using namespace platform::keys;
    LabelEditor* e = view.editor;
    if (!e)
        return;
    switch (key) {
    case kEnd:
    case kHome:
        moveCaret(view, *e, key == kEnd ? length(*e) : 0, shift);
        break;
    case kLeft:
        moveCaret(view, *e, previousWordStart(*e), shift);
        break;
    case kRight:
        moveCaret(view, *e, nextWordEnd(*e), shift);
        break;
    case kUp:
    case kDown:
        moveCaret(view, *e, wordStartAt(*e, lineStep(*e, key == kUp ? -1 : 1)), shift);
        break;
    case 'A':
        EditorSelectAll(view);
        break;
    case 'C':
        copySelection(view, *e);
        break;
    case 'X':
        copySelection(view, *e);
        if (deleteSelection(*e))
            textChanged(view, *e);
        break;
    case 'V':
        paste(view, *e);
        break;
    default:
        EditorAccentKey(view, key, shift);
        break;
    }
}

void EditorAccentKey(NetView& view, int nativeKey, bool shift) {
    if (view.editor)
        view.editor->pendingAccent = AccentForKey(nativeKey, shift);
}

} // namespace tarvo
