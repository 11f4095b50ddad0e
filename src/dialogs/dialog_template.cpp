// The template reader: the part of the Designer format that the program's dialogs use (plain
// controls, grid and box layouts, spacers, properties of the common types, label buddies).
#include "dialogs/dialog_template.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMetaEnum>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>
#include <QVariant>
#include <QXmlStreamReader>

#include <vector>

namespace tarvo {
namespace {

QWidget* makeControl(const QString& className, QWidget* parent) {
    struct Maker {
        const char* className;
        QWidget* (*make)(QWidget* parent);
    };
    static const Maker makers[] = {
        {"QWidget", [](QWidget* p) { return new QWidget(p); }},
        {"QFrame", [](QWidget* p) -> QWidget* { return new QFrame(p); }},
        {"QLabel", [](QWidget* p) -> QWidget* { return new QLabel(p); }},
        {"QLineEdit", [](QWidget* p) -> QWidget* { return new QLineEdit(p); }},
        {"QPushButton", [](QWidget* p) -> QWidget* { return new QPushButton(p); }},
        {"QRadioButton", [](QWidget* p) -> QWidget* { return new QRadioButton(p); }},
        {"QCheckBox", [](QWidget* p) -> QWidget* { return new QCheckBox(p); }},
        {"QListWidget", [](QWidget* p) -> QWidget* { return new QListWidget(p); }},
        {"QComboBox", [](QWidget* p) -> QWidget* { return new QComboBox(p); }},
        {"QGroupBox", [](QWidget* p) -> QWidget* { return new QGroupBox(p); }},
    };
    for (const Maker& maker : makers) {
        if (className == QLatin1String(maker.className))
            return maker.make(parent);
    }
    return nullptr;
}

QLayout* makeLayout(const QString& className) {
    if (className == QLatin1String("QGridLayout"))
        return new QGridLayout;
    if (className == QLatin1String("QHBoxLayout"))
        return new QHBoxLayout;
    if (className == QLatin1String("QVBoxLayout"))
        return new QVBoxLayout;
    return nullptr;
}

// Where an item goes in its layout; box layouts read only the alignment.
struct ItemPlace {
    int row = 0;
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
    Qt::Alignment alignment;
};

// One property as written in the template.
struct Property {
    QString name;
    bool dynamic = false;
    QVariant value;
};

class TemplateReader {
public:
    TemplateReader(QIODevice& device, QDialog& dialog) : m_xml(&device), m_dialog(dialog) {}

    bool read(QString* error);

private:
    bool failed() const { return !m_error.isEmpty() || m_xml.hasError(); }
    void fail(const QString& reason);

    void readWidgetBody(QWidget* widget, bool top);
    QWidget* readControl(QWidget* parent);
    QLayout* readLayout(QWidget* owner);
    void readItem(QLayout* layout, QWidget* owner);
    QSpacerItem* readSpacer();
    Property readProperty();
    QVariant readValue();
    int readNumberChild(const char* name);
    Qt::Alignment alignmentOf(const QString& text);

    void applyToWidget(QWidget* widget, const Property& property, bool top);
    void applyToLayout(QLayout* layout, const Property& property);
    void addToLayout(QLayout* layout, QWidget* widget, QLayout* inner, QSpacerItem* spacer,
                     const ItemPlace& place);
    void resolveBuddies();

