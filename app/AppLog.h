#pragma once

// The logging category of app/ (quindorel.app): switch it on with QT_LOGGING_RULES.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcApp)
