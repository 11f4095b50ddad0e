// Network files: the reader that fills a new network from a file, the fonts it names, and the
// writer that stores a network back in the same form.
#pragma once

#include "diagnostics/diagnostics.h"
#include "labels/font_table.h"

#include <cstdio>
#include <functional>

namespace tarvo {

class Network;
class Node;

// Section codes of a network file.
enum class Section {
    None = 0,
    Relations = 1,
    Entities = 2,
    Properties = 3,
    Fonts = 4,
    Comment = 5
};

// The section a keyword opens, in any letter case; any other word makes a comment line.
Section SectionOf(const char* keyword);

// How far a read has come: the bytes read of the file, and its size (0 when not known, as for a
// pipe). Told every few thousand lines and once at the end, never going back. An answer of
// false stops the read where it is: the network then holds part of the file, and the caller,
// who asked for the stop, throws it away.
using ReadProgress = std::function<bool(long long done, long long total)>;

// Reads the file into the network, which is new and empty. Problems go to `problems`, in the
// order met; without a list they are not kept. False when the file could not be opened: the
// network then stays empty.
bool ReadNetworkFile(Network& net, const char* path, Diagnostics* problems = nullptr,
                     const ReadProgress& progress = nullptr);

// ReadNetworkFile on a stream that is already open.
void ReadNetworkStream(Network& net, std::FILE* file, Diagnostics* problems = nullptr,
                       const ReadProgress& progress = nullptr);

// The node of this name (a word of the file, quoted or not, in markup) and kind, made when the
// network has none.
Node* GetOrCreateNode(Network& net, const char* word, int relationKind);

// After a read: adds the fonts the file names that are not installed, sorts the font table,
// chooses the preferred and default fonts on the sorted table, and renumbers the fonts in every
// name to it (a number beyond the table becomes the default font).
void ReconcileFonts(Network& net);

// Writes the network; 1 when the whole network was written. The file is written under
// a temporary name beside it and takes the place of the old file only once it is complete, so
// a failed save leaves the old file as it was.
int WriteNetworkFile(Network& net, const char* path);

// The writer's output to an open stream; false when a write failed.
bool WriteNetworkStream(Network& net, std::FILE* file);

// The load steps that need no window: read the file into the new network, reconcile the fonts
// and choose the preferred fonts on the sorted table.
// `addToFontList` receives every font of the table, for the tool bar's font list. False when
// the file could not be opened. Problems go as ReadNetworkFile sends them. A read that
// `progress` stopped leaves the font table and the preferred fonts alone.
bool LoadNetworkFile(Network& net, const char* path, const FontListAdder& addToFontList = nullptr,
                     Diagnostics* problems = nullptr, const ReadProgress& progress = nullptr);

} // namespace tarvo
