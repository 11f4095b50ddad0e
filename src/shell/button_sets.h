// The tool bar's button sets, as the button definition file "BUTTS.DEF" describes them: each
// button's glyph, state, hint and command, its place on the bar, and the alternatives of a
// multi-choice button. Plain data, read with the word reader; the bar draws and clicks them.
#pragma once

#include "diagnostics/diagnostics.h"

#include <cstdint>
#include <cstdio>

namespace tarvo {

namespace ButtonState {
inline constexpr std::uint32_t Pressed = 0x1;
inline constexpr std::uint32_t Momentary = 0x2;
inline constexpr std::uint32_t Disabled = 0x4;
// The letter "R" of the style field; the bar itself makes no use of it.
inline constexpr std::uint32_t LetterR = 0x10;
// The number of alternatives is kept from this bit up.
inline constexpr int kAlternativesShift = 5;
} // namespace ButtonState

// The label: at most 31 characters and the terminator.
inline constexpr int kButtonLabelBytes = 32;
// A caption on the button face is written after this byte in the label.
inline constexpr unsigned char kCaptionMark = 135;

struct ButtonRecord {
    // The glyph's index in the glyph strip.
    std::int32_t image = 0;
    std::uint32_t state = 0;
    // The button's name, which is its hint text.
    char label[kButtonLabelBytes] = {};
    std::int32_t command = 0;
    // Inside `label`, after its end: a second text drawn on the face; null for none.
    char* caption = nullptr;
    // Owned, alternativeCount() records; null for none.
    ButtonRecord* alternatives = nullptr;
    // Offset from the bar's left margin in pixels.
    std::int32_t position = 0;

    int alternativeCount() const {
        return static_cast<int>(state >> ButtonState::kAlternativesShift);
    }
    bool has(std::uint32_t bits) const { return (state & bits) != 0; }
};

struct ButtonSet {
    ButtonRecord* buttons = nullptr;
    int count = 0;
};

// The width of a button before scaling, and the scale of the bar.
inline constexpr int kButtonWidth = 20;
inline constexpr float kButtonScale = 1.2f;

// Reads the section `sectionName` of a button definition file from `file`, made the word
// reader's stream for the time: its name, the number of buttons, and the buttons and separators
// in parentheses. Answers the buttons (null for none) and their number through `count`. A
// wrong name, a missing parenthesis and a number no buttons follow are reported; reading stops
// at the end of the file. Problems go to `problems`; without a list they are not kept.
ButtonRecord* ReadButtonSet(std::FILE* file, const char* sectionName, int* count, int buttonWidth,
                            float scale, Diagnostics* problems = nullptr);
// Releases the buttons and their alternatives; the variable becomes null.
void ReleaseButtons(ButtonRecord*& buttons, int count);

// The two sets of the frame's tool bar; they release their buttons when they go.
struct ButtonDefinitions {
    ButtonDefinitions() = default;
    ~ButtonDefinitions();
    ButtonDefinitions(const ButtonDefinitions&) = delete;
    ButtonDefinitions& operator=(const ButtonDefinitions&) = delete;

    ButtonSet net;
    ButtonSet netEdit;
};
// Reads the sections "Net" and "NetEdit" of the file at `path` into `sets`, in place of what
// they held; a missing file gives empty sets. Problems go to `problems` when given.
void LoadButtonDefinitions(ButtonDefinitions& sets, const char* path = "BUTTS.DEF",
                           Diagnostics* problems = nullptr);
void ReleaseButtonDefinitions(ButtonDefinitions& sets);

// The button of the set, or the alternative of one of its buttons, whose command is `command`;
// null when none has it.
ButtonRecord* FindButton(const ButtonSet& set, int command);
// Clears or sets the disabled bit of the button with the command; with `checked` 0 or 1 also
// clears or sets its pressed bit (-1 leaves it). Answers the button changed, or null.
ButtonRecord* SetButtonFlags(const ButtonSet& set, int command, bool enabled, int checked);
// The multi-choice button shows its alternative k from now on: its glyph, command and hint, and
// k alone is pressed in its list.
void ChooseAlternative(ButtonRecord& button, int k);
// The multi-choice button of the set that has an alternative with the command shows that
// alternative; answers the button, or null when no button has one.
ButtonRecord* ShowAlternative(const ButtonSet& set, int command);

} // namespace tarvo
