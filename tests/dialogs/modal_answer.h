// Test seams of the dialog framework: answering modal dialogs, and a clean program-wide state.
#pragma once

#include "dialogs/ask_dialogs.h"
#include "dialogs/dialog_base.h"

#include <gtest/gtest.h>

#include <utility>

namespace tarvo::testing_support {

// Answers every modal dialog run while it lives with `hook`; the hook must end the dialog.
class ModalAnswer {
public:
    explicit ModalAnswer(ModalHook hook)
        : m_previous(std::exchange(dialogState().modalHook, std::move(hook))) {}
    ~ModalAnswer() { dialogState().modalHook = std::move(m_previous); }
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;

private:
    ModalHook m_previous;
};

// Starts each test with no remembered placement, no main frame and fresh answers.
class DialogFixture : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }

private:
    static void reset() {
        dialogState().placement = QRect();
        dialogState().mainFrame = nullptr;
        askState() = AskState{};
    }
};

} // namespace tarvo::testing_support
