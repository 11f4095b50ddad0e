// The input and question dialogs over the dialog framework.
#include "dialogs/ask_dialogs.h"

#include "dialogs/dialog_base.h"
#include "memory/shared_buffers.h"
#include "memory/size_class_heap.h"
#include "platform/qt/qt_text.h"

#include <QAbstractButton>
#include <QBoxLayout>
#include <QLineEdit>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace tarvo {
namespace {

inline constexpr int kEditField = 20;
// The shared text buffer holds the text and its terminator.
inline constexpr int kInputChars = kScratchTextBytes - 1;

// Copies at most `limit` bytes of `text` to `buffer` and ends it; `text` may lie in `buffer`.
void copyCut(char* buffer, const char* text, std::size_t limit) {
    const char* source = text ? text : "";
    const std::size_t length = std::min(std::strlen(source), limit);
    std::memmove(buffer, source, length);
    buffer[length] = '\0';
}

class InputDialog : public DialogBase {
public:
    InputDialog(DialogSet& set, int maxLength, int mode)
        : DialogBase(set),
          m_maxLength(maxLength > 0 ? std::min(maxLength, kInputChars) : kInputChars),
          m_mode(mode) {}

    int mode() const { return m_mode; }

protected:
    const char* TemplateName() const override { return "INPUT"; }

    void OnInitDialog() override {
        char* buffer = sharedBuffers().scratchText;
        auto* edit = control<QLineEdit>(kEditField);
        edit->setMaxLength(m_maxLength);
        setEditText(kEditField, platform::qt::toQString(buffer));
        edit->selectAll();
        edit->setFocus();
        buffer[0] = '\0';
        dialogSet().lastAnswer = 0;
    }

    void OnOk() override {
        const QString text = control<QLineEdit>(kEditField)->text().left(m_maxLength);
        copyCut(sharedBuffers().scratchText, platform::qt::fromQString(text).c_str(),
                static_cast<std::size_t>(m_maxLength));
        dialogSet().lastAnswer = 1;
        done(1);
    }

private:
    int m_maxLength;
    int m_mode;
};

class QueryDialog : public DialogBase {
public:
    explicit QueryDialog(DialogSet& set) : DialogBase(set) {}

protected:
    const char* TemplateName() const override { return "QUERY"; }

    void OnInitDialog() override {
        dialogSet().lastAnswer = 0;
        if (dialogSet().noCancelQuestion)
            putNoInPlaceOfCancel();
    }

    void OnOk() override { finish(1); }
    void OnEnd(int code) override { finish(code); }

private:
    void finish(int answer) {
        dialogSet().lastAnswer = answer;
        done(answer);
    }

    // Hides Cancel and moves No into its slot of the button row, at its size.
    void putNoInPlaceOfCancel() {
        QWidget* cancel = control(control::kCancel);
        QWidget* no = control(control::kNo);
        cancel->hide();
        no->setMinimumSize(cancel->sizeHint().expandedTo(no->minimumSize()));
        auto* row = findChild<QBoxLayout*>(QStringLiteral("buttons"));
        if (!row || row->indexOf(cancel) < 0 || row->indexOf(no) < 0)
            return;
        row->removeWidget(no);
        row->insertWidget(row->indexOf(cancel), no);
    }
};

} // namespace

char* AskText(DialogSet& set, const char* prompt, const char* initial, int maxLength, int mode) {
    char* buffer = sharedBuffers().scratchText;
    Q_ASSERT_X(buffer, "AskText", "the shared text buffer is made at start-up");
    // The prompt is taken first: it may have been built in the buffer the initial text goes to.
    const QString promptText = platform::qt::toQString(prompt);
    copyCut(buffer, initial, kInitialInputChars);
    InputDialog dialog(set, maxLength, mode);
    dialog.setCaptionText(promptText);
    set.lastAnswer = 0;
    if (dialog.RunModal() < 0)
        buffer[0] = '\0';
    return DuplicateText(buffer);
}

char* AskTextF(DialogSet& set, const char* initial, int maxLength, int mode, const char* format,
               ...) {
    std::va_list arguments;
    va_start(arguments, format);
    std::va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    std::string prompt(static_cast<std::size_t>(std::max(length, 0)), '\0');
    std::vsnprintf(prompt.data(), prompt.size() + 1, format, arguments);
    va_end(arguments);
    return AskText(set, prompt.c_str(), initial, maxLength, mode);
}

int AskQuestion(DialogSet& set, const char* question) {
    QueryDialog dialog(set);
    dialog.setCaptionText(platform::qt::toQString(question));
    set.lastAnswer = 0;
    dialog.RunModal();
    return set.lastAnswer;
}

} // namespace tarvo
