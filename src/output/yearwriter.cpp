#include "yearwriter.h"

#include "filenames.h"
#include "filewriter.h"
#include "icalendar.h"
#include "fonts/glyphoutlines.h"
#include "model/characters.h"
#include "render/calendarpdf.h"
#include "render/pdffont.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace Calendar {

namespace {

// Opening for writing is the test that the file can be written at all. It
// appends instead of truncating, so that an earlier calendar in its place
// survives whole if the file fails later on.
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

bool isValid(const YearRequest &request)
{
    return request.year >= FirstYear && request.year <= LastYear && request.firstCrew >= 0
           && request.firstCrew < request.look.rota.crews && request.look.isValid();
}

// Writes one file of the run: the write test, then the bytes `build` makes,
// staged in `batch` to replace what was there once they are complete (or
// written in place at once where the folder takes no new files). On failure
// says why in `result` and leaves no file that was not there before.
template<typename Build>
bool writeOne(const QString &path, Build build, FileBatch &batch, YearResult &result)
{
    const bool existed = QFileInfo::exists(path);
    if (!passesWriteTest(path)) {
        result.status = YearResult::Status::CannotWrite;
        result.file = path;
        return false;
    }
    const PdfBytes file = build();
    if (file.ok()) {
        switch (batch.stage(path, file.bytes, &result.detail)) {
        case FileBatch::Staged::Written:
            return true;
        case FileBatch::Staged::NoRoom:
            if (rewriteInPlace(path, file.bytes, &result.detail))
                return true;
            break;
        case FileBatch::Staged::Failed:
            break;
        }
    }
    if (!existed)
        QFile::remove(path);
    result.file = path;
    result.status = file.ok() ? YearResult::Status::CannotWrite : YearResult::Status::PdfFailure;
    result.detail = file.detail;
    return false;
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
    return false;
}

} // namespace

TextCheck checkText(const PdfFontSource &source, const GlyphOutlines &glyphs, const YearRequest &request, bool card)
{
    const Look &look = request.look;
    const QString months = printableCharacters(look);
    const QString cardText = card ? cardCharacters(request.year, request.firstCrew, look) : QString();
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
    const PdfFontSource source = resolvePdfFont(look.font);
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
        m_font->measure(printableCharacters(look) + (walletCard ? cardCharacters(year, firstCrew, look) : QString()));
    QString printed;
    for (int month = 1; month <= 12; ++month) {
        m_months.append(layOutMonth(year, month, firstCrew, look, text));
        printed += m_months.last().text();
    }
    if (walletCard)
        m_card = layOutCard(year, firstCrew, look, text);
    // The card prints many letters the months do not: a font of its own
    // keeps the months' files as they are without it, and as small.
    bool prepared = m_font->prepare(fontCharacters(look, printed), &m_problem);
    if (prepared && walletCard) {
        m_cardFont = std::make_unique<PdfRunFont>(source);
        prepared = m_cardFont->isOpen()
                   && m_cardFont->prepare(fontCharacters(look, m_card.front.text() + m_card.back.text()), &m_problem);
    }
    if (!prepared && m_problem.isEmpty())
        m_problem = QStringLiteral("?");
}

YearCalendars::~YearCalendars() = default;

PdfBytes YearCalendars::month(int month) const
{
    if (!m_problem.isEmpty())
        return {{}, true, m_problem};
    return renderMonth(*m_font, m_months.at(month - 1));
}

QSizeF YearCalendars::sheetPageMm() const
{
    const Look &look = m_request.look;
    return layOutSheet(pageSizeMm(look.boxWidthMm, look.boxHeightMm), 12).first().sizeMm;
}

PdfBytes YearCalendars::sheet() const
{
    if (!m_problem.isEmpty())
        return {{}, true, m_problem};
    const Look &look = m_request.look;
    return renderSheet(*m_font, m_months, layOutSheet(pageSizeMm(look.boxWidthMm, look.boxHeightMm), 12));
}

CardPdfs YearCalendars::cardFiles() const
{
    if (!m_problem.isEmpty())
        return {{{}, true, m_problem}, {{}, true, m_problem}};
    return renderCardFiles(*m_cardFont, m_card);
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
        for (int crew = 0; crew < request.look.rota.crews; ++crew) {
            const auto build = [&] {
                return PdfBytes{crewCalendar(request.look.rota, request.year, request.firstCrew, crew, stamp), false, {}};
            };
            if (!writeOne(pathOf(crewCalendarFileName(request.year, crew)), build, batch, result))
                return fail();
        }
    }
    commit(batch, result);
    return result;
}

} // namespace Calendar
