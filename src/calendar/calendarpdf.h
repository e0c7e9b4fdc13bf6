#ifndef LUNORIS_CALENDARPDF_H
#define LUNORIS_CALENDARPDF_H

#include "pagemodel.h"
#include "sheet.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace Calendar {

class PdfRunFont;

// A calendar's PDF built in memory, or the PDF library's own words for why it
// could not be built.
struct PdfBytes
{
    QByteArray bytes;
    bool failed = false;
    QString detail;

    bool ok() const { return !failed; }
};

// The calendar of one month: a page of the model's size, a PDF 1.3 in compact
// mode, in the run's font (prepared). Never throws.
PdfBytes renderMonth(const PdfRunFont &font, const MonthModel &model);

// The print sheet of the year: the twelve months' cards, each drawn as its
// own file and cut to its size, at their true size on the pages of `sheet`
// with crop marks, in one document. Never throws.
PdfBytes renderSheet(const PdfRunFont &font, const QVector<MonthModel> &months, const QVector<SheetPage> &sheet);

} // namespace Calendar

#endif // LUNORIS_CALENDARPDF_H
