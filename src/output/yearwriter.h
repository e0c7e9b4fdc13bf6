#ifndef LUNORIS_YEARWRITER_H
#define LUNORIS_YEARWRITER_H

#include "model/look.h"
#include "model/preflight.h"
#include "render/calendarpdf.h"

#include <QString>
#include <QVector>

#include <memory>

namespace Calendar {

// Everything one run of "Dokončit" needs, gathered from the form.
struct YearRequest
{
    QString folder;    // exactly as the target-folder button shows it
    int year = FirstYear;
    int firstCrew = 0; // the crew at the start of the pattern on 1 January
    Look look;
    // Choices of the run, not of the look: also the year's print sheet
    // (yyyy.pdf) and each crew's shifts for phones (yyyy_A.ics, ...).
    bool yearSheet = false;
    bool phoneCalendars = false;
    // The year on a bank-card-sized card (yyyy_karta.pdf), and on A4 to cut
    // (yyyy_karty_A4.pdf).
    bool walletCard = false;
    // One crew's hours month by month, for a spreadsheet (yyyy_hodiny_A.csv).
    bool hoursFile = false;
    int hoursCrew = 0;
    // The A4 sheet with a card for every crew instead of copies of one.
    bool cardPerCrew = false;
};

struct YearResult
{
    enum class Status {
        Written,             // all twelve months, and the extras asked for
        FolderMissing,       // empty text or no such directory; nothing touched
        CannotWrite,         // `file` could not be opened or written; `detail` says why, in Czech
        FontUnavailable,     // the font cannot go into a PDF; nothing touched
        FontLacksCharacters, // the font has no glyphs for `detail`'s characters; nothing touched
        PdfFailure,          // the PDF library failed on `file`, see `detail`
        InvalidRota,         // the rota cannot be used, `detail` says why; nothing touched
        InvalidRequest,      // a value the form cannot produce; nothing touched
        TextRightToLeft,     // `detail`'s characters are written right to left, or steer the
                             // direction of text; nothing touched
        FontNeedsTrueType    // the font goes into a PDF as a simple font only, which has no
                             // room for `detail`'s characters; nothing touched
    };

    Status status = Status::Written;
    QString file;        // absolute path of the file that failed
    // For the statuses that name characters, each of them on a line of its
    // own: what a reader takes for one character, however many code points.
    QString detail;
    int monthsWritten = 0;
    // The family that prints in place of the one asked for, which is not
    // installed; empty where the family (or its metric twin) prints.
    QString fontStandIn;
    QSizeF sheetPageMm;  // the print sheet's page size, when one was written
    // For a print shop: what its files hold that it would not print as it
    // is, found before anything was written; and the family embedded in
    // place of a built-in font of the PDF viewer, which is not.
    QVector<PreflightFinding> preflight;
    QString builtInReplacedBy;
};

class GlyphOutlines;
class PdfRunFont;
struct PdfFontSource;

// What keeps the font of `source` from printing the text of the calendars
// of `request`: the months', and with `card` the wallet card's; Written
// where nothing does. The run asks before it makes anything, and the preview
// before it shows a page, so that both say the same.
struct TextCheck
{
    YearResult::Status status = YearResult::Status::Written;
    QString detail; // the characters, one a line
};
TextCheck checkText(const PdfFontSource &source, const GlyphOutlines &glyphs, const YearRequest &request, bool card);

// The text of a request as the calendars print it: typed text composed as
// its font holds it ("e" and a combining accent as "é").
YearRequest composed(YearRequest request);

// A run's calendars made in memory, wherever they go: the font resolved,
// checked against every character the pages print and prepared once; the
// months laid out once, for the month files and the sheet alike.
class YearCalendars
{
public:
    // Checks the request and the font (the folder is the writer's); on a
    // problem status() says what.
    explicit YearCalendars(const YearRequest &request);
    ~YearCalendars();

    YearResult::Status status() const { return m_status; }
    QString detail() const { return m_detail; }
    QString fontStandIn() const { return m_fontStandIn; }
    QString builtInReplacedBy() const { return m_builtInReplacedBy; }
    // What the print shop's checks found on every page the run prints.
    QVector<PreflightFinding> preflight() const { return m_preflight; }

    PdfBytes month(int month) const; // 1 to 12
    PdfBytes sheet() const;
    QSizeF sheetPageMm() const;
    CardPdfs cardFiles() const;

private:
    YearRequest m_request;
    YearResult::Status m_status = YearResult::Status::Written;
    QString m_detail;
    QString m_fontStandIn;
    QString m_builtInReplacedBy;
    QVector<PreflightFinding> m_preflight;
    std::unique_ptr<PdfRunFont> m_font;     // the months' and the sheet's
    std::unique_ptr<PdfRunFont> m_cardFont; // the card's, with its own letters
    QVector<MonthModel> m_months;
    CardModel m_card;
    QVector<CardModel> m_crewCards; // one for every crew, for the A4 sheet
    QString m_problem; // the library's words when the font could not be prepared
};

// The pages of a run as a print shop's checks name them: "Leden", the
// card's sides, each crew's card's sides.
QString cardPlace(int side, int crew = -1);

// What the checks of a print shop find on `month`'s page, or the side `side`
// of the card of `crew` (-1: the look's own card).
QVector<PreflightFinding> preflightMonth(const MonthModel &month, int monthNumber, const Look &look,
                                         const TextFont &font);
QVector<PreflightFinding> preflightCard(const CardFace &face, int side, int crew, const Look &look,
                                        const TextFont &font);

// Writes yyyy_01.pdf to yyyy_12.pdf into the folder, then the sheet and the
// phone calendars when asked for, stopping at the first failure; files
// written before it stay. The font is checked before anything is written: a
// calendar it cannot print is not made at all. A file is replaced only by a
// complete one: a failure leaves no empty or truncated file.
YearResult writeYear(const YearRequest &request);

} // namespace Calendar

#endif // LUNORIS_YEARWRITER_H
