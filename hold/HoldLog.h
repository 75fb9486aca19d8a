#pragma once

// The logging category of hold/ (quindorel.hold): switch it on with QT_LOGGING_RULES.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcHold)
