// The current network as JSON lines, for scripts and tests.
#pragma once

#include <cstdio>
#include <string>

namespace tarvo {
class Network;
class Node;
class NodeBase;
} // namespace tarvo

namespace tarvo::cli {

// One object a line for every node in table order:
// {"kind":"entity"|"relation"|"property","name":N,"parent":[...],"child":[...],"from":[...],
//  "to":[...]}, every name in the markup a file holds, as UTF-8.
void DumpNetwork(const Network& net, std::FILE* out);

// The inheritance report of `node` as one JSON object:
// {"node":N,"related":[...],"stipulated":[...],"inherited_relations":[...],"ancestors":[...],
//  "inherited_properties":[...],"overridden_targets":[...],"overridden_relations":[...]}
std::string ReportJson(Node* node);

// `text` (UTF-8) as a JSON string, quotes included.
std::string JsonString(const std::string& text);
// A node's name in the markup a file holds, as a JSON string.
std::string markupOf(const NodeBase* node);

} // namespace tarvo::cli
