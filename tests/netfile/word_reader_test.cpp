// Tests of the word reader: words, numbers, punctuation, cut overlong words, quoting and writing.
#include "netfile/word_reader.h"

#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"

#include "support/recording_ui.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo {
namespace {

using testing_support::recordingUi;
using Texts = std::vector<std::string>;

// `text` in a file of its own, read through a stream for the scope's lifetime.
std::FILE* fileHolding(const std::string& text) {
    std::FILE* file = std::tmpfile();
    std::fwrite(text.data(), 1, text.size(), file);
    std::rewind(file);
    return file;
}

struct Input {
    explicit Input(const std::string& text, Diagnostics* problems = nullptr)
        : file(fileHolding(text)), in(file, problems) {}
    ~Input() { std::fclose(file); }
    Input(const Input&) = delete;
    Input& operator=(const Input&) = delete;
    std::FILE* file;
    WordStream in;
};

Texts messagesOf(const Diagnostics& problems) {
    Texts texts;
    for (const Diagnostic& problem : problems)
        texts.push_back(problem.message);
    return texts;
}

TEST(WordReader, SplitsPlainAndQuotedWords) {
    const std::pair<std::string, Texts> cases[] = {
        {"  abc  def", {"abc", "def"}},
        {"\"two words\" x", {"\"two words\"", "x"}},
        {"ab\"cd ef", {"ab\"cd", "ef"}},
        {"ab\351cd", {"ab\351cd"}},
        {"\351l caf\351 \200\237", {"\351l", "caf\351", "\200\237"}},
        {"ab\376cd\377ef", {"ab\376cd", "ef"}},
        {"\"line\nend\"", {"\"line\nend\""}},
        {"\"unclosed", {"\"unclosed"}},
        {"\"ab\377cd\" z", {"\"ab", "cd\"", "z"}},
        {std::string("a\0b", 3), {"a", "b"}},
        {"\x7f\x01x", {"\x7f", "x"}},
        {"", {}}};
    for (const auto& [text, expected] : cases) {
        Input input(text);
        Texts words;
        while (input.in.peekNonBlank() != kEndOfInput && words.size() < 10)
            words.push_back(input.in.readWord());
        EXPECT_EQ(words, expected) << text;
        EXPECT_STREQ(input.in.readWord(), "");
        EXPECT_EQ(input.in.readChar(), kEndOfInput);
    }
}

TEST(WordReader, ReadsUntilTheDelimiter) {
    const std::pair<std::string, Texts> cases[] = {{"  a, b c ,d", {"a", "b c ", "d"}},
                                                   {"x\377y,z", {"x", "y", "z"}},
                                                   {"a\nb,\n,", {"a\nb", ""}},
                                                   {"", {""}}};
    for (const auto& [text, expected] : cases) {
        Input input(text);
        for (const std::string& part : expected)
            EXPECT_EQ(input.in.readUntil(','), part) << text;
        EXPECT_EQ(input.in.peekNonBlank(), kEndOfInput);
    }
}

TEST(WordReader, TracksLinesAndSkipsLines) {
    Input input("a\n\"b\nc\"\n  # comment\n" + std::string(100, 'c') + "\nlast");
    EXPECT_STREQ(input.in.readWord(), "a");
    EXPECT_EQ(input.in.currentLine(), 2); // the line end after "a" went with it
    EXPECT_STREQ(input.in.readWord(), "\"b\nc\"");
    EXPECT_EQ(input.in.peekNonBlank(), '#');
    EXPECT_EQ(input.in.currentLine(), 4);
    input.in.skipLine(80); // the peeked character goes too
    input.in.skipLine(80);
    EXPECT_EQ(std::string(input.in.readWord()), std::string(20, 'c'));
    EXPECT_EQ(input.in.currentLine(), 6);
    input.in.skipLine(80);
    EXPECT_EQ(input.in.readChar(), kEndOfInput);
}

TEST(WordReader, ReadsNumbersFromTheWordsBeginning) {
    const std::pair<const char*, float> cases[] = {
        {"-", 3.4028235e38f}, {"2.5x", 2.5f}, {"x", 0.0f},  {"", 0.0f},   {"-3e2", -300.0f},
        {"+1.5", 1.5f},       {"0.1", 0.1f},  {"--", 0.0f}, {"-5", -5.0f}};
    for (const auto& [word, expected] : cases) {
        Input input(word);
        EXPECT_EQ(input.in.readNumber(), expected) << word;
    }
}

TEST(WordReader, MatchesRequiresAndExpects) {
    Diagnostics problems;
    Input input("  #RELATIONS ( x NET net Net Nets", &problems);
    EXPECT_TRUE(input.in.matchChar('#'));
    EXPECT_FALSE(input.in.matchChar('#'));
    EXPECT_STREQ(input.in.readWord(), "RELATIONS");
    EXPECT_TRUE(input.in.requireChar('('));
    EXPECT_FALSE(input.in.requireChar('('));
    EXPECT_STREQ(input.in.readWord(), "x");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(input.in.expectWord("Net"), 0);
    EXPECT_NE(input.in.expectWord("Net"), 0);
    EXPECT_NE(input.in.expectWord("Net"), 0); // at the end of the input
    EXPECT_FALSE(input.in.matchChar('#'));
    EXPECT_EQ(messagesOf(problems), (Texts{"\"(\" expected", "`Net' expected", "`Net' expected"}));
}

// Words are cut exactly at the destination's size, the rest of the word is skipped, and nothing
// is written past the destination.
TEST(WordReader, CutsOverlongWordsAtTheDestinationsSize) {
    enum Kind { Plain, Quoted, Delimited };
    const int word = kWordBufferBytes;
    const int cases[][3] = {{Plain, 80, 79},        {Plain, 80, 500},      {Quoted, 80, 79},
                            {Quoted, 80, 80},       {Delimited, 80, 81},   {Plain, word, 399},
                            {Plain, word, 400},     {Quoted, word, 399},   {Quoted, word, 401},
                            {Delimited, word, 399}, {Delimited, word, 400}};
    for (const auto& [kind, capacity, length] : cases) {
        SCOPED_TRACE(::testing::Message() << kind << " " << capacity << " " << length);
        std::string text(static_cast<std::size_t>(length), 'w');
        if (kind == Quoted)
            text.front() = text.back() = '"';
        Diagnostics problems;
        Input input(text + (kind == Delimited ? ",next" : " next"), &problems);
        std::vector<char> buffer(static_cast<std::size_t>(capacity) + 16, '#');
        const std::string read = kind == Delimited
                                     ? input.in.readUntil(buffer.data(), capacity, ',')
                                     : input.in.readWord(buffer.data(), capacity);
        const bool cut = length >= capacity;
        EXPECT_EQ(read, cut ? text.substr(0, static_cast<std::size_t>(capacity - 2)) + text.back()
                            : text);
        EXPECT_EQ(std::string(buffer.end() - 16, buffer.end()), std::string(16, '#'));
        EXPECT_STREQ(input.in.readWord(), "next");
        EXPECT_EQ(problems.size(), cut ? 1u : 0u);
    }
}

TEST(WordReader, ReportsTheFirstCutOnEachStream) {
    const std::string x(100, 'x');
    const std::string text = "\n\n" + x + " \"" + x + "\"";
    Diagnostics problems;
    for (int stream = 0; stream < 2; ++stream) {
        Input input(text, &problems);
        EXPECT_EQ(std::string(input.in.readWord()), x.substr(0, 79));
        EXPECT_STREQ(input.in.unquote(input.in.readWord()), x.substr(0, 77).c_str());
    }
    EXPECT_EQ(messagesOf(problems), Texts(2, "Word too long at line 3: cut to 79 characters."));
}

TEST(WordReader, ProblemsGoToTheStreamsListWithTheirLineAndNowhereWithoutOne) {
    Diagnostics problems;
    Input listed("a\nb\n(", &problems);
    listed.in.readWord();
    listed.in.readWord();
    EXPECT_FALSE(listed.in.requireChar(')'));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].message, "\")\" expected");
    EXPECT_EQ(problems[0].line, 3);
    Input unlisted("(");
    EXPECT_FALSE(unlisted.in.requireChar(')'));
    EXPECT_EQ(problems.size(), 1u) << "another stream's problems are its own";
    EXPECT_TRUE(recordingUi().boxes.empty()) << "nothing is shown";
}

