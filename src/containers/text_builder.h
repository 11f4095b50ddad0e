// TextBuilder, the builder of texts made of pieces, such as property names.
#pragma once

namespace tarvo {

// Starts each text in the shared 1000-byte scratch buffer and moves to an allocated buffer,
// doubling its capacity, only when the text outgrows it. Each user makes its own builder; as
// they borrow the one scratch buffer, only one builder may hold a text at a time.
class TextBuilder {
public:
    TextBuilder() { reset(); }
    ~TextBuilder() { releaseGrown(); }
    TextBuilder(const TextBuilder&) = delete;
    TextBuilder& operator=(const TextBuilder&) = delete;

    // An empty text in the scratch buffer.
    void reset();
    // Adds text and, when addBlank is non-zero, one blank; 0 when memory ran out (the text built
    // so far is kept).
    int append(const char* text, int addBlank);
    // The text without its last character (the blank every piece ends with), in a block from
    // Allocate that the caller releases; null for an empty text. The builder is reset after.
    char* take();

    int length() const { return m_length; }
    int capacity() const { return m_capacity; }

private:
    bool grow(int needed);
    void releaseGrown();

    char* m_buffer = nullptr;
    int m_length = 0;
    int m_capacity = 0;
    // The buffer is the shared scratch buffer, which the builder only borrows.
    bool m_inScratch = false;
};

} // namespace tarvo
