#pragma once

// The logging category of keys/ (quindorel.keys): switch it on with QT_LOGGING_RULES.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcKeys)
