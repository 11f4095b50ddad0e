// Reading the button definition file, and the state the menus keep in step with the buttons.
#include "shell/button_sets.h"

#include "memory/size_class_heap.h"
#include "netfile/word_reader.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <vector>

namespace tarvo {
namespace {

static_assert(std::is_trivially_copyable_v<ButtonRecord>);

// The largest number of alternatives the state word holds.
constexpr long kMostAlternatives = (1L << (32 - ButtonState::kAlternativesShift)) - 1;

// A decimal integer from the beginning of the text; 0 when there is none, and held to the range
// of int.
long integerOf(const char* text, long low = INT_MIN, long high = INT_MAX) {
    const long value = std::strtol(text, nullptr, 10);
    return value < low ? low : value > high ? high : value;
}

bool atEnd(WordStream& in) {
    return in.peekNonBlank() == kEndOfInput;
}

// The style field: "D", "A", "d", "R" in this order, each at most once, then the number of
// alternatives.
std::uint32_t styleOf(const char* style) {
    std::uint32_t state = 0;
    const struct {
        char letter;
        std::uint32_t bit;
    } letters[] = {{'D', ButtonState::Pressed},
                   {'A', ButtonState::Momentary},
                   {'d', ButtonState::Disabled},
                   {'R', ButtonState::LetterR}};
    for (const auto& [letter, bit] : letters) {
        if (*style == letter) {
            state |= bit;
            ++style;
        }
    }
    const long alternatives = integerOf(style, 0, kMostAlternatives);
    return state | static_cast<std::uint32_t>(alternatives) << ButtonState::kAlternativesShift;
}

// Image, style, label and command of a button or an alternative. The caption, when the label
// has one, is left as an offset in `captionAt` until the record has its final place.
ButtonRecord readButton(WordStream& in, const char* imageField, int& captionAt) {
    ButtonRecord button;
    button.image = static_cast<std::int32_t>(integerOf(imageField));
    button.state = styleOf(in.readUntil(','));
    const char* label = in.unquote(in.readUntil(','));
    std::strncpy(button.label, label, kButtonLabelBytes - 1);
    button.command = static_cast<std::int32_t>(integerOf(in.readWord()));
    captionAt = -1;
    char* mark = std::strchr(button.label, static_cast<char>(kCaptionMark));
    if (mark) {
        *mark = '\0';
        captionAt = static_cast<int>(mark + 1 - button.label);
        // The caption's characters are drawn from the upper half of the character set.
        for (char* c = mark + 1; *c; ++c) {
            const auto code = static_cast<unsigned char>(*c);
            if (code >= 32 && code <= 127)
                *c = static_cast<char>(code + 128);
        }
    }
    return button;
}

// The records in a block of their own, each caption pointing into its own label.
ButtonRecord* placeRecords(const std::vector<ButtonRecord>& records,
                           const std::vector<int>& captions) {
    if (records.empty())
        return nullptr;
    auto* block = static_cast<ButtonRecord*>(
        Allocate(static_cast<std::int32_t>(records.size() * sizeof(ButtonRecord))));
    if (!block)
        return nullptr;
    for (std::size_t i = 0; i < records.size(); ++i) {
        block[i] = records[i];
        block[i].caption = captions[i] >= 0 ? block[i].label + captions[i] : nullptr;
    }
    return block;
}

void releaseRecords(ButtonRecord* records, int count) {
    if (!records)
        return;
    for (int i = 0; i < count; ++i)
        ReleaseButtons(records[i].alternatives, records[i].alternativeCount());
    Release(records);
}

// The alternatives of a button, in parentheses; their style fields are read and not used. The
// button's alternative count becomes the number read, should the file end early.
void readAlternatives(WordStream& in, ButtonRecord& button) {
    const int wanted = button.alternativeCount();
    button.state &= (1u << ButtonState::kAlternativesShift) - 1;
    if (wanted <= 0)
        return;
    // A missing parenthesis is reported, and the alternatives that follow are read all the same.
    in.requireChar('(');
    std::vector<ButtonRecord> alternatives;
    std::vector<int> captions;
    while (static_cast<int>(alternatives.size()) < wanted && !atEnd(in)) {
        int captionAt = -1;
        const char* image = in.readUntil(',');
        char field[kScratchBufferBytes];
        std::strncpy(field, image, sizeof field - 1);
        field[sizeof field - 1] = '\0';
        ButtonRecord alternative = readButton(in, field, captionAt);
        alternative.state = 0;
        alternatives.push_back(alternative);
        captions.push_back(captionAt);
    }
    in.requireChar(')');
    button.alternatives = placeRecords(alternatives, captions);
    if (button.alternatives)
        button.state |= static_cast<std::uint32_t>(alternatives.size())
                        << ButtonState::kAlternativesShift;
}

} // namespace

ButtonRecord* ReadButtonSet(std::FILE* file, const char* sectionName, int* count, int buttonWidth,
                            float scale, Diagnostics* problems) {
    *count = 0;
    if (!file)
        return nullptr;
    WordStream in(file, problems);
    ButtonRecord* result = nullptr;
    if (!atEnd(in)) {
        // A wrong name is reported, and the section is read all the same.
        in.expectWord(sectionName);
        const long wanted = integerOf(in.readWord(), 0);
        // A missing parenthesis is reported, and the entries that follow are read all the same:
        // giving up would leave the next section to start among this one's buttons.
        in.requireChar('(');
        std::vector<ButtonRecord> buttons;
        std::vector<int> captions;
        const int step = static_cast<int>(static_cast<float>(buttonWidth) * scale);
        int position = 0;
        while (static_cast<long>(buttons.size()) < wanted && !atEnd(in)) {
            char field[kScratchBufferBytes];
            std::strncpy(field, in.readUntil(','), sizeof field - 1);
            field[sizeof field - 1] = '\0';
            if (field[0] == '-') {
                // A separator: a gap, or 4 pixels for none.
                const long gap = integerOf(in.readWord(), 0, 10000);
                position += gap ? static_cast<int>(static_cast<float>(gap) * scale) : 4;
                continue;
            }
            int captionAt = -1;
            ButtonRecord button = readButton(in, field, captionAt);
            readAlternatives(in, button);
            button.position = position;
            position += step;
            buttons.push_back(button);
            captions.push_back(captionAt);
        }
        in.requireChar(')');
        result = placeRecords(buttons, captions);
        if (result) {
            *count = static_cast<int>(buttons.size());
        } else {
            for (ButtonRecord& button : buttons)
                ReleaseButtons(button.alternatives, button.alternativeCount());
        }
    }
    return result;
}

void ReleaseButtons(ButtonRecord*& buttons, int count) {
    releaseRecords(buttons, count);
    buttons = nullptr;
}

ButtonDefinitions::~ButtonDefinitions() {
    ReleaseButtonDefinitions(*this);
}

void LoadButtonDefinitions(ButtonDefinitions& sets, const char* path, Diagnostics* problems) {
    ReleaseButtonDefinitions(sets);
    std::FILE* file = path ? std::fopen(path, "r") : nullptr;
    if (!file)
        return;
    sets.net.buttons =
        ReadButtonSet(file, "Net", &sets.net.count, kButtonWidth, kButtonScale, problems);
    sets.netEdit.buttons =
        ReadButtonSet(file, "NetEdit", &sets.netEdit.count, kButtonWidth, kButtonScale, problems);
    std::fclose(file);
}

void ReleaseButtonDefinitions(ButtonDefinitions& sets) {
    ReleaseButtons(sets.net.buttons, sets.net.count);
    ReleaseButtons(sets.netEdit.buttons, sets.netEdit.count);
    sets.net.count = sets.netEdit.count = 0;
}

ButtonRecord* FindButton(const ButtonSet& set, int command) {
    for (int i = 0; i < set.count; ++i) {
        ButtonRecord& button = set.buttons[i];
        if (button.command == command)
            return &button;
        for (int k = 0; k < button.alternativeCount(); ++k)
            if (button.alternatives[k].command == command)
                return &button.alternatives[k];
    }
    return nullptr;
}

ButtonRecord* SetButtonFlags(const ButtonSet& set, int command, bool enabled, int checked) {
    ButtonRecord* button = FindButton(set, command);
    if (!button)
        return nullptr;
    button->state =
        enabled ? button->state & ~ButtonState::Disabled : button->state | ButtonState::Disabled;
    if (checked >= 0)
        button->state =
            checked ? button->state | ButtonState::Pressed : button->state & ~ButtonState::Pressed;
    return button;
}

void ChooseAlternative(ButtonRecord& button, int k) {
    if (k < 0 || k >= button.alternativeCount())
        return;
    for (int i = 0; i < button.alternativeCount(); ++i)
        button.alternatives[i].state &= ~ButtonState::Pressed;
    ButtonRecord& chosen = button.alternatives[k];
    chosen.state |= ButtonState::Pressed;
    button.image = chosen.image;
    button.command = chosen.command;
    std::memcpy(button.label, chosen.label, sizeof button.label);
}

ButtonRecord* ShowAlternative(const ButtonSet& set, int command) {
    for (int i = 0; i < set.count; ++i) {
        ButtonRecord& button = set.buttons[i];
        for (int k = 0; k < button.alternativeCount(); ++k)
            if (button.alternatives[k].command == command) {
                ChooseAlternative(button, k);
                return &button;
            }
    }
    return nullptr;
}

} // namespace tarvo
