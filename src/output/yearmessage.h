#ifndef LUNORIS_YEARMESSAGE_H
#define LUNORIS_YEARMESSAGE_H

#include "yearwriter.h"

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

// Why `family` cannot print the calendars: it cannot go into a PDF at all
// when `lacking` is empty, else it has no glyphs for `lacking`. The preview
// shows the same words as the message of "Dokončit".
QString fontNotice(const QString &family, const QString &lacking);

#endif // LUNORIS_YEARMESSAGE_H
