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

// Why the calendars cannot be printed in `family`, for the statuses of the
// font and the text (FontUnavailable, FontLacksCharacters, TextRightToLeft,
// FontNeedsTrueType) with their detail; and, where `standIn` prints in place
// of `family`, that too. The preview shows the same words as the message of
// "Dokončit".
QString fontNotice(Calendar::YearResult::Status status, const QString &family, const QString &detail,
                   const QString &standIn = QString());

// That `standIn` prints in place of `family`, which is not installed.
QString standInNotice(const QString &family, const QString &standIn);

// What a print shop's checks found, a line for each rule broken with its
// worst value and the pages it is on; empty where they found nothing.
QString preflightNotice(const QVector<Calendar::PreflightFinding> &findings);

// That `embedded` prints in place of `family`, a built-in font of the PDF
// viewer, which a print shop's file cannot hold.
QString builtInFontNotice(const QString &family, const QString &embedded);

#endif // LUNORIS_YEARMESSAGE_H
