#include "yearmessage.h"

#include "model/characters.h"
#include "render/pdffont.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>

#include <algorithm>

namespace {

// The window's own translation context: these are the main window's texts.
QString tr(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

// The characters of a result's detail, one a line, each named so that it
// can be read: a line that holds more than one character is taken apart.
QString characterNames(const QString &detail)
{
    QStringList clusters;
    for (const QString &line : detail.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        clusters << Calendar::graphemeClusters(line);
    return Calendar::readableCharacters(clusters);
}

// What the text holds that is written right to left: the scripts, and the
// marks that steer direction, in the order they first appear.
QString rightToLeftKinds(const QString &detail)
{
    QStringList kinds;
    Calendar::forEachCodePoint(detail, [&](uint character) {
        if (!Calendar::isRightToLeft(character))
            return;
        const QChar::Direction direction = QChar::direction(character);
        QString kind;
        if (QChar::category(character) == QChar::Other_Format
            || (direction != QChar::DirR && direction != QChar::DirAL))
            kind = tr("znaky řízení směru textu");
        else if (QChar::script(character) == QChar::Script_Hebrew)
            kind = tr("hebrejské písmo");
        else if (QChar::script(character) == QChar::Script_Arabic)
            kind = tr("arabské písmo");
        else if (QChar::script(character) == QChar::Script_Syriac)
            kind = tr("syrské písmo");
        else if (QChar::script(character) == QChar::Script_Thaana)
            kind = tr("písmo thaana");
        else
            kind = tr("písmo psané zprava doleva");
        if (!kinds.contains(kind))
            kinds << kind;
    });
    return kinds.join(tr(" ani "));
}

// A number as Czech writes it, with at most `decimals` places: "4,5", "0,05", "3".
QString czechNumber(double value, int decimals)
{
    QString text = QLocale(QLocale::Czech).toString(value, 'f', decimals);
    if (text.contains(QLatin1Char(','))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char(',')))
            text.chop(1);
    }
    return text;
}

// The pages of a rule's findings, each once in the order found; the twelve
// months as one.
QString places(const QVector<Calendar::PreflightFinding> &findings)
{
    QStringList names;
    for (const Calendar::PreflightFinding &finding : findings) {
        if (!names.contains(finding.place))
            names << finding.place;
    }
    QStringList months;
    for (int month = 1; month <= 12; ++month)
        months << Calendar::monthName(month);
    if (std::all_of(months.begin(), months.end(), [&](const QString &month) { return names.contains(month); })) {
        const int first = int(names.indexOf(months.first()));
        for (const QString &month : qAsConst(months))
            names.removeOne(month);
        names.insert(first, tr("všechny měsíce"));
    }
    return names.join(QStringLiteral("; "));
}

} // namespace

QString preflightNotice(const QVector<Calendar::PreflightFinding> &findings)
{
    using Rule = Calendar::PreflightFinding::Rule;
    QStringList lines;
    for (const Rule rule : {Rule::InkLimit, Rule::SmallType, Rule::ThinLine, Rule::NearCut}) {
        QVector<Calendar::PreflightFinding> found;
        for (const Calendar::PreflightFinding &finding : findings) {
            if (finding.rule == rule)
                found << finding;
        }
        if (found.isEmpty())
            continue;
        // The worst of them: the most ink, else the least of a size.
        const auto worst = *std::min_element(found.begin(), found.end(), [rule](const auto &a, const auto &b) {
            return rule == Rule::InkLimit ? a.value > b.value : a.value < b.value;
        });
        QString line;
        switch (rule) {
        case Rule::InkLimit: {
            const Calendar::Cmyk &c = worst.color;
            line = tr("barva C %1 M %2 Y %3 K %4 má součet %5 %, víc než %6 %")
                       .arg(qRound(c.cyan * 100))
                       .arg(qRound(c.magenta * 100))
                       .arg(qRound(c.yellow * 100))
                       .arg(qRound(c.black * 100))
                       .arg(qRound(worst.value))
                       .arg(qRound(worst.limit));
            break;
        }
        case Rule::SmallType:
            line = tr("písmo %1 pt, menší než %2 pt").arg(czechNumber(worst.value, 1), czechNumber(worst.limit, 1));
            break;
        case Rule::ThinLine:
            line = tr("čáry %1 pt, tenčí než %2 pt").arg(czechNumber(worst.value, 2), czechNumber(worst.limit, 2));
            break;
        case Rule::NearCut:
            line = worst.value < 0.0 ? tr("text nebo okénka zasahují za ořez")
                                     : tr("text nebo okénka %1 mm od ořezu, blíž než %2 mm")
                                           .arg(czechNumber(worst.value, 1), czechNumber(worst.limit, 1));
            break;
        }
        lines << QStringLiteral("• %1 (%2)").arg(line, places(found));
    }
    if (lines.isEmpty())
        return {};
    return tr("Kontrola pro tiskárnu:") + QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
}

