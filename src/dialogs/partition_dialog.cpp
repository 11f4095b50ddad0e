// The partition dialog over the dialog framework and the partition list rules.
#include "dialogs/partition_dialog.h"

#include "containers/node_list.h"
#include "dialogs/dialog_base.h"
#include "dialogs/partition_choice.h"
#include "dialogs/shown_label.h"
#include "labels/colours.h"
#include "layout/view_node.h"
#include "model/node.h"
#include "netfile/shape_file.h"
#include "platform/qt/qt_display.h"
#include "platform/qt/qt_text.h"
#include "view/view_paint.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPen>
#include <QRadioButton>

#include <string>

namespace tarvo {
namespace {

constexpr int kTypedField = 20;
constexpr int kEntities = 30;
constexpr int kRelations = 31;
constexpr int kFirstExpose = 32;
constexpr int kReveal = 36;
constexpr int kDistanceField = 37;
constexpr int kNodeList = 97;
constexpr int kNodeItemHeight = 23;

class PartitionDialog : public DialogBase {
public:
    PartitionDialog(DialogSet& set, PartitionChoices& kept, Network& net,
                    const ColourState& colours)
        : DialogBase(set), m_kept(kept), m_network(net), m_colours(colours) {}
    ~PartitionDialog() override { destroyList(); }

protected:
    const char* TemplateName() const override { return "INPUTQ"; }

    void OnInitDialog() override {
        const PartitionChoices& kept = m_kept;
        m_kind = kept.kind ? 1 : 0;
        m_expose = kept.expose & kExposeBits;
        control<QRadioButton>(m_kind ? kRelations : kEntities)->setChecked(true);
        control<QCheckBox>(kReveal)->setChecked(false);
        control<QLineEdit>(kDistanceField)->setEnabled(false);
        for (int bit = 0; bit < 4; ++bit)
            if (auto* button = control<QAbstractButton>(kFirstExpose + bit))
                button->setChecked((m_expose >> bit) & 1);
        fill();
        // What the user types replaces the first node's label rather than adding to it.
        control<QLineEdit>(kTypedField)->selectAll();
    }

    // Each item is a small node, drawn as the views draw theirs.
    bool OnDrawListItem(QListWidget& list, int row, QPainter& painter, const QRect& rect,
                        bool selected) override {
        Node* node = asNode(nodeAt(row));
        if (!node)
            return false;
        painter.fillRect(rect, list.palette().base());
        auto* scratch = new ViewNode(node);
        NodeLook look;
        look.shade = DistanceShade::None;
        look.selected = selected;
        look.shapes = &shapesOf(m_network);
        look.colours = &m_colours;
        platform::qt::QtDisplay display(painter);
        DrawNodeListItem(display, *scratch,
                         {rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1}, look,
                         false, false);
        scratch->destroy();
        return true;
    }
    int OnMeasureItem(QWidget*) override { return kNodeItemHeight; }

    // The expose buttons show their bitmaps. The focused face carries a dotted frame of its
    // own; the pushed face has none, so a pushed button with the focus gets the same frame.
    void OnDrawItem(QAbstractButton& button, QPainter& painter) override {
        DialogBase::OnDrawItem(button, painter);
        const int id = controlId(&button);
        const bool expose = id >= kFirstExpose && id < kFirstExpose + 4;
        if (!expose || !button.hasFocus() || !(button.isDown() || button.isChecked()))
            return;
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(button.rect().adjusted(3, 3, -4, -4));
        painter.restore();
    }

    void OnCheck(int id) override {
        if (id == kEntities || id == kRelations) {
            const int kind = id == kRelations ? 1 : 0;
            if (kind != m_kind) {
                m_kind = kind;
                fill();
            }
        } else if (id >= kFirstExpose && id < kFirstExpose + 4) {
            m_expose ^= 1 << (id - kFirstExpose);
            control<QAbstractButton>(id)->setChecked((m_expose >> (id - kFirstExpose)) & 1);
            fill();
            search();
        } else if (id == kReveal) {
            const bool on = control<QCheckBox>(kReveal)->isChecked();
            auto* field = control<QLineEdit>(kDistanceField);
            field->setEnabled(on);
            if (on)
                field->setFocus();
        }
    }

    void OnSelChange(QWidget* list) override {
        if (controlId(list) != kNodeList)
            return;
        NodeBase* node = nodeAt(control<QListWidget>(kNodeList)->currentRow());
        if (!node)
            return;
        setEditText(kTypedField, ShownLabel(node->name));
    }

    void OnEditChange(int id) override {
        if (id == kTypedField)
            search();
    }

    void OnOk() override {
        PartitionChoices& kept = m_kept;
        kept.chosen = asNode(nodeAt(control<QListWidget>(kNodeList)->currentRow()));
        kept.revealDistance = RevealDistance(
            control<QCheckBox>(kReveal)->isChecked(),
            platform::qt::fromQString(control<QLineEdit>(kDistanceField)->text()).c_str());
        keep();
        done(1);
    }

    void OnEnd(int code) override {
        keep();
        m_kept.chosen = nullptr;
        done(code);
    }

private:
    NodeBase* nodeAt(int row) const { return m_list && row >= 0 ? m_list->nodeAt(row) : nullptr; }

    void destroyList() {
        if (m_list)
            m_list->destroy();
        m_list = nullptr;
    }

    // The list for the kind and expose bits, its first item selected.
    void fill() {
        auto* list = control<QListWidget>(kNodeList);
        destroyList();
        list->clear();
        m_list = PartitionList(m_network, m_kind, m_expose);
        forEachNode(m_list, [&](NodeBase* n) { list->addItem(ShownLabel(n->name)); });
        if (listSize(m_list) > 0)
            list->setCurrentRow(0);
    }

    // Selects the node that best matches what is typed, leaving the typed text as it is.
    void search() {
        // The field may show a phonetic name as IPA, which must still match that name.
        const QByteArray typed = control<QLineEdit>(kTypedField)->text().toUtf8();
        const int best = BestTypedMatch(m_list, typed.constData());
        if (best >= 0) {
            auto* list = control<QListWidget>(kNodeList);
            const QSignalBlocker quiet(list);
            list->setCurrentRow(best);
        }
    }

    void keep() {
        m_kept.kind = m_kind;
        m_kept.expose = m_expose;
    }

    PartitionChoices& m_kept;
    int m_kind = 0;
    int m_expose = 0;
    // Owned: the nodes the list shows, in its order.
    Network& m_network;
    const ColourState& m_colours;
    NodeList* m_list = nullptr;
};

} // namespace

Node* ChoosePartition(DialogSet& set, PartitionChoices& kept, Network& net,
                      const ColourState& colours) {
    PartitionDialog dialog(set, kept, net, colours);
    if (dialog.RunModal() < 0)
        kept.chosen = nullptr;
    return kept.chosen;
}

} // namespace tarvo
