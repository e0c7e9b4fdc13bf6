#include "yearmessage.h"

#include "model/characters.h"
#include "render/pdffont.h"

#include <QCoreApplication>
#include <QStringList>

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

} // namespace

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
