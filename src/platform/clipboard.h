// The clipboard label text goes through: plain characters for other programs, and the raw cell
// form (four bytes a cell, formatting included) for this program's own editors.
#pragma once

#include <string>

namespace platform {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    // Puts both forms on the clipboard together, in place of what it held; `plain` is UTF-8,
    // since it may hold characters that labels keep as bytes of other encodings (IPA).
    virtual void setText(const std::string& plain, const std::string& raw) = 0;
    // The raw form into `raw` when the clipboard holds one; false otherwise.
    virtual bool raw(std::string& raw) const = 0;
    // The plain text as UTF-8, empty when there is none.
    virtual std::string text() const = 0;
};

// Keeps the two forms in memory: for tests and where there is no window system.
class MemoryClipboard final : public Clipboard {
public:
    void setText(const std::string& plain, const std::string& raw) override {
        m_plain = plain;
        m_raw = raw;
        m_hasRaw = true;
    }
    bool raw(std::string& raw) const override {
        if (m_hasRaw)
            raw = m_raw;
        return m_hasRaw;
    }
    std::string text() const override { return m_plain; }
    // Plain text as another program would leave it: no raw form.
    void setPlainText(const std::string& plain) {
        m_plain = plain;
        m_raw.clear();
        m_hasRaw = false;
    }

private:
    std::string m_plain;
    std::string m_raw;
    bool m_hasRaw = false;
};

// Pasted plain text (Windows-1252) made fit for a label, which is one run of text: each run of line
// breaks, tabs and other control characters becomes a single blank.
inline std::string TextForLabel(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    bool inControl = false;
    for (char c : text) {
        const bool control = static_cast<unsigned char>(c) < 0x20 || c == '\x7f';
        if (control && !inControl)
            out += ' ';
        else if (!control)
            out += c;
        inControl = control;
    }
    return out;
}

} // namespace platform