TEST(WordReader, QuotesAndUnquotesWithinTheScratchBuffer) {
    const std::string q77(77, 'q'), u(300, 'u');
    const std::pair<std::string, std::string> unquoted[] = {{"\"two words\"", "two words"},
                                                            {"\"\"", ""},
                                                            {"\"abc", "ab"},
                                                            {'"' + u + '"', u.substr(0, 79)}},
                                              quoted[] = {{"a b", "\"a b\""},
                                                          {q77, '"' + q77 + '"'},
                                                          {q77 + "q", '"' + q77 + '"'}};
    WordStream in(nullptr);
    for (const auto& [text, expected] : unquoted)
        EXPECT_EQ(in.unquote(text.c_str()), expected) << text;
    for (const auto& [text, expected] : quoted)
        EXPECT_EQ(in.quote(text.c_str()), expected) << text;
    // A lone quote on the heap, so that reading before or past it shows under the sanitizers.
    const std::vector<char> lone = {'"', '\0'};
    EXPECT_STREQ(in.unquote(lone.data()), "");

    const char* plain = "plain";
    EXPECT_EQ(in.unquote(plain), plain);
    EXPECT_EQ(in.quoteIfSpaced(plain), plain);
    EXPECT_STREQ(in.quoteIfSpaced("a b"), "\"a b\"");
    // A long quoted word keeps every character when unquoted in place.
    std::string text = '"' + std::string(397, 'l') + '"';
    EXPECT_EQ(Unquote(text.data(), text.data(), kWordBufferBytes), std::string(397, 'l'));

    EXPECT_EQ(DupString(nullptr), nullptr);
    char* copy = DupString(plain);
    EXPECT_TRUE(copy != plain && std::string(copy) == plain);
    Release(copy);
}