QString builtInFontNotice(const QString &family, const QString &embedded)
{
    return tr("Písmo '%1' je vestavěné písmo prohlížečů PDF a do souboru se nevkládá; soubory pro tiskárnu "
              "proto tiskne vložené písmo '%2'.")
        .arg(family, embedded);
}

QString standInNotice(const QString &family, const QString &standIn)
{
    return tr("Písmo '%1' není nainstalované, kalendáříky tiskne písmo '%2'.").arg(family, standIn);
}

QString fontNotice(Calendar::YearResult::Status status, const QString &family, const QString &detail,
                   const QString &standIn)
{
    using Status = Calendar::YearResult::Status;
    QString notice;
    switch (status) {
    case Status::FontLacksCharacters:
        notice = tr("Písmo '%1' nemá znaky, které kalendáříky tisknou: %2. Vyberte jiné písmo.")
                     .arg(family, characterNames(detail));
        break;
    case Status::TextRightToLeft:
        notice = tr("Kalendáříky tisknou jen text psaný zleva doprava, a tak nevytisknou %1: %2. Upravte text.")
                     .arg(rightToLeftKinds(detail), characterNames(detail));
        break;
    case Status::FontNeedsTrueType:
        notice = tr("Písmo '%1' pojme v PDF jen %2 znaků mimo západoevropskou sadu, kalendáříky jich ale tisknou %3: "
                    "%4. Vyberte písmo TrueType (.ttf), například DejaVu Sans.")
                     .arg(family, QString::number(Calendar::SimpleFontExtraLetters),
                          QString::number(detail.split(QLatin1Char('\n'), Qt::SkipEmptyParts).size()),
                          characterNames(detail));
        break;
    default:
        notice = tr("Písmo '%1' nelze vložit do PDF. Vyberte jiné písmo.").arg(family);
        break;
    }
    if (!standIn.isEmpty())
        notice += QStringLiteral("\n\n") + standInNotice(family, standIn);
    return notice;
}

YearMessage yearMessage(const Calendar::YearResult &result, const QString &folder,
                        const QString &fontFamily)
{
    using Status = Calendar::YearResult::Status;
    switch (result.status) {
    case Status::Written: {
        QString text = tr("Kalendáříky byly uloženy do složky '%1'").arg(folder);
        const QSizeF sheet = result.sheetPageMm;
        // A page no home printer holds must not come as a surprise.
        if (!sheet.isEmpty() && (sheet.width() > 210.0 || sheet.height() > 297.0)) {
            text += QStringLiteral("\n\n")
                    + tr("Kartička se s ořezovými značkami na A4 nevejde, a tak má tiskový arch stránky "
                         "%1 × %2 mm, větší než A4. Vytiskněte je na větší papír, nebo zmenšete okénka.")
                          .arg(qRound(sheet.width()))
                          .arg(qRound(sheet.height()));
        }
        // Nor another font than the one chosen.
        if (!result.fontStandIn.isEmpty())
            text += QStringLiteral("\n\n") + standInNotice(fontFamily, result.fontStandIn);
        if (!result.builtInReplacedBy.isEmpty())
            text += QStringLiteral("\n\n") + builtInFontNotice(fontFamily, result.builtInReplacedBy);
        const QString preflight = preflightNotice(result.preflight);
        if (!preflight.isEmpty()) {
            text += QStringLiteral("\n\n") + preflight + QLatin1Char('\n')
                    + tr("Upozornění zápis nezastavila: soubory jsou uložené, tiskárna je ale nemusí přijmout "
                         "bez úprav.");
        }
        return {true, tr("Hotovo"), text};
    }
    case Status::FolderMissing:
        return {false, tr("Chyba"), tr("Cílová složka neexistuje")};
    case Status::CannotWrite: {
        QString text = tr("Nepodařilo se zapsat do souboru '%1'").arg(result.file);
        // The system's reason, after the words every such message has.
        if (!result.detail.trimmed().isEmpty())
            text += QStringLiteral(": ") + result.detail + QLatin1Char('.');
        return {false, tr("Chyba"), text};
    }
    case Status::FontUnavailable:
    case Status::FontLacksCharacters:
    case Status::TextRightToLeft:
    case Status::FontNeedsTrueType:
        return {false, tr("Chyba"), fontNotice(result.status, fontFamily, result.detail, result.fontStandIn)};
    case Status::PdfFailure:
        // Without the library's words the failure is the file's.
        if (result.detail.trimmed().isEmpty())
            return {false, tr("Chyba"), tr("Nepodařilo se zapsat do souboru '%1'").arg(result.file)};
        return {false, tr("Chyba"),
                tr("Soubor '%1' se nepodařilo vytvořit: %2").arg(result.file, result.detail)};
    case Status::InvalidRota:
        return {false, tr("Chyba"), tr("Rozpis směn nelze použít: %1").arg(result.detail)};
    case Status::InvalidRequest:
        return {false, tr("Chyba"), tr("Zadání kalendáře je neplatné")};
    }
    return {false, tr("Chyba"), QString()};
}
