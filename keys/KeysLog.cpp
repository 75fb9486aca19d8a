#include "keys/KeysLog.h"

Q_LOGGING_CATEGORY(lcKeys, "quindorel.keys", QtInfoMsg)
