#pragma once

#include <QString>

#include "settings/SettingsStore.h"

namespace quindorel {

// The settings store on QSettings: on Windows the registry branch
// HKEY_CURRENT_USER\Software\<application>\<section>, one string value per
// key; elsewhere the INI file <config dir>/<application>.conf with one group
// per section. `configDirectory` overrides the folder (tests); empty means the
// user's configuration folder ($XDG_CONFIG_HOME or ~/.config).
class QtSettingsStore : public SettingsStore {
public:
    explicit QtSettingsStore(const QString& configDirectory = {});

    QString getSetting(const QString& application, const QString& section, const QString& key,
                       const QString& defaultValue) override;
    void saveSetting(const QString& application, const QString& section, const QString& key,
                     const QString& value) override;

    // Where the values of `application` live, for messages and the README.
    QString location(const QString& application) const;

private:
    QString configDirectory_;
};

}  // namespace quindorel
