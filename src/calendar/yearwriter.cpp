#include "yearwriter.h"

#include "filewriter.h"
#include "icalendar.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace Calendar {

namespace {

// Opening for writing is the test that the month can be written at all. It
// appends instead of truncating, so that an earlier calendar in its place
// survives whole if the month fails later on.
bool passesWriteTest(const QString &path)
{
    // A named pipe would block the window in open(); only a regular file or
    // nothing at all can take a calendar.
    if (!isWritablePlace(path))
        return false;
    QFile file(path);
    const bool writable = file.open(QIODevice::WriteOnly | QIODevice::Append);
    file.close();
    return writable;
}

bool within(double value, double minimum, double maximum)
{
    return std::isfinite(value) && value >= minimum && value <= maximum;
}

bool isInk(const Cmyk &color)
{
    return within(color.cyan, 0, 1) && within(color.magenta, 0, 1) && within(color.yellow, 0, 1)
           && within(color.black, 0, 1);
}

// Only what the form can produce: anything else would loop over years that
// never end, index past the shift colours or write nan into a PDF.
bool isValid(const YearRequest &request)
{
    const PageLook &look = request.look;
    return request.year >= FirstYear && request.year <= LastYear && request.firstShift >= 0
           && request.firstShift < ShiftCount && within(request.boxWidthMm, MinimumSize, MaximumSize)
           && within(request.boxHeightMm, MinimumSize, MaximumSize)
           && within(look.fontSizePt, MinimumSize, MaximumSize) && within(look.borderWidthPt, 0, MaximumBorderPt)
           && isInk(look.fontColor) && isInk(look.borderColor)
           && std::all_of(request.shiftColors.begin(), request.shiftColors.end(), isInk);
}

} // namespace

// Writes one file of the run: the write test, then the bytes `build` makes,
// replacing what was there only when they are complete. On failure says why
// in `result` and leaves no file that was not there before.
template<typename Build>
bool writeOne(const QString &path, Build build, YearResult &result)
{
    const bool existed = QFileInfo::exists(path);
    if (!passesWriteTest(path)) {
        result.status = YearResult::Status::CannotWrite;
        result.file = path;
        return false;
    }
    const MonthPdf file = build();
    if (file.ok() && replaceFile(path, file.bytes))
        return true;

    if (!existed)
        QFile::remove(path);
    result.file = path;
    switch (file.error) {
    case MonthPdf::Error::None:
        result.status = YearResult::Status::CannotWrite;
        break;
    case MonthPdf::Error::FontUnavailable:
        result.status = YearResult::Status::FontUnavailable;
        break;
    case MonthPdf::Error::PdfLibrary:
        result.status = YearResult::Status::PdfFailure;
        result.detail = file.detail;
        break;
    }
    return false;
}

YearResult writeYear(const YearRequest &request)
{
    YearResult result;
    if (!isValid(request)) {
        result.status = YearResult::Status::InvalidRequest;
        return result;
    }
    // An empty path would name the current directory, which always exists.
    if (request.folder.isEmpty() || !QFileInfo(request.folder).isDir()) {
        result.status = YearResult::Status::FolderMissing;
        return result;
    }

    const QDir folder(request.folder);
    const auto pathOf = [&folder](const QString &name) { return QFileInfo(folder, name).absoluteFilePath(); };
    QDate date(request.year, 1, 1);
    int shift = request.firstShift;
    while (date.year() == request.year) {
        const auto month = [&] {
            return renderMonth(date, shift, request.shiftColors, request.boxWidthMm, request.boxHeightMm,
                               request.look);
        };
        if (!writeOne(pathOf(monthFileName(date)), month, result))
            return result;
        ++result.monthsWritten;
    }

    if (request.yearSheet) {
        const auto sheet = [&] {
            return renderSheet(request.year, request.firstShift, request.shiftColors, request.boxWidthMm,
                               request.boxHeightMm, request.look);
        };
        if (!writeOne(pathOf(QStringLiteral("%1.pdf").arg(request.year)), sheet, result))
            return result;
    }
    if (request.phoneCalendars) {
        const QDateTime stamp = QDateTime::currentDateTimeUtc();
        for (int crew = 0; crew < ShiftCount; ++crew) {
            const auto calendar = [&] {
                MonthPdf file;
                file.bytes = crewCalendar(request.year, request.firstShift, crew, stamp);
                return file;
            };
            if (!writeOne(pathOf(crewCalendarFileName(request.year, crew)), calendar, result))
                return result;
        }
    }
    return result;
}

} // namespace Calendar
