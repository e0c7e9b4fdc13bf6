#include "yearwriter.h"

#include "filenames.h"
#include "filewriter.h"
#include "hoursfile.h"
#include "icalendar.h"
#include "fonts/glyphoutlines.h"
#include "model/characters.h"
#include "render/calendarpdf.h"
#include "render/pdffont.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace Calendar {

namespace {

// Opening for writing is the test that the file can be written at all. It
// appends instead of truncating, so that an earlier calendar in its place
// survives whole if the file fails later on. On failure says why.
bool passesWriteTest(const QString &path, QString *reason)
{
    // A link in the folder is replaced, never opened: opening would write
    // through it, or create the file it points to, outside the folder.
    // Whether the folder takes the file beside it is the staging's to tell.
    if (QFileInfo(path).isSymLink())
        return true;
    // A named pipe would block the window in open(); only a regular file or
    // nothing at all can take a calendar.
    if (!isWritablePlace(path)) {
        *reason = notAPlaceToWrite(path);
        return false;
    }
#ifdef Q_OS_UNIX
    // Not through a link that appeared since, either.
    const int file = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (file < 0) {
        *reason = writeFailure(errno);
        return false;
    }
    ::close(file);
    return true;
#else
    QFile file(path);
    const bool writable = file.open(QIODevice::WriteOnly | QIODevice::Append);
    if (!writable)
        *reason = file.errorString();
    return writable;
#endif
}

bool isValid(const YearRequest &request)
{
    return request.year >= FirstYear && request.year <= LastYear && request.firstCrew >= 0
           && request.firstCrew < request.look.rota.crews && request.look.isValid()
           && (!request.hoursFile || (request.hoursCrew >= 0 && request.hoursCrew < request.look.rota.crews));
}

// Writes one file of the run: the write test, then the bytes `build` makes,
// staged in `batch` to replace what was there once they are complete (or
// written in place at once where the folder takes no new files). On failure
// says why in `result` and leaves no file that was not there before.
template<typename Build>
bool writeOne(const QString &path, Build build, FileBatch &batch, YearResult &result)
{
    const QFileInfo info(path);
    const bool link = info.isSymLink();
    const bool existed = link || info.exists();
    QString reason;
    const auto failed = [&](YearResult::Status status, const QString &detail) {
        if (!existed)
            QFile::remove(path);
        result.status = status;
        result.file = path;
        result.detail = detail;
        return false;
    };
    if (!passesWriteTest(path, &reason))
        return failed(YearResult::Status::CannotWrite, reason);
    const PdfBytes file = build();
    if (!file.ok())
        return failed(YearResult::Status::PdfFailure, file.detail);
    switch (batch.stage(path, file.bytes, &reason)) {
    case FileBatch::Staged::Written:
        return true;
    case FileBatch::Staged::NoRoom:
        // Written in place only where that writes the folder's own file.
        if (!link && rewriteInPlace(path, file.bytes, &reason))
            return true;
        break;
    case FileBatch::Staged::Failed:
        break;
    }
    return failed(YearResult::Status::CannotWrite, reason);
}

// The shifts of `crew` in the request's year as phone events: a whole day
// for a kind worked all day, else its hours from its start on the roster's
// clock, into the next day where it goes on. One identifier per day and crew.
QVector<PhoneEvent> crewShifts(const YearRequest &request, int crew)
{
    const Look &look = request.look;
    const Rota &rota = look.rota;
    const QString crewSummary = QStringLiteral("Směna %1").arg(crewName(crew));
    QVector<PhoneEvent> shifts;
    for (QDate date(request.year, 1, 1); date.year() == request.year; date = date.addDays(1)) {
        const QString day = date.toString(QStringLiteral("yyyyMMdd"));
        // Leave is worth seeing among one's appointments; a sick day or a
        // shift given away is only a shift less.
        const DayChange *change = look.changeOn(crew, date);
        if (change && change->change == Change::Leave) {
            PhoneEvent leave;
            leave.uid = QStringLiteral("%1-%2-dovolena@lunoris.cz").arg(day, crewName(crew));
            leave.startDate = date;
            leave.endDate = date.addDays(1);
            leave.summary = QStringLiteral("%1 – %2").arg(changeName(Change::Leave), crewSummary);
            leave.busy = false;
            shifts.append(leave);
        }
        const QVector<QChar> codes = look.shiftsOn(crew, date, request.firstCrew);
        for (int index = 0; index < codes.size(); ++index) {
            const ShiftKind &kind = rota.kind(codes.at(index));
            PhoneEvent shift;
            // A day's shift keeps its identifier whatever kind it is; a second
            // one that day, an extra shift, has one of its own.
            shift.uid = index == 0 ? QStringLiteral("%1-%2@lunoris.cz").arg(day, crewName(crew))
                                   : QStringLiteral("%1-%2-%3@lunoris.cz").arg(day, crewName(crew)).arg(index + 1);
            shift.startDate = date;
            if (kind.isAllDay()) {
                shift.endDate = date.addDays(1);
            } else {
                // Wall-clock arithmetic, free of any zone: a shift ends at the
                // hour on the roster, also on the nights the clocks change.
                const QDateTime end = QDateTime(date, kind.start, Qt::UTC).addSecs(kind.hours * 3600);
                shift.startTime = kind.start;
                shift.endDate = end.date();
                shift.endTime = end.time();
            }
            shift.summary = rota.isDefault() ? crewSummary : QStringLiteral("%1 – %2").arg(kind.name, crewSummary);
            // A whole day of duty does not make the person busy all day in
            // shared calendars; the hours of a shift do.
            shift.busy = !kind.isAllDay();
            shifts.append(shift);
        }
    }
    return shifts;
}

// Puts the staged files in their places; a file that cannot be is the
// run's failure.
bool commit(FileBatch &batch, YearResult &result)
{
    QString failed, error;
    if (batch.commit(&failed, &error))
        return true;
    result.status = YearResult::Status::CannotWrite;
    result.file = failed;
    result.detail = error;
    return false;
}

} // namespace

