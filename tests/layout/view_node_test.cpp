// A view's copies of network nodes: made once per node, with their sources' names, the copy
// mask's flags and their neighbours' copies; and the layout's fillers.
#include "containers/node_list.h"
#include "containers/node_table.h"
#include "layout/view_node.h"
#include "model/links.h"
#include "model/network.h"

#include "support/slot_nodes.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarvo {
namespace {

class ViewNodeTest : public ::testing::Test {
protected:
    Network net;
    Node* entity(const char* name) {
        auto* node = new Node;
        node->setName(name, 1);
        EXPECT_EQ(net.add(node), 1);
        return node;
    }
};

using testing_support::slotOf;

TEST_F(ViewNodeTest, ViewCopiesMirrorTheirSourcesOnce) {
    Node* word = entity("word");
    Node* noun = entity("noun");
    addChild(word, noun);
    addChild(word, noun);
    word->flags |= NodeFlags::DescendantMark | 0x20000;
    NodeTable* view = MakeNodeTable();
    ViewNode* v = viewNodeFor(*view, word);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(viewNodeFor(*view, word), v);
    EXPECT_EQ(v->source, word);
    EXPECT_STREQ(v->name, "word");
    EXPECT_NE(v->name, word->name);
    EXPECT_EQ(v->flags, 0x20000u) << "only the copy mask's bits come over";

    linkViewNode(*view, v);
    EXPECT_EQ(slotOf(v, ChildSlot).size(), 1u) << "a duplicate link is one copy";
    EXPECT_EQ(v->counts[ChildSlot], 2) << "but the counter is the source's";
    auto* copyOfNoun = static_cast<const ViewNode*>(first(v, ChildSlot));
    EXPECT_EQ(copyOfNoun->source, noun);

    auto* filler = new ViewNode;
    EXPECT_TRUE(filler->hasFlag(NodeFlags::DummyNode));
    EXPECT_EQ(filler->source, nullptr);
    filler->destroy();

    closeNetwork(view);
}

// A copy that the view's table finds by key may stand for a node of another network (a view's
// copies outlive removals); the walk that extends the view takes each copy in once however it
// comes to it, by its own node or by a namesake.
TEST_F(ViewNodeTest, AnExtensionTakesACopyInOnceWhicheverNodeItIsFoundFor) {
    Node* root = entity("root");
    Node* leaf = entity("leaf");
    addChild(root, leaf);
    Network other;
    auto* otherRoot = new Node;
    otherRoot->setName("root", 1);
    ASSERT_EQ(other.add(otherRoot), 1);
    auto* otherLeaf = new Node;
    otherLeaf->setName("leaf", 1);
    ASSERT_EQ(other.add(otherLeaf), 1);
    addChild(otherRoot, otherLeaf);

    NodeTable* view = MakeNodeTable();
    ViewNode* start = viewNodeFor(*view, root);
    ViewNode* namesake = viewNodeFor(*view, otherLeaf);
    std::vector<ViewNode*> made;
    EXPECT_EQ(ExtendViewNodes(*view, start, -1, true, &made), 1);
    // root's child is found by key as the copy of the other leaf, whose parent is found by key
    // as the start again: the start stays where the walk began.
    EXPECT_EQ(start->distance, 0);
    EXPECT_EQ(namesake->distance, 1);
    EXPECT_EQ(first(start, ChildSlot), namesake);
    EXPECT_EQ(first(namesake, ParentSlot), start);
    EXPECT_TRUE(start->complete && namesake->complete);
    closeNetwork(view);
}

} // namespace
} // namespace tarvo
