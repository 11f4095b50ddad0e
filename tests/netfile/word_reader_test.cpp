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

// `text` as the current stream for the scope's lifetime.
struct Input {
    explicit Input(const std::string& text) : file(std::tmpfile()) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::rewind(file);
        SetStream(file);
    }
    ~Input() {
        ClearStream();
        std::fclose(file);
    }
    std::FILE* file;
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
        while (PeekNonBlank() != kEndOfInput && words.size() < 10)
            words.push_back(ReadWord());
        EXPECT_EQ(words, expected) << text;
        EXPECT_STREQ(ReadWord(), "");
        EXPECT_EQ(ReadChar(), kEndOfInput);
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
            EXPECT_EQ(ReadUntil(','), part) << text;
        EXPECT_EQ(PeekNonBlank(), kEndOfInput);
    }
}

TEST(WordReader, TracksLinesAndSkipsLines) {
    Input input("a\n\"b\nc\"\n  # comment\n" + std::string(100, 'c') + "\nlast");
    EXPECT_STREQ(ReadWord(), "a");
    EXPECT_EQ(CurrentLine(), 2); // the line end after "a" went with it
    EXPECT_STREQ(ReadWord(), "\"b\nc\"");
    EXPECT_EQ(PeekNonBlank(), '#');
    EXPECT_EQ(CurrentLine(), 4);
    SkipLine(80); // the peeked character goes too
    SkipLine(80);
    EXPECT_EQ(std::string(ReadWord()), std::string(20, 'c'));
    EXPECT_EQ(CurrentLine(), 6);
    SkipLine(80);
    EXPECT_EQ(ReadChar(), kEndOfInput);
}

TEST(WordReader, ReadsNumbersFromTheWordsBeginning) {
    const std::pair<const char*, float> cases[] = {
        {"-", 3.4028235e38f}, {"2.5x", 2.5f}, {"x", 0.0f},  {"", 0.0f},   {"-3e2", -300.0f},
        {"+1.5", 1.5f},       {"0.1", 0.1f},  {"--", 0.0f}, {"-5", -5.0f}};
    for (const auto& [word, expected] : cases) {
        Input input(word);
        EXPECT_EQ(ReadNumber(), expected) << word;
    }
}

TEST(WordReader, MatchesRequiresAndExpects) {
    Diagnostics problems;
    const ProblemsTo told(&problems);
    Input input("  #RELATIONS ( x NET net Net Nets");
    EXPECT_TRUE(MatchChar('#'));
    EXPECT_FALSE(MatchChar('#'));
    EXPECT_STREQ(ReadWord(), "RELATIONS");
    EXPECT_TRUE(RequireChar('('));
    EXPECT_FALSE(RequireChar('('));
    EXPECT_STREQ(ReadWord(), "x");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ExpectWord("Net"), 0);
    EXPECT_NE(ExpectWord("Net"), 0);
    EXPECT_NE(ExpectWord("Net"), 0); // at the end of the input
    EXPECT_FALSE(MatchChar('#'));
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
        const ProblemsTo told(&problems);
        Input input(text + (kind == Delimited ? ",next" : " next"));
        std::vector<char> buffer(static_cast<std::size_t>(capacity) + 16, '#');
        const std::string read = kind == Delimited ? ReadUntil(buffer.data(), capacity, ',')
                                                   : ReadWord(buffer.data(), capacity);
        const bool cut = length >= capacity;
        EXPECT_EQ(read, cut ? text.substr(0, static_cast<std::size_t>(capacity - 2)) + text.back()
                            : text);
        EXPECT_EQ(std::string(buffer.end() - 16, buffer.end()), std::string(16, '#'));
        EXPECT_STREQ(ReadWord(), "next");
        EXPECT_EQ(problems.size(), cut ? 1u : 0u);
    }
}

TEST(WordReader, ReportsTheFirstCutOnEachStream) {
    const std::string x(100, 'x');
    const std::string text = "\n\n" + x + " \"" + x + "\"";
    Diagnostics problems;
    const ProblemsTo told(&problems);
    for (int stream = 0; stream < 2; ++stream) {
        Input input(text);
        EXPECT_EQ(std::string(ReadWord()), x.substr(0, 79));
        EXPECT_STREQ(Unquote(ReadWord()), x.substr(0, 77).c_str());
    }
    EXPECT_EQ(messagesOf(problems), Texts(2, "Word too long at line 3: cut to 79 characters."));
}

TEST(WordReader, ProblemsGoToTheInnermostListAndNowhereWithoutOne) {
    Diagnostics outer;
    {
        const ProblemsTo toOuter(&outer);
        {
            Diagnostics inner;
            const ProblemsTo toInner(&inner);
            ReportProblem("inner");
            EXPECT_EQ(messagesOf(inner), Texts{"inner"});
        }
        ReportProblem("outer");
        {
            const ProblemsTo nowhere(nullptr);
            ReportProblem("dropped");
        }
    }
    ReportProblem("dropped too");
    EXPECT_EQ(messagesOf(outer), Texts{"outer"});
    EXPECT_TRUE(recordingUi().boxes.empty());
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
    for (const auto& [text, expected] : unquoted)
        EXPECT_EQ(Unquote(text.c_str()), expected) << text;
    for (const auto& [text, expected] : quoted)
        EXPECT_EQ(Quote(text.c_str()), expected) << text;
    // A lone quote on the heap, so that reading before or past it shows under the sanitizers.
    const std::vector<char> lone = {'"', '\0'};
    EXPECT_STREQ(Unquote(lone.data()), "");

    const char* plain = "plain";
    EXPECT_EQ(Unquote(plain), plain);
    EXPECT_EQ(QuoteIfSpaced(plain), plain);
    EXPECT_STREQ(QuoteIfSpaced("a b"), "\"a b\"");
    // A long quoted word keeps every character when unquoted in place.
    std::string text = '"' + std::string(397, 'l') + '"';
    EXPECT_EQ(Unquote(text.data(), text.data(), kWordBufferBytes), std::string(397, 'l'));

    EXPECT_EQ(DupString(nullptr), nullptr);
    char* copy = DupString(plain);
    EXPECT_TRUE(copy != plain && std::string(copy) == plain);
    Release(copy);
}

TEST(WordReader, WritesToTheCurrentStreamAndNotesFailures) {
    Input output("");
    EXPECT_TRUE(WriteText("#FONTS\n") && WriteFormat("%d isa \"%s\"\n", 1, "Arial"));
    EXPECT_FALSE(StreamFailed());
    std::rewind(output.file);
    EXPECT_STREQ(ReadUntil('\n'), "#FONTS");
    EXPECT_STREQ(ReadUntil('\n'), "1 isa \"Arial\"");

    char text[] = "read only";
    std::FILE* readOnly = fmemopen(text, sizeof text, "r");
    SetStream(nullptr); // ignored
    SetStream(readOnly);
    EXPECT_FALSE(WriteText("x"));
    EXPECT_TRUE(StreamFailed());
    EXPECT_STREQ(ReadWord(), "read");
    ClearStream();
    EXPECT_TRUE(StreamFailed()); // still there for the writer to look at
    EXPECT_FALSE(WriteText("x"));
    EXPECT_EQ(ReadChar(), kEndOfInput);
    SetStream(output.file);
    EXPECT_FALSE(StreamFailed());
    std::fclose(readOnly);
}

} // namespace
} // namespace tarvo