TextCheck checkText(const PdfFontSource &source, const GlyphOutlines &glyphs, const YearRequest &request, bool card)
{
    const Look &look = request.look;
    const QString months = printableCharacters(look);
    QString cardText = card ? cardCharacters(request.year, request.firstCrew, look) : QString();
    if (card && request.cardPerCrew)
        cardText += crewCardCharacters(request.year, request.firstCrew, look);
    const auto lines = [](const QStringList &characters) { return characters.join(QLatin1Char('\n')); };
    // Each character once: a card prints hundreds of a few dozen kinds.
    QStringList characters;
    QSet<QString> seen;
    for (const QString &cluster : graphemeClusters(months + cardText)) {
        if (!seen.contains(cluster)) {
            seen.insert(cluster);
            characters << cluster;
        }
    }

    // Whatever the font, every line is set left to right.
    QStringList backwards;
    for (const QString &cluster : qAsConst(characters)) {
        bool rightToLeft = false;
        forEachCodePoint(cluster, [&](uint character) { rightToLeft = rightToLeft || isRightToLeft(character); });
        if (rightToLeft)
            backwards << cluster;
    }
    if (!backwards.isEmpty())
        return {YearResult::Status::TextRightToLeft, lines(backwards)};

    const QStringList lacking = glyphs.lacking(characters);
    if (!lacking.isEmpty())
        return {YearResult::Status::FontLacksCharacters, lines(lacking)};

    // Only a TrueType face becomes a composite font, which holds any letter.
    if (source.kind != PdfFontSource::Kind::TrueType) {
        for (const QString &document : {months, fontCharacters(look, cardText)}) {
            if (fitsSimpleFont(document))
                continue;
            QStringList beyond;
            forEachCodePoint(beyondWinAnsi(document),
                             [&](uint character) { beyond << QString::fromUcs4(&character, 1); });
            return {YearResult::Status::FontNeedsTrueType, lines(beyond)};
        }
    }
    return {};
}

YearRequest composed(YearRequest request)
{
    request.look.cardNote = request.look.cardNote.normalized(QString::NormalizationForm_C);
    return request;
}

