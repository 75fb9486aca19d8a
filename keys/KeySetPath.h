#pragma once

#include <QString>

namespace quindorel {

inline constexpr const char* kKeySetFileName = "xsettings.txt";

// Where the key set is kept: TEMP followed by the path separator and the file
// name; with TEMP unset or empty, never the filesystem root: on Windows the
// system's temporary folder for the user (GetTempPath), elsewhere the user's
// own cache folder for the program (created, owner-only). Throws a
// RuntimeError when that folder cannot be made.
QString keySetPath();

// The default key set that comes with the program (see programFile).
QString seedKeySetPath(const QString& programFolder);

}  // namespace quindorel
