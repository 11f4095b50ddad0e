// Label markup from network files: any text must convert without fault, and writing the label
// read and reading it back must show the same characters in the same formatting.
#include "labels/font_table.h"
#include "labels/label_markup.h"
#include "labels/label_text.h"
#include "memory/size_class_heap.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Shown = std::vector<std::tuple<char, int, int>>;

// Each character with its style and font; an anonymous label shows as its whole text, which
// the writer keeps as long as the label came from markup.
Shown shown(const char* label) {
    Shown characters;
    if (tarvo::IsAnonymousLabel(label)) {
        for (const char* at = label; *at; ++at)
            characters.emplace_back(*at, -1, -1);
        return characters;
    }
    tarvo::TextStyle style = 0;
    int font = tarvo::fonts().DefaultFont;
    int remaining = 0;
    for (const char* at = label; *at;) {
        if (*at == tarvo::kLabelEscape)
            at = tarvo::ReadEscapes(at, style, font, remaining);
        else
            characters.emplace_back(*at++, style, font);
    }
    return characters;
}

std::string unquoted(const std::string& markup) {
    if (markup.size() >= 2 && markup.front() == '"')
        return markup.substr(1, markup.size() - 2);
    return markup;
}

void exerciseAsLabel(const char* label) {
    std::string out;
    tarvo::PlainText(label, out);
    tarvo::LabelToMarkup(label, out);
    (void)tarvo::CompareLabels(label, "Mixed Case \xc9t\xe9");
    (void)tarvo::MatchScore(label, out.c_str());
    (void)tarvo::FormattingMeasure(label, 15);
    const int map[] = {2, 0, 1};
    tarvo::Release(tarvo::RemapLabelFonts(label, map, 3));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A label never holds a zero byte: the text ends at the first one.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string input = text.substr(0, text.find('\0'));

    tarvo::LabelIds ids;
    char* label = tarvo::MarkupToLabel(input.c_str(), ids);
    if (!label)
        std::abort();
    std::string markup;
    tarvo::LabelToMarkup(label, markup);
    char* readBack = tarvo::MarkupToLabel(unquoted(markup).c_str(), ids);
    if (!readBack || shown(readBack) != shown(label))
        std::abort();
    tarvo::Release(readBack);
    tarvo::Release(label);

    exerciseAsLabel(input.c_str());
    return 0;
}
