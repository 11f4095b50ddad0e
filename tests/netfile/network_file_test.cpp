// Network files: sections and statements, names, fonts, the writer's order, safe saving, and
// the files that are not as they should be.
#include "netfile/network_file.h"

#include "containers/key_hash.h"
#include "containers/node_list.h"
#include "containers/node_table.h"
#include "labels/font_table.h"
#include "labels/label_markup.h"
#include "memory/size_class_heap.h"
#include "model/links.h"
#include "model/network.h"
#include "platform/font_catalog.h"
#include "support/network_text.h"
#include "support/recording_ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tarvo {
namespace {

using testing_support::recordingUi;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> namesIn(const NodeBase* node, int slot) {
    std::vector<std::string> names;
    if (const NodeSlot list = node->slotList(slot))
        for (int i = 0; i < list.size(); ++i)
            names.push_back(list.nodeAt(i)->name ? list.nodeAt(i)->name : "");
    return names;
}

class NetworkFileTest : public ::testing::Test {
protected:
    std::unique_ptr<Network> net = std::make_unique<Network>();

    void SetUp() override {
        char pattern[] = "/tmp/tarvo-netfile-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder = pattern;
        platform::ListedFontCatalog catalog("Times New Roman;Arial");
        BuildFontTable(catalog);
        ChoosePreferredFonts();
    }
    void TearDown() override {
        net.reset();
        ReleaseFontTable();
        std::system(("rm -rf " + folder).c_str());
    }

    // Loads `text` as a network file; its problems are kept for errors().
    void load(const std::string& text) {
        net = std::make_unique<Network>();
        writeFile(folder + "/in.dat", text);
        problems.clear();
        LoadNetworkFile(*net, (folder + "/in.dat").c_str(), nullptr, &problems);
        ASSERT_NE(net->table(), nullptr);
    }
    // The network as the writer writes it.
    std::string saved() {
        const std::string path = folder + "/out.dat";
        EXPECT_EQ(WriteNetworkFile(*net, path.c_str()), 1);
        return readFile(path);
    }
    std::vector<std::string> errors() const {
        std::vector<std::string> texts;
        for (const Diagnostic& problem : problems)
            texts.push_back(problem.message);
        return texts;
    }

