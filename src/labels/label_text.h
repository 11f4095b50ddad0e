// Text operations that look through a label's formatting: plain text, ordering, matching what
// the user typed, and the measure of how much of a label is formatted.
#pragma once

#include <string>

namespace tarvo {

// Letter case in Windows-1252: A-Z, the accented capitals 0xC0-0xDE (not 0xD7), and the four
// capitals among 0x80-0x9F.
unsigned char lowerCaseLetter(unsigned char c);
bool isUpperCaseLetter(unsigned char c);
bool isLowerCaseLetter(unsigned char c);
// Where a label may break between words: space, "-", "+", ":", "_", the en and em dashes and
// the broken bar.
bool IsWordBreak(unsigned char c);

// The position after the escapes that stand at `at` (`at` itself when none do).
const char* SkipEscapes(const char* at);

// Appends the characters of a label without its escapes; an anonymous label adds nothing.
void PlainText(const char* label, std::string& out);
// Appends the label's text as Unicode (UTF-8), as a reader sees it: phonetic runs as the IPA
// symbols their bytes stand for, everything else as its Windows-1252 character. An anonymous
// label adds nothing.
void PlainUnicodeText(const char* label, std::string& utf8);
// PlainUnicodeText as the program's own texts show a label (hover texts, titles, lists): a
// phonetic mark with no letter before it stands on a dotted circle, as in a drawn label, rather
// than falling on whatever comes before it.
void ShownUnicodeText(const char* label, std::string& utf8);

// Orders two labels by their characters, ignoring escapes, and with `ignoreCase` ignoring
// letter case. An absent label compares equal to anything.
int CompareLabels(const char* a, const char* b, bool ignoreCase = true);

// How well a label matches what the user typed: early characters weigh most, and a match of
// the exact letter case scores more than one that differs in case only.
float MatchScore(const char* label, const char* typed);
// MatchScore of text typed in Unicode (UTF-8): a typed character matches a label byte that is
// its Windows-1252 character, and in a phonetic run also one whose IPA symbol it is, so that a
// phonetic name matches both its bytes and the IPA it is shown as.
float TypedMatchScore(const char* label, const char* typed);

// Keeps the best label of a series: the highest score, the earliest among equal scores.
class BestMatch {
public:
    // Offers the score of the next label of the series; true when it is now the best.
    bool offer(float score);
    // The best label's place in the series (from 0), or -1 before any offer.
    int ordinal() const { return m_ordinal; }
    float score() const { return m_score; }

private:
    float m_score = 0.0f;
    int m_ordinal = -1;
    int m_offered = 0;
};

// Selector bits of FormattingMeasure.
inline constexpr int kMeasureUpperCase = 1;
inline constexpr int kMeasureItalic = 2;
inline constexpr int kMeasurePhonetic = 4;
inline constexpr int kMeasureNotPlain = 8;

// The mean of the selected fractions: upper-case, italic and phonetic characters per letter,
// and characters not in the plain state (position normal, DefaultFont) per character. Each
// fraction is capped at 1, since italic or phonetic non-letters can outnumber the letters.
float FormattingMeasure(const char* label, int selector);

} // namespace tarvo
