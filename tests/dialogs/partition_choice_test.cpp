// The partition dialog's list order and filter, its typed search and its reveal distance.
#include "dialogs/partition_choice.h"

#include "containers/node_list.h"
#include "labels/label_text.h"
#include "model/network.h"
#include "netfile/network_file.h"
#include "support/network_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace tarvo {
namespace {

std::vector<std::string> names(const NodeList* list) {
    std::vector<std::string> out;
    forEachNode(list, [&](NodeBase* n) {
        std::string plain;
        PlainText(n->name, plain);
        out.push_back(plain);
    });
    return out;
}

TEST(PartitionChoice, TheListPutsTheMostFormattedFirstAndTypingFindsTheBestMatch) {
    const auto net = testing_support::ReadNetworkText(
        "#RELATIONS\nsubject isa dependent\n#ENTITIES\nnoun isa word\nVERB isa word\n"
        "\"<i>walked<\\i>\" isa VERB\nNounish isa noun\napple exists\n#FONTS\n");
    NodeList* plain = PartitionList(*net, 0, 0);
    // Without expose bits every label measures 0: by label, without regard to case.
    EXPECT_EQ(names(plain),
              (std::vector<std::string>{"apple", "noun", "Nounish", "VERB", "walked", "word"}));
    // Capitals first, then the rest by label.
    NodeList* capitals = PartitionList(*net, 0, 1);
    EXPECT_EQ(names(capitals).front(), "VERB");
    EXPECT_EQ(names(capitals)[1], "Nounish");
    // Italic first.
    NodeList* italic = PartitionList(*net, 0, 2);
    EXPECT_EQ(names(italic).front(), "walked");
    NodeList* relations = PartitionList(*net, 1, 0);
    EXPECT_EQ(names(relations), (std::vector<std::string>{"dependent", "subject"}));

    EXPECT_EQ(names(plain)[static_cast<std::size_t>(BestTypedMatch(plain, "nou"))], "noun");
    EXPECT_EQ(names(plain)[static_cast<std::size_t>(BestTypedMatch(plain, "Nounis"))], "Nounish");
    EXPECT_EQ(BestTypedMatch(nullptr, "x"), -1);
    for (NodeList* list : {plain, capitals, italic, relations})
        list->destroy();
}

TEST(PartitionChoice, TypingFindsPhoneticNamesByTheirIpaAndAccentedOnesByTheirLetters) {
    const auto net = testing_support::ReadNetworkText(
        "#ENTITIES\n<phon>dQg<\\phon> isa form\n<phon>dAg<\\phon> isa form\n"
        "\"caf\xe9\" isa word\ncafe isa word\n#FONTS\n");
    NodeList* list = PartitionList(*net, 0, 0);
    const std::pair<const char*, const char*> cases[] = {
        {"d\u00e6", "dQg"},       // the IPA the list shows
        {"d\u0251g", "dAg"},      // a symbol the code page lacks
        {"dQ", "dQg"},            // the bytes still find it
        {"caf\u00e9", "caf\xe9"}, // typed as Unicode, read as Windows-1252
        {"cafe", "cafe"},
    };
    for (const auto& [typed, found] : cases) {
        const int row = BestTypedMatch(list, typed);
        ASSERT_GE(row, 0) << typed;
        EXPECT_EQ(names(list)[static_cast<std::size_t>(row)], found) << typed;
    }
    list->destroy();
}

TEST(PartitionChoice, TheRevealDistanceIsOneMoreThanTheNumberTypedWithinItsRange) {
    EXPECT_EQ(RevealDistance(false, "5"), 1);
    EXPECT_EQ(RevealDistance(true, "5"), 6);
    EXPECT_EQ(RevealDistance(true, "200"), 1);
    EXPECT_EQ(RevealDistance(true, "127"), 128);
    EXPECT_EQ(RevealDistance(true, "-3"), 1);
    EXPECT_EQ(RevealDistance(true, "4.9"), 5);
    // Only the first four characters count.
    EXPECT_EQ(RevealDistance(true, "00012"), 2);
    EXPECT_EQ(RevealDistance(true, "12345"), 1);
    EXPECT_EQ(RevealDistance(true, ""), 1);
}

} // namespace
} // namespace tarvo
