#pragma once

#include <QMap>
#include <QStringList>

#include "settings/ProgramSettings.h"
#include "settings/SettingsStore.h"

namespace quindorel {

// An in-memory settings store that records every write as "key=value".
class FakeSettingsStore : public SettingsStore {
public:
    QMap<QString, QString> values;  // "application/section/key" -> text
    QStringList writes;

    QString getSetting(const QString& application, const QString& section, const QString& key,
                       const QString& defaultValue) override {
        return values.value(path(application, section, key), defaultValue);
    }
    void saveSetting(const QString& application, const QString& section, const QString& key,
                     const QString& value) override {
        values.insert(path(application, section, key), value);
        writes << key + QLatin1Char('=') + value;
    }

    // Shorthand for the program's own section.
    QString value(const QString& key) const {
        return values.value(path(setting::kApplication, setting::kSection, key));
    }
    bool contains(const QString& key) const {
        return values.contains(path(setting::kApplication, setting::kSection, key));
    }
    void set(const QString& key, const QString& text) {
        values.insert(path(setting::kApplication, setting::kSection, key), text);
    }

private:
    static QString path(const QString& application, const QString& section, const QString& key) {
        return application + QLatin1Char('/') + section + QLatin1Char('/') + key;
    }
};

}  // namespace quindorel
