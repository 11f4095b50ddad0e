// Anonymous labels and the ids a network hands out.
#include "model/label_ids.h"

#include "memory/size_class_heap.h"

#include <climits>
#include <cstdio>

namespace tarvo {

char* AnonymousLabel(unsigned id) {
    char text[16];
    std::snprintf(text, sizeof text, "\x7f*%x", id);
    return DuplicateText(text);
}

bool IsAnonymousLabel(const char* label) {
    return !label || (label[0] == '\x7f' && label[1] == '*');
}

char* LabelIds::fresh() {
    char* label = AnonymousLabel(m_next);
    if (m_next != UINT_MAX)
        ++m_next;
    return label;
}

void LabelIds::keepPast(unsigned id) {
    if (m_next <= id)
        m_next = id == UINT_MAX ? UINT_MAX : id + 1;
}

} // namespace tarvo
