// The word reader: blank-separated and quoted words, numbers and punctuation from the one current
// text stream, the writer's output to that stream, and the string helpers the file formats share.
#pragma once

#include "diagnostics/diagnostics.h"

#include <cstdio>
#include <string>

namespace tarvo {

// What ReadChar and PeekNonBlank answer when the input is used up.
inline constexpr int kEndOfInput = -1;
// ReadNumber's answer for the word "-": the largest finite float.
inline constexpr float kNoValue = 3.4028235e38f;
// The scratch buffer: 79 characters and the terminator.
inline constexpr int kScratchBufferBytes = 80;
// The push-back slot when it is empty.
inline constexpr int kNothingPushedBack = -2;

// The reader's program-wide state. Only one text file is read or written at a time, and every
// result in the scratch buffer is valid only until the next operation that uses it.
struct WordReaderState {
    // Not owned: whoever opened the file closes it.
    std::FILE* stream = nullptr;
    // A character to be read again before the stream, or kNothingPushedBack.
    int pushedBack = kNothingPushedBack;
    // The line of the next character, counted from 1 by the line ends read.
    int line = 1;
    // A word cut to fit its destination is reported once per stream, not once per word.
    bool overlongReported = false;
    // A write to the stream failed since it was made current.
    bool writeFailed = false;
    // Where the problems of the read go; none: nowhere, the caller does not want them. Not owned.
    Diagnostics* problems = nullptr;
    char scratch[kScratchBufferBytes] = {};
};

WordReaderState& wordReaderState();

// Tells of a problem on the current line: into the read's list of problems when it has one.
void ReportProblem(const std::string& message);

// While it lives, the problems of the read go to `problems` (none: nowhere), and the
// list before comes back afterwards.
class ProblemsTo {
public:
    explicit ProblemsTo(Diagnostics* problems);
    ~ProblemsTo();
    ProblemsTo(const ProblemsTo&) = delete;
    ProblemsTo& operator=(const ProblemsTo&) = delete;

private:
    Diagnostics* m_before;
};

// Makes `file` the current stream and starts its line count, push-back and failure flags afresh;
// a null file leaves everything as it was.
void SetStream(std::FILE* file);
// Leaves no stream current; reads then answer end of input and writes fail.
void ClearStream();

// The next byte (0-255) or kEndOfInput.
int ReadChar();
// Skips blanks (codes 1-32) and answers the next character without consuming it.
int PeekNonBlank();
// The line of the next character, for messages.
int CurrentLine();
// Reads and drops the rest of the current line through its line end, reading at most
// `maxCharacters` characters (the line end included).
void SkipLine(int maxCharacters);

// Reads one word into `destination`, which holds `capacity` bytes (a null destination means the
// scratch buffer). A word is either quoted, from a double quote through the closing one with
// blanks and line ends inside, quotes kept, or plain, a run of codes 33-254 whose ending
// character is consumed. At end of input the word is empty. A word that does not fit is cut to
// capacity - 1 characters (a quoted one keeps its closing quote), the rest of it is skipped, and
// the first cut on a stream is reported.
char* ReadWord(char* destination, int capacity);
// ReadWord into the scratch buffer.
char* ReadWord();
// Skips blanks, then reads everything up to `delimiter`, which is consumed but not kept. The end
// of input and a byte 255 end the text too. Cut and reported like ReadWord.
char* ReadUntil(char* destination, int capacity, char delimiter);
// ReadUntil into the scratch buffer.
char* ReadUntil(char delimiter);

// 0 when the next word is `keyword` in any letter case; otherwise reports "`keyword' expected"
// and answers 1. The word read is lost either way.
int ExpectWord(const char* keyword);
// The next word as a decimal number from its beginning, rounded to float: 0 when it does not
// begin with a number, kNoValue for "-". The point is always '.', whatever the user's locale.
float ReadNumber();
// A word already read, converted as ReadNumber converts the words it reads.
float WordNumber(const char* word);
// Skips blanks and consumes the next character only when it is `c`.
bool MatchChar(char c);
// MatchChar, reporting "\"c\" expected" and answering false when `c` is not next.
bool RequireChar(char c);

// `text` without its first and last character when it starts with a double quote (a lone quote
// gives the empty text), copied into the scratch buffer and cut to 79 characters; otherwise
// `text` itself.
const char* Unquote(const char* text);
char* Unquote(char* text);
// Unquote into `destination` of `capacity` bytes, for texts longer than the scratch buffer
// holds; `destination` may be `text` itself. Answers `destination`, always copied.
char* Unquote(const char* text, char* destination, int capacity);
// `text` in double quotes, in the scratch buffer. A text of more than 77 characters is cut so
// that the closing quote still fits.
const char* Quote(const char* text);
// Quote(text) when `text` holds a space, otherwise `text` itself.
const char* QuoteIfSpaced(const char* text);
// A copy in a block from Allocate with 13 spare bytes after the terminator; null for null.
char* DupString(const char* text);

// Append to the current stream. False, and StreamFailed() from then on until the next
// SetStream, when the text could not be written or no stream is current.
bool WriteText(const char* text);
bool WriteFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
bool StreamFailed();

} // namespace tarvo
