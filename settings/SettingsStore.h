#pragma once

#include <QString>

namespace quindorel {

// The per-user store of named text values, addressed by application, section
// and key. Reading never creates anything; writing creates what it needs.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual QString getSetting(const QString& application, const QString& section,
                               const QString& key, const QString& defaultValue) = 0;
    virtual void saveSetting(const QString& application, const QString& section, const QString& key,
                             const QString& value) = 0;
    // Puts every write made so far on disk now.
    virtual void flush() {}
};

}  // namespace quindorel
