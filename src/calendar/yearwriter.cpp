#include "yearwriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace Calendar {

namespace {

// Opening for writing is the test that the month can be written at all. It
// appends instead of truncating, so that an earlier calendar in its place
// survives whole if the month fails later on.
bool passesWriteTest(const QString &path)
{
    QFile file(path);
    const bool writable = file.open(QIODevice::WriteOnly | QIODevice::Append);
    file.close();
    return writable;
}

bool saveWhole(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    // A folder that takes no new files but has a writable file in place is
    // written directly, as the write test promised.
    file.setDirectWriteFallback(true);
    // Unbuffered, so that a full disk fails the write itself and is not lost
    // in a flush on closing.
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)
           && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

YearResult writeYear(const YearRequest &request)
{
    YearResult result;
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
        if (month.ok() && saveWhole(path, month.bytes)) {
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
