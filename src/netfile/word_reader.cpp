// The word stream: its reader, its guard against overlong words, and its writer.
#include "netfile/word_reader.h"

#include "memory/size_class_heap.h"

#include <algorithm>
#include <cassert>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>

namespace tarvo {
namespace {

constexpr char kQuote = '"';
// Inside a quoted word and in delimited text this byte ends the input as the end of the file does.
constexpr int kTextStop = 255;

bool isBlank(int c) {
    return c >= 1 && c <= 32;
}
// Bytes from 128 up are the letters of Windows-1252 ("café"), part of a word as much as ASCII
// letters; 255 stays out, since it stops text as the end of the input does.
bool isPlainWordChar(int c) {
    return c >= 33 && c < kTextStop;
}
bool endsText(int c) {
    return c == kEndOfInput || c == kTextStop;
}

} // namespace

// Fills a destination of fixed size, dropping what does not fit and remembering that it did.
class WordCollector {
public:
    WordCollector(WordStream& in, char* destination, int capacity)
        : m_in(in), m_text(destination), m_limit(capacity - 1), m_line(in.currentLine()) {}

    void add(int c) {
        if (m_length < m_limit)
            m_text[m_length++] = static_cast<char>(c);
        else
            m_cut = true;
    }
    // The last character of the text even when the text is full, so that a cut quoted word
    // still ends with its closing quote.
    void addLast(char c) {
        if (m_length < m_limit) {
            m_text[m_length++] = c;
        } else if (m_limit > 0) {
            m_text[m_limit - 1] = c;
            m_cut = true;
        }
    }
    char* finish() {
        m_text[m_length] = '\0';
        if (m_cut && !m_in.m_overlongReported) {
            m_in.m_overlongReported = true;
            m_in.reportProblem("Word too long at line " + std::to_string(m_line) + ": cut to " +
                               std::to_string(m_limit) + " characters.");
        }
        return m_text;
    }

private:
    WordStream& m_in;
    char* m_text;
    int m_limit;
    int m_length = 0;
    int m_line;
    bool m_cut = false;
};

namespace {

void readQuotedRest(WordStream& in, WordCollector& word) {
    word.add(kQuote);
    for (int c = in.readChar(); !endsText(c); c = in.readChar()) {
        if (c == kQuote) {
            word.addLast(kQuote);
            return;
        }
        word.add(c);
    }
}

// The character that ends a plain word is consumed with it.
void readPlainRest(WordStream& in, int first, WordCollector& word) {
    for (int c = first; isPlainWordChar(c); c = in.readChar())
        word.add(c);
}

bool equalsIgnoringCase(const char* left, const char* right) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    for (; *left && *right; ++left, ++right) {
        if (lower(*left) != lower(*right))
            return false;
    }
    return *left == *right;
}

// Numbers in files always use a decimal point, while the user interface may have switched the
// process to a locale with a decimal comma.
double toDouble(const char* text) {
    static const locale_t numbers = newlocale(LC_NUMERIC_MASK, "C", locale_t{});
    return numbers ? strtod_l(text, nullptr, numbers) : std::strtod(text, nullptr);
}

} // namespace

WordStream::WordStream(std::FILE* file, Diagnostics* problems)
    : m_stream(file), m_problems(problems) {}

void WordStream::reportProblem(const std::string& message) {
    if (m_problems)
        m_problems->push_back({message, m_line});
}

// Only non-blank characters come back, so the line count needs no correction.
void WordStream::pushBack(int c) {
    assert(m_pushedBack == kNothingPushedBack && "pushBack: the slot holds a character");
    m_pushedBack = c;
}

int WordStream::readNonBlank() {
    int c = readChar();
    while (isBlank(c))
        c = readChar();
    return c;
}

int WordStream::readChar() {
    int c = kEndOfInput;
    if (m_pushedBack != kNothingPushedBack) {
        c = m_pushedBack;
        m_pushedBack = kNothingPushedBack;
    } else if (m_stream) {
        const int read = std::fgetc(m_stream);
        c = read == EOF ? kEndOfInput : read;
    }
    if (c == '\n')
        ++m_line;
    return c;
}

int WordStream::peekNonBlank() {
    const int c = readNonBlank();
    if (c != kEndOfInput)
        pushBack(c);
    return c;
}

