// The walk a network file's isa lines follow, and where it starts.
#include "netfile/isa_walk.h"

#include "containers/node_list.h"
#include "model/node.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <unordered_map>

namespace tarvo {
namespace {

// How many starts are tried before the walk is left where it is. A start that does not stay
// is rare, and the next one nearly always stays.
constexpr int kMostStarts = 64;

// Where each node's group of lines stands in a walk: the order in which a read gives a node its
// parents.
using GroupRanks = std::unordered_map<const Node*, int>;

template <typename F> void forEachIsaChild(const Node* x, F&& f) {
    forEachNode(x->slotList(ChildSlot), [&](NodeBase* c) {
        if (!asNode(c)->isProperty())
            f(asNode(c));
    });
}

class ComponentWalk {
public:
    explicit ComponentWalk(Node* first) : m_first(first) {}

    std::vector<Node*> settledOrder() {
        std::vector<Node*> order = walk(m_first, nullptr);
        if (stays(order, m_first))
            return order;
        // Trial walks leave no marks; the component is the same from every start.
        unmark();
        std::vector<std::uint64_t> seen;
        Node* start = m_first;
        while (static_cast<int>(seen.size()) < kMostStarts) {
            seen.push_back(linesHash(order));
            next(start, order);
            if (stays(order, start))
                break;
            const auto again = std::find(seen.begin(), seen.end(), linesHash(order));
            if (again != seen.end()) {
                // Round the same walks again: the one of the round with the least lines hash.
                const auto pick = std::min_element(again, seen.end()) - seen.begin();
                start = m_first;
                order = walk(m_first, nullptr);
                unmark();
                for (std::ptrdiff_t k = 0; k < pick; ++k)
                    next(start, order);
                break;
            }
        }
        for (Node* x : m_reached)
            x->visitMark |= kIsaVisited;
        return order;
    }

private:
    // The walk a read of `order`'s lines would make: from the node they name first among the
    // bucket, each node's parents in the order of their groups.
    void next(Node*& start, std::vector<Node*>& order) {
        GroupRanks ranks;
        ranks.reserve(order.size());
        for (std::size_t k = 0; k < order.size(); ++k)
            ranks.emplace(order[k], static_cast<int>(k));
        start = const_cast<Node*>(firstNamed(order));
        order = walk(start, &ranks);
        unmark();
    }

    // Breadth first from `start`: pass after pass, the nodes reached in the previous pass in
    // the order they were reached, each reaching its parents, then its children, in list order
    // or, with `ranks`, its parents in rank order.
    std::vector<Node*> walk(Node* start, const GroupRanks* ranks) {
        m_reached.clear();
        std::vector<Node*> order;
        std::vector<Node*> pass;
        reach(start, pass, order);
        std::vector<Node*> parents;
        while (!pass.empty()) {
            std::vector<Node*> next;
            for (Node* node : pass) {
                parents.clear();
                forEachNode(node->slotList(ParentSlot),
                            [&](NodeBase* p) { parents.push_back(asNode(p)); });
                if (ranks)
                    std::stable_sort(parents.begin(), parents.end(),
                                     [&](const Node* a, const Node* b) {
                                         return rankOf(*ranks, a) < rankOf(*ranks, b);
                                     });
                for (Node* p : parents)
                    reach(p, next, order);
                forEachNode(node->slotList(ChildSlot),
                            [&](NodeBase* c) { reach(asNode(c), next, order); });
            }
            pass.swap(next);
        }
        return order;
    }

    void reach(Node* x, std::vector<Node*>& pass, std::vector<Node*>& order) {
        if (x->visitMark & kIsaVisited)
            return;
        x->visitMark |= kIsaVisited;
        m_reached.push_back(x);
        pass.push_back(x);
        if (!x->isProperty())
            order.push_back(x);
    }

    void unmark() {
        for (Node* x : m_reached)
            x->visitMark &= static_cast<std::uint8_t>(~kIsaVisited);
    }

    static int rankOf(const GroupRanks& ranks, const Node* x) {
        const auto at = ranks.find(x);
        return at == ranks.end() ? INT_MAX : at->second;
    }

    // The node of the first node's bucket that the lines of `order` name first: each line
    // names its child, then its parent. Null when there are no lines.
    static const Node* firstNamed(const std::vector<Node*>& order) {
        for (const Node* x : order) {
            const Node* named = nullptr;
            forEachIsaChild(x, [&](const Node* c) {
                if (named)
                    return;
                if (c->visitMark & kIsaInBucket)
                    named = c;
                else if (x->visitMark & kIsaInBucket)
                    named = x;
            });
            if (named)
                return named;
        }
        return nullptr;
    }

    // A walk from `start` stays when its lines, read back, start the walk there again.
    static bool stays(const std::vector<Node*>& order, const Node* start) {
        const Node* named = firstNamed(order);
        return !named || named == start;
    }

    // A hash of the lines a walk writes, from the names of the parents in the order of their
    // groups (each parent's group is its children in list order).
    static std::uint64_t linesHash(const std::vector<Node*>& order) {
        std::uint64_t hash = 14695981039346656037ULL;
        auto add = [&](unsigned char byte) {
            hash ^= byte;
            hash *= 1099511628211ULL;
        };
        for (const Node* x : order) {
            bool parent = false;
            forEachIsaChild(x, [&](const Node*) { parent = true; });
            if (!parent)
                continue;
            for (const char* at = x->keyText(); at && *at; ++at)
                add(static_cast<unsigned char>(*at));
            add(0);
        }
        return hash;
    }

    Node* m_first;
    // What the latest walk reached, properties included.
    std::vector<Node*> m_reached;
};

} // namespace

std::vector<Node*> IsaLineOrder(Node* first) {
    return ComponentWalk(first).settledOrder();
}

} // namespace tarvo
