// The settings store over QSettings.
#include "platform/qt/qt_settings.h"

#include "platform/qt/qt_text.h"

#include <QCoreApplication>
#include <QStringList>

namespace platform::qt {
namespace {

QString keyOf(std::string_view key) {
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

// What is stored at the key as text; nothing for a missing key, and for a list (a hand-written
// "a, b"), which is no single value.
std::optional<QString> storedText(const QSettings& settings, std::string_view key) {
    const QVariant value = settings.value(keyOf(key));
    if (!value.isValid() || value.typeId() == QMetaType::QStringList)
        return std::nullopt;
    return value.toString();
}

} // namespace

QtSettings::QtSettings()
    : m_settings(QSettings::NativeFormat, QSettings::UserScope,
                 QCoreApplication::organizationName(), QCoreApplication::applicationName()) {}

QtSettings::QtSettings(const QString& path) : m_settings(path, QSettings::IniFormat) {}

int QtSettings::integer(std::string_view key, int fallback) const {
    const std::optional<QString> stored = storedText(m_settings, key);
    if (!stored)
        return fallback;
    return ParseWholeNumber(stored->toStdString()).value_or(fallback);
}

std::string QtSettings::text(std::string_view key, std::string_view fallback) const {
    const std::optional<QString> stored = storedText(m_settings, key);
    return stored ? fromQString(*stored) : std::string(fallback);
}

void QtSettings::setInteger(std::string_view key, int value) {
    m_settings.setValue(keyOf(key), value);
    m_settings.sync();
}

void QtSettings::setText(std::string_view key, std::string_view value) {
    m_settings.setValue(keyOf(key), toQString(std::string(value)));
    m_settings.sync();
}

} // namespace platform::qt
