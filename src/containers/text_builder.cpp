// The text builder: pieces appended in the scratch buffer or a geometrically grown buffer.
#include "containers/text_builder.h"

#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"

#include <cstring>
#include <limits>

namespace tarvo {

void TextBuilder::releaseGrown() {
    if (!m_inScratch)
        Release(m_buffer);
    m_buffer = nullptr;
    m_inScratch = false;
}

void TextBuilder::reset() {
    // A grown buffer that was never taken belongs to the builder still.
    releaseGrown();
    m_buffer = sharedBuffers().scratchText;
    m_inScratch = m_buffer != nullptr;
    // Without a scratch buffer the first piece allocates one of the same size.
    m_capacity = m_buffer ? kScratchTextBytes : 0;
    m_length = 0;
}

bool TextBuilder::grow(int needed) {
    const std::int64_t wanted = static_cast<std::int64_t>(m_length) + needed;
    std::int64_t capacity = m_capacity > 0 ? m_capacity : kScratchTextBytes / 2;
    do
        capacity *= 2;
    while (capacity < wanted);
    if (capacity > std::numeric_limits<std::int32_t>::max())
        return false;
    auto* buffer = static_cast<char*>(Allocate(static_cast<std::int32_t>(capacity)));
    if (!buffer)
        return false;
    if (m_length > 0)
        std::memcpy(buffer, m_buffer, static_cast<std::size_t>(m_length));
    releaseGrown();
    m_buffer = buffer;
    m_capacity = static_cast<int>(capacity);
    return true;
}

int TextBuilder::append(const char* text, int addBlank) {
    const std::size_t textLength = text ? std::strlen(text) : 0;
    const std::size_t needed = textLength + (addBlank ? 1 : 0);
    if (needed > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() - m_length))
        return 0;
    if (m_length + static_cast<int>(needed) > m_capacity && !grow(static_cast<int>(needed)))
        return 0;
    // The text is not kept terminated while it is built: take() ends it in place of its last
    // character, so a text that fills the buffer exactly still fits.
    if (textLength > 0)
        std::memcpy(m_buffer + m_length, text, textLength);
    if (addBlank)
        m_buffer[static_cast<std::size_t>(m_length) + textLength] = ' ';
    m_length += static_cast<int>(needed);
    return 1;
}

char* TextBuilder::take() {
    if (m_length == 0)
        return nullptr;
    m_buffer[m_length - 1] = '\0';
    char* text = nullptr;
    if (m_inScratch) {
        text = CopyText(m_buffer);
    } else {
        text = m_buffer;
        m_buffer = nullptr;
    }
    reset();
    return text;
}

} // namespace tarvo
