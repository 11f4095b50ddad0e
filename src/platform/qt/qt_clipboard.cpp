// The clipboard of the window system.
#include "platform/qt/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace platform::qt {

void QtClipboard::setText(const std::string& plain, const std::string& raw) {
    // One piece of data with both forms, so that whoever reads it later finds them together.
    auto* data = new QMimeData;
    data->setText(QString::fromUtf8(plain.data(), static_cast<qsizetype>(plain.size())));
    data->setData(kLabelCellsMimeType, QByteArray(raw.data(), static_cast<qsizetype>(raw.size())));
    QGuiApplication::clipboard()->setMimeData(data);
}

bool QtClipboard::raw(std::string& raw) const {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasFormat(kLabelCellsMimeType))
        return false;
    const QByteArray bytes = data->data(kLabelCellsMimeType);
    raw.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return true;
}

std::string QtClipboard::text() const {
    return QGuiApplication::clipboard()->text().toStdString();
}

} // namespace platform::qt
