#pragma once

#include <QString>

namespace quindorel::setting {

// Where the program's choices are kept in the settings store: application
// "Marvenhal", section "Quindorel". The names of the choices belong to the
// floors that save them.
inline const QString kApplication = QStringLiteral("Marvenhal");
inline const QString kSection = QStringLiteral("Quindorel");

}  // namespace quindorel::setting