TEST(WordReader, WritesToItsStreamAndNotesFailures) {
    Input output("");
    EXPECT_TRUE(output.in.writeText("#FONTS\n") &&
                output.in.writeFormat("%d isa \"%s\"\n", 1, "Arial"));
    EXPECT_FALSE(output.in.failed());
    std::rewind(output.file);
    WordStream back(output.file);
    EXPECT_STREQ(back.readUntil('\n'), "#FONTS");
    EXPECT_STREQ(back.readUntil('\n'), "1 isa \"Arial\"");

    char text[] = "read only";
    std::FILE* readOnly = fmemopen(text, sizeof text, "r");
    {
        WordStream in(readOnly);
        EXPECT_FALSE(in.writeText("x"));
        EXPECT_TRUE(in.failed());
        EXPECT_STREQ(in.readWord(), "read");
        EXPECT_TRUE(in.failed()) << "still there for the writer to look at";
    }
    WordStream none(nullptr);
    EXPECT_FALSE(none.writeText("x"));
    EXPECT_TRUE(none.failed());
    EXPECT_EQ(none.readChar(), kEndOfInput);
    EXPECT_FALSE(WordStream(output.file).failed()) << "each stream starts without a failure";
    std::fclose(readOnly);
}

TEST(WordReader, TwoStreamsReadSideBySideKeepTheirOwnPlaceAndScratch) {
    Input a("one\ntwo \"three\""), b("x\n\ny");
    EXPECT_STREQ(a.in.readWord(), "one");
    EXPECT_EQ(b.in.peekNonBlank(), 'x');
    const char* two = a.in.readWord();
    EXPECT_STREQ(b.in.readWord(), "x") << "the character b pushed back is b's";
    EXPECT_STREQ(two, "two") << "b's word went into b's scratch buffer";
    EXPECT_STREQ(b.in.readWord(), "y");
    EXPECT_EQ(b.in.currentLine(), 3);
    EXPECT_EQ(a.in.currentLine(), 2);
    EXPECT_STREQ(a.in.unquote(a.in.readWord()), "three");
}

} // namespace
} // namespace tarvo
