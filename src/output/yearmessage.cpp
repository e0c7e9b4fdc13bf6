#include "yearmessage.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

// The window's own translation context: these are the main window's texts.
QString tr(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

} // namespace

QString fontNotice(const QString &family, const QString &lacking)
{
    if (lacking.isEmpty())
        return tr("Písmo '%1' nelze vložit do PDF. Vyberte jiné písmo.").arg(family);
    QStringList characters;
    for (const QChar character : lacking)
        characters << QString(character);
    return tr("Písmo '%1' nemá znaky, které kalendáříky tisknou: %2. Vyberte jiné písmo.")
        .arg(family, characters.join(QLatin1Char(' ')));
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
        return {false, tr("Chyba"), fontNotice(fontFamily, QString())};
    case Status::FontLacksCharacters:
        return {false, tr("Chyba"), fontNotice(fontFamily, result.detail)};
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
