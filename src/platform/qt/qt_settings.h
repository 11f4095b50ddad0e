// The settings store of the desktop: an INI-style file through QSettings, by default the user's
// ~/.config/<organisation>/<application>.conf.
#pragma once

#include "platform/settings.h"

#include <QSettings>

namespace platform::qt {

// The names the user's settings file is filed under; the program gives them to the application
// object before it makes its store.
inline constexpr const char* kOrganisationName = "Tarvo++";
inline constexpr const char* kApplicationName = "Tarvo++";

class QtSettings final : public Settings {
public:
    // The user's file of the application object's organisation and application names.
    QtSettings();
    // The INI file at `path`.
    explicit QtSettings(const QString& path);

    int integer(std::string_view key, int fallback) const override;
    std::string text(std::string_view key, std::string_view fallback) const override;
    // Each value goes to the file at once, so that a later crash does not take it.
    void setInteger(std::string_view key, int value) override;
    void setText(std::string_view key, std::string_view value) override;

    QString fileName() const { return m_settings.fileName(); }

private:
    QSettings m_settings;
};

} // namespace platform::qt
