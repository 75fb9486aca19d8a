#pragma once

#include <QString>
#include <map>
#include <memory>

#include "settings/SettingsStore.h"

class QObject;
class QSettings;

namespace quindorel {

// The settings store on QSettings: on Windows the registry branch
// HKEY_CURRENT_USER\Software\<application>\<section>, one string value per
// key; elsewhere the INI file <config dir>/<application>.conf with one group
// per section. `configDirectory` overrides the folder (tests); empty means the
// user's configuration folder ($XDG_CONFIG_HOME or ~/.config). A file written
// is the user's alone (mode 0600), whatever the umask and however it was made.
//
// Each section is opened once and kept open. A write reaches the disk when
// control next returns to the event loop (several writes of one event go out
// together), at flush(), or when the store is destroyed.
class QtSettingsStore : public SettingsStore {
public:
    explicit QtSettingsStore(const QString& configDirectory = {});
    ~QtSettingsStore() override;

    QString getSetting(const QString& application, const QString& section, const QString& key,
                       const QString& defaultValue) override;
    void saveSetting(const QString& application, const QString& section, const QString& key,
                     const QString& value) override;
    void flush() override;

    // Until the next flush(), writes wait for it instead of the next turn of
    // the event loop: start-up changes settings before its window is painted,
    // and a write waits for the disk.
    void holdWritesUntilFlush();

    // Where the values of `application` live, for messages and the README.
    QString location(const QString& application) const;

private:
    QSettings& open(const QString& application, const QString& section);
    void prepareFiles();

    QString configDirectory_;
    std::map<QString, bool> files_;  // each file written to, and whether its mode is seen to yet
    std::unique_ptr<QObject> beforeWrite_;  // sees to the files' mode as Qt is about to write
    std::map<QString, std::unique_ptr<QSettings>> open_;  // by "application/section"
    std::unique_ptr<QObject> writeHold_;                  // swallows each section's write request
};

}  // namespace quindorel
