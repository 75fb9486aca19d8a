#include "common/FileExists.h"

#include <QFileInfo>

namespace quindorel {

bool fileExists(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    const QFileInfo info(path);
    return info.exists() && info.lastModified().isValid();
}

}  // namespace quindorel
