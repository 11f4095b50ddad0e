// The word reader over the current stream, its guard against overlong words, and its writer.
#include "netfile/word_reader.h"

#include "memory/size_class_heap.h"

#include <algorithm>
#include <cassert>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>
#include <utility>

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

// Only non-blank characters come back, so the line count needs no correction.
void pushBack(int c) {
    WordReaderState& state = wordReaderState();
    assert(state.pushedBack == kNothingPushedBack && "pushBack: the slot holds a character");
    state.pushedBack = c;
}

int readNonBlank() {
    int c = ReadChar();
    while (isBlank(c))
        c = ReadChar();
    return c;
}

// Fills a destination of fixed size, dropping what does not fit and remembering that it did.
class Collector {
public:
    Collector(char* destination, int capacity)
        : m_text(destination), m_limit(capacity - 1), m_line(CurrentLine()) {}

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
        WordReaderState& state = wordReaderState();
        if (m_cut && !state.overlongReported) {
            state.overlongReported = true;
            ReportProblem("Word too long at line " + std::to_string(m_line) + ": cut to " +
                          std::to_string(m_limit) + " characters.");
        }
        return m_text;
    }

private:
    char* m_text;
    int m_limit;
    int m_length = 0;
    int m_line;
    bool m_cut = false;
};

void readQuotedRest(Collector& word) {
    word.add(kQuote);
    for (int c = ReadChar(); !endsText(c); c = ReadChar()) {
        if (c == kQuote) {
            word.addLast(kQuote);
            return;
        }
        word.add(c);
    }
}

// The character that ends a plain word is consumed with it.
void readPlainRest(int first, Collector& word) {
    for (int c = first; isPlainWordChar(c); c = ReadChar())
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

WordReaderState& wordReaderState() {
    static WordReaderState state;
    return state;
}

void ReportProblem(const std::string& message) {
    WordReaderState& state = wordReaderState();
    if (state.problems)
        state.problems->push_back({message, state.line});
}

ProblemsTo::ProblemsTo(Diagnostics* problems)
    : m_before(std::exchange(wordReaderState().problems, problems)) {}

ProblemsTo::~ProblemsTo() {
    wordReaderState().problems = m_before;
}

void SetStream(std::FILE* file) {
    if (!file)
        return;
    WordReaderState& state = wordReaderState();
    state.stream = file;
    state.pushedBack = kNothingPushedBack;
    state.line = 1;
    state.overlongReported = false;
    state.writeFailed = false;
}

void ClearStream() {
    WordReaderState& state = wordReaderState();
    state.stream = nullptr;
    state.pushedBack = kNothingPushedBack;
}

int ReadChar() {
    WordReaderState& state = wordReaderState();
    int c = kEndOfInput;
    if (state.pushedBack != kNothingPushedBack) {
        c = state.pushedBack;
        state.pushedBack = kNothingPushedBack;
    } else if (state.stream) {
        const int read = std::fgetc(state.stream);
        c = read == EOF ? kEndOfInput : read;
    }
    if (c == '\n')
        ++state.line;
    return c;
}

int PeekNonBlank() {
    const int c = readNonBlank();
    if (c != kEndOfInput)
        pushBack(c);
    return c;
}

int CurrentLine() {
    return wordReaderState().line;
}

void SkipLine(int maxCharacters) {
    for (int i = 0; i < maxCharacters; ++i) {
        const int c = ReadChar();
        if (c == kEndOfInput || c == '\n')
            return;
    }
}

char* ReadWord(char* destination, int capacity) {
    if (!destination)
        return ReadWord();
    assert(capacity > 0 && "ReadWord: the destination needs room for the terminator");
    if (capacity <= 0)
        return destination;
    const int first = readNonBlank();
    Collector word(destination, capacity);
    if (first == kQuote)
        readQuotedRest(word);
    else
        readPlainRest(first, word);
    return word.finish();
}

char* ReadWord() {
    return ReadWord(wordReaderState().scratch, kScratchBufferBytes);
}

char* ReadUntil(char* destination, int capacity, char delimiter) {
    if (!destination)
        return ReadUntil(delimiter);
    assert(capacity > 0 && "ReadUntil: the destination needs room for the terminator");
    if (capacity <= 0)
        return destination;
    const int stop = static_cast<unsigned char>(delimiter);
    int c = readNonBlank();
    Collector text(destination, capacity);
    for (; !endsText(c) && c != stop; c = ReadChar())
        text.add(c);
    return text.finish();
}

char* ReadUntil(char delimiter) {
    return ReadUntil(wordReaderState().scratch, kScratchBufferBytes, delimiter);
}

int ExpectWord(const char* keyword) {
    assert(keyword && "ExpectWord: no keyword");
    if (equalsIgnoringCase(ReadWord(), keyword))
        return 0;
    ReportProblem(std::string("`") + keyword + "' expected");
    return 1;
}

float ReadNumber() {
    return WordNumber(ReadWord());
}

float WordNumber(const char* word) {
    if (std::strcmp(word, "-") == 0)
        return kNoValue;
    return static_cast<float>(toDouble(word));
}

bool MatchChar(char c) {
    const int next = readNonBlank();
    if (next == static_cast<unsigned char>(c))
        return true;
    if (next != kEndOfInput)
        pushBack(next);
    return false;
}

bool RequireChar(char c) {
    if (MatchChar(c))
        return true;
    ReportProblem(std::string("\"") + c + "\" expected");
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

const char* Unquote(const char* text) {
    assert(text && "Unquote: no text");
    if (text[0] != kQuote)
        return text;
    return Unquote(text, wordReaderState().scratch, kScratchBufferBytes);
}

char* Unquote(char* text) {
    return const_cast<char*>(Unquote(static_cast<const char*>(text)));
}

const char* Quote(const char* text) {
    assert(text && "Quote: no text");
    char* scratch = wordReaderState().scratch;
    const std::size_t length =
        std::min(std::strlen(text), static_cast<std::size_t>(kScratchBufferBytes - 3));
    // Moved first: the text may be the scratch buffer itself.
    std::memmove(scratch + 1, text, length);
    scratch[0] = kQuote;
    scratch[length + 1] = kQuote;
    scratch[length + 2] = '\0';
    return scratch;
}

const char* QuoteIfSpaced(const char* text) {
    assert(text && "QuoteIfSpaced: no text");
    return std::strchr(text, ' ') ? Quote(text) : text;
}

char* DupString(const char* text) {
    return DuplicateText(text);
}

bool WriteText(const char* text) {
    assert(text && "WriteText: no text");
    WordReaderState& state = wordReaderState();
    if (!state.stream || std::fputs(text, state.stream) == EOF) {
        state.writeFailed = true;
        return false;
    }
    return true;
}

bool WriteFormat(const char* format, ...) {
    WordReaderState& state = wordReaderState();
    int written = -1;
    if (state.stream) {
        std::va_list arguments;
        va_start(arguments, format);
        written = std::vfprintf(state.stream, format, arguments);
        va_end(arguments);
    }
    if (written < 0)
        state.writeFailed = true;
    return written >= 0;
}

bool StreamFailed() {
    return wordReaderState().writeFailed;
}

} // namespace tarvo
