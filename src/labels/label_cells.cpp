// Character cells of a label being edited: editing, conversion, measuring, words and lines,
// drawing and hit-testing.
#include "labels/label_cells.h"

#include "labels/font_table.h"
#include "labels/label_runs.h"
#include "labels/label_text.h"
#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <vector>

namespace tarvo {
namespace {

static_assert(std::is_trivially_copyable_v<TextCell> && std::is_trivially_copyable_v<WordBox>,
              "block lists copy their elements byte for byte");

// Bits 0-2 of a style are never set.
constexpr TextStyle kStyleBits = 0xf8;

TextCell& cellIn(ListPosition at) {
    return *static_cast<LabelCells*>(at.block)->cell(at.index);
}

WordBox& wordIn(ListPosition at) {
    return *static_cast<LabelWords*>(at.block)->word(at.index);
}

// A negative font would be written as an escape that reads back as characters.
std::int32_t cellFont(int font) {
    return font >= 0 ? font : std::max(fonts().DefaultFont, 0);
}

// Calls f(cell) for the cells from..to-1, cut to the text.
template <typename F> void forEachCell(const LabelCells& cells, int from, int to, F f) {
    from = std::max(from, 0);
    ListPosition at = cells.blockAt(from);
    for (int i = from; i < to && at; ++i, at = ChunkList::nextPosition(at))
        f(cellIn(at));
}

// Calls f(cell) for the cells of a word.
template <typename F> void forEachCellOf(const WordBox& word, F f) {
    ListPosition at = word.first;
    for (int i = 0; i < word.count && at; ++i, at = ChunkList::nextPosition(at))
        f(cellIn(at));
}

TextCell rawCell(const char* bytes) {
    TextCell cell;
    cell.ch = bytes[0];
    cell.style = static_cast<TextStyle>(bytes[1] & kStyleBits);
    cell.font = static_cast<unsigned char>(bytes[2]) | static_cast<unsigned char>(bytes[3]) << 8;
    return cell;
}

bool canStandInLabel(char ch) {
    return ch != '\0' && ch != kLabelEscape;
}

// Hands the text of each cell from..to-1 to put(unit), which answers false to stop: in label
// form a cell's unit starts with the escapes that bring in its formatting.
template <typename Put>
void writeCells(const LabelCells& cells, int from, int to, int mode, Put put) {
    TextStyle style = 0;
    int font = fonts().DefaultFont;
    std::string unit;
    from = std::max(from, 0);
    ListPosition at = cells.blockAt(from);
    for (int i = from; i < to && at; ++i, at = ChunkList::nextPosition(at)) {
        const TextCell& cell = cellIn(at);
        unit.clear();
        if (mode == kCellsAsLabel && (cell.style != style || cell.font != font))
            WriteEscapes(unit, cell.style, style, cell.font, font);
        unit += cell.ch;
        if (mode == kCellsAsRaw) {
            unit += static_cast<char>(cell.style);
            unit += static_cast<char>(cell.font & 0xff);
            unit += static_cast<char>((cell.font >> 8) & 0xff);
        }
        if (!put(unit))
            return;
        style = cell.style;
        font = cell.font;
    }
}

// Draws `count` cells from `at` at the current position; superscript and subscript cells move
// the pen off the baseline, and it comes back to it at the end.
void drawCellsFrom(platform::Display& display, RunFont& runFont, ListPosition at, int count,
                   int points) {
    TextPosition position = TextPosition::Normal;
    auto shiftTo = [&](TextPosition next) {
        if (next == position)
            return;
        const platform::Point pen = display.currentPosition();
        display.moveTo({pen.x, pen.y + BaselineShift(points, position, next)});
        position = next;
    };
    // Cells of one formatting go to the display together, each still drawn on its own width.
    std::string run;
    TextStyle runStyle = 0;
    std::int32_t runFontIndex = 0;
    auto flush = [&] {
        if (run.empty())
            return;
        shiftTo(positionOf(runStyle));
        runFont.select(runStyle, runFontIndex);
        display.textOutEach(run.data(), static_cast<int>(run.size()));
        run.clear();
    };
    for (int i = 0; i < count && at; ++i, at = ChunkList::nextPosition(at)) {
        const TextCell& cell = cellIn(at);
        if (!run.empty() && (cell.style != runStyle || cell.font != runFontIndex))
            flush();
        runStyle = cell.style;
        runFontIndex = cell.font;
        if (cell.width > 0 && IsLoneMark(cell.style, cell.ch)) {
            flush();
            shiftTo(positionOf(cell.style));
            runFont.select(cell.style, cell.font);
            display.markOnBase(cell.ch);
            continue;
        }
        run += cell.ch;
    }
    flush();
    shiftTo(TextPosition::Normal);
}

// The first pass of the line breaking: each word's x becomes its offset in its line and its y
// the line's number. Answers the lines' widths.
// The lines' widths with the space that ends a line, by which the line is centred, and the
// widest line's inked width without it: what must fit the box.
struct FilledLines {
    std::vector<int> widths;
    int widestInk = 0;
};

FilledLines fillLines(LabelWords& words, int maxWidth, int spaceWidth) {
    FilledLines lines;
    int running = 0;
    int ink = 0;
    bool lineHoldsWord = false;
    bool spaceBefore = false;
    for (ListPosition at = words.blockAt(0); at; at = ChunkList::nextPosition(at)) {
        WordBox& word = wordIn(at);
        if (spaceBefore)
            running += spaceWidth;
        // The space before the word stays with the line it ends.
        if (lineHoldsWord && running + word.width > maxWidth) {
            lines.widths.push_back(running);
            lines.widestInk = std::max(lines.widestInk, ink);
            running = 0;
        }
        word.x = running;
        word.y = static_cast<int>(lines.widths.size());
        running += word.width;
        ink = running;
        lineHoldsWord = true;
        spaceBefore = word.spaceAfter;
    }
    if (lineHoldsWord) {
        lines.widths.push_back(running);
        lines.widestInk = std::max(lines.widestInk, ink);
    }
    return lines;
}

} // namespace

LabelCells::LabelCells() : ChunkList(static_cast<int>(sizeof(TextCell)), kCellsPerBlock) {}

ChunkList* LabelCells::makeBlock() const {
    return new LabelCells;
}

LabelWords::LabelWords() : ChunkList(static_cast<int>(sizeof(WordBox)), kWordsPerBlock) {}

ChunkList* LabelWords::makeBlock() const {
    return new LabelWords;
}

int InsertText(LabelCells& cells, int position, const char* bytes, int count, int style, int font) {
    if (!bytes || count <= 0)
        return 0;
    const int size = cells.size();
    if (position < 0 || position > size)
        position = size;

    TextCell formatted;
    if (style == kRawCells) {
        count -= count % kRawCellBytes;
    } else if (style < 0) {
        if (const TextCell* before = cells.cellAt(position - 1)) {
            formatted.style = before->style;
            formatted.font = before->font;
        } else {
            formatted.font = cellFont(-1);
        }
    } else {
        formatted.style = static_cast<TextStyle>(style & kStyleBits);
        formatted.font = cellFont(font);
    }

    const int step = style == kRawCells ? kRawCellBytes : 1;
    int inserted = 0;
    for (int i = 0; i < count; i += step) {
        TextCell cell = formatted;
        if (style == kRawCells)
            cell = rawCell(bytes + i);
        else
            cell.ch = bytes[i];
        if (!canStandInLabel(cell.ch))
            continue;
        if (!cells.insertAtIndex(&cell, position + inserted))
            break;
        ++inserted;
    }
    return inserted;
}

int DeleteRange(LabelCells& cells, int from, int to) {
    from = std::max(from, 0);
    to = std::min(to, cells.size());
    int width = 0;
    for (int i = from; i < to; ++i) {
        TextCell removed;
        if (!cells.removeAtIndex(from, &removed))
            break;
        width += removed.width;
    }
    return width;
}

void AppendCellsText(const LabelCells& cells, int from, int to, int mode, std::string& out) {
    writeCells(cells, from, to, mode, [&](const std::string& unit) {
        out += unit;
        return true;
    });
}

const char* CellsToText(const LabelCells& cells, int from, int to, int mode, int* length) {
    char* buffer = sharedBuffers().scratchText;
    int used = 0;
    if (buffer) {
        writeCells(cells, from, to, mode, [&](const std::string& unit) {
            const int bytes = static_cast<int>(unit.size());
            if (used + bytes >= kScratchTextBytes) // the terminator needs the last byte
                return false;
            std::memcpy(buffer + used, unit.data(), unit.size());
            used += bytes;
            return true;
        });
        buffer[used] = '\0';
    }
    if (length)
        *length = used;
    return buffer ? buffer : "";
}

char* LabelOfCells(const LabelCells& cells) {
    const TextCell* first = cells.cellAt(0);
    const ListPosition lastAt = cells.lastPosition();
    const int from = first && first->ch == ' ' ? 1 : 0;
    int to = cells.size();
    if (lastAt && cellIn(lastAt).ch == ' ')
        --to;
    std::string label;
    AppendCellsText(cells, from, to, kCellsAsLabel, label);
    char* text = static_cast<char*>(Allocate(static_cast<std::int32_t>(label.size() + 1)));
    if (text)
        std::memcpy(text, label.c_str(), label.size() + 1);
    return text;
}

void SetStyleBits(LabelCells& cells, int from, int to, TextStyle bits, bool on) {
    bits &= kStyleBits;
    forEachCell(cells, from, to, [&](TextCell& cell) {
        cell.style = static_cast<TextStyle>(on ? cell.style | bits : cell.style & ~bits);
    });
}

void SetFont(LabelCells& cells, int from, int to, int font) {
    font = cellFont(font);
    forEachCell(cells, from, to, [&](TextCell& cell) { cell.font = font; });
}

int CollapseSpaces(LabelCells& cells, int& totalWidth, int& caret) {
    int removed = 0;
    // Removing a cell pulls the rest of the text back, so the same position is looked at again.
    for (int at = 1; const TextCell* cell = cells.cellAt(at);) {
        if (cell->ch != ' ' || cells.cellAt(at - 1)->ch != ' ') {
            ++at;
            continue;
        }
        TextCell space;
        cells.removeAtIndex(at, &space);
        totalWidth -= space.width;
        if (at < caret)
            --caret;
        ++removed;
    }
    return removed;
}

int MeasureCells(platform::Display& display, LabelCells& cells, int points) {
    RunFont runFont(display, points);
    int total = 0;
    const TextCell* before = nullptr;
    forEachCell(cells, 0, cells.size(), [&](TextCell& cell) {
        runFont.select(cell.style, cell.font);
        cell.width = display.textExtent(&cell.ch, 1).width;
        // A mark that begins its run or its word has no letter to sit on; its width is that of
        // the base it is drawn on, which is how drawing tells it from a mark on a letter.
        const bool runStarts = !before || before->style != cell.style ||
                               before->font != cell.font || before->ch == ' ';
        if (runStarts && IsLoneMark(cell.style, cell.ch))
            cell.width += display.markBaseWidth();
        total += cell.width;
        before = &cell;
    });
    return total;
}

LabelWords* MakeWords(const LabelCells& cells) {
    auto* words = new LabelWords;
    if (!words)
        return nullptr;
    WordBox open;
    bool isOpen = false;
    // Set when the open word holds a break character, after which the next letter starts anew.
    bool broken = false;
    bool failed = false;
    auto close = [&](bool spaceAfter) {
        if (!isOpen)
            return;
        open.spaceAfter = spaceAfter;
        failed = failed || !words->append(&open);
        isOpen = false;
    };

    int position = 0;
    for (ListPosition at = cells.blockAt(0); at; at = ChunkList::nextPosition(at), ++position) {
        const TextCell& cell = cellIn(at);
        const auto ch = static_cast<unsigned char>(cell.ch);
        if (ch == ' ') {
            close(true);
            continue;
        }
        const bool isBreak = IsWordBreak(ch);
        if (!isBreak && isOpen && broken)
            close(false);
        if (!isOpen) {
            open = WordBox{};
            open.first = at;
            open.start = position;
            isOpen = true;
            broken = false;
        } else if (isBreak) {
            broken = true;
        }
        ++open.count;
        open.width += cell.width;
    }
    close(false);
    if (failed) {
        words->destroy();
        return nullptr;
    }
    return words;
}

void MeasureWords(LabelWords& words) {
    for (ListPosition at = words.blockAt(0); at; at = ChunkList::nextPosition(at)) {
        WordBox& word = wordIn(at);
        word.width = 0;
        forEachCellOf(word, [&](const TextCell& cell) { word.width += cell.width; });
    }
}

int BreakLines(LabelWords& words, int maxWidth, int lineHeight, int spaceWidth, int* widest) {
    // A word wider than maxWidth widens every line to it, so that the words after it fill
    // their lines to that width too.
    for (ListPosition at = words.blockAt(0); at; at = ChunkList::nextPosition(at))
        maxWidth = std::max(maxWidth, static_cast<int>(wordIn(at).width));
    const FilledLines filled = fillLines(words, maxWidth, spaceWidth);
    const std::vector<int>& lineWidths = filled.widths;
    const int lines = static_cast<int>(lineWidths.size());
    const int top = -((lineHeight * lines) >> 1);
    for (ListPosition at = words.blockAt(0); at; at = ChunkList::nextPosition(at)) {
        WordBox& word = wordIn(at);
        word.x -= lineWidths[static_cast<std::size_t>(word.y)] >> 1;
        word.y = top + word.y * lineHeight;
    }
    if (widest)
        *widest = filled.widestInk;
    return lines;
}

void DrawCells(platform::Display& display, const LabelCells& cells, int points) {
    RunFont runFont(display, points);
    drawCellsFrom(display, runFont, cells.blockAt(0), cells.size(), points);
}

void DrawWords(platform::Display& display, const LabelWords& words, platform::Point origin,
               int points) {
    RunFont runFont(display, points);
    for (ListPosition at = words.blockAt(0); at; at = ChunkList::nextPosition(at)) {
        const WordBox& word = wordIn(at);
        display.moveTo({origin.x + word.x, origin.y + word.y});
        drawCellsFrom(display, runFont, word.first, word.count, points);
    }
}

int CaretAt(const LabelWords& words, platform::Point point, int lineHeight) {
    int caret = 0;
    for (ListPosition at = words.blockAt(0); at; at = ChunkList::nextPosition(at)) {
        const WordBox& word = wordIn(at);
        if (word.y > point.y)
            break;
        if (point.y >= word.y + lineHeight)
            continue;
        if (point.x < word.x)
            return word.start;
        caret = word.start + word.count;
        int x = word.x;
        ListPosition cellAt = word.first;
        for (int i = 0; i < word.count && cellAt; ++i, cellAt = ChunkList::nextPosition(cellAt)) {
            const int width = cellIn(cellAt).width;
            if (x + width / 2 > point.x) {
                caret = word.start + i;
                break;
            }
            x += width;
        }
        // A point right of the word may still lie left of the next word on the line.
        if (point.x < word.x + word.width)
            return caret;
    }
    return caret;
}

bool PointOfCaret(const LabelWords& words, int position, platform::Point& point) {
    const WordBox* first = words.wordAt(0);
    if (!first)
        return false;
    if (position == 0 && first->start != 0) {
        // The caret stands before the space that the text starts with.
        const auto* text = static_cast<const LabelCells*>(first->first.block->firstBlock());
        const TextCell* space = text->cellAt(0);
        point = {first->x - (space ? space->width : 0), first->y};
        return true;
    }
    const WordBox* holder = nullptr;
    for (ListPosition at = words.blockAt(0); at; at = ChunkList::nextPosition(at)) {
        holder = &wordIn(at);
        if (holder->start <= position && position <= holder->start + holder->count)
            break;
    }
    // Past the last word the cells after it count too, so that a caret after a trailing space
    // stands after that space.
    int x = holder->x;
    ListPosition cellAt = holder->first;
    for (int i = holder->start; i < position && cellAt; ++i) {
        x += cellIn(cellAt).width;
        cellAt = ChunkList::nextPosition(cellAt);
    }
    point = {x, holder->y};
    return true;
}

int WordOfCaret(const LabelWords& words, int position) {
    int number = 0;
    for (ListPosition at = words.blockAt(0); at; at = ChunkList::nextPosition(at), ++number) {
        const WordBox& word = wordIn(at);
        if (position <= word.start + word.count)
            return position >= word.start ? number : std::max(number - 1, 0);
    }
    return std::max(number - 1, 0);
}

int WordBounds(const LabelWords& words, int number, bool start) {
    const int size = words.size();
    if (size == 0)
        return 0;
    const WordBox* word = words.wordAt(std::clamp(number, 0, size - 1));
    return start ? word->start : word->start + word->count;
}

LabelCells* CellsOfLabel(const char* label) {
    auto* cells = new LabelCells();
    if (!cells || !label)
        return cells;
    TextStyle style = 0;
    int font = fonts().DefaultFont;
    int remaining = static_cast<int>(std::strlen(label));
    const char* at = label;
    int position = 0;
    while (remaining > 0 && *at) {
        if (*at == kLabelEscape) {
            at = ReadEscapes(at, style, font, remaining);
            continue;
        }
        const char* end = at;
        while (end - at < remaining && *end && *end != kLabelEscape)
            ++end;
        const int bytes = static_cast<int>(end - at);
        position += InsertText(*cells, position, at, bytes, style, font);
        at = end;
        remaining -= bytes;
    }
    return cells;
}

} // namespace tarvo
