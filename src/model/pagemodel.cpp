#include "pagemodel.h"

#include "characters.h"
#include "holidays.h"
#include "look.h"

#include <QSet>

#include <algorithm>

namespace Calendar {

namespace {

const char *const MonthNames[] = {"Leden", "Únor",  "Březen", "Duben",    "Květen",   "Červen",
                                  "Červenec", "Srpen", "Září", "Říjen", "Listopad", "Prosinec"};
const char *const WeekdayNames[] = {"Po", "Út", "St", "Čt", "Pá", "So", "Ne"};

// The title is larger than the numbers, but never leaves its area.
constexpr double TitleScale = 1.5;
constexpr double TitleFill = 0.9;
// A holiday's mark: a triangle in the box's top-right corner, this share of
// the box's shorter side.
constexpr double MarkShare = 0.3;
// The legend: a swatch of this many ems, this far from its text, items this
// far apart, and no more of its row's height than this.
constexpr double SwatchEm = 0.7;
constexpr double SwatchGapEm = 0.3;
constexpr double ItemGapEm = 1.0;
constexpr double LegendFill = 0.9;

// Centred on `centre`: across by its width, and the middle of the font's
// ascent and descent on the centre.
QPointF centredBaseline(const QPointF &centre, double widthMm, double sizeMm, const TextFont &font)
{
    return {centre.x() - widthMm / 2, centre.y() - (font.ascent + font.descent) * sizeMm / 2};
}

// Where a day's number starts: centred in its box as one line of the PDF
// library's multi-line text, in the order of operations the calendars were
// always made with, so that every file keeps its numbers' places to the last
// digit it writes.
QPointF numberBaseline(const QRectF &box, const QString &number, float size, const TextFont &font)
{
    const double w = box.width(), h = box.height();
    const double width = font.widthAt(number, size);
    const double lineSpacing = font.lineSpacingAt(size), ascent = font.ascentAt(size);
    const double lineGap = lineSpacing - ascent + font.descentAt(size);
    // A number wider than its box is centred on a line just wide enough.
    const double spare = width < w ? 0.0 : width - w + 1.0;
    const double x = (box.x() - spare / 2) + ((w + spare) - width) / 2.0;
    double y = box.y();
    y += h - (h - lineSpacing) / 2.0;
    y -= ascent + lineGap / 2.0;
    return {x, y};
}

// A holiday's corner mark: a triangle in the box's top-right corner.
QPolygonF holidayMark(const QRectF &box)
{
    const double markMm = MarkShare * qMin(box.width(), box.height());
    const QPointF corner = box.topRight() + QPointF(0, box.height()); // y grows upwards
    return QPolygonF() << corner << corner - QPointF(markMm, 0) << corner - QPointF(0, markMm);
}

struct LegendItem
{
    bool swatch = false;
    Cmyk color;
    QString text;
};

QVector<LegendItem> legendItems(const Look &look)
{
    QVector<LegendItem> items;
    if (look.myCrew < 0) {
        for (int crew = 0; crew < look.rota.crews; ++crew)
            items.append({true, look.crewColors[size_t(crew)].cmyk(), crewName(crew)});
        return items;
    }
    for (const ShiftKind &kind : look.rota.usedKinds()) {
        const QString hours = kind.hoursText();
        items.append({true, look.kindColors[size_t(kindIndex(kind.code))].cmyk(),
                      hours.isEmpty() ? QString(kind.code) : QStringLiteral("%1 %2").arg(kind.code).arg(hours)});
    }
    items.append({false, {}, QStringLiteral("Směna %1").arg(crewName(look.myCrew))});
    return items;
}

// Whoever works the rota every calendar had knows its colours; any other
// rota or view says on the page what they mean.
bool hasLegend(const Look &look)
{
    return look.labels && !look.textOnly && !look.isDefaultRota();
}

// The legend in the free row below the boxes: each crew's colour and letter,
// or each kind the crew works with its hours and the crew's name; as large
// as the numbers unless the row is too small for it.
void layOutLegend(MonthModel &model, const Look &look, const TextFont &font)
{
    const QVector<LegendItem> items = legendItems(look);
    const QRectF area = model.footerArea();
    double totalEm = ItemGapEm * (items.size() - 1);
    for (const LegendItem &item : items)
        totalEm += font.width(item.text) + (item.swatch ? SwatchEm + SwatchGapEm : 0.0);
    const double lineEm = qMax(font.ascent - font.descent, SwatchEm);
    double sizeMm = look.fontSizePt / PointsPerMm;
    if (totalEm > 0)
        sizeMm = qMin(sizeMm, LegendFill * area.width() / totalEm);
    if (lineEm > 0)
        sizeMm = qMin(sizeMm, LegendFill * area.height() / lineEm);
    const double centreY = area.center().y();
    double x = area.center().x() - totalEm * sizeMm / 2;
    for (const LegendItem &item : items) {
        if (item.swatch) {
            const double side = SwatchEm * sizeMm;
            model.swatches.append({QRectF(x, centreY - side / 2, side, side), item.color});
            x += (SwatchEm + SwatchGapEm) * sizeMm;
        }
        const double widthMm = font.width(item.text) * sizeMm;
        model.labels.append({item.text, sizeMm * PointsPerMm,
                             centredBaseline(QPointF(x + widthMm / 2, centreY), widthMm, sizeMm, font)});
        x += widthMm + ItemGapEm * sizeMm;
    }
}

} // namespace

TextLabel centredLabel(const QString &text, double sizePt, const QPointF &centre, const TextFont &font)
{
    const double sizeMm = sizePt / PointsPerMm;
    return {text, sizePt, centredBaseline(centre, font.width(text) * sizeMm, sizeMm, font)};
}

// The box's colours for the day: a band per kind of shift, from the top in
// the order the kinds start, each in the colour of the crew on it (split
// side by side where several crews share it); or, for one crew, the whole
// box in the colour of the kind it works.
QVector<Fill> dayFills(const QRectF &box, int day, int firstCrew, const Look &look)
{
    const Rota &rota = look.rota;
    QVector<Fill> fills;
    if (look.myCrew >= 0) {
        const QChar code = rota.codeOf(look.myCrew, day, firstCrew);
        if (code != QLatin1Char('-'))
            fills.append({box, look.kindColors[size_t(kindIndex(code))].cmyk()});
        return fills;
    }
    const QVector<ShiftKind> kinds = rota.usedKinds();
    const double bandHeight = box.height() / kinds.size();
    for (int band = 0; band < kinds.size(); ++band) {
        const QVector<int> crews = rota.crewsOn(kinds.at(band).code, day, firstCrew);
        for (int i = 0; i < crews.size(); ++i) {
            const Cmyk color = look.crewColors[size_t(crews.at(i))].cmyk();
            if (kinds.size() == 1 && crews.size() == 1) {
                fills.append({box, color});
                continue;
            }
            const double width = box.width() / crews.size();
            fills.append({QRectF(box.x() + i * width, box.y() + box.height() - (band + 1) * bandHeight, width,
                                 bandHeight),
                          color});
        }
    }
    return fills;
}

double TextFont::width(const QString &text) const
{
    double total = 0.0;
    forEachCodePoint(text, [&](uint character) { total += advances.value(character); });
    return total / 1000.0;
}

double TextFont::widthAt(const QString &text, float sizeMm) const
{
    // The library scales a thousandth of an em by its size times its
    // horizontal scale (100 %), both single precision.
    const double scale = static_cast<double>(sizeMm * 100.0f / 100.0);
    double total = 0.0;
    forEachCodePoint(text, [&](uint character) { total += advances.value(character) * scale / 1000.0; });
    return total;
}

QSizeF pageSizePoints(double boxWidthMm, double boxHeightMm)
{
    return {8 * boxWidthMm * PointsPerMm, 9 * boxHeightMm * PointsPerMm};
}

QSizeF pageSizeMm(double boxWidthMm, double boxHeightMm)
{
    const QSizeF points = pageSizePoints(boxWidthMm, boxHeightMm);
    return {points.width() / PointsPerMm, points.height() / PointsPerMm};
}

QRectF dayBox(const QDate &date, int column, double boxWidthMm, double boxHeightMm)
{
    const float x = float(column * boxWidthMm);
    const float y = float(-(date.dayOfWeek() + 1.0) * boxHeightMm);
    return {x, y, boxWidthMm, boxHeightMm};
}

QString monthName(int month)
{
    return month >= 1 && month <= 12 ? QString::fromUtf8(MonthNames[month - 1]) : QString();
}

QString weekdayName(int weekday)
{
    return weekday >= 1 && weekday <= 7 ? QString::fromUtf8(WeekdayNames[weekday - 1]) : QString();
}

QString printableCharacters(const Look &look)
{
    QString characters = QStringLiteral("0123456789");
    if (look.labels) {
        characters += QLatin1Char(' ');
        for (int month = 1; month <= 12; ++month)
            characters += monthName(month);
        for (int weekday = 1; weekday <= 7; ++weekday)
            characters += weekdayName(weekday);
        if (hasLegend(look)) {
            for (const LegendItem &item : legendItems(look))
                characters += item.text;
        }
    }
    QString once;
    for (const QChar character : characters) {
        if (!once.contains(character))
            once += character;
    }
    return once;
}

QString fontCharacters(const Look &look, const QString &printed)
{
    // A year and its card print thousands of characters of a few dozen kinds.
    QSet<uint> wanted;
    forEachCodePoint(printed, [&](uint character) { wanted.insert(character); });
    QString characters;
    forEachCodePoint(printableCharacters(look) + printed, [&](uint character) {
        if (wanted.remove(character))
            characters += QString::fromUcs4(&character, 1);
    });
    return characters;
}

QRectF MonthModel::headerArea() const
{
    return {boxWidthMm, -boxHeightMm, 6 * boxWidthMm, boxHeightMm};
}

QRectF MonthModel::footerArea() const
{
    return {boxWidthMm, -9 * boxHeightMm, 6 * boxWidthMm, boxHeightMm};
}

QRectF MonthModel::weekdayCell(int weekday) const
{
    return {0.0, -(weekday + 1.0) * boxHeightMm, boxWidthMm, boxHeightMm};
}

QRectF MonthModel::pageArea() const
{
    return {0.0, -pageMm.height(), pageMm.width(), pageMm.height()};
}

QString MonthModel::text() const
{
    QString all;
    for (const DayCell &day : days)
        all += day.number;
    for (const TextLabel &label : labels)
        all += label.text;
    return all;
}

bool MonthModel::isBanded() const
{
    for (const DayCell &day : days) {
        if (day.fills.size() > 1 || (day.fills.size() == 1 && day.fills.first().area != day.box))
            return true;
    }
    return false;
}

MonthModel layOutMonth(int year, int month, int firstCrew, const Look &look, const TextFont &font)
{
    MonthModel model;
    const double w = look.boxWidthMm;
    const double h = look.boxHeightMm;
    model.pageMm = pageSizeMm(w, h);
    model.boxWidthMm = w;
    model.boxHeightMm = h;
    model.numberSizeMm = float(look.fontSizePt / PointsPerMm);
    model.textOnly = look.textOnly;
    model.fontColor = look.fontColor.cmyk();
    model.borderColor = look.borderColor.cmyk();
    model.borderWidthMm = look.borderWidthPt / PointsPerMm;

    QDate date(year, month, 1);
    int day = dayOfYear(date);
    model.days.reserve(date.daysInMonth());
    int column = 1;
    while (date.month() == month) {
        DayCell cell;
        cell.date = date;
        cell.box = dayBox(date, column, w, h);
        if (!look.textOnly)
            cell.fills = dayFills(cell.box, day, firstCrew, look);
        cell.number = QString::number(date.day());
        cell.baseline = numberBaseline(cell.box, cell.number, model.numberSizeMm, font);
        cell.holiday = look.holidays && isCzechPublicHoliday(date);
        if (cell.holiday)
            cell.mark = holidayMark(cell.box);
        model.days.append(cell);
        if (date.dayOfWeek() == Qt::Sunday)
            ++column;
        ++day;
        date = date.addDays(1);
    }

    if (look.labels) {
        const QString title = QStringLiteral("%1 %2").arg(monthName(month)).arg(year);
        const QRectF header = model.headerArea();
        // As large as it may be: wider and taller than the numbers, but inside.
        const double titleEm = font.width(title);
        const double lineEm = font.ascent - font.descent;
        double titlePt = TitleScale * look.fontSizePt;
        if (titleEm > 0)
            titlePt = qMin(titlePt, TitleFill * header.width() / titleEm * PointsPerMm);
        if (lineEm > 0)
            titlePt = qMin(titlePt, TitleFill * header.height() / lineEm * PointsPerMm);
        model.labels.append(centredLabel(title, titlePt, header.center(), font));
        for (int weekday = 1; weekday <= 7; ++weekday) {
            model.labels.append(centredLabel(weekdayName(weekday), look.fontSizePt,
                                             model.weekdayCell(weekday).center(), font));
        }
        if (hasLegend(look))
            layOutLegend(model, look, font);
    }
    return model;
}

} // namespace Calendar