YearCalendars::YearCalendars(const YearRequest &request)
    : m_request(composed(request))
{
    if (!m_request.look.rota.isValid()) {
        m_status = YearResult::Status::InvalidRota;
        m_detail = m_request.look.rota.problem();
        return;
    }
    if (!isValid(m_request)) {
        m_status = YearResult::Status::InvalidRequest;
        return;
    }

    // Every character the pages print must be in the face that is embedded,
    // or nothing is written at all.
    const Look &look = m_request.look;
    const int year = m_request.year;
    const int firstCrew = m_request.firstCrew;
    const bool walletCard = m_request.walletCard;
    const bool crewCards = walletCard && m_request.cardPerCrew;
    const PrintShop &printShop = look.printShop;
    // A print shop's files embed every font: a built-in one of the PDF
    // viewer is replaced by the face installed for it, and the user told.
    const PdfFontSource source = printShop.on ? resolveEmbeddedFont(look.font) : resolvePdfFont(look.font);
    if (printShop.on && isBuiltInPdfFont(look.font))
        m_builtInReplacedBy = source.resolvedFamily;
    if (source.standsIn)
        m_fontStandIn = source.resolvedFamily;
    m_font = std::make_unique<PdfRunFont>(source);
    const GlyphOutlines glyphs(source);
    if (!m_font->isOpen() || !glyphs.isOpen()) {
        m_status = YearResult::Status::FontUnavailable;
        return;
    }
    const TextCheck check = checkText(source, glyphs, m_request, walletCard);
    if (check.status != YearResult::Status::Written) {
        m_status = check.status;
        m_detail = check.detail;
        return;
    }
    const TextFont text =
        m_font->measure(printableCharacters(look) + (walletCard ? cardCharacters(year, firstCrew, look) : QString())
                        + (crewCards ? crewCardCharacters(year, firstCrew, look) : QString()));
    QString printed;
    for (int month = 1; month <= 12; ++month) {
        m_months.append(layOutMonth(year, month, firstCrew, look, text));
        printed += m_months.last().text();
    }
    if (walletCard)
        m_card = layOutCard(year, firstCrew, look, text);
    if (crewCards)
        m_crewCards = layOutCrewCards(year, firstCrew, look, text);
    // Checked before anything is written, on every page the run prints.
    if (printShop.on) {
        for (int month = 1; month <= 12; ++month)
            m_preflight += preflightMonth(m_months.at(month - 1), month, look, text);
        if (walletCard) {
            for (int side = 0; side < 2; ++side)
                m_preflight += preflightCard(side == 0 ? m_card.front : m_card.back, side, -1, look, text);
        }
        for (int crew = 0; crew < m_crewCards.size(); ++crew) {
            for (int side = 0; side < 2; ++side) {
                const CardModel &card = m_crewCards.at(crew);
                m_preflight += preflightCard(side == 0 ? card.front : card.back, side, crew, look, text);
            }
        }
    }
    // The card prints many letters the months do not: a font of its own
    // keeps the months' files as they are without it, and as small.
    bool prepared = m_font->prepare(fontCharacters(look, printed), &m_problem);
    if (prepared && walletCard) {
        QString cardText = m_card.front.text() + m_card.back.text();
        for (const CardModel &card : qAsConst(m_crewCards))
            cardText += card.front.text() + card.back.text();
        m_cardFont = std::make_unique<PdfRunFont>(source);
        prepared = m_cardFont->isOpen() && m_cardFont->prepare(fontCharacters(look, cardText), &m_problem);
    }
    if (!prepared && m_problem.isEmpty())
        m_problem = QStringLiteral("?");
}

YearCalendars::~YearCalendars() = default;

PdfBytes YearCalendars::month(int month) const
{
    if (!m_problem.isEmpty())
        return {{}, true, m_problem};
    return renderMonth(*m_font, m_months.at(month - 1), m_request.look.printShop.on);
}

namespace {

QVector<SheetPage> yearSheet(const Look &look)
{
    const QSizeF page = pageSizeMm(look.boxWidthMm, look.boxHeightMm);
    return look.printShop.on ? layOutPrintShopSheet(page, 12, look.printShop.bleedMm) : layOutSheet(page, 12);
}

PrintShopFile printShopFile(const Look &look, const QString &title)
{
    return {look.printShop.on, look.printShop.bleedMm, title};
}

} // namespace

QSizeF YearCalendars::sheetPageMm() const
{
    return yearSheet(m_request.look).first().sizeMm;
}

PdfBytes YearCalendars::sheet() const
{
    if (!m_problem.isEmpty())
        return {{}, true, m_problem};
    const Look &look = m_request.look;
    return renderSheet(*m_font, m_months, yearSheet(look),
                       printShopFile(look, QStringLiteral("Kalendáříky %1 – tiskový arch").arg(m_request.year)));
}

CardPdfs YearCalendars::cardFiles() const
{
    if (!m_problem.isEmpty())
        return {{{}, true, m_problem}, {{}, true, m_problem}};
    const Look &look = m_request.look;
    const int year = m_request.year;
    return renderCardFiles(*m_cardFont, m_card, m_crewCards,
                           printShopFile(look, QStringLiteral("Kartička do peněženky %1").arg(year)),
                           printShopFile(look, QStringLiteral("Kartičky do peněženky %1 k ořezu").arg(year)));
}

