#pragma once

// The logging category of settings/ (quindorel.settings): switch it on with QT_LOGGING_RULES.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSettings)
