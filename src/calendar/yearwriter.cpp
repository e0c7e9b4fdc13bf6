#include "yearwriter.h"

#include "filewriter.h"

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
    QDate date(request.year, 1, 1);
    int shift = request.firstShift;
    while (date.year() == request.year) {
        const QString path = QFileInfo(folder, monthFileName(date)).absoluteFilePath();
        const bool existed = QFileInfo::exists(path);
        if (!passesWriteTest(path)) {
            result.status = YearResult::Status::CannotWrite;
            result.file = path;
            return result;
        }

        const MonthPdf month = renderMonth(date, shift, request.shiftColors, request.boxWidthMm,
                                           request.boxHeightMm, request.look);
        if (month.ok() && replaceFile(path, month.bytes)) {
            ++result.monthsWritten;
            continue;
        }

        if (!existed)
            QFile::remove(path);
        result.file = path;
        switch (month.error) {
        case MonthPdf::Error::None:
            result.status = YearResult::Status::CannotWrite;
            break;
        case MonthPdf::Error::FontUnavailable:
            result.status = YearResult::Status::FontUnavailable;
            break;
        case MonthPdf::Error::PdfLibrary:
            result.status = YearResult::Status::PdfFailure;
            result.detail = month.detail;
            break;
        }
        return result;
    }
    return result;
}

} // namespace Calendar
