#include "card.h"

#include "holidays.h"
#include "look.h"
#include "preflight.h"

namespace Calendar {

namespace {

constexpr double Margin = 2.0;
// A print shop's card keeps everything within its safe margin, with room for
// the title's accents and the boxes' outlines.
constexpr double PrintShopMargin = SafeMarginMm + 0.4;
constexpr double TitleHeight = 3.6;
constexpr int Columns = 4;
constexpr int Rows = 3;
constexpr double MonthGapX = 1.2;
constexpr double MonthGapY = 0.8;
// A small month's rows: its name, the weekdays' initials, six weeks.
constexpr double NameShare = 0.16;
constexpr double WeekdayShare = 0.11;
// The numbers take no more of their box than this across (two digits) and
// down (a line of the font); the name and the initials no more of their row.
constexpr double NumberWidthShare = 0.7;
constexpr double NumberHeightShare = 0.95;
constexpr double NameScale = 1.6;
constexpr double NameWidthShare = 0.95;
constexpr double InitialWidthShare = 0.85;
constexpr double RowFill = 0.9;
// The back's text is at most this large.
constexpr double BackTextMaximumMm = 2.3;
constexpr double HeadingMaximumMm = 3.0;

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
// crew each kind's colour and hours, then the crew's year. A line each.
QVector<KeyedLine> backLines(int year, int firstCrew, const Look &look)
{
    QVector<KeyedLine> lines;
    const Rota &rota = look.rota;
    // Without boxes there are no colours to explain.
    const auto keyed = [&look](const QString &text, const Ink &ink) {
        return look.textOnly ? KeyedText(text) : KeyedText(text, ink.cmyk());
    };
    if (look.myCrew < 0) {
        for (int crew = 0; crew < rota.crews; ++crew)
            lines.append({keyed(crewYearText(crew, crewYear(rota, year, firstCrew, crew)), look.crewColors[size_t(crew)])});
        // Which band of a box is which kind, from the top.
        const QVector<ShiftKind> kinds = rota.usedKinds();
        for (int band = 0; band < kinds.size(); ++band) {
            if (kinds.size() > 1)
                lines.append({QStringLiteral("%1: %2").arg(bandPlace(band, kinds.size()), kindText(kinds.at(band)))});
            else if (!kinds.at(band).isAllDay())
                lines.append({kindText(kinds.at(band))});
        }
    } else {
        for (const ShiftKind &kind : rota.usedKinds())
            lines.append({keyed(kindText(kind), look.kindInk(kind.code))});
        lines.append({QStringLiteral("Směna ") + crewYearText(look.myCrew, look.crewYear(year, firstCrew, look.myCrew))});
        // One's own changes of the year, counted: "Dovolená: 15 dní".
        std::array<int, ChangeCount> days{};
        for (auto day = look.plan.constBegin(); day != look.plan.constEnd(); ++day) {
            if (day.key().year() == year)
                ++days[size_t(day->change)];
        }
        for (int change = 0; change < ChangeCount; ++change) {
            if (days[size_t(change)] > 0)
                lines.append({keyed(QStringLiteral("%1: %2").arg(changeName(Change(change)), dayCount(days[size_t(change)])),
                                    look.planColors[size_t(change)])});
        }
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

// One month as its page lays it out, scaled into `area` of the front: a
// week a row under the month's name and the weekdays' initials.
MonthModel smallMonth(int year, int month, int firstCrew, const Look &look, const TextFont &font,
                      const QRectF &area)
{
    const double nameHeight = NameShare * area.height();
    const double weekdayHeight = WeekdayShare * area.height();
    const double w = area.width() / 7;
    const double h = (area.height() - nameHeight - weekdayHeight) / 6;
    MonthModel part = cardPart(look, w, h);
    // As large as the look's numbers, or as the box allows, never smaller
    // than reads at arm's length, nor for a print shop than it prints.
    const double minimumMm = (look.printShop.on ? MinimumTypePt : CardNumberMinimumPt) / PointsPerMm;
    const double numberMm =
        qMax(fittingSize(look.fontSizePt / PointsPerMm, QSizeF(NumberWidthShare * w, NumberHeightShare * h),
                         font.width(QStringLiteral("28")), font.lineHeight()),
             minimumMm);
    part.numberSizeMm = float(numberMm);

    const double top = area.y() + area.height(); // y grows upwards
    const QPointF nameCentre(area.center().x(), top - nameHeight / 2);
    const double nameMm = setText(part, {{monthName(month)}}, nameCentre, Qt::AlignCenter,
                                  QSizeF(NameWidthShare * area.width(), RowFill * nameHeight), NameScale * numberMm, font);
    // A print shop's card sets it no smaller than it prints, whatever room
    // the face leaves.
    if (look.printShop.on && nameMm < minimumMm) {
        part.labels.clear();
        part.labels.append(centredLabel(monthName(month), minimumMm * PointsPerMm, nameCentre, font));
    }
    // The initials all of a size, the widest's.
    double initialMm = fittingSize(numberMm, QSizeF(InitialWidthShare * w, RowFill * weekdayHeight),
                                   font.width(QStringLiteral("Út")), font.lineHeight());
    if (look.printShop.on)
        initialMm = qMax(initialMm, minimumMm);
    for (int weekday = 1; weekday <= 7; ++weekday) {
        part.labels.append(centredLabel(weekdayName(weekday), initialMm * PointsPerMm,
                                        QPointF(area.x() + (weekday - 0.5) * w, top - nameHeight - weekdayHeight / 2),
                                        font));
    }
    const DayGrid grid{QPointF(area.x(), top - nameHeight - weekdayHeight), QSizeF(w, h), QPoint(0, 0), WeekLine::Row};
    part.days = layOutDays(year, month, firstCrew, look, font, grid, part.numberSizeMm);
    part.labels += changeCodes(part.days, look, font);
    addCrewLetters(part, firstCrew, look, font);
    return part;
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
    for (const KeyedLine &line : backLines(year, firstCrew, look))
        characters += line.first().text;
    if (look.holidays)
        characters += holidayLines(year).join(QString());
    return characters;
}

CardModel layOutCard(int year, int firstCrew, const Look &look, const TextFont &font)
{
    CardModel card;
    const double margin = look.printShop.on ? PrintShopMargin : Margin;
    const double width = CardWidthMm - 2 * margin;

    // The front: the year, then the months four to a row.
    MonthModel title = cardPart(look, 1.0, 1.0);
    setText(title, {{frontTitle(year, look)}}, QPointF(CardWidthMm / 2, -(margin + TitleHeight / 2) + 0.4),
            Qt::AlignCenter, QSizeF(width, RowFill * TitleHeight), HeadingMaximumMm, font);
    card.front.parts.append(title);
    const double monthWidth = (width - (Columns - 1) * MonthGapX) / Columns;
    const double monthHeight = (CardHeightMm - 2 * margin - TitleHeight - (Rows - 1) * MonthGapY) / Rows;
    for (int month = 1; month <= 12; ++month) {
        const int column = (month - 1) % Columns, row = (month - 1) / Columns;
        const double top = margin + TitleHeight + row * (monthHeight + MonthGapY);
        const QRectF area(margin + column * (monthWidth + MonthGapX), -(top + monthHeight), monthWidth, monthHeight);
        card.front.parts.append(smallMonth(year, month, firstCrew, look, font, area));
    }

    // The back: what the colours mean and the year in numbers on the left,
    // the public holidays on the right, the user's own line below.
    MonthModel back = cardPart(look, look.boxWidthMm * 0.3, look.boxWidthMm * 0.3);
    const double indent = margin + 1.0;
    setText(back, {{backTitle(year, look)}}, QPointF(indent, -(margin + TitleHeight / 2)),
            Qt::AlignLeft | Qt::AlignVCenter, QSizeF(CardWidthMm - margin - indent, RowFill * TitleHeight),
            HeadingMaximumMm, font);

    QVector<KeyedLine> holidays;
    if (look.holidays) {
        for (const QString &line : holidayLines(year))
            holidays.append({line});
    }
    const double noteHeight = look.cardNote.isEmpty() ? 0.0 : TitleHeight;
    const double top = -(margin + TitleHeight + 0.8);
    const QSizeF column(holidays.isEmpty() ? width - 2.0 : CardWidthMm / 2 - margin - 1.5,
                        CardHeightMm - 2 * margin - TitleHeight - 0.8 - noteHeight);
    setText(back, backLines(year, firstCrew, look), QPointF(indent, top), Qt::AlignLeft | Qt::AlignTop, column,
            BackTextMaximumMm, font);
    if (!holidays.isEmpty()) {
        setText(back, holidays, QPointF(CardWidthMm / 2 + 1.5, top), Qt::AlignLeft | Qt::AlignTop, column,
                BackTextMaximumMm, font);
    }
    if (!look.cardNote.isEmpty()) {
        setText(back, {{look.cardNote}}, QPointF(CardWidthMm / 2, -(CardHeightMm - margin - noteHeight / 2)),
                Qt::AlignCenter, QSizeF(width, 0.8 * noteHeight), BackTextMaximumMm, font);
    }
    back.borderWidthMm = qMin(back.borderWidthMm, 0.15);
    card.back.parts.append(back);
    return card;
}

Look crewLook(const Look &look, int crew)
{
    Look own = look;
    own.myCrew = crew;
    if (crew != look.myCrew)
        own.plan.clear();
    return own;
}

QVector<CardModel> layOutCrewCards(int year, int firstCrew, const Look &look, const TextFont &font)
{
    QVector<CardModel> cards;
    for (int crew = 0; crew < look.rota.crews; ++crew)
        cards.append(layOutCard(year, firstCrew, crewLook(look, crew), font));
    return cards;
}

QString crewCardCharacters(int year, int firstCrew, const Look &look)
{
    QString characters;
    for (int crew = 0; crew < look.rota.crews; ++crew)
        characters += cardCharacters(year, firstCrew, crewLook(look, crew));
    return characters;
}

} // namespace Calendar