    std::string folder;
    Diagnostics problems;
};

TEST_F(NetworkFileTest, TheExampleReadsAndWritesBackAsItStands) {
    const std::string example = "#RELATIONS\n"
                                "subject isa dependent\n\n\n"
                                "#ENTITIES\n"
                                "noun isa word\n"
                                "verb isa word\n\n\n"
                                "#PROPERTIES\n"
                                "verb subject noun\n\n\n"
                                "#FONTS\n";
    load(example);
    Node* word = net->find("word", 0);
    ASSERT_NE(word, nullptr);
    EXPECT_EQ(namesIn(word, ChildSlot), (std::vector<std::string>{"noun", "verb"}));
    Node* subject = net->find("subject", 1);
    ASSERT_NE(subject, nullptr);
    EXPECT_EQ(namesIn(subject, ParentSlot), (std::vector<std::string>{"dependent"}));
    const NodeBase* property = first(subject, ChildSlot);
    ASSERT_NE(property, nullptr);
    EXPECT_EQ(first(property, FromSlot), net->find("verb", 0));
    EXPECT_EQ(first(property, ToSlot), net->find("noun", 0));
    EXPECT_EQ(testing_support::NetworkNodeCount(*net), 6);
    EXPECT_EQ(saved(), example);
    EXPECT_TRUE(errors().empty());
}

TEST_F(NetworkFileTest, SectionsCommentsAndStatementForms) {
    load("  #relations\n"
         "r1 isa r0\n"
         "# a comment line with words\n"
         "r2 isa r0\n"
         "#Entities\n"
         "A exists\n"
         "B foo\n"
         "#note\n"
         "C isa D\n"
         "#RELATIONS C isa D\n"
         "#ENTITIES\n"
         "\"two words\" isa D\n"
         "x ISA D\n");
    EXPECT_EQ(namesIn(net->find("r0", 1), ChildSlot), (std::vector<std::string>{"r1", "r2"}))
        << "a comment line keeps the section in force";
    for (const char* name : {"A", "B"}) {
        ASSERT_NE(net->find(name, 0), nullptr) << name;
        EXPECT_TRUE(net->find(name, 0)->slots[ParentSlot].isEmpty());
    }
    // The statement after a one-word comment line is read, not swallowed with the comment.
    EXPECT_EQ(namesIn(net->find("C", 0), ParentSlot), (std::vector<std::string>{"D"}));
    EXPECT_NE(net->find("C", 1), net->find("C", 0)) << "the same statement in both sections";
    EXPECT_NE(net->find("D", 1), nullptr);
    EXPECT_EQ(namesIn(net->find("D", 0), ChildSlot),
              (std::vector<std::string>{"C", "two words", "x"}));
    EXPECT_TRUE(errors().empty());

    const std::string text = saved();
    EXPECT_NE(text.find("A exists\n"), std::string::npos);
    EXPECT_NE(text.find("B exists\n"), std::string::npos);
    EXPECT_NE(text.find("\"two words\" isa D\n"), std::string::npos);
}

TEST_F(NetworkFileTest, ACommentKeywordMayStandOnTheNextLineAndOnlyItsLineIsTheComment) {
    struct Case {
        const char* comment;
        int relations;
    };
    // After the hash comes the keyword, wherever it stands; the rest of its line is the comment,
    // unless the keyword itself ended the line.
    const Case cases[] = {
        {"#\nfoo bar\n", 2}, {"#\n\n  foo bar baz\n", 2}, {"#NOTE\n", 2}, {"# a few words\n", 2},
        {"#\nNOTE\n", 2},    {"#\nfoo\nr isa s\n", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.comment);
        load(std::string("#RELATIONS\n") + c.comment + "c isa d\n");
        ASSERT_NE(net->find("d", 1), nullptr);
        EXPECT_EQ(namesIn(net->find("d", 1), ChildSlot), (std::vector<std::string>{"c"}));
        EXPECT_EQ(testing_support::NetworkNodeCount(*net), c.relations);
        for (const char* lost : {"foo", "bar", "isa", "NOTE"})
            EXPECT_EQ(net->find(lost, 1), nullptr) << lost;
    }
    EXPECT_TRUE(errors().empty());
}

TEST_F(NetworkFileTest, PropertiesAreAlwaysNewAndWrittenInTheirOwnSection) {
    load("#PROPERTIES\nx r y\nx r y\n#RELATIONS\nr isa link\nsub isa r\n");
    Node* r = net->find("r", 1);
    ASSERT_NE(r, nullptr);
    ASSERT_NE(net->find("x", 0), nullptr);
    ASSERT_NE(net->find("y", 0), nullptr);
    EXPECT_EQ(r->counts[ChildSlot], 3);
    EXPECT_EQ(testing_support::NetworkNodeCount(*net), 7)
        << "x, y, r, link, sub and two properties";
    const std::string text = saved();
    const std::size_t entities = text.find("#ENTITIES\n");
    const std::size_t properties = text.find("#PROPERTIES\nx r y\nx r y\n\n\n#FONTS\n");
    EXPECT_LT(text.find("sub isa r\n"), entities) << "sub-relations among the relations";
    EXPECT_LT(text.find("r isa link\n"), entities);
    EXPECT_NE(properties, std::string::npos) << "and the relation's properties in their section";
    EXPECT_NE(text.find("x exists\n"), std::string::npos);
}

// The reader looks a word up by its label and kind and makes a node only for a new one; the
// lookups stay right as nodes are taken out, renamed and put back.
TEST_F(NetworkFileTest, WordsFindTheirNodeByLabelAndKindThroughRenamesAndRemovals) {
    load("#ENTITIES\ndog isa animal\n");
    const int before = testing_support::NetworkNodeCount(*net);
    Node* dog = net->find("dog", 0);
    ASSERT_NE(dog, nullptr);
    EXPECT_EQ(GetOrCreateNode(*net, "dog", 0), dog);
    EXPECT_EQ(GetOrCreateNode(*net, "\"dog\"", 0), dog) << "quotes are not part of the label";
    Node* bold = GetOrCreateNode(*net, "\"<b>dog<\\b>\"", 0);
    Node* relation = GetOrCreateNode(*net, "dog", 1);
    ASSERT_NE(bold, nullptr);
    ASSERT_NE(relation, nullptr);
    EXPECT_NE(bold, dog) << "formatting makes another label";
    EXPECT_NE(relation, dog) << "a relation of the same name is another node";
    EXPECT_TRUE(relation->isRelation());
    EXPECT_EQ(GetOrCreateNode(*net, "\"<b>dog<\\b>\"", 0), bold);
    EXPECT_EQ(GetOrCreateNode(*net, "dog", 1), relation);
    EXPECT_EQ(testing_support::NetworkNodeCount(*net), before + 2);

    // Taken out: the word makes a new node rather than finding the one gone.
    Node* taken = net->take("dog", 0);
    ASSERT_EQ(taken, dog);
    Node* fresh = GetOrCreateNode(*net, "dog", 0);
    ASSERT_NE(fresh, nullptr);
    EXPECT_NE(fresh, taken);
    EXPECT_TRUE(fresh->slotList(ParentSlot).isEmpty()) << "a new node has no links";
    EXPECT_EQ(net->take("dog", 0), fresh);
    fresh->destroy();

    // Renamed: found under the new name only, its links kept.
    Release(taken->name);
    taken->setName("hound", 1);
    ASSERT_EQ(net->add(taken), 1);
    EXPECT_EQ(GetOrCreateNode(*net, "hound", 0), taken);
    EXPECT_EQ(namesIn(taken, ParentSlot), (std::vector<std::string>{"animal"}));
    Node* again = GetOrCreateNode(*net, "dog", 0);
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, taken);
    EXPECT_EQ(testing_support::NetworkNodeCount(*net), before + 3);
}

