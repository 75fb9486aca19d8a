#pragma once

#include <QString>

namespace quindorel {

// A file that comes with the program: beside the program (a build folder, a
// copied folder) or, in an installed copy, in ../share/quindorel next to the
// folder of the program. Where neither holds it, the path beside the
// program, so that a report names the usual place.
QString programFile(const QString& programFolder, const QString& name);

}  // namespace quindorel
