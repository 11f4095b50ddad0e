// The "Appearance Options" dialog: a trial pair of shade colours shown on the preview through
// the trial ramp, while the views keep drawing with the ramp of the colours in force.
#include "dialogs/appearance_dialog.h"

#include "dialogs/dialog_base.h"
#include "labels/brushes.h"
#include "labels/colours.h"
#include "platform/qt/qt_display.h"
#include "view/view_paint.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QWidget>
#include <qdrawutil.h>

#include <array>
#include <utility>

namespace tarvo {
namespace {

constexpr int kFirstSwatch = 31;
constexpr int kSecondSwatch = 32;
constexpr int kItemList = 40;
constexpr int kPreview = 1470;

std::optional<QColor> chooseWithSystemChooser(std::array<QColor, 16>& custom, QColor initial) {
    for (int i = 0; i < static_cast<int>(custom.size()); ++i)
        QColorDialog::setCustomColor(i, custom[static_cast<std::size_t>(i)]);
    QColorDialog chooser(initial, QApplication::activeModalWidget());
    const bool chosen = chooser.exec() == QDialog::Accepted;
    for (int i = 0; i < static_cast<int>(custom.size()); ++i)
        custom[static_cast<std::size_t>(i)] = QColorDialog::customColor(i);
    if (!chosen)
        return std::nullopt;
    return chooser.selectedColor();
}

QColor toQColor(platform::Colour colour) {
    return platform::qt::toQColor(colour);
}

platform::Colour fromQColor(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return {static_cast<std::uint8_t>(rgb.red()), static_cast<std::uint8_t>(rgb.green()),
            static_cast<std::uint8_t>(rgb.blue())};
}

// Paints the "Preview" control: the view's eight sample nodes on the view's white ground.
class PreviewPainter : public QObject {
public:
    PreviewPainter(QObject* parent, const ColourState& colours)
        : QObject(parent), m_colours(colours) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint)
            return QObject::eventFilter(watched, event);
        auto* preview = static_cast<QWidget*>(watched);
        QPainter painter(preview);
        const QRect area = preview->rect();
        painter.fillRect(area, Qt::white);
        qDrawShadePanel(&painter, area, preview->palette(), true, 1);
        painter.setClipRect(area.adjusted(1, 1, -1, -1));
        platform::qt::QtDisplay display(painter);
        PaintPreview(display, m_colours, area.width(), area.height());
        return true;
    }

private:
    const ColourState& m_colours;
};

class AppearanceDialog : public DialogBase {
public:
    AppearanceDialog(DialogSet& set, ColourChoosing& choosing, ColourState& colours,
                     const std::function<void()>& repaintViews)
        : DialogBase(set), m_choosing(choosing), m_colours(colours), m_repaintViews(repaintViews) {}

protected:
    const char* TemplateName() const override { return "APPEAR"; }

    void OnInitDialog() override {
        ColourState& state = m_colours;
        for (int i = 0; i < kShadeSteps; ++i)
            state.ColourTable[kTrialRampFirst + i] = state.ColourTable[kShadeRampFirst + i];
        m_trial = m_saved = {state.NearShade, state.FarShade};
        auto* items = control<QComboBox>(kItemList);
        items->clear();
        items->addItem(QStringLiteral("Distance shade colours"));
        items->setCurrentIndex(0);
        if (QWidget* preview = control(kPreview); preview && !m_previewPainter) {
            m_previewPainter = new PreviewPainter(this, m_colours);
            // The preview paints all of itself, so it is repainted without erasing.
            preview->setAttribute(Qt::WA_OpaquePaintEvent);
            preview->installEventFilter(m_previewPainter);
        }
    }

    // The swatches show their trial colour, sunken while pressed; other owner-drawn buttons
    // keep the framework's drawing.
    void OnDrawItem(QAbstractButton& button, QPainter& painter) override {
        const int id = controlId(&button);
        if (id != kFirstSwatch && id != kSecondSwatch) {
            DialogBase::OnDrawItem(button, painter);
            return;
        }
        const QRect area = button.rect();
        platform::qt::QtDisplay display(painter);
        std::unique_ptr<platform::Brush> brush =
            MakeBrush(trialColour(id), display, 0, 0, true, nullptr);
        display.fillRect({area.left(), area.top(), area.right() + 1, area.bottom() + 1}, *brush);
        brush.reset();
        qDrawWinPanel(&painter, area, button.palette(), button.isDown());
        if (button.hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(&button);
            focus.rect = area.adjusted(2, 2, -2, -2);
            button.style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, &button);
        }
    }

    void OnCheck(int id) override {
        if (id != kFirstSwatch && id != kSecondSwatch)
            return;
        const std::optional<QColor> chosen = choose(toQColor(trialColour(id)));
        if (!chosen || !chosen->isValid())
            return;
        (id == kFirstSwatch ? m_trial.first : m_trial.second) = fromQColor(*chosen);
        refreshPreview();
    }

    void OnButton151() override {
        std::swap(m_trial.first, m_trial.second);
        refreshPreview();
    }

    void OnApply() override {
        useColours(m_trial);
        refreshPreview();
    }

    void OnOk() override {
        OnApply();
        done(1);
    }

    // Cancel goes back to the colours of the moment the dialog opened, even after Apply.
    void OnEnd(int) override {
        useColours(m_saved);
        done(1);
    }

private:
    using Pair = std::pair<platform::Colour, platform::Colour>;

    platform::Colour trialColour(int swatch) const {
        return swatch == kFirstSwatch ? m_trial.first : m_trial.second;
    }

    // The views' shade colours and ramp become `pair`, and every view repaints.
    void useColours(const Pair& pair) {
        m_colours.NearShade = pair.first;
        m_colours.FarShade = pair.second;
        MakeShadeRamp(m_colours, kShadeRampFirst, pair.first, pair.second);
        if (m_repaintViews)
            m_repaintViews();
    }

    // The trial ramp from the trial pair, shown by the preview and the swatches.
    void refreshPreview() {
        MakeShadeRamp(m_colours, kTrialRampFirst, m_trial.first, m_trial.second);
        for (const int id : {kPreview, kFirstSwatch, kSecondSwatch})
            if (QWidget* shown = control(id))
                shown->update();
    }

    std::optional<QColor> choose(QColor initial) {
        if (m_choosing.chooser)
            return m_choosing.chooser(initial);
        return chooseWithSystemChooser(m_choosing.customColours, initial);
    }

    ColourChoosing& m_choosing;
    ColourState& m_colours;
    std::function<void()> m_repaintViews;
    Pair m_trial;
    Pair m_saved;
    PreviewPainter* m_previewPainter = nullptr;
};

} // namespace

ColourChoosing::ColourChoosing() {
    customColours.fill(Qt::white);
}

void ShowAppearanceOptions(DialogSet& set, ColourChoosing& choosing, ColourState& colours, NetView*,
                           const std::function<void()>& repaintViews) {
    // Like the program's other modal dialogs it belongs to the main frame, over every view.
    AppearanceDialog dialog(set, choosing, colours, repaintViews);
    dialog.RunModal();
}

} // namespace tarvo
