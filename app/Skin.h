#pragma once

#include <QString>

class QWidget;

namespace quindorel {

// The optional skin in the program's folder ("x/o.cjs"). Its format belongs to
// a skin engine this build does not carry, so the designed colours stay; this
// is the one place where such an engine would be plugged in.
QString skinPath(const QString& programFolder);
void applySkin(QWidget* form, const QString& programFolder);

}  // namespace quindorel
