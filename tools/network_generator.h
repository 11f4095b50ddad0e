// A seeded generator of network files, for tests, benchmarks and fuzz seeds.
#pragma once

#include <cstdint>
#include <string>

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
};

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