    QXmlStreamReader m_xml;
    QDialog& m_dialog;
    QString m_error;
    std::vector<std::pair<QLabel*, QString>> m_buddies;
};

void TemplateReader::fail(const QString& reason) {
    if (m_error.isEmpty())
        m_error = QStringLiteral("line %1: %2").arg(m_xml.lineNumber()).arg(reason);
}

bool TemplateReader::read(QString* error) {
    bool sawWidget = false;
    if (m_xml.readNextStartElement() && m_xml.name() == QLatin1String("ui")) {
        while (!failed() && m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("widget") && !sawWidget) {
                sawWidget = true;
                readWidgetBody(&m_dialog, true);
            } else {
                m_xml.skipCurrentElement();
            }
        }
    } else {
        fail(QStringLiteral("not a dialog template"));
    }
    if (!failed() && !sawWidget)
        fail(QStringLiteral("the template has no dialog"));
    if (m_xml.hasError() && m_error.isEmpty())
        m_error = QStringLiteral("line %1: %2").arg(m_xml.lineNumber()).arg(m_xml.errorString());
    if (!failed())
        resolveBuddies();
    if (error)
        *error = m_error;
    return m_error.isEmpty();
}

void TemplateReader::readWidgetBody(QWidget* widget, bool top) {
    while (!failed() && m_xml.readNextStartElement()) {
        const auto element = m_xml.name();
        if (element == QLatin1String("property")) {
            applyToWidget(widget, readProperty(), top);
        } else if (element == QLatin1String("widget")) {
            readControl(widget);
        } else if (element == QLatin1String("layout")) {
            if (QLayout* layout = readLayout(widget))
                widget->setLayout(layout);
        } else {
            m_xml.skipCurrentElement();
        }
    }
}

QWidget* TemplateReader::readControl(QWidget* parent) {
    const QString className = m_xml.attributes().value(QLatin1String("class")).toString();
    QWidget* control = makeControl(className, parent);
    if (!control) {
        fail(QStringLiteral("no control of the class \"%1\"").arg(className));
        return nullptr;
    }
    control->setObjectName(m_xml.attributes().value(QLatin1String("name")).toString());
    readWidgetBody(control, false);
    return control;
}

QLayout* TemplateReader::readLayout(QWidget* owner) {
    const QString className = m_xml.attributes().value(QLatin1String("class")).toString();
    QLayout* layout = makeLayout(className);
    if (!layout) {
        fail(QStringLiteral("no layout of the class \"%1\"").arg(className));
        return nullptr;
    }
    layout->setObjectName(m_xml.attributes().value(QLatin1String("name")).toString());
    const QString rowStretch = m_xml.attributes().value(QLatin1String("rowstretch")).toString();
    const QString columnStretch =
        m_xml.attributes().value(QLatin1String("columnstretch")).toString();
    while (!failed() && m_xml.readNextStartElement()) {
        if (m_xml.name() == QLatin1String("property"))
            applyToLayout(layout, readProperty());
        else if (m_xml.name() == QLatin1String("item"))
            readItem(layout, owner);
        else
            m_xml.skipCurrentElement();
    }
    // How a grid shares out the room beyond its minimum: one factor per row or column.
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        const auto factors = [](const QString& list) {
            return list.split(QLatin1Char(','), Qt::SkipEmptyParts);
        };
        const QStringList rows = factors(rowStretch);
        for (int i = 0; i < rows.size(); ++i)
            grid->setRowStretch(i, rows[i].trimmed().toInt());
        const QStringList columns = factors(columnStretch);
        for (int i = 0; i < columns.size(); ++i)
            grid->setColumnStretch(i, columns[i].trimmed().toInt());
    }
    return layout;
}

void TemplateReader::readItem(QLayout* layout, QWidget* owner) {
    const QXmlStreamAttributes attributes = m_xml.attributes();
    const auto number = [&attributes](const char* name, int fallback) {
        const auto text = attributes.value(QLatin1String(name));
        return text.isEmpty() ? fallback : text.toInt();
    };
    ItemPlace place;
    place.row = number("row", 0);
    place.column = number("column", 0);
    place.rowSpan = number("rowspan", 1);
    place.columnSpan = number("colspan", 1);
    place.alignment = alignmentOf(attributes.value(QLatin1String("alignment")).toString());
    while (!failed() && m_xml.readNextStartElement()) {
        const auto element = m_xml.name();
        if (element == QLatin1String("widget")) {
            if (QWidget* control = readControl(owner))
                addToLayout(layout, control, nullptr, nullptr, place);
        } else if (element == QLatin1String("layout")) {
            if (QLayout* inner = readLayout(owner))
                addToLayout(layout, nullptr, inner, nullptr, place);
        } else if (element == QLatin1String("spacer")) {
            addToLayout(layout, nullptr, nullptr, readSpacer(), place);
        } else {
            m_xml.skipCurrentElement();
        }
    }
}

QSpacerItem* TemplateReader::readSpacer() {
    Qt::Orientation orientation = Qt::Horizontal;
    QSize size(0, 0);
    while (!failed() && m_xml.readNextStartElement()) {
        if (m_xml.name() != QLatin1String("property")) {
            m_xml.skipCurrentElement();
            continue;
        }
        const Property property = readProperty();
        if (property.name == QLatin1String("orientation"))
            orientation = property.value.toString().endsWith(QLatin1String("Vertical"))
                              ? Qt::Vertical
                              : Qt::Horizontal;
        else if (property.name == QLatin1String("sizeHint"))
            size = property.value.toSize();
    }
    return orientation == Qt::Horizontal
               ? new QSpacerItem(size.width(), size.height(), QSizePolicy::Expanding,
                                 QSizePolicy::Minimum)
               : new QSpacerItem(size.width(), size.height(), QSizePolicy::Minimum,
                                 QSizePolicy::Expanding);
}

Property TemplateReader::readProperty() {
    Property property;
    property.name = m_xml.attributes().value(QLatin1String("name")).toString();
    property.dynamic = m_xml.attributes().value(QLatin1String("stdset")) == QLatin1String("0");
    if (m_xml.readNextStartElement()) {
        property.value = readValue();
        // Anything after the value belongs to no property the reader knows.
        while (m_xml.readNextStartElement())
            m_xml.skipCurrentElement();
    }
    return property;
}

