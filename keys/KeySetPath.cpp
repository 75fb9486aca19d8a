#include "keys/KeySetPath.h"

#include "QuindorelConfig.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "common/ProgramFile.h"
#include "common/RuntimeError.h"

namespace quindorel {

namespace {

[[maybe_unused]] QString privateCacheFolder() {
    const QString folder =
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
            .filePath(QStringLiteral("Marvenhal"));
    if (!QDir().exists(folder)) {
        if (!QDir().mkpath(folder)) {
            throw RuntimeError(RuntimeError::Code::PathNotFound, folder);
        }
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return folder;
}

}  // namespace

QString keySetPath() {
    const QString temp = qEnvironmentVariable("TEMP");
#if QUINDOREL_WINDOWS
    // Windows always has a temporary folder of the user's (TMP, USERPROFILE).
    const QString folder = temp.isEmpty() ? QDir::toNativeSeparators(QDir::tempPath()) : temp;
#else
    const QString folder = temp.isEmpty() ? privateCacheFolder() : temp;
#endif
    return folder + QDir::separator() + QLatin1String(kKeySetFileName);
}

QString seedKeySetPath(const QString& programFolder) {
    return programFile(programFolder, QLatin1String(kKeySetFileName));
}

}  // namespace quindorel
