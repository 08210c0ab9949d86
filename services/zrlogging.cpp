#include "services/zrlogging.h"

Q_LOGGING_CATEGORY(lcZRPlayer, "zrplayer", QtWarningMsg)