// The words of a statement are all read before their nodes are looked up; the nodes are still
// made in the order of the words, which is the order of their shared table bucket, and a word
// repeated within a statement names one node.
TEST_F(NetworkFileTest, TheWordsOfAStatementMakeTheirNodesInTheirOrder) {
    // Three names that share one bucket, found by their hash.
    std::vector<std::string> shared;
    int wantedRow = -1;
    int wanted = -1;
    for (int i = 0; shared.size() < 3 && i < 100000; ++i) {
        const std::string name = "w" + std::to_string(i);
        int row = 0;
        const int bucket = KeyHash(name.c_str(), &row);
        if (wanted < 0) {
            wanted = bucket;
            wantedRow = row;
        }
        if (bucket == wanted && row == wantedRow)
            shared.push_back(name);
    }
    ASSERT_EQ(shared.size(), 3u);
    const std::string& a = shared[0];
    const std::string& b = shared[1];
    const std::string& c = shared[2];
    auto bucketNames = [&]() {
        std::vector<std::string> names;
        forEachNode(net->table()->bucket(wantedRow, wanted),
                    [&](NodeBase* node) { names.push_back(node->name); });
        return names;
    };
    load("#ENTITIES\n" + c + " isa " + a + "\n" + b + " isa " + b + "\n");
    EXPECT_EQ(bucketNames(), (std::vector<std::string>{c, a, b}));
    EXPECT_EQ(namesIn(net->find(b.c_str(), 0), ParentSlot), (std::vector<std::string>{b}));
    EXPECT_EQ(testing_support::NetworkNodeCount(*net), 3);

    // Without its "isa" a statement still makes its first node; the word after the one that
    // should have been "isa" begins the next statement.
    load("#ENTITIES\n" + b + " isnt " + a + " isa " + c + "\n");
    EXPECT_EQ(bucketNames(), (std::vector<std::string>{b, a, c}));
    EXPECT_EQ(namesIn(net->find(a.c_str(), 0), ParentSlot), (std::vector<std::string>{c}));

    load("#PROPERTIES\n" + c + " rel " + b + "\n" + a + " rel " + a + "\n");
    EXPECT_EQ(bucketNames(), (std::vector<std::string>{c, b, a}));
    Node* self = net->find(a.c_str(), 0);
    ASSERT_NE(self, nullptr);
    ASSERT_EQ(self->counts[FromSlot] + self->counts[ToSlot], 2) << "one property, both ends";
    EXPECT_EQ(first(self, FromSlot), first(self, ToSlot));
    EXPECT_NE(saved().find("#PROPERTIES\n" + c + " rel " + b + "\n" + a + " rel " + a + "\n"),
              std::string::npos);
}