QString cardPlace(int side, int crew)
{
    const QString sideName = side == 0 ? QStringLiteral("přední strana") : QStringLiteral("zadní strana");
    return crew < 0 ? QStringLiteral("kartička, %1").arg(sideName)
                    : QStringLiteral("kartička směny %1, %2").arg(crewName(crew), sideName);
}

QVector<PreflightFinding> preflightMonth(const MonthModel &month, int monthNumber, const Look &look,
                                         const TextFont &font)
{
    return preflightPage({month}, month.pageArea(), monthName(monthNumber), look.printShop.inkLimit, font);
}

QVector<PreflightFinding> preflightCard(const CardFace &face, int side, int crew, const Look &look,
                                        const TextFont &font)
{
    return preflightPage(face.parts, QRectF(QPointF(0.0, -CardHeightMm), face.sizeMm()), cardPlace(side, crew),
                         look.printShop.inkLimit, font);
}

YearResult writeYear(const YearRequest &request)
{
    YearResult result;
    // An empty path would name the current directory, which always exists;
    // a request that is no calendar at all is refused before the folder.
    if ((request.folder.isEmpty() || !QFileInfo(request.folder).isDir()) && request.look.rota.isValid()
        && isValid(request)) {
        result.status = YearResult::Status::FolderMissing;
        return result;
    }
    const YearCalendars calendars(request);
    result.fontStandIn = calendars.fontStandIn();
    result.builtInReplacedBy = calendars.builtInReplacedBy();
    if (calendars.status() != YearResult::Status::Written) {
        result.status = calendars.status();
        result.detail = calendars.detail();
        return result;
    }

    // Every file of the run waits for the disk together; a failure puts the
    // files before it in their places all the same.
    const QDir folder(request.folder);
    const auto pathOf = [&folder](const QString &name) { return QFileInfo(folder, name).absoluteFilePath(); };
    FileBatch batch;
    const auto fail = [&] {
        YearResult failure = result;
        commit(batch, result);
        return failure;
    };
    for (int month = 1; month <= 12; ++month) {
        const auto build = [&] { return calendars.month(month); };
        if (!writeOne(pathOf(monthFileName(QDate(request.year, month, 1))), build, batch, result))
            return fail();
        ++result.monthsWritten;
    }
    if (request.yearSheet) {
        const auto build = [&] { return calendars.sheet(); };
        if (!writeOne(pathOf(sheetFileName(request.year)), build, batch, result))
            return fail();
        // A print shop prints on sheets of its own size.
        if (!request.look.printShop.on)
            result.sheetPageMm = calendars.sheetPageMm();
    }
    if (request.walletCard) {
        CardPdfs files;
        if (!writeOne(pathOf(cardFileName(request.year)),
                      [&] {
                          files = calendars.cardFiles();
                          return files.card;
                      },
                      batch, result)
            || !writeOne(pathOf(cardSheetFileName(request.year)), [&] { return files.sheet; },
                         batch, result))
            return fail();
    }
    if (request.phoneCalendars) {
        const QDateTime stamp = QDateTime::currentDateTimeUtc();
        for (int crew = 0; crew < MaximumCrews; ++crew) {
            const QString path = pathOf(crewCalendarFileName(request.year, crew));
            const QString name = QStringLiteral("Směna %1 %2").arg(crewName(crew)).arg(request.year);
            // The file it replaces is what phones were last given: the new
            // one updates and cancels from there. The file of a crew that
            // the rota no longer has is kept only to cancel its shifts.
            const QVector<PhoneEvent> published = readPhoneCalendarFile(path, name);
            const bool working = crew < request.look.rota.crews;
            const bool given = std::any_of(published.begin(), published.end(),
                                           [](const PhoneEvent &event) { return !event.cancelled; });
            if (!working && !given)
                continue;
            const auto build = [&] {
                const QVector<PhoneEvent> shifts = working ? crewShifts(request, crew) : QVector<PhoneEvent>();
                return PdfBytes{phoneCalendar(name, updateOf(published, shifts), stamp), false, {}};
            };
            if (!writeOne(path, build, batch, result))
                return fail();
        }
    }
    if (request.hoursFile) {
        const auto build = [&] {
            return PdfBytes{hoursSpreadsheet(workingTime(request.look, request.year, request.firstCrew, request.hoursCrew)),
                            false, {}};
        };
        if (!writeOne(pathOf(hoursFileName(request.year, request.hoursCrew)), build, batch, result))
            return fail();
    }
    // A warning does not keep the files from being written.
    result.preflight = calendars.preflight();
    commit(batch, result);
    return result;
}

} // namespace Calendar