QVariant TemplateReader::readValue() {
    const QString type = m_xml.name().toString();
    if (type == QLatin1String("rect")) {
        const int x = readNumberChild("x");
        const int y = readNumberChild("y");
        const int width = readNumberChild("width");
        const int height = readNumberChild("height");
        m_xml.skipCurrentElement();
        return QRect(x, y, width, height);
    }
    if (type == QLatin1String("size")) {
        const int width = readNumberChild("width");
        const int height = readNumberChild("height");
        m_xml.skipCurrentElement();
        return QSize(width, height);
    }
    const QString text = m_xml.readElementText();
    if (type == QLatin1String("string") || type == QLatin1String("enum") ||
        type == QLatin1String("set"))
        return text;
    if (type == QLatin1String("cstring"))
        return text.toUtf8();
    if (type == QLatin1String("number"))
        return text.toInt();
    if (type == QLatin1String("double"))
        return text.toDouble();
    if (type == QLatin1String("bool"))
        return text == QLatin1String("true");
    if (type == QLatin1String("pixmap"))
        return QPixmap(text);
    fail(QStringLiteral("no property value of the type \"%1\"").arg(type));
    return {};
}

int TemplateReader::readNumberChild(const char* name) {
    if (!m_xml.readNextStartElement() || m_xml.name() != QLatin1String(name)) {
        fail(QStringLiteral("\"%1\" expected").arg(QLatin1String(name)));
        return 0;
    }
    return m_xml.readElementText().toInt();
}

Qt::Alignment TemplateReader::alignmentOf(const QString& text) {
    if (text.isEmpty())
        return {};
    bool ok = false;
    const int value =
        QMetaEnum::fromType<Qt::Alignment>().keysToValue(text.toLatin1().constData(), &ok);
    if (!ok)
        fail(QStringLiteral("no alignment \"%1\"").arg(text));
    return ok ? Qt::Alignment(value) : Qt::Alignment{};
}

void TemplateReader::applyToWidget(QWidget* widget, const Property& property, bool top) {
    if (failed() || !property.value.isValid())
        return;
    if (property.dynamic) {
        widget->setProperty(property.name.toLatin1().constData(), property.value);
        return;
    }
    if (top && property.name == QLatin1String("geometry")) {
        // The dialog takes only its size; its place is the framework's.
        widget->resize(property.value.toRect().size());
        return;
    }
    if (property.name == QLatin1String("buddy")) {
        if (auto* label = qobject_cast<QLabel*>(widget))
            m_buddies.emplace_back(label, property.value.toString());
        return;
    }
    const QByteArray name = property.name.toLatin1();
    if (widget->metaObject()->indexOfProperty(name.constData()) < 0 ||
        !widget->setProperty(name.constData(), property.value))
        fail(QStringLiteral("cannot set \"%1\" of %2").arg(property.name, widget->objectName()));
}

void TemplateReader::applyToLayout(QLayout* layout, const Property& property) {
    if (failed())
        return;
    QMargins margins = layout->contentsMargins();
    const int value = property.value.toInt();
    if (property.name == QLatin1String("leftMargin"))
        margins.setLeft(value);
    else if (property.name == QLatin1String("topMargin"))
        margins.setTop(value);
    else if (property.name == QLatin1String("rightMargin"))
        margins.setRight(value);
    else if (property.name == QLatin1String("bottomMargin"))
        margins.setBottom(value);
    else if (!layout->setProperty(property.name.toLatin1().constData(), property.value))
        fail(QStringLiteral("cannot set \"%1\" of %2").arg(property.name, layout->objectName()));
    layout->setContentsMargins(margins);
}

void TemplateReader::addToLayout(QLayout* layout, QWidget* widget, QLayout* inner,
                                 QSpacerItem* spacer, const ItemPlace& place) {
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        if (widget)
            grid->addWidget(widget, place.row, place.column, place.rowSpan, place.columnSpan,
                            place.alignment);
        else if (inner)
            grid->addLayout(inner, place.row, place.column, place.rowSpan, place.columnSpan,
                            place.alignment);
        else
            grid->addItem(spacer, place.row, place.column, place.rowSpan, place.columnSpan,
                          place.alignment);
        return;
    }
    auto* box = static_cast<QBoxLayout*>(layout);
    if (widget)
        box->addWidget(widget, 0, place.alignment);
    else if (inner)
        box->addLayout(inner);
    else
        box->addItem(spacer);
}

void TemplateReader::resolveBuddies() {
    for (const auto& [label, name] : m_buddies) {
        auto* buddy = m_dialog.findChild<QWidget*>(name);
        if (!buddy) {
            fail(QStringLiteral("no control \"%1\" for the label %2")
                     .arg(name, label->objectName()));
            return;
        }
        label->setBuddy(buddy);
    }
}

} // namespace

bool BuildDialogTemplate(QIODevice& device, QDialog& dialog, QString* error) {
    return TemplateReader(device, dialog).read(error);
}

bool LoadDialogTemplate(const QString& name, QDialog& dialog, QString* error) {
    QFile file(QStringLiteral(":/dialogs/%1.ui").arg(name));
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("no dialog template \"%1\"").arg(name);
        return false;
    }
    return BuildDialogTemplate(file, dialog, error);
}

} // namespace tarvo