// Children are linked in the order of the file's lines across the growth of a slot from one node
// to an array and on to a list of whole blocks, and the blocks split at 64 as they always have.
TEST_F(NetworkFileTest, ManyChildrenKeepTheFileOrderAndTheBlocksOf64) {
    for (const int children : {1, 2, 3, 63, 64, 65, 129}) {
        SCOPED_TRACE(children);
        std::string text = "#ENTITIES\n";
        std::vector<std::string> expected;
        // Names in an order that no hash or sort gives back by chance.
        for (int i = 0; i < children; ++i) {
            expected.push_back("c" + std::to_string((i * 37) % 131) + "_" + std::to_string(i));
            text += expected.back() + " isa top\n";
        }
        load(text);
        Node* top = net->find("top", 0);
        ASSERT_NE(top, nullptr);
        EXPECT_EQ(namesIn(top, ChildSlot), expected);
        EXPECT_EQ(top->counts[ChildSlot], children);
        int seen = 0;
        const NodeSlot slot = top->slotList(ChildSlot);
        EXPECT_EQ(slot.single() != nullptr, children == 1) << "one child is held directly";
        EXPECT_EQ(slot.array() != nullptr, children >= 2 && children <= 64)
            << "up to one block's worth in an array";
        if (const SlotArray* array = slot.array())
            seen = array->count;
        const ChunkList* blocks = slot.list();
        for (const ChunkList* block = blocks; block; block = block->next) {
            EXPECT_EQ(block->count, std::min(64, children - seen)) << "block at " << seen;
            seen += block->count;
        }
        EXPECT_EQ(seen + (slot.single() ? 1 : 0), children);
        for (const std::string& name : expected) {
            Node* child = net->find(name.c_str(), 0);
            ASSERT_NE(child, nullptr) << name;
            EXPECT_EQ(namesIn(child, ParentSlot), (std::vector<std::string>{"top"}));
            EXPECT_TRUE(child->slotList(ChildSlot).isEmpty()) << "an empty slot holds no list";
        }
    }
}

