#include "pagemodel.h"

#include "characters.h"
#include "holidays.h"
#include "look.h"

#include <QSet>

#include <algorithm>
#include <utility>

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
// A keyed text: a swatch of this many ems, this far from its text, items
// of a line this far apart, lines this far apart; a page's legend takes no
// more of its row than this.
constexpr double SwatchEm = 0.7;
constexpr double SwatchGapEm = 0.3;
constexpr double ItemGapEm = 1.0;
constexpr double LineGapEm = 0.25;
constexpr double LegendFill = 0.9;
// A text in a box's corner: at most this share of the box's shorter side
// high and of its width wide, this share of the shorter side from its edges.
constexpr double CornerShare = 0.3;
constexpr double CornerWidthShare = 0.45;
constexpr double CornerInset = 0.06;
// A crew's letter is at most this share of the day numbers' size, and of
// the shorter side of its box or band.
constexpr double LetterScale = 0.6;
constexpr double LetterShare = 0.55;
// Between a letter and the number beside it, this share of the number's size.
constexpr double LetterGap = 0.15;

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

// A short text in the top-left corner of `box`, small beside the number
// and clear of the holiday's mark on the right.
TextLabel cornerLabel(const QString &text, const QRectF &box, const TextFont &font)
{
    const double inset = CornerInset * qMin(box.width(), box.height());
    const double sizeMm = fittingSize(CornerShare * qMin(box.width(), box.height()),
                                      QSizeF(CornerWidthShare * box.width(), box.height()), font.width(text),
                                      font.ascent - font.descent);
    const double top = box.y() + box.height();
    return {text, sizeMm * PointsPerMm, QPointF(box.x() + inset, top - inset - font.ascent * sizeMm)};
}

// The size of a letter for `area`, a box or a band of it: a share of the
// numbers' size where the area has room for it.
double letterSize(const QString &text, const QRectF &area, double numberSizeMm, const TextFont &font)
{
    return fittingSize(qMin(LetterScale * numberSizeMm, LetterShare * qMin(area.width(), area.height())),
                       QSizeF(CornerWidthShare * area.width(), area.height()), font.width(text),
                       font.ascent - font.descent);
}

// Part `part` of `parts` side by side in band `band` of `bands` from the
// top of `box`; y grows upwards.
QRectF bandPart(const QRectF &box, int band, double bandHeight, int part, int parts)
{
    const double width = box.width() / parts;
    return QRectF(box.x() + part * width, box.y() + box.height() - (band + 1) * bandHeight, width, bandHeight);
}


// The changes of the plan on `days` (every change where `days` is empty),
// each once, in the order of Change.
QVector<Change> usedChanges(const Look &look, const QVector<DayCell> &days)
{
    QVector<Change> used;
    for (int index = 0; index < ChangeCount; ++index) {
        const Change change = Change(index);
        bool on = false;
        if (look.myCrew >= 0 && days.isEmpty()) {
            on = !look.plan.isEmpty();
        } else {
            for (const DayCell &day : days) {
                const DayChange *changed = look.changeOn(look.myCrew, day.date);
                on = on || (changed && changed->change == change);
            }
        }
        if (on)
            used.append(change);
    }
    return used;
}

// "DOV Dovolená" after a swatch of its colour.
KeyedLine changeItems(const Look &look, const QVector<Change> &changes)
{
    KeyedLine items;
    for (const Change change : changes) {
        const QString code = change == Change::Extra ? QStringLiteral("+") : DayChange{change, QChar(), QString()}.code();
        items.append(KeyedText(QStringLiteral("%1 %2").arg(code, changeName(change)), look.planColors[size_t(change)].cmyk()));
    }
    return items;
}