void WordStream::skipLine(int maxCharacters) {
    for (int i = 0; i < maxCharacters; ++i) {
        const int c = readChar();
        if (c == kEndOfInput || c == '\n')
            return;
    }
}

char* WordStream::readWord(char* destination, int capacity) {
    if (!destination)
        return readWord();
    assert(capacity > 0 && "readWord: the destination needs room for the terminator");
    if (capacity <= 0)
        return destination;
    const int first = readNonBlank();
    WordCollector word(*this, destination, capacity);
    if (first == kQuote)
        readQuotedRest(*this, word);
    else
        readPlainRest(*this, first, word);
    return word.finish();
}

char* WordStream::readWord() {
    return readWord(m_scratch, kScratchBufferBytes);
}

char* WordStream::readUntil(char* destination, int capacity, char delimiter) {
    if (!destination)
        return readUntil(delimiter);
    assert(capacity > 0 && "readUntil: the destination needs room for the terminator");
    if (capacity <= 0)
        return destination;
    const int stop = static_cast<unsigned char>(delimiter);
    int c = readNonBlank();
    WordCollector text(*this, destination, capacity);
    for (; !endsText(c) && c != stop; c = readChar())
        text.add(c);
    return text.finish();
}

char* WordStream::readUntil(char delimiter) {
    return readUntil(m_scratch, kScratchBufferBytes, delimiter);
}

int WordStream::expectWord(const char* keyword) {
    assert(keyword && "expectWord: no keyword");
    if (equalsIgnoringCase(readWord(), keyword))
        return 0;
    reportProblem(std::string("`") + keyword + "' expected");
    return 1;
}

float WordStream::readNumber() {
    return WordNumber(readWord());
}

float WordNumber(const char* word) {
    if (std::strcmp(word, "-") == 0)
        return kNoValue;
    return static_cast<float>(toDouble(word));
}

bool WordStream::matchChar(char c) {
    const int next = readNonBlank();
    if (next == static_cast<unsigned char>(c))
        return true;
    if (next != kEndOfInput)
        pushBack(next);
    return false;
}

bool WordStream::requireChar(char c) {
    if (matchChar(c))
        return true;
    reportProblem(std::string("\"") + c + "\" expected");
    return false;
}

char* Unquote(const char* text, char* destination, int capacity) {
    assert(text && destination && capacity > 0 && "Unquote: no text or no room");
    std::size_t length = std::strlen(text);
    if (text[0] == kQuote) {
        ++text;
        length = length >= 2 ? length - 2 : 0;
    }
    length = std::min(length, static_cast<std::size_t>(capacity - 1));
    // The text may already be in the destination.
    std::memmove(destination, text, length);
    destination[length] = '\0';
    return destination;
}

const char* WordStream::unquote(const char* text) {
    assert(text && "unquote: no text");
    if (text[0] != kQuote)
        return text;
    return Unquote(text, m_scratch, kScratchBufferBytes);
}

const char* WordStream::quote(const char* text) {
    assert(text && "quote: no text");
    char* scratch = m_scratch;
    const std::size_t length =
        std::min(std::strlen(text), static_cast<std::size_t>(kScratchBufferBytes - 3));
    // Moved first: the text may be the scratch buffer itself.
    std::memmove(scratch + 1, text, length);
    scratch[0] = kQuote;
    scratch[length + 1] = kQuote;
    scratch[length + 2] = '\0';
    return scratch;
}

const char* WordStream::quoteIfSpaced(const char* text) {
    assert(text && "quoteIfSpaced: no text");
    return std::strchr(text, ' ') ? quote(text) : text;
}

char* DupString(const char* text) {
    return DuplicateText(text);
}

bool WordStream::writeText(const char* text) {
    assert(text && "writeText: no text");
    if (!m_stream || std::fputs(text, m_stream) == EOF) {
        m_writeFailed = true;
        return false;
    }
    return true;
}

bool WordStream::writeFormat(const char* format, ...) {
    int written = -1;
    if (m_stream) {
        std::va_list arguments;
        va_start(arguments, format);
        written = std::vfprintf(m_stream, format, arguments);
        va_end(arguments);
    }
    if (written < 0)
        m_writeFailed = true;
    return written >= 0;
}

} // namespace tarvo
