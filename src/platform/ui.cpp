// The presenter in use.
#include "platform/ui.h"

#include "platform/headless_ui.h"

namespace platform {
namespace {

HeadlessUi& headless() {
    static HeadlessUi presenter;
    return presenter;
}

Ui*& installed() {
    static Ui* presenter = nullptr;
    return presenter;
}

} // namespace

Ui& ui() {
    return installed() ? *installed() : headless();
}

Ui* setUi(Ui* presenter) {
    Ui* previous = installed();
    installed() = presenter;
    return previous;
}

} // namespace platform
