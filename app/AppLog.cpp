#include "app/AppLog.h"

Q_LOGGING_CATEGORY(lcApp, "quindorel.app", QtInfoMsg)
