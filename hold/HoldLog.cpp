#include "hold/HoldLog.h"

Q_LOGGING_CATEGORY(lcHold, "quindorel.hold", QtInfoMsg)
