#include "yearmessage.h"

#include <QCoreApplication>

namespace {

// The window's own translation context: these are the main window's texts.
QString tr(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

} // namespace

YearMessage yearMessage(const Calendar::YearResult &result, const QString &folder,
                        const QString &fontFamily)
{
    using Status = Calendar::YearResult::Status;
    switch (result.status) {
    case Status::Written:
        return {true, tr("Hotovo"), tr("Kalendáříky byly uloženy do složky '%1'").arg(folder)};
    case Status::FolderMissing:
        return {false, tr("Chyba"), tr("Cílová složka neexistuje")};
    case Status::CannotWrite:
        return {false, tr("Chyba"), tr("Nepodařilo se zapsat do souboru '%1'").arg(result.file)};
    case Status::FontUnavailable:
        return {false, tr("Chyba"),
                tr("Písmo '%1' nelze použít, soubor '%2' nebyl vytvořen").arg(fontFamily, result.file)};
    case Status::PdfFailure:
        // Without the library's words the failure is the file's.
        if (result.detail.trimmed().isEmpty())
            return {false, tr("Chyba"), tr("Nepodařilo se zapsat do souboru '%1'").arg(result.file)};
        return {false, tr("Chyba"),
                tr("Soubor '%1' se nepodařilo vytvořit: %2").arg(result.file, result.detail)};
    case Status::InvalidRequest:
        return {false, tr("Chyba"), tr("Zadání kalendáře je neplatné")};
    }
    return {false, tr("Chyba"), QString()};
}
