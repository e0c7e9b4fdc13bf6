#ifndef LUNORIS_PRINTCOLOR_H
#define LUNORIS_PRINTCOLOR_H

#include "model/ink.h"

#include <QColor>
#include <QHash>
#include <QString>
#include <QStringList>

#include <memory>

namespace Calendar {

// The calendar's CMYK colours as a PDF viewer or a printer's proof shows
// them, for the preview: through Ghostscript's default CMYK profile to sRGB,
// relative colorimetric with black point compensation, which is how
// Ghostscript renders the DeviceCMYK of our PDFs. Where no profile can be
// read, the toolkit's naive conversion, which shows 100 % cyan as #00FFFF.
//
// Converted colours, and what converting them needed, are kept, so even a
// const object must stay on one thread (the GUI thread). Nothing here needs
// a QApplication.
class PrintColors
{
public:
    // The first of knownProfilePaths() that holds a usable CMYK profile.
    PrintColors();
    // The profile in `profilePath`; uncalibrated if it is not a readable
    // CMYK profile.
    explicit PrintColors(const QString &profilePath);
    ~PrintColors();
    PrintColors(const PrintColors &) = delete;
    PrintColors &operator=(const PrintColors &) = delete;

    // One for the whole program, built at the first call.
    static const PrintColors &instance();

    // Where Ghostscript's default CMYK profile is installed, in the order tried.
    static QStringList knownProfilePaths();

    QColor toScreen(const Cmyk &color) const;
    // The profile in use; empty when uncalibrated.
    QString profilePath() const;
    bool isCalibrated() const;

private:
    bool load(const QString &profilePath);

    struct Transform;
    std::unique_ptr<Transform> m_transform; // keeps lcms2.h out of the callers
    QString m_profilePath;
    mutable QHash<quint64, QRgb> m_cache;
};

} // namespace Calendar

#endif // LUNORIS_PRINTCOLOR_H
