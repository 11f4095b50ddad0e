// A seeded generator of network files, for tests, benchmarks and fuzz seeds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::tools {

struct GeneratorOptions {
    std::uint32_t seed = 1;
    int entities = 100;
    int relations = 10;
    int properties = 100;
    // Each node that has parents gets between 1 and this many, all distinct.
    int maxParents = 3;
    // Whether names may carry markup: tags, character entities, accented letters, fonts.
    bool formatted = true;
    // The shape of the entity hierarchy. Random: a few roots, each node with 1 to maxParents
    // parents among the nodes made before it. Lattice: `latticeDepth` + 1 layers of equal
    // width, every node below the top layer with 2 parents in the layer above. WordNet-like:
    // one root over a deep tree (at most kWordNetDepth levels below it) whose branching is
    // skewed, a few nodes with hundreds of children and most with few, and about 2% of the
    // nodes with a second parent.
    enum class Shape { Random, Lattice, WordNet };
    Shape shape = Shape::Random;
    int latticeDepth = 0;
};

inline constexpr int kWordNetDepth = 18;

// The options of a WordNet-sized network of the WordNet-like shape: about 118k entities, a few
// relations and about 100k properties.
GeneratorOptions WordNetOptions(std::uint32_t seed);

// The parents of each entity of a hierarchy of `shape`, indexed by the entity's number, in the
// order the entity takes them. A node's parents are always made before it. Shared by the
// generator and by the benchmarks that build networks in memory.
std::vector<std::vector<std::uint32_t>> EntityParents(const GeneratorOptions& options);

// The text of a network file laid out as the program's writer lays it out: the isa lines of
// each kind grouped by connected component and by parent, "exists" for nodes without isa links,
// the property lines grouped by relation, and a FONTS section listing the fonts the names use.
// Entities and relations each form a hierarchy with a few roots and several parents per node;
// a node's parents are always made before it, so there are no cycles. Names are unique within
// their kind and read back to labels that write out exactly as given here.
//
// The same options give the same text with every compiler and library. Negative counts count
// as 0, a maxParents below 1 as 1, and without an entity or a relation there is no property.
std::string GenerateNetwork(const GeneratorOptions& options);

} // namespace tarvo::tools
