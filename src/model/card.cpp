#include "card.h"

#include "holidays.h"
#include "look.h"

namespace Calendar {

namespace {

constexpr double Margin = 2.0;
constexpr double TitleHeight = 3.6;
constexpr int Columns = 4;
constexpr int Rows = 3;
constexpr double MonthGapX = 1.2;
constexpr double MonthGapY = 0.8;
// A small month's rows: its name, the weekdays' initials, six weeks.
constexpr double NameShare = 0.16;
constexpr double WeekdayShare = 0.11;
// How much of an em the digits stand above the baseline, in most faces: the
// card centres the digits themselves in its small boxes.
constexpr double DigitHeightEm = 0.72;
// A holiday's mark: a triangle of this share of the box's sides.
constexpr double MarkShare = 0.35;
// The back: lines this many ems apart, at most this large, a swatch this
// many ems wide before its text.
constexpr double LineSpacingEm = 1.35;
constexpr double BackTextMaximumMm = 2.3;
constexpr double SwatchEm = 0.75;
constexpr double SwatchGapEm = 0.45;

struct BackLine
{
    bool swatch = false;
    Cmyk color;
    QString text;
};

QString frontTitle(int year, const Look &look)
{
    return look.myCrew < 0 ? QString::number(year)
                           : QStringLiteral("%1 · Směna %2").arg(year).arg(crewName(look.myCrew));
}

QString backTitle(int year, const Look &look)
{
    return look.myCrew < 0 ? QStringLiteral("Směny v roce %1").arg(year)
                           : QStringLiteral("Směna %1 v roce %2").arg(crewName(look.myCrew)).arg(year);
}

QString kindText(const ShiftKind &kind)
{
    const QString hours = kind.hoursText();
    return hours.isEmpty() ? QStringLiteral("%1 %2").arg(kind.code).arg(kind.name)
                           : QStringLiteral("%1 %2 %3").arg(kind.code).arg(kind.name, hours);
}

// What the colours mean and what the year holds: for the whole team each
// crew's colour with its shifts and hours, then the kinds' hours; for one
// crew each kind's colour and hours, then the crew's year.
QVector<BackLine> backLines(int year, int firstCrew, const Look &look)
{
    QVector<BackLine> lines;
    const Rota &rota = look.rota;
    if (look.myCrew < 0) {
        for (int crew = 0; crew < rota.crews; ++crew) {
            lines.append({true, look.crewColors[size_t(crew)].cmyk(),
                          crewYearText(crew, crewYear(rota, year, firstCrew, crew))});
        }
        for (const ShiftKind &kind : rota.usedKinds()) {
            if (!kind.isAllDay())
                lines.append({false, {}, kindText(kind)});
        }
    } else {
        for (const ShiftKind &kind : rota.usedKinds())
            lines.append({true, look.kindInk(kind.code).cmyk(), kindText(kind)});
        lines.append({false, {},
                      QStringLiteral("Směna ") + crewYearText(look.myCrew, crewYear(rota, year, firstCrew, look.myCrew))});
    }
    if (look.textOnly) {
        for (BackLine &line : lines)
            line.swatch = false;
    }
    return lines;
}

QStringList holidayLines(int year)
{
    QStringList lines{QStringLiteral("Státní svátky")};
    for (const Holiday &holiday : czechPublicHolidays(year))
        lines << QStringLiteral("%1. %2. %3").arg(holiday.date.day()).arg(holiday.date.month()).arg(holiday.name);
    return lines;
}

// A part of the card in the look's colours: a page of the card's size, so
// that whatever it draws is cut to the card.
MonthModel cardPart(const Look &look, double boxWidthMm, double boxHeightMm)
{
    MonthModel part;
    part.pageMm = {CardWidthMm, CardHeightMm};
    part.boxWidthMm = boxWidthMm;
    part.boxHeightMm = boxHeightMm;
    part.textOnly = look.textOnly;
    part.fontColor = look.fontColor.cmyk();
    part.borderColor = look.borderColor.cmyk();
    // The border as thick, for its box, as on the month cards.
    part.borderWidthMm = look.borderWidthPt / PointsPerMm * boxWidthMm / look.boxWidthMm;
    return part;
}

// The largest size in millimetres, up to `maximum`, at which `text` fits
// `width` and a line of the font fits `height`.
double fittingSize(const QString &text, double width, double height, double maximum, const TextFont &font)
{
    double size = maximum;
    const double textEm = font.width(text);
    const double lineEm = font.ascent - font.descent;
    if (textEm > 0)
        size = qMin(size, width / textEm);
    if (lineEm > 0)
        size = qMin(size, height / lineEm);
    return size;
}

TextLabel leftAligned(const QString &text, double sizeMm, const QPointF &leftCentre, const TextFont &font)
{
    return {text, sizeMm * PointsPerMm,
            QPointF(leftCentre.x(), leftCentre.y() - (font.ascent + font.descent) * sizeMm / 2)};
}

MonthModel smallMonth(int year, int month, int firstCrew, const Look &look, const TextFont &font,
                      const QRectF &area)
{
    const double nameHeight = NameShare * area.height();
    const double weekdayHeight = WeekdayShare * area.height();
    const double w = area.width() / 7;
    const double h = (area.height() - nameHeight - weekdayHeight) / 6;
    MonthModel part = cardPart(look, w, h);
    // As large as the look's numbers, or as the box allows, never smaller
    // than reads at arm's length.
    const double widest = qMax(font.width(QStringLiteral("28")), 1e-6);
    double sizeMm = qMin(look.fontSizePt / PointsPerMm, qMin(0.62 * h / DigitHeightEm, 0.7 * w / widest));
    sizeMm = qMax(sizeMm, CardNumberMinimumPt / PointsPerMm);
    part.numberSizeMm = float(sizeMm);

    const double top = area.y() + area.height(); // y grows upwards
    const QString name = monthName(month);
    part.labels.append(centredLabel(name,
                                    fittingSize(name, 0.95 * area.width(), 0.9 * nameHeight, 1.6 * sizeMm, font)
                                        * PointsPerMm,
                                    QPointF(area.center().x(), top - nameHeight / 2), font));
    for (int weekday = 1; weekday <= 7; ++weekday) {
        const QString initial = weekdayName(weekday);
        const double sizeOf = fittingSize(QStringLiteral("Út"), 0.85 * w, 0.9 * weekdayHeight, sizeMm, font);
        part.labels.append(centredLabel(initial, sizeOf * PointsPerMm,
                                        QPointF(area.x() + (weekday - 0.5) * w, top - nameHeight - weekdayHeight / 2),
                                        font));
    }

    QDate date(year, month, 1);
    int week = 0;
    while (date.month() == month) {
        DayCell cell;
        cell.date = date;
        cell.box = QRectF(area.x() + (date.dayOfWeek() - 1) * w, top - nameHeight - weekdayHeight - (week + 1) * h, w, h);
        if (!look.textOnly)
            cell.fills = dayFills(cell.box, date, firstCrew, look);
        cell.number = QString::number(date.day());
        cell.baseline = QPointF(cell.box.center().x() - font.width(cell.number) * sizeMm / 2,
                                cell.box.center().y() - DigitHeightEm * sizeMm / 2);
        cell.holiday = look.holidays && isCzechPublicHoliday(date);
        if (cell.holiday) {
            // The corner of the box in its own proportions.
            const QPointF corner(cell.box.right(), cell.box.y() + h);
            cell.mark << corner << corner - QPointF(MarkShare * w, 0) << corner - QPointF(0, MarkShare * h);
        }
        part.days.append(cell);
        if (date.dayOfWeek() == Qt::Sunday)
            ++week;
        date = date.addDays(1);
    }
    return part;
}

// Lines of the back from `top` down, at `sizeMm`, from `left`.
void layOutLines(MonthModel &part, const QVector<BackLine> &lines, double left, double top, double sizeMm,
                 const TextFont &font)
{
    for (int i = 0; i < lines.size(); ++i) {
        const double centreY = top - (i + 0.5) * LineSpacingEm * sizeMm;
        double x = left;
        if (lines.at(i).swatch) {
            const double side = SwatchEm * sizeMm;
            part.swatches.append({QRectF(x, centreY - side / 2, side, side), lines.at(i).color});
            x += side + SwatchGapEm * sizeMm;
        }
        part.labels.append(leftAligned(lines.at(i).text, sizeMm, QPointF(x, centreY), font));
    }
}

double linesWidthEm(const QVector<BackLine> &lines, const TextFont &font)
{
    double widest = 0.0;
    for (const BackLine &line : lines)
        widest = qMax(widest, font.width(line.text) + (line.swatch ? SwatchEm + SwatchGapEm : 0.0));
    return widest;
}

} // namespace

QString CardFace::text() const
{
    QString all;
    for (const MonthModel &part : parts)
        all += part.text();
    return all;
}

QString cardCharacters(int year, int firstCrew, const Look &look)
{
    QString characters = QStringLiteral("0123456789") + frontTitle(year, look) + backTitle(year, look) + look.cardNote;
    for (int month = 1; month <= 12; ++month)
        characters += monthName(month);
    for (int weekday = 1; weekday <= 7; ++weekday)
        characters += weekdayName(weekday);
    for (const BackLine &line : backLines(year, firstCrew, look))
        characters += line.text;
    if (look.holidays)
        characters += holidayLines(year).join(QString());
    return characters;
}

CardModel layOutCard(int year, int firstCrew, const Look &look, const TextFont &font)
{
    CardModel card;

    // The front: the year, then the months four to a row.
    MonthModel title = cardPart(look, 1.0, 1.0);
    const QString heading = frontTitle(year, look);
    title.labels.append(centredLabel(
        heading, fittingSize(heading, CardWidthMm - 2 * Margin, 0.9 * TitleHeight, 3.0, font) * PointsPerMm,
        QPointF(CardWidthMm / 2, -(Margin + TitleHeight / 2) + 0.4), font));
    card.front.parts.append(title);
    const double monthWidth = (CardWidthMm - 2 * Margin - (Columns - 1) * MonthGapX) / Columns;
    const double monthHeight = (CardHeightMm - 2 * Margin - TitleHeight - (Rows - 1) * MonthGapY) / Rows;
    for (int month = 1; month <= 12; ++month) {
        const int column = (month - 1) % Columns, row = (month - 1) / Columns;
        const double top = Margin + TitleHeight + row * (monthHeight + MonthGapY);
        const QRectF area(Margin + column * (monthWidth + MonthGapX), -(top + monthHeight), monthWidth, monthHeight);
        card.front.parts.append(smallMonth(year, month, firstCrew, look, font, area));
    }

    // The back: what the colours mean and the year in numbers on the left,
    // the public holidays on the right, the user's own line below.
    MonthModel back = cardPart(look, look.boxWidthMm * 0.3, look.boxWidthMm * 0.3);
    const QString backHeading = backTitle(year, look);
    const double headingSize = fittingSize(backHeading, CardWidthMm - 2 * Margin, 0.9 * TitleHeight, 3.0, font);
    back.labels.append(leftAligned(backHeading, headingSize, QPointF(Margin + 1.0, -(Margin + TitleHeight / 2)), font));

    const QVector<BackLine> lines = backLines(year, firstCrew, look);
    QVector<BackLine> holidays;
    if (look.holidays) {
        for (const QString &line : holidayLines(year))
            holidays.append({false, {}, line});
    }
    const double noteHeight = look.cardNote.isEmpty() ? 0.0 : TitleHeight;
    const double top = -(Margin + TitleHeight + 0.8);
    const double height = CardHeightMm - 2 * Margin - TitleHeight - 0.8 - noteHeight;
    const double columnWidth = holidays.isEmpty() ? CardWidthMm - 2 * Margin - 2.0 : CardWidthMm / 2 - Margin - 1.5;
    const auto sizeFor = [&](const QVector<BackLine> &column) {
        double size = qMin(BackTextMaximumMm, height / (qMax(1, int(column.size())) * LineSpacingEm));
        const double widest = linesWidthEm(column, font);
        return widest > 0 ? qMin(size, columnWidth / widest) : size;
    };
    layOutLines(back, lines, Margin + 1.0, top, sizeFor(lines), font);
    if (!holidays.isEmpty())
        layOutLines(back, holidays, CardWidthMm / 2 + 1.5, top, sizeFor(holidays), font);
    if (!look.cardNote.isEmpty()) {
        back.labels.append(centredLabel(
            look.cardNote,
            fittingSize(look.cardNote, CardWidthMm - 2 * Margin, 0.8 * noteHeight, BackTextMaximumMm, font)
                * PointsPerMm,
            QPointF(CardWidthMm / 2, -(CardHeightMm - Margin - noteHeight / 2)), font));
    }
    back.borderWidthMm = qMin(back.borderWidthMm, 0.15);
    card.back.parts.append(back);
    return card;
}

} // namespace Calendar
