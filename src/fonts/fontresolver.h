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
    // The file's bytes, read once for a run so that every month takes the
    // same copy instead of reading and parsing the file again; empty means
    // read `file` when needed.
    QByteArray data;
    // The family asked for is not installed and `resolvedFamily` stands in
    // for it, other than as its metric twin (Liberation Sans for Arial): the
    // calendars look otherwise than the user asked.
    bool standsIn = false;
};

// How the PDF library can embed a face that fontconfig reports with this
// file, format and index within the file, or Unusable. The library picks its
// reader by the file's extension, reads the first face of a file only, and
// its subsetter reads glyf outlines only.
PdfFontSource::Kind embeddableKind(const QString &file, const QString &format, int index);

// Finds the regular face of `family` the way the toolkit does on this
// platform: through fontconfig with its aliases and substitutions, so that a
// generic name such as "Sans Serif" or a missing "Arial" gets the font that
// the font box shows for it. Of that family it takes the closest face the
// PDF library can embed, and reads its file.
PdfFontSource resolvePdfFont(const QString &family);

// The same for a file every font of which must be embedded: a name of one of
// the PDF viewer's built-in fonts, which are never embedded, gets the face
// that fontconfig installs for it, as any other family does.
PdfFontSource resolveEmbeddedFont(const QString &family);
// Whether `family` names one of the PDF viewer's built-in fonts.
bool isBuiltInPdfFont(const QString &family);

// The file of the regular face that fontconfig picks for `family`, whatever
// its format, and the face's index within it: what stands in for a built-in
// PDF font on this system. Empty when there is none.
QByteArray substituteFontFile(const QString &family, int *index);

} // namespace Calendar

#endif // LUNORIS_FONTRESOLVER_H
