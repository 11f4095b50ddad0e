// The editable form of a label: a list of character cells, each with its own formatting and
// measured width, split into words that are broken into centred lines, drawn and hit-tested.
#pragma once

#include "containers/chunk_list.h"
#include "labels/label_markup.h"
#include "platform/display.h"

#include <cstdint>
#include <string>

namespace tarvo {

struct TextCell {
    char ch = 0;
    TextStyle style = 0;
    std::int32_t font = 0;
    // Set by MeasureCells.
    std::int32_t width = 0;
};

// InsertText styles that are not a TextStyle: take the formatting of the cell before the
// position, or read raw cells.
inline constexpr int kStyleOfPrevious = -1;
inline constexpr int kRawCells = -2;

// CellsToText modes; any other mode gives the plain characters.
inline constexpr int kCellsAsPlainText = 0;
inline constexpr int kCellsAsLabel = 1;
inline constexpr int kCellsAsRaw = 2;

// The raw form moves formatted text as bytes: character, style, font low byte, font second byte.
inline constexpr int kRawCellBytes = 4;

class LabelCells : public ChunkList {
public:
    static constexpr int kCellsPerBlock = 32;

    LabelCells();

    ChunkList* makeBlock() const override;

    TextCell* cell(int index) const { return static_cast<TextCell*>(element(index)); }
    // The cell at a position of the whole text, or null when out of range.
    TextCell* cellAt(int position) const { return static_cast<TextCell*>(elementAt(position)); }
};

// One word of the text: where its cells are and where it is drawn, relative to the label's
// centre. `first` points into the cells, so words are made again after every change to them.
struct WordBox {
    ListPosition first;
    // The position of the first cell in the whole text.
    std::int32_t start = 0;
    std::int32_t count = 0;
    std::int32_t x = 0;
    // The top of the word's line.
    std::int32_t y = 0;
    std::int32_t width = 0;
    // Whether a space stands after the word, which the line breaking counts.
    bool spaceAfter = false;
};

class LabelWords : public ChunkList {
public:
    static constexpr int kWordsPerBlock = 32;

    LabelWords();

    ChunkList* makeBlock() const override;

    WordBox* word(int index) const { return static_cast<WordBox*>(element(index)); }
    WordBox* wordAt(int number) const { return static_cast<WordBox*>(elementAt(number)); }
};

// Inserts the cells made from `count` bytes at `position` (out of range: at the end), one a byte
// in `style` and `font`; a negative font is DefaultFont. With kStyleOfPrevious they take the
// style and font of the cell before the position (style 0 and DefaultFont at the start); with
// kRawCells every four bytes make one cell, an incomplete last one is dropped, and the font is
// ignored. The characters 0 and DEL cannot stand in a label and are left out. Answers the number
// of cells inserted, fewer when memory ran out.
int InsertText(LabelCells& cells, int position, const char* bytes, int count, int style, int font);

// Removes the cells from..to-1 and answers the sum of their widths.
int DeleteRange(LabelCells& cells, int from, int to);

// Appends the text of the cells from..to-1: in kCellsAsLabel mode the internal label form, in
// kCellsAsRaw mode four bytes a cell, otherwise the characters.
void AppendCellsText(const LabelCells& cells, int from, int to, int mode, std::string& out);

// The same text, zero-terminated, in the shared scratch buffer, which `length` (when given)
// receives the length of; raw text may hold zero bytes. A text that does not fit is cut after
// the last cell that fits whole, so that no escape or raw cell is left half written; whoever
// needs all of a long text takes it from AppendCellsText.
const char* CellsToText(const LabelCells& cells, int from, int to, int mode, int* length = nullptr);

// The internal label form of the whole text less one leading and one trailing space, in a block
// from Allocate; null only when memory runs out. It has no length limit, unlike the scratch
// buffer, since it becomes the node's label.
char* LabelOfCells(const LabelCells& cells);

// Sets (`on`) or clears `bits` in the style of the cells from..to-1.
void SetStyleBits(LabelCells& cells, int from, int to, TextStyle bits, bool on);
// Sets the font of the cells from..to-1; a negative font is DefaultFont.
void SetFont(LabelCells& cells, int from, int to, int font);

// Removes every space that follows a space, taking its width off `totalWidth` and moving
// `caret` back over each one removed before it. Answers the number removed.
int CollapseSpaces(LabelCells& cells, int& totalWidth, int& caret);

// Cells holding a label in its internal form, its escapes turned into each cell's formatting.
// Null only when memory runs out.
LabelCells* CellsOfLabel(const char* label);

// Sets every cell's width to that of its character in the font of its state at `points`;
// answers the sum.
int MeasureCells(platform::Display& display, LabelCells& cells, int points);

// Splits the text into words: spaces separate words and are part of none; a word also ends
// after a break character ("-", "+", ":", "_", the dashes, the broken bar) that follows
// something else. Each word's width is the sum of its cells' widths. Null only when memory runs
// out.
LabelWords* MakeWords(const LabelCells& cells);
// Sets each word's width again from its cells, after they were measured again.
void MeasureWords(LabelWords& words);

// Places the words in lines of at most `maxWidth` (raised to the widest word), each line
// centred on x = 0 and the lines together on y = 0. Answers the number of lines; `widest`, when
// given, receives the widest line's width without the space that may end it.
int BreakLines(LabelWords& words, int maxWidth, int lineHeight, int spaceWidth,
               int* widest = nullptr);

// Draws the cells on one line from the display's current position, which moves along the
// baseline past them.
void DrawCells(platform::Display& display, const LabelCells& cells, int points);
// Draws each word with its baseline at origin + (x, y). A word's y is the top of its line, so
// the caller lowers the origin by the font's ascent.
void DrawWords(platform::Display& display, const LabelWords& words, platform::Point origin,
               int points);

// The caret position nearest to a point relative to the label's centre: on the point's line,
// before the first cell whose middle lies right of it. A point on no line gives 0.
int CaretAt(const LabelWords& words, platform::Point point, int lineHeight);
// Where the caret at `position` stands (its line's top); false when there are no words.
bool PointOfCaret(const LabelWords& words, int position, platform::Point& point);
// The number of the word that holds the caret at `position`, counting the position after its
// last cell; in the gap before a word, the word before it. 0 without words.
int WordOfCaret(const LabelWords& words, int position);
// The first position of word `number` when `start` is set, else the position after its last
// cell; a number out of range is taken as the nearest word, and without words the answer is 0.
int WordBounds(const LabelWords& words, int number, bool start);

} // namespace tarvo
