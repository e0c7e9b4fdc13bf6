#ifndef LUNORIS_YEARMESSAGE_H
#define LUNORIS_YEARMESSAGE_H

#include "calendar/yearwriter.h"

#include <QString>

// What the user is told at the end of a run of "Dokončit".
struct YearMessage
{
    bool success = false; // an information box, else a critical one
    QString title;
    QString text;
};

YearMessage yearMessage(const Calendar::YearResult &result, const QString &folder,
                        const QString &fontFamily);

#endif // LUNORIS_YEARMESSAGE_H
