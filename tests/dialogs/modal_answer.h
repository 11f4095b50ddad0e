// Test seams of the dialog framework: answering modal dialogs, and a fresh dialog set per test.
#pragma once

#include "dialogs/dialog_base.h"

#include <gtest/gtest.h>

#include <utility>

namespace tarvo::testing_support {

// Answers every modal dialog of `set` run while it lives with `hook`; the hook must end the
// dialog.
class ModalAnswer {
public:
    ModalAnswer(DialogSet& set, ModalHook hook)
        : m_set(set), m_previous(std::exchange(set.modalHook, std::move(hook))) {}
    ~ModalAnswer() { m_set.modalHook = std::move(m_previous); }
    ModalAnswer(const ModalAnswer&) = delete;
    ModalAnswer& operator=(const ModalAnswer&) = delete;

private:
    DialogSet& m_set;
    ModalHook m_previous;
};

// Each test's dialogs join a set of their own: no remembered placement, no main frame and
// fresh answers.
class DialogFixture : public ::testing::Test {
protected:
    DialogSet dialogs;
};

} // namespace tarvo::testing_support