// The labels are renumbered to the font table only when one of them names a font; a property
// shows its ends' fonts in its name, so a font named only at an end still renumbers it. A read
// into a network that has nodes already leaves them to be gone through as well.
TEST_F(NetworkFileTest, OnlyFilesWhoseLabelsNameFontsHaveThemRenumbered) {
    const std::string fonts = "#FONTS\n0 isa \"Gentium\"\n5 isa \"Arial\"\n";
    load(fonts + "#ENTITIES\n\"<b>bold<\\b>\" isa plain\n");
    EXPECT_NE(saved().find("\"<b>bold<\\b>\" isa plain\n"), std::string::npos);
    EXPECT_TRUE(net->fontLabelsRead()) << "reconciled: later labels are gone through again";

    load(fonts + "#PROPERTIES\nx r \"<f=5>y<\\f>\"\n");
    const std::string text = saved();
    EXPECT_NE(text.find("#PROPERTIES\nx r \"<f=0>y<\\f>\"\n"), std::string::npos) << text;
    Node* r = net->find("r", 1);
    ASSERT_NE(r, nullptr);
    ASSERT_NE(first(r, ChildSlot), nullptr);
    EXPECT_EQ(std::string(first(r, ChildSlot)->name).find('\x7f' + std::string("5")),
              std::string::npos)
        << "the property's own name is renumbered too";

    // Read without reconciling: a file whose labels name no font is not gone through.
    net = std::make_unique<Network>();
    writeFile(folder + "/in.dat", fonts + "#ENTITIES\n\"<b>bold<\\b>\" isa plain\n");
    ASSERT_TRUE(ReadNetworkFile(*net, (folder + "/in.dat").c_str()));
    EXPECT_FALSE(net->fontLabelsRead());

    // Read by hand into a network holding a label that names the file's font 5.
    net = std::make_unique<Network>();
    Node* held = GetOrCreateNode(*net, "held", 0);
    ASSERT_NE(held, nullptr);
    Release(net->take("held", 0)->name);
    held->setName(std::string("\x7f"
                              "5fheld")
                      .c_str(),
                  1);
    ASSERT_EQ(net->add(held), 1);
    writeFile(folder + "/in.dat", fonts + "#ENTITIES\nplain exists\n");
    ASSERT_TRUE(ReadNetworkFile(*net, (folder + "/in.dat").c_str()));
    EXPECT_TRUE(net->fontLabelsRead());
    ReconcileFonts(*net);
    EXPECT_STREQ(held->name, "\x7f"
                             "0fheld");
}

