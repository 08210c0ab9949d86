#ifndef ZRLOGGING_H
#define ZRLOGGING_H

#include <QLoggingCategory>

// The program's own debug lines: off unless turned on, e.g. QT_LOGGING_RULES="zrplayer.debug=true".
// Warnings of the category stay on.
Q_DECLARE_LOGGING_CATEGORY(lcZRPlayer)

#endif
