#ifndef LUNORIS_FONTRESOLVER_H
#define LUNORIS_FONTRESOLVER_H

#include <QByteArray>
#include <QString>

namespace Calendar {

// What the page drawing hands to the PDF library for the day numbers.
struct PdfFontSource
{
    enum class Kind {
        Standard14, // one of the PDF viewer's built-in fonts, not embedded
        TrueType,   // a TrueType file, embedded as a subset of the glyphs used
        Type1,      // a Type 1 file, embedded whole
        Unusable    // nothing the PDF library can embed
    };

    QString family;    // the family the user chose
    QByteArray file;   // font file in the local 8-bit encoding, empty for Standard14
    QString resolvedFamily; // the family the file belongs to
    Kind kind = Kind::Unusable;
};

// Finds the regular face of `family` the way the toolkit does on this
// platform: through fontconfig with its aliases and substitutions, so that a
// generic name such as "Sans Serif" or a missing "Arial" gets the font that
// the font box shows for it.
PdfFontSource resolvePdfFont(const QString &family);

} // namespace Calendar

#endif // LUNORIS_FONTRESOLVER_H