// The legend: each crew's colour, and below, in a box of bands, which band
// is which kind ("nahoře D 6–18, dole N 18–6"); or for one crew each kind's
// colour and hours, then the crew's name.
QVector<KeyedLine> legendLines(const Look &look, const QVector<DayCell> &days)
{
    KeyedLine items;
    if (look.myCrew < 0) {
        for (int crew = 0; crew < look.rota.crews; ++crew)
            items.append(KeyedText(crewName(crew), look.crewColors[size_t(crew)].cmyk()));
        const QVector<ShiftKind> kinds = look.rota.usedKinds();
        if (kinds.size() < 2)
            return {items};
        KeyedLine bands;
        for (int band = 0; band < kinds.size(); ++band) {
            const QString hours = kinds.at(band).hoursText();
            bands.append(KeyedText(QStringLiteral("%1 %2").arg(bandPlace(band, kinds.size()), kinds.at(band).code)
                                   + (hours.isEmpty() ? QString() : QLatin1Char(' ') + hours)));
        }
        return {items, bands};
    }
    for (const ShiftKind &kind : look.rota.usedKinds()) {
        const QString hours = kind.hoursText();
        items.append(KeyedText(hours.isEmpty() ? QString(kind.code) : QStringLiteral("%1 %2").arg(kind.code).arg(hours),
                               look.kindInk(kind.code).cmyk()));
    }
    items.append(KeyedText(QStringLiteral("Směna %1").arg(crewName(look.myCrew))));
    const KeyedLine changes = changeItems(look, usedChanges(look, days));
    return changes.isEmpty() ? QVector<KeyedLine>{items} : QVector<KeyedLine>{items, changes};
}

// Whoever works the rota every calendar had knows its colours; any other
// rota or view says on the page what they mean.
bool hasLegend(const Look &look)
{
    return look.labels && !look.textOnly && !look.isDefaultRota();
}

// A line's width in ems: its items, their swatches and the gaps between.
double lineWidthEm(const KeyedLine &line, const TextFont &font)
{
    double totalEm = ItemGapEm * (line.size() - 1);
    for (const KeyedText &item : line)
        totalEm += font.width(item.text) + (item.swatch ? SwatchEm + SwatchGapEm : 0.0);
    return totalEm;
}

} // namespace

QVector<TextLabel> changeCodes(const QVector<DayCell> &days, const Look &look, const TextFont &font)
{
    QVector<TextLabel> codes;
    for (const DayCell &day : days) {
        if (const DayChange *change = look.changeOn(look.myCrew, day.date))
            codes.append(cornerLabel(change->code(), day.box, font));
    }
    return codes;
}

TextLabel centredLabel(const QString &text, double sizePt, const QPointF &centre, const TextFont &font)
{
    const double sizeMm = sizePt / PointsPerMm;
    return {text, sizePt, centredBaseline(centre, font.width(text) * sizeMm, sizeMm, font)};
}

// The box's colours for the day: a band per kind of shift, from the top in
// the order the kinds start, each in the colour of the crew on it (split
// side by side where several crews share it); or, for one crew, the whole
// box in the colour of the kind it works.
QVector<Fill> dayFills(const QRectF &box, const QDate &date, int firstCrew, const Look &look)
{
    const Rota &rota = look.rota;
    QVector<Fill> fills;
    if (look.myCrew >= 0) {
        // A day of one's own plan in the colour of its change, whatever the
        // rota says.
        if (const DayChange *change = look.changeOn(look.myCrew, date)) {
            fills.append({box, look.planColors[size_t(change->change)].cmyk()});
            return fills;
        }
        const QChar code = rota.codeOf(look.myCrew, date, firstCrew);
        if (code != QLatin1Char('-'))
            fills.append({box, look.kindInk(code).cmyk()});
        return fills;
    }
    const QVector<ShiftKind> kinds = rota.usedKinds();
    const double bandHeight = box.height() / kinds.size();
    for (int band = 0; band < kinds.size(); ++band) {
        const QVector<int> crews = rota.crewsOn(kinds.at(band).code, date, firstCrew);
        for (int i = 0; i < crews.size(); ++i) {
            const Cmyk color = look.crewColors[size_t(crews.at(i))].cmyk();
            if (kinds.size() == 1 && crews.size() == 1) {
                fills.append({box, color});
                continue;
            }
            fills.append({bandPart(box, band, bandHeight, i, crews.size()), color});
        }
    }
    return fills;
}

