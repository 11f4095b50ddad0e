// Tests of the button definition reader: places with separators, style letters, alternatives,
// captions, the messages for a broken file, and the button state the menus keep in step.
#include "shell/button_sets.h"

#include "support/recording_ui.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace tarvo {
namespace {

using testing_support::recordingUi;

struct Definitions {
    explicit Definitions(const std::string& text) : file(std::tmpfile()) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::rewind(file);
    }
    ~Definitions() {
        for (ButtonSet& set : sets)
            ReleaseButtons(set.buttons, set.count);
        std::fclose(file);
    }
    ButtonSet& read(const char* name) {
        ButtonSet& set = sets.emplace_back();
        set.buttons = ReadButtonSet(file, name, &set.count, kButtonWidth, kButtonScale, &problems);
        return set;
    }
    // What the reads reported, in order.
    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const Diagnostic& problem : problems)
            texts.push_back(problem.message);
        return texts;
    }
    std::FILE* file;
    std::vector<ButtonSet> sets;
    Diagnostics problems;
};

TEST(ButtonSets, SeparatorsMoveTheButtonsAndNeverCount) {
    Definitions file("Net 3 (\n"
                     "  0, , \"Go up\", 271\n"
                     "  -, 5\n"
                     "  1, A, Next, 276\n"
                     "  -, 0\n"
                     "  2, , Bold, 280\n"
                     ")\n"
                     "netedit 1 ( 7, d, Italic, 281 )\n");
    ButtonSet& net = file.read("Net");
    ASSERT_EQ(net.count, 3);
    EXPECT_EQ(net.buttons[0].position, 0);
    EXPECT_STREQ(net.buttons[0].label, "Go up");
    EXPECT_EQ(net.buttons[0].command, 271);
    // 24 for the first button, 5 x 1.2 for the gap.
    EXPECT_EQ(net.buttons[1].position, 24 + 6);
    EXPECT_TRUE(net.buttons[1].has(ButtonState::Momentary));
    // A gap of 0 is 4 pixels.
    EXPECT_EQ(net.buttons[2].position, 24 + 6 + 24 + 4);
    // The second section follows the first; its name is read without regard to case.
    ButtonSet& edit = file.read("NetEdit");
    ASSERT_EQ(edit.count, 1);
    EXPECT_EQ(edit.buttons[0].state, ButtonState::Disabled);
    EXPECT_EQ(edit.buttons[0].image, 7);
    EXPECT_TRUE(file.messages().empty());
    // At the end of the file a section has no buttons.
    EXPECT_EQ(file.read("More").count, 0);
}

TEST(ButtonSets, StyleLettersAlternativesAndCaptions) {
    Definitions file("Net 2 (\n"
                     "  5, DAd2, Shade, 324 ( 6, D, None, 325  7, , Grey, 326 )\n"
                     "  8, R, \"Size\x87"
                     "Ab\", 283\n"
                     ")\n");
    ButtonSet& net = file.read("Net");
    ASSERT_EQ(net.count, 2);
    const ButtonRecord& shade = net.buttons[0];
    EXPECT_TRUE(shade.has(ButtonState::Pressed));
    EXPECT_TRUE(shade.has(ButtonState::Momentary));
    EXPECT_TRUE(shade.has(ButtonState::Disabled));
    ASSERT_EQ(shade.alternativeCount(), 2);
    EXPECT_STREQ(shade.alternatives[1].label, "Grey");
    EXPECT_EQ(shade.alternatives[1].command, 326);
    // An alternative's own style field is not used.
    EXPECT_EQ(shade.alternatives[0].state, 0u);
    // The button after the multi-choice one is one button further on.
    EXPECT_EQ(net.buttons[1].position, 24);
    // The hint ends at byte 135; the rest is the caption, moved to the upper half.
    const ButtonRecord& size = net.buttons[1];
    EXPECT_EQ(size.state, ButtonState::LetterR);
    EXPECT_STREQ(size.label, "Size");
    ASSERT_NE(size.caption, nullptr);
    EXPECT_EQ(std::string(size.caption), std::string("\xC1\xE2"));

    EXPECT_EQ(FindButton(net, 326), &shade.alternatives[1]);
    EXPECT_EQ(SetButtonFlags(net, 283, false, 1), &size);
    EXPECT_TRUE(size.has(ButtonState::Disabled | ButtonState::Pressed));
    SetButtonFlags(net, 283, true, -1);
    EXPECT_EQ(size.state, ButtonState::LetterR | ButtonState::Pressed);
    EXPECT_EQ(SetButtonFlags(net, 999, true, 0), nullptr);
}