// Only the labels that name a font are renumbered, among many that do not; a node taken out
// and put back between the read and the reconciling, renamed to name a font, is renumbered as
// well, and one taken out for good is not gone through.
TEST_F(NetworkFileTest, RenumberingReachesEveryLabelNamingAFontAfterChangesBeforeIt) {
    const std::string fonts = "#FONTS\n5 isa \"Arial\"\n";
    std::string entities = "#ENTITIES\n";
    for (int i = 0; i < 50; ++i)
        entities +=
            "plain" + std::to_string(i) + (i % 7 == 3 ? " isa \"<f=5>f<\\f>\"\n" : " isa top\n");
    load(fonts + entities);
    const std::string text = saved();
    EXPECT_NE(text.find("plain3 isa \"<f=0>f<\\f>\"\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("<f=5>"), std::string::npos) << text;

    for (const bool keep : {true, false}) {
        SCOPED_TRACE(keep ? "renamed and put back" : "taken out for good");
        net = std::make_unique<Network>();
        writeFile(folder + "/in.dat", fonts + entities);
        ASSERT_TRUE(ReadNetworkFile(*net, (folder + "/in.dat").c_str()));
        Node* renamed = net->take("plain0", 0);
        ASSERT_NE(renamed, nullptr);
        Node* gone = net->take("\x7f"
                               "5ff",
                               0);
        ASSERT_NE(gone, nullptr);
        detachNode(gone);
        gone->destroy();
        if (keep) {
            Release(renamed->name);
            renamed->name = nullptr;
            renamed->setName("\x7f"
                             "5fnew",
                             1);
            ASSERT_EQ(net->add(renamed), 1);
        } else {
            detachNode(renamed);
            renamed->destroy();
        }
        ReconcileFonts(*net);
        if (keep) {
            EXPECT_STREQ(renamed->name, "\x7f"
                                        "0fnew");
        }
        EXPECT_EQ(net->find("\x7f"
                            "0fnew",
                            0) != nullptr,
                  keep);
    }
}

// Statements are read ahead of making their nodes: each statement still finds the nodes the
// statements just before it made, and an anonymous id read ahead does not change the ids that
// the properties before it take.
TEST_F(NetworkFileTest, StatementsReadAheadSeeTheNodesAndIdsOfThoseBeforeThem) {
    std::string chain = "#ENTITIES\n";
    for (int i = 0; i < 40; ++i)
        chain += "n" + std::to_string(i + 1) + " isa n" + std::to_string(i) + "\n";
    load(chain);
    int nodes = 0;
    net->table()->forEach(
        [](void* count, NodeBase*) {
            ++*static_cast<int*>(count);
            return 0;
        },
        &nodes);
    EXPECT_EQ(nodes, 41) << "each name is one node";
    for (int i = 1; i < 40; ++i) {
        Node* n = net->find(("n" + std::to_string(i)).c_str(), 0);
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(namesIn(n, ParentSlot), (std::vector<std::string>{"n" + std::to_string(i - 1)}));
        EXPECT_EQ(namesIn(n, ChildSlot), (std::vector<std::string>{"n" + std::to_string(i + 1)}));
    }

    // Ids are hexadecimal: "<id=10>" keeps the next id at 0x11.
    load("#PROPERTIES\na r b\nc r d\n\"<id=10>\" r e\nf r g\n\"<id=3>\" r h\nk r l\n");
    Node* r = net->find("r", 1);
    ASSERT_NE(r, nullptr);
    std::vector<std::string> keys;
    forEachNode(r->slotList(ChildSlot), [&](NodeBase* p) { keys.emplace_back(asNode(p)->key); });
    const std::vector<std::string> expected = {"r \x7f*0",  "r \x7f*1",  "r \x7f*11",
                                               "r \x7f*12", "r \x7f*13", "r \x7f*14"};
    EXPECT_EQ(keys, expected);
}

TEST_F(NetworkFileTest, FormattedNamesAndFontsSurviveASave) {
    load("#FONTS\n0 isa \"Gentium\"\n5 isa \"Arial\"\n"
         "#ENTITIES\n\"<b>bold<\\b> <f=0>g<\\f>\" isa \"<f=5>a<\\f>&semi;\"\n"
         "\"tab\there\" exists\n"
         "\"caf\xe9\" exists\n\"#hash\" exists\n");
    // Arial, Gentium, Times New Roman after the sort; the file's 0 and 5 become 1 and 0.
    ASSERT_EQ(FontCount(), 3);
    EXPECT_STREQ(FontAt(1)->font.faceName, "Gentium");
    EXPECT_EQ(FontAt(1)->font.underline, 1) << "a font the system lacks";
    EXPECT_EQ(fonts().DefaultFont, 2) << "the preferred fonts are chosen on the sorted table";
    const std::string text = saved();
    EXPECT_NE(text.find("\"<b>bold<\\b> <f=1>g<\\f>\" isa \"<f=0>a<\\f>&semi;\"\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\"tab\there\" exists\n"), std::string::npos)
        << "a name with a tab is quoted, so it is read back as one name";
    EXPECT_NE(text.find("\"caf\xe9\" exists\n"), std::string::npos) << "accented letters too";
    EXPECT_NE(text.find("\"#hash\" exists\n"), std::string::npos) << "and a leading hash";
    EXPECT_NE(text.find("#FONTS\n0 isa \"Arial\"\n1 isa \"Gentium\"\n"), std::string::npos);

    // Read back, the file gives the same network and the same text.
    load(text);
    EXPECT_EQ(saved(), text);
}

TEST_F(NetworkFileTest, UnquotedAccentedNamesReadWholeAndAreWrittenInQuotes) {
    // Written by hand: bare words holding Windows-1252 letters, at the start, inside and at
    // the end, and a phonetic run with high bytes.
    load("#ENTITIES\ncaf\xe9 isa \xe9l\xe8ve\n\xe9l\xe8ve isa word\n"
         "<phon>w\xf9k<\\phon> isa word\nna\xefve exists\n");
    ASSERT_EQ(errors(), std::vector<std::string>{});
    const NodeBase* cafe = net->find("caf\xe9", 0);
    ASSERT_NE(cafe, nullptr) << "the accented letter is kept";
    EXPECT_EQ(namesIn(cafe, ParentSlot), std::vector<std::string>{"\xe9l\xe8ve"});
    EXPECT_NE(net->find("na\xefve", 0), nullptr);
    EXPECT_EQ(net->find("caf", 0), nullptr);
    EXPECT_EQ(net->find("", 0), nullptr) << "a leading accented letter no longer ends the word";
    const std::string text = saved();
    EXPECT_NE(text.find("\"caf\xe9\" isa \"\xe9l\xe8ve\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\"<phon>w\xf9k<\\phon>\" isa word\n"), std::string::npos) << text;
    // What the program writes reads back to the same text.
    load(text);
    EXPECT_EQ(saved(), text);
}

TEST_F(NetworkFileTest, EveryLoadSortsTheFontTable) {
    ASSERT_STREQ(FontAt(0)->font.faceName, "Times New Roman");
    load("#ENTITIES\nnoun isa word\n");
    EXPECT_STREQ(FontAt(0)->font.faceName, "Arial");
    EXPECT_EQ(fonts().DefaultFont, 1);
}

TEST_F(NetworkFileTest, AFontTheFileDoesNotListBecomesTheDefaultFontOfTheSortedTable) {
    // Times New Roman is the default font at index 2 before the load and at index 0 after it.
    ReleaseFontTable();
    platform::ListedFontCatalog catalog("Zeta;Yeta;Times New Roman");
    BuildFontTable(catalog);
    ChoosePreferredFonts();
    ASSERT_EQ(fonts().DefaultFont, 2);
    // The file's table was larger: 9 lies beyond this one, and 7 is not listed at all.
    load("#FONTS\n0 isa \"Yeta\"\n9 isa \"Zeta\"\n"
         "#ENTITIES\n\"<f=0>y<\\f> <f=7>x<\\f> <f=9>z<\\f>\" exists\n");
    EXPECT_STREQ(FontAt(0)->font.faceName, "Times New Roman");
    EXPECT_EQ(fonts().DefaultFont, 0);
    const std::string text = saved();
    EXPECT_NE(text.find("\"<f=1>y<\\f> x <f=2>z<\\f>\" exists\n"), std::string::npos) << text;
    EXPECT_NE(text.find("#FONTS\n1 isa \"Yeta\"\n2 isa \"Zeta\"\n"), std::string::npos) << text;
}

TEST_F(NetworkFileTest, BadFilesAreReportedOnceAndReadAsFarAsTheyGo) {
    net = std::make_unique<Network>();
    LoadNetworkFile(*net, (folder + "/missing.dat").c_str(), nullptr, &problems);
    EXPECT_EQ(errors(),
              (std::vector<std::string>{"Error opening net file: " + folder + "/missing.dat."}));
    ASSERT_NE(net->table(), nullptr);
    EXPECT_EQ(testing_support::NetworkNodeCount(*net), 0);

    load("noun isa word\n");
    EXPECT_EQ(errors(),
              (std::vector<std::string>{"Error loading network: no hash (#) character found."}));

    load("# first a comment\nnoun isa word\nverb isa word\n#ENTITIES\nkept exists\n");
    EXPECT_EQ(errors(), (std::vector<std::string>{"Invalid network statement ignored"}));
    EXPECT_EQ(net->find("noun", 0), nullptr);
    EXPECT_NE(net->find("kept", 0), nullptr);

    load("#ENTITIES\n" + std::string(1000, 'n') + " isa \"" + std::string(500, 'q') +
         "\"\nshort isa word\n");
    ASSERT_EQ(errors().size(), 1u) << "one report for the file, however many words are cut";
    EXPECT_NE(errors()[0].find("line 2"), std::string::npos) << errors()[0];
    EXPECT_NE(net->find(std::string(399, 'n').c_str(), 0), nullptr);
    EXPECT_NE(net->find("short", 0), nullptr);

    load("#ENTITIES\nlonely");
    EXPECT_NE(net->find("lonely", 0), nullptr) << "a statement cut short by the end";
}

// Given a list, the reader hands its problems back with their lines, and shows no box: the
// caller decides where they go.
TEST_F(NetworkFileTest, ProblemsComeBackInAListWithTheirLines) {
    using Problems = std::vector<std::pair<std::string, int>>;
    auto read = [&](const std::string& text) {
        net = std::make_unique<Network>();
        writeFile(folder + "/in.dat", text);
        Diagnostics found;
        EXPECT_TRUE(LoadNetworkFile(*net, (folder + "/in.dat").c_str(), nullptr, &found));
        Problems got;
        for (const Diagnostic& problem : found)
            got.emplace_back(problem.message, problem.line);
        return got;
    };
    EXPECT_EQ(read("#ENTITIES\nnoun isa word\n"), Problems{});
    EXPECT_EQ(read("noun isa word\n"),
              (Problems{{"Error loading network: no hash (#) character found.", 1}}));
    EXPECT_EQ(read("# first a comment\n\nnoun isa word\n#ENTITIES\nkept exists\n"),
              (Problems{{"Invalid network statement ignored", 3}}));
    EXPECT_EQ(read("#ENTITIES\nshort isa word\n" + std::string(1000, 'n') + " isa word\n"),
              (Problems{{"Word too long at line 3: cut to 399 characters.", 3}}));
    net = std::make_unique<Network>();
    Diagnostics missing;
    EXPECT_FALSE(LoadNetworkFile(*net, (folder + "/missing.dat").c_str(), nullptr, &missing));
    ASSERT_EQ(missing.size(), 1u);
    EXPECT_EQ(missing[0].message, "Error opening net file: " + folder + "/missing.dat.");
    EXPECT_EQ(missing[0].line, 0);
    // Without a list they are not kept, and nothing is shown.
    net = std::make_unique<Network>();
    writeFile(folder + "/in.dat", "noun isa word\n");
    EXPECT_TRUE(LoadNetworkFile(*net, (folder + "/in.dat").c_str()));
    EXPECT_FALSE(LoadNetworkFile(*net, (folder + "/missing.dat").c_str()));
    EXPECT_TRUE(recordingUi().boxes.empty());
}

TEST_F(NetworkFileTest, CyclicNetworksLoadSaveAndClose) {
    load("#ENTITIES\na isa b\nb isa c\nc isa a\nd isa a\n#RELATIONS\nr isa r\n");
    const std::string text = saved();
    // Every link is written once, whichever node of the cycle the walk starts from.
    for (const char* line :
         {"\na isa b\n", "\nb isa c\n", "\nc isa a\n", "\nd isa a\n", "#RELATIONS\nr isa r\n"}) {
        const std::size_t at = text.find(line);
        EXPECT_NE(at, std::string::npos) << line;
        EXPECT_EQ(text.find(line, at + 1), std::string::npos) << line;
    }
    markLineage(net->find("a", 0), 0, 1);
    EXPECT_TRUE(net->find("d", 0)->hasFlag(NodeFlags::DescendantMark));
    load(text);
    EXPECT_EQ(saved(), text);
}

TEST_F(NetworkFileTest, AFailedSaveLeavesTheOldFileAsItWas) {
    load("#ENTITIES\nnoun isa word\n");
    const std::string target = folder + "/kept.dat";
    writeFile(target, "old contents\n");
    // Writing stops when the file reaches the size limit the process is given.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit before;
    ::getrlimit(RLIMIT_FSIZE, &before);
    rlimit small = before;
    small.rlim_cur = 20;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const int result = WriteNetworkFile(*net, target.c_str());
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(readFile(target), "old contents\n");

    EXPECT_EQ(WriteNetworkFile(*net, (folder + "/no/such/folder.dat").c_str()), 0);
    ::mkdir((folder + "/adir").c_str(), 0755);
    EXPECT_EQ(WriteNetworkFile(*net, (folder + "/adir").c_str()), 0);
    EXPECT_EQ(system(("ls " + folder + " | grep -c saving > /dev/null").c_str()) != 0, true)
        << "no temporary file is left behind";
    EXPECT_EQ(WriteNetworkFile(*net, target.c_str()), 1);
    EXPECT_EQ(readFile(target),
              "#RELATIONS\n\n\n#ENTITIES\nnoun isa word\n\n\n#PROPERTIES\n\n\n#FONTS\n");
}

} // namespace
} // namespace tarvo