void addCrewLetters(MonthModel &model, int firstCrew, const Look &look, const TextFont &font)
{
    if (!look.crewLetters)
        return;
    const Rota &rota = look.rota;
    const QVector<ShiftKind> kinds = rota.usedKinds();
    // Off the box's edges and clear of the half of its border inside them.
    const double border = model.textOnly ? 0.0 : model.borderWidthMm / 2;
    const double gap = LetterGap * model.numberSizeMm;
    for (DayCell &day : model.days) {
        const double inset = CornerInset * qMin(day.box.width(), day.box.height()) + border;
        // What each area of the box says: one crew's kinds, or in each band
        // of dayFills() (also without boxes) the crews that share it, in
        // their order from the left.
        QVector<std::pair<QRectF, QString>> parts;
        if (look.myCrew >= 0) {
            QString worked;
            for (const QChar kind : look.shiftsOn(look.myCrew, day.date, firstCrew))
                worked += kind;
            if (!worked.isEmpty())
                parts.append({day.box, worked});
        } else {
            const double bandHeight = day.box.height() / kinds.size();
            for (int band = 0; band < kinds.size(); ++band) {
                QString crews;
                for (const int crew : rota.crewsOn(kinds.at(band).code, day.date, firstCrew))
                    crews += crewName(crew);
                if (!crews.isEmpty())
                    parts.append({kinds.size() == 1 ? day.box : bandPart(day.box, band, bandHeight, 0, 1), crews});
            }
        }
        // A letter level with the number stands left of it: where the box
        // is too narrow for both (a card's), the number moves right as far
        // as the box allows, and the letter takes what room is left.
        const double numberLow = day.baseline.y(), numberHigh = numberLow + font.ascent * model.numberSizeMm;
        const auto level = [&](const QRectF &area) {
            return area.y() < numberHigh && area.y() + area.height() > numberLow;
        };
        const double numberWidth = font.widthAt(day.number, model.numberSizeMm);
        for (const auto &[area, text] : qAsConst(parts)) {
            if (!level(area))
                continue;
            const double letterWidth = letterSize(text, area, model.numberSizeMm, font) * font.width(text);
            const double wanted = area.x() + inset + letterWidth + gap;
            const double spare = day.box.right() - inset - (day.baseline.x() + numberWidth);
            if (wanted > day.baseline.x())
                day.baseline.rx() += qMax(0.0, qMin(wanted - day.baseline.x(), spare));
        }
        for (const auto &[area, text] : qAsConst(parts)) {
            const double shorter = qMin(area.width(), area.height());
            double sizeMm = letterSize(text, area, model.numberSizeMm, font);
            if (level(area) && font.width(text) > 0)
                sizeMm = qMin(sizeMm, (day.baseline.x() - gap - area.x() - inset) / font.width(text));
            if (sizeMm <= 0)
                continue;
            const double bottom = area.y() + qMin(inset, CornerInset * shorter);
            model.labels.append({text, sizeMm * PointsPerMm, QPointF(area.x() + inset, bottom - font.descent * sizeMm)});
        }
    }
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

QRectF DayGrid::box(const QDate &date, int week) const
{
    const int weekday = date.dayOfWeek() - 1;
    const int column = first.x() + (weeks == WeekLine::Column ? week : weekday);
    const int row = first.y() + (weeks == WeekLine::Column ? weekday : week);
    const float x = float(origin.x() + column * boxMm.width());
    const float y = float(origin.y() - (row + 1) * boxMm.height());
    return {x, y, boxMm.width(), boxMm.height()};
}

DayGrid pageGrid(double boxWidthMm, double boxHeightMm)
{
    return {QPointF(0, 0), QSizeF(boxWidthMm, boxHeightMm), QPoint(1, 1), WeekLine::Column};
}

QRectF dayBox(const QDate &date, int column, double boxWidthMm, double boxHeightMm)
{
    return pageGrid(boxWidthMm, boxHeightMm).box(date, column - 1);
}

QVector<DayCell> layOutDays(int year, int month, int firstCrew, const Look &look, const TextFont &font,
                            const DayGrid &grid, float numberSizeMm)
{
    QVector<DayCell> days;
    QDate date(year, month, 1);
    days.reserve(date.daysInMonth());
    int week = 0;
    while (date.month() == month) {
        DayCell cell;
        cell.date = date;
        cell.box = grid.box(date, week);
        if (!look.textOnly)
            cell.fills = dayFills(cell.box, date, firstCrew, look);
        cell.number = QString::number(date.day());
        cell.baseline = numberBaseline(cell.box, cell.number, numberSizeMm, font);
        cell.holiday = look.holidays && isCzechPublicHoliday(date);
        if (cell.holiday)
            cell.mark = holidayMark(cell.box);
        days.append(cell);
        if (date.dayOfWeek() == Qt::Sunday)
            ++week;
        date = date.addDays(1);
    }
    return days;
}

double fittingSize(double maximum, const QSizeF &roomMm, double widthEm, double heightEm, double unitsPerMm)
{
    double size = maximum;
    if (widthEm > 0)
        size = qMin(size, roomMm.width() / widthEm * unitsPerMm);
    if (heightEm > 0)
        size = qMin(size, roomMm.height() / heightEm * unitsPerMm);
    return size;
}

double setText(MonthModel &model, const QVector<KeyedLine> &lines, const QPointF &anchor, Qt::Alignment alignment,
               const QSizeF &roomMm, double maximumMm, const TextFont &font)
{
    if (lines.isEmpty())
        return 0.0;
    // A swatch stands as high as a line of text.
    const double lineEm = qMax(font.lineHeight(), SwatchEm);
    const double pitchEm = lineEm + LineGapEm;
    double widestEm = 0.0;
    for (const KeyedLine &line : lines)
        widestEm = qMax(widestEm, lineWidthEm(line, font));
    const double sizeMm = fittingSize(maximumMm, roomMm, widestEm, lineEm + (lines.size() - 1) * pitchEm);

    const double firstCentreY = alignment.testFlag(Qt::AlignTop)
                                    ? anchor.y() - lineEm * sizeMm / 2
                                    : anchor.y() + (lines.size() - 1) * pitchEm * sizeMm / 2;
    for (int i = 0; i < lines.size(); ++i) {
        const KeyedLine &line = lines.at(i);
        const double centreY = firstCentreY - i * pitchEm * sizeMm;
        double x = alignment.testFlag(Qt::AlignHCenter) ? anchor.x() - lineWidthEm(line, font) * sizeMm / 2
                                                        : anchor.x();
        for (const KeyedText &item : line) {
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
    return sizeMm;
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
    // The codes of one's own changes in their boxes.
    if (!look.plan.isEmpty() && look.myCrew >= 0) {
        for (int change = 0; change < ChangeCount; ++change)
            characters += DayChange{Change(change), kindCodes().at(0), QString()}.code();
        characters += kindCodes();
    }
    if (look.crewLetters) {
        for (int crew = 0; crew < look.rota.crews; ++crew)
            characters += crewName(crew);
        characters += kindCodes();
    }
    if (look.labels) {
        characters += QLatin1Char(' ');
        for (int month = 1; month <= 12; ++month)
            characters += monthName(month);
        for (int weekday = 1; weekday <= 7; ++weekday)
            characters += weekdayName(weekday);
        if (hasLegend(look)) {
            for (const KeyedLine &line : legendLines(look, {})) {
                for (const KeyedText &item : line)
                    characters += item.text;
            }
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

QVector<Cmyk> MonthModel::fillColors() const
{
    QVector<Cmyk> colors;
    for (const DayCell &day : days) {
        for (const Fill &fill : day.fills) {
            if (!colors.contains(fill.color))
                colors.append(fill.color);
        }
    }
    return colors;
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

    model.days = layOutDays(year, month, firstCrew, look, font, pageGrid(w, h), model.numberSizeMm);
    model.labels += changeCodes(model.days, look, font);

    if (look.labels) {
        const QString title = QStringLiteral("%1 %2").arg(monthName(month)).arg(year);
        const QRectF header = model.headerArea();
        // As large as it may be: wider and taller than the numbers, but inside.
        const double titlePt = fittingSize(TitleScale * look.fontSizePt, header.size() * TitleFill, font.width(title),
                                           font.lineHeight(), PointsPerMm);
        model.labels.append(centredLabel(title, titlePt, header.center(), font));
        for (int weekday = 1; weekday <= 7; ++weekday) {
            model.labels.append(centredLabel(weekdayName(weekday), look.fontSizePt,
                                             model.weekdayCell(weekday).center(), font));
        }
        // The legend in the free row below the boxes: each crew's colour and
        // letter, or each kind the crew works with its hours and the crew's
        // name; as large as the numbers unless the row is too small for it.
        if (hasLegend(look)) {
            const QRectF footer = model.footerArea();
            setText(model, legendLines(look, model.days), footer.center(), Qt::AlignCenter, footer.size() * LegendFill,
                    look.fontSizePt / PointsPerMm, font);
        }
    }
    addCrewLetters(model, firstCrew, look, font);
    return model;
}

} // namespace Calendar
