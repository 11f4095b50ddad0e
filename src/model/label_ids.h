// Anonymous labels: a node without a name of its own gets DEL "*" and a hexadecimal id. Each
// network hands out its own ids, so that two networks open side by side never share a counter.
#pragma once

namespace tarvo {

// An anonymous label with this id, in a block from Allocate; null only when memory runs out.
char* AnonymousLabel(unsigned id);

// No label at all, or one that begins DEL "*".
bool IsAnonymousLabel(const char* label);

// The ids of one network's anonymous labels.
class LabelIds {
public:
    // The label with the next id; ids stop at 0xffffffff rather than wrap round to ids given
    // out already.
    char* fresh();
    // Keeps the next id past `id`, one read from a file.
    void keepPast(unsigned id);
    unsigned next() const { return m_next; }
    void setNext(unsigned next) { m_next = next; }

private:
    unsigned m_next = 0;
};

} // namespace tarvo
