// The word reader: blank-separated and quoted words, numbers and punctuation from a text stream,
// the writer's output to such a stream, and the string helpers the file formats share.
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

// Words, numbers and punctuation read from one text stream, and text written to it. Each file
// that is read or written has its own; a result in the stream's scratch buffer is valid only
// until the next operation that uses the buffer.
class WordStream {
public:
    // Reads and writes `file`, which its opener closes; a null file reads as empty and fails
    // every write. Problems go to `problems`, in the order met; without a list they are not
    // kept.
    explicit WordStream(std::FILE* file, Diagnostics* problems = nullptr);
    WordStream(const WordStream&) = delete;
    WordStream& operator=(const WordStream&) = delete;

    // Tells of a problem on the current line.
    void reportProblem(const std::string& message);

    // The next byte (0-255) or kEndOfInput.
    int readChar();
    // Skips blanks (codes 1-32) and answers the next character without consuming it.
    int peekNonBlank();
    // The line of the next character, counted from 1 by the line ends read, for messages.
    int currentLine() const { return m_line; }
    // Reads and drops the rest of the current line through its line end, reading at most
    // `maxCharacters` characters (the line end included).
    void skipLine(int maxCharacters);

    // Reads one word into `destination`, which holds `capacity` bytes (a null destination means
    // the scratch buffer). A word is either quoted, from a double quote through the closing one
    // with blanks and line ends inside, quotes kept, or plain, a run of codes 33-254 whose ending
    // character is consumed. At end of input the word is empty. A word that does not fit is cut
    // to capacity - 1 characters (a quoted one keeps its closing quote), the rest of it is
    // skipped, and the first cut on the stream is reported.
    char* readWord(char* destination, int capacity);
    // readWord into the scratch buffer.
    char* readWord();
    // Skips blanks, then reads everything up to `delimiter`, which is consumed but not kept. The
    // end of input and a byte 255 end the text too. Cut and reported like readWord.
    char* readUntil(char* destination, int capacity, char delimiter);
    // readUntil into the scratch buffer.
    char* readUntil(char delimiter);

    // 0 when the next word is `keyword` in any letter case; otherwise reports "`keyword'
    // expected" and answers 1. The word read is lost either way.
    int expectWord(const char* keyword);
    // The next word as a decimal number from its beginning, rounded to float: 0 when it does not
    // begin with a number, kNoValue for "-". The point is always '.', whatever the locale.
    float readNumber();
    // Skips blanks and consumes the next character only when it is `c`.
    bool matchChar(char c);
    // matchChar, reporting "\"c\" expected" and answering false when `c` is not next.
    bool requireChar(char c);

    // `text` without its first and last character when it starts with a double quote (a lone
    // quote gives the empty text), copied into the scratch buffer and cut to 79 characters;
    // otherwise `text` itself.
    const char* unquote(const char* text);
    // `text` in double quotes, in the scratch buffer. A text of more than 77 characters is cut
    // so that the closing quote still fits.
    const char* quote(const char* text);
    // quote(text) when `text` holds a space, otherwise `text` itself.
    const char* quoteIfSpaced(const char* text);

    // Append to the stream. False, and failed() from then on, when the text could not be
    // written.
    bool writeText(const char* text);
    bool writeFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
    bool failed() const { return m_writeFailed; }

private:
    void pushBack(int c);
    int readNonBlank();
    // Fills its destinations, reporting the first cut of the stream.
    friend class WordCollector;

    std::FILE* m_stream;
    Diagnostics* m_problems;
    // A character to be read again before the stream, or kNothingPushedBack.
    int m_pushedBack = kNothingPushedBack;
    int m_line = 1;
    // A word cut to fit its destination is reported once per stream, not once per word.
    bool m_overlongReported = false;
    bool m_writeFailed = false;
    char m_scratch[kScratchBufferBytes] = {};
};

// A word already read, converted as readNumber converts the words it reads.
float WordNumber(const char* word);
// WordStream::unquote into `destination` of `capacity` bytes, for texts longer than the scratch
// buffer holds; `destination` may be `text` itself. Answers `destination`, always copied.
char* Unquote(const char* text, char* destination, int capacity);
// A copy in a block from Allocate with 13 spare bytes after the terminator; null for null.
char* DupString(const char* text);

} // namespace tarvo
