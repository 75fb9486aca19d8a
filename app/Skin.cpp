#include "app/Skin.h"

#include <QDir>

#include "common/FileExists.h"

namespace quindorel {

QString skinPath(const QString& programFolder) {
    return programFolder + QDir::separator() + QStringLiteral("x") + QDir::separator() +
           QStringLiteral("o.cjs");
}

void applySkin(QWidget* form, const QString& programFolder) {
    Q_UNUSED(form);
    if (!fileExists(skinPath(programFolder))) {
        return;  // no skin: the designed white look
    }
    // Without a skin engine the designed colours are kept, as with no skin file.
}

}  // namespace quindorel
