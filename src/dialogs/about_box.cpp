// The About box over the dialog framework.
#include "dialogs/about_box.h"

#include "dialogs/dialog_base.h"

namespace tarvo {
namespace {

class AboutBox : public DialogBase {
public:
    AboutBox(DialogSet& set, bool splash, const std::function<void()>& load)
        : DialogBase(set), m_splash(splash), m_load(load) {}

protected:
    const char* TemplateName() const override { return "ABOUT"; }

    void OnInitDialog() override {
        if (!m_splash)
            return;
        if (m_load)
            m_load();
        StartTimer(kSplashTimer, kSplashMs);
    }

    void OnTimer(int id) override {
        if (id != kSplashTimer || !m_splash)
            return;
        StopTimer(kSplashTimer);
        OnOk();
    }

private:
    bool m_splash;
    const std::function<void()>& m_load;
};

} // namespace

void ShowAbout(DialogSet& set, bool splash, const std::function<void()>& load) {
    AboutBox box(set, splash, load);
    box.RunModal();
}

} // namespace tarvo