TEST(ButtonSets, BrokenFilesAreReportedAndEndCleanly) {
    {
        // The wrong name is reported and the section read all the same.
        Definitions file("Tools 1 ( 0, , Up, 271 )");
        EXPECT_EQ(file.read("Net").count, 1);
        EXPECT_EQ(file.messages(), std::vector<std::string>{"`Net' expected"});
    }
    {
        Definitions file("Net 1 0, , Up, 271 )");
        EXPECT_EQ(file.read("Net").count, 1) << "the entries are read all the same";
        EXPECT_EQ(file.messages(), std::vector<std::string>{"\"(\" expected"});
    }
    {
        // More buttons announced than the file holds; alternatives cut short by the end.
        Definitions file("Net 99999999 ( 0, , Up, 271  1, 3, Many, 272 ( 2, , One, 273");
        ButtonSet& net = file.read("Net");
        ASSERT_EQ(net.count, 2);
        EXPECT_EQ(net.buttons[1].alternativeCount(), 1);
        EXPECT_EQ(file.messages(), (std::vector<std::string>{"\")\" expected", "\")\" expected"}));
    }
    {
        // A label longer than the field is cut to 31 characters.
        Definitions file("Net 1 ( 0, , " + std::string(60, 'x') + ", 271 )");
        ButtonSet& net = file.read("Net");
        ASSERT_EQ(net.count, 1);
        EXPECT_EQ(std::string(net.buttons[0].label), std::string(31, 'x'));
    }
}

TEST(ButtonSets, AMissingParenthesisIsReportedAndBothSetsAreReadAllTheSame) {
    struct Case {
        const char* what;
        std::string text;
        std::vector<std::string> messages;
    } cases[] = {
        {"before the entries",
         "Net 3\n  0, A, Up, 271\n  -, 4\n  22, A2, Justification, 301 ( 22, , First, 301"
         "  24, , Last, 303 )\n  1, , Down, 273\n)\nNetEdit 1 (\n  13, , Bold, 280\n)\n",
         {"\"(\" expected"}},
        {"before the alternatives",
         "Net 3 (\n  0, A, Up, 271\n  -, 4\n  22, A2, Justification, 301 22, , First, 301"
         "  24, , Last, 303 )\n  1, , Down, 273\n)\nNetEdit 1 (\n  13, , Bold, 280\n)\n",
         {"\"(\" expected"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Definitions file(c.text);
        // Copies: the file keeps the sets it read in a vector that grows.
        const ButtonSet net = file.read("Net");
        const ButtonSet edit = file.read("NetEdit");
        EXPECT_EQ(file.messages(), c.messages);
        ASSERT_EQ(net.count, 3);
        EXPECT_EQ(net.buttons[0].command, 271);
        EXPECT_EQ(net.buttons[1].position, 24 + 4);
        ASSERT_EQ(net.buttons[1].alternativeCount(), 2);
        EXPECT_EQ(net.buttons[1].alternatives[1].command, 303);
        EXPECT_EQ(net.buttons[2].command, 273);
        ASSERT_EQ(edit.count, 1);
        EXPECT_EQ(edit.buttons[0].command, 280);
    }
}

TEST(ButtonSets, TheShippedDefinitionsHoldBothSets) {
    ButtonDefinitions sets;
    Diagnostics problems;
    LoadButtonDefinitions(sets, TARVO_BUTTON_FILE, &problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_GT(sets.net.count, 10);
    EXPECT_GT(sets.netEdit.count, 5);
    for (const ButtonSet* set : {&sets.net, &sets.netEdit})
        for (int i = 0; i < set->count; ++i) {
            EXPECT_GE(set->buttons[i].image, 0);
            EXPECT_LT(set->buttons[i].image, 41);
            EXPECT_GT(set->buttons[i].command, 0);
        }
    // Loading again replaces what the sets held; a missing file leaves them empty.
    const int count = sets.net.count;
    LoadButtonDefinitions(sets, TARVO_BUTTON_FILE);
    EXPECT_EQ(sets.net.count, count);
    LoadButtonDefinitions(sets, "/no/such/BUTTS.DEF", &problems);
    EXPECT_EQ(sets.net.count, 0);
    EXPECT_EQ(sets.net.buttons, nullptr);
    EXPECT_EQ(sets.netEdit.count, 0);
    EXPECT_TRUE(problems.empty()) << "a missing button file is not reported";
}

TEST(ButtonSets, ProblemsOfTheFileGoToTheListGivenAndEachSetHasItsOwn) {
    const std::string name = "/tmp/tarvo-buttons-" + std::to_string(::getpid()) + ".def";
    const char* const path = name.c_str();
    if (std::FILE* out = std::fopen(path, "w")) {
        std::fputs("Net 1 0, , Up, 271 )\nNetEdit 1 ( 13, , Bold, 280 )\n", out);
        std::fclose(out);
    }
    ButtonDefinitions first;
    ButtonDefinitions second;
    Diagnostics problems;
    LoadButtonDefinitions(first, path, &problems);
    LoadButtonDefinitions(second, TARVO_BUTTON_FILE);
    std::remove(path);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].message, "\"(\" expected");
    EXPECT_EQ(first.net.count, 1);
    EXPECT_EQ(first.netEdit.count, 1);
    EXPECT_GT(second.net.count, 10);
    EXPECT_NE(first.net.buttons, second.net.buttons);
    EXPECT_TRUE(recordingUi().boxes.empty());
}

} // namespace
} // namespace tarvo
