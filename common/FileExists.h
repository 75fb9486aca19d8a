#pragma once

#include <QString>

namespace quindorel {

// True when the last-modified time of the file at `path` can be read; false
// on any failure (missing file or folder, malformed path). Never reports.
bool fileExists(const QString& path);

}  // namespace quindorel
