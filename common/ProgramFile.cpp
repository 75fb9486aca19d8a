#include "common/ProgramFile.h"

#include <QDir>

#include "common/FileExists.h"

namespace quindorel {

QString programFile(const QString& programFolder, const QString& name) {
    const QString beside = programFolder + QDir::separator() + name;
    if (fileExists(beside)) {
        return beside;
    }
    const QString shared =
        QDir::cleanPath(programFolder + QStringLiteral("/../share/quindorel/") + name);
    return fileExists(shared) ? QDir::toNativeSeparators(shared) : beside;
}

}  // namespace quindorel
