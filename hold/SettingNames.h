#pragma once

#include <QString>

#include "platform/Platform.h"
#include "settings/ProgramSettings.h"

namespace quindorel {

// The hold's saved choices, named here beside the procedures that save them,
// in the program's section (settings/ProgramSettings.h).
namespace setting {
inline const QString kText1 = QStringLiteral("Text1");
inline const QString kOftenIndex = QStringLiteral("OftenIndex");
inline const QString kBackupSwitch = QStringLiteral("BackupSwitch");
inline const QString kOption1 = QStringLiteral("Option1");
inline const QString kOption2 = QStringLiteral("Option2");
// The user's own start/stop key, by name ("Ctrl+F9"); empty: none.
inline const QString kToggleKey = QStringLiteral("ToggleKey");
}  // namespace setting

inline QString getSetting(Platform& platform, const QString& key, const QString& defaultValue) {
    return platform.settings().getSetting(setting::kApplication, setting::kSection, key,
                                          defaultValue);
}

inline void saveSetting(Platform& platform, const QString& key, const QString& value) {
    platform.settings().saveSetting(setting::kApplication, setting::kSection, key, value);
}

}  // namespace quindorel
