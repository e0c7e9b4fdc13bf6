#include "fontresolver.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <fontconfig/fontconfig.h>

#include <memory>

namespace Calendar {

namespace {

struct PatternDeleter
{
    void operator()(FcPattern *pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

struct FontSetDeleter
{
    void operator()(FcFontSet *set) const { FcFontSetDestroy(set); }
};
using FontSet = std::unique_ptr<FcFontSet, FontSetDeleter>;

QString patternString(FcPattern *pattern, const char *object)
{
    FcChar8 *value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || !value)
        return {};
    return QString::fromUtf8(reinterpret_cast<const char *>(value));
}

bool isStandard14Font(const QString &name)
{
    static const char *const names[] = {
        "Courier", "Courier-Bold", "Courier-Oblique", "Courier-BoldOblique",
        "Helvetica", "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique",
        "Times-Roman", "Times-Bold", "Times-Italic", "Times-BoldItalic",
        "Symbol", "ZapfDingbats",
    };
    for (const char *standard : names) {
        if (name == QLatin1String(standard))
            return true;
    }
    return false;
}

// Families that are made to stand in for others letter for letter, with the
// same widths, so that a document set in one looks the same in the other;
// fontconfig's own aliases pick them, and nobody need be told.
const char *const MetricTwins[][2] = {
    {"Arial", "Liberation Sans"},         {"Arial", "Arimo"},
    {"Helvetica", "Liberation Sans"},     {"Helvetica", "Nimbus Sans"},
    {"Helvetica", "Arimo"},               {"Helvetica", "TeX Gyre Heros"},
    {"Arial Narrow", "Liberation Sans Narrow"}, {"Helvetica Narrow", "Nimbus Sans Narrow"},
    {"Times New Roman", "Liberation Serif"}, {"Times New Roman", "Tinos"},
    {"Times", "Nimbus Roman"},            {"Times", "Liberation Serif"},
    {"Times", "Tinos"},                   {"Times", "TeX Gyre Termes"},
    {"Courier New", "Liberation Mono"},   {"Courier New", "Cousine"},
    {"Courier", "Nimbus Mono PS"},        {"Courier", "Liberation Mono"},
    {"Courier", "Cousine"},               {"Courier", "TeX Gyre Cursor"},
    {"Calibri", "Carlito"},               {"Cambria", "Caladea"},
    {"Georgia", "Gelasio"},               {"Symbol", "Standard Symbols PS"},
    {"ZapfDingbats", "D050000L"},         {"Zapf Dingbats", "D050000L"},
    {"Palatino", "P052"},                 {"Palatino Linotype", "P052"},
    {"Book Antiqua", "P052"},             {"Palatino", "TeX Gyre Pagella"},
    {"Bookman", "URW Bookman"},           {"ITC Bookman", "URW Bookman"},
    {"Bookman Old Style", "URW Bookman"}, {"Bookman", "TeX Gyre Bonum"},
    {"New Century Schoolbook", "C059"},   {"Century Schoolbook", "C059"},
    {"New Century Schoolbook", "TeX Gyre Schola"}, {"Avant Garde", "URW Gothic"},
    {"ITC Avant Garde Gothic", "URW Gothic"}, {"Avant Garde", "TeX Gyre Adventor"},
    {"Zapf Chancery", "Z003"},            {"ITC Zapf Chancery", "Z003"},
    {"Zapf Chancery", "TeX Gyre Chorus"},
};

// Names that ask for the system's own choice rather than for a family.
const char *const GenericFamilies[] = {"sans-serif", "sans serif", "sans", "serif", "monospace", "mono",
                                       "system-ui", "cursive", "fantasy", "emoji", "math"};

// Family names as fontconfig compares them: without case or blanks.
QString comparable(const QString &family)
{
    QString simple;
    for (const QChar character : family) {
        if (!character.isSpace())
            simple += character.toCaseFolded();
    }
    return simple;
}

// Whether the face fontconfig found first for `asked` is of that family
// (under any of its names), a metric twin of it, or what a generic name asks
// for.
bool isFamilyAskedFor(const QString &asked, FcPattern *face)
{
    const QString wanted = comparable(asked);
    for (const char *generic : GenericFamilies) {
        if (wanted == comparable(QLatin1String(generic)))
            return true;
    }
    QStringList names;
    FcChar8 *value = nullptr;
    for (int n = 0; FcPatternGetString(face, FC_FAMILY, n, &value) == FcResultMatch && value; ++n)
        names << comparable(QString::fromUtf8(reinterpret_cast<const char *>(value)));
    if (names.contains(wanted))
        return true;
    for (const auto &twin : MetricTwins) {
        if (wanted == comparable(QLatin1String(twin[0])) && names.contains(comparable(QLatin1String(twin[1]))))
            return true;
    }
    return false;
}

// The family as fontconfig knows it: the toolkit names a family that
// several foundries install "Family [Foundry]".
QString withoutFoundry(const QString &family)
{
    static const QRegularExpression foundry(QStringLiteral("^(.+) \\[[^\\]]+\\]$"));
    const QRegularExpressionMatch named = foundry.match(family);
    return named.hasMatch() ? named.captured(1) : family;
}

} // namespace

PdfFontSource::Kind embeddableKind(const QString &file, const QString &format, int index)
{
    if (index != 0)
        return PdfFontSource::Kind::Unusable;
    const QString extension = QFileInfo(file).suffix().toLower();
    if (format == QLatin1String("TrueType")
        && (extension == QLatin1String("ttf") || extension == QLatin1String("otf")))
        return PdfFontSource::Kind::TrueType;
    if (format == QLatin1String("Type 1")
        && (extension == QLatin1String("pfb") || extension == QLatin1String("pfa")))
        return PdfFontSource::Kind::Type1;
    return PdfFontSource::Kind::Unusable;
}

namespace {

// The faces fontconfig offers for `family`, best first: the regular face, as
// the calendar prints the numbers upright and of normal weight whatever the
// font box shows.
FontSet sortedFaces(const QString &family)
{
    if (family.trimmed().isEmpty() || !FcInit())
        return nullptr;
    Pattern pattern(FcPatternCreate());
    if (!pattern)
        return nullptr;
    const QByteArray name = withoutFoundry(family).toUtf8();
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8 *>(name.constData()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    // Untrimmed: a Type 1 or TrueType file of the family adds no coverage to
    // the CFF file before it, and trimming would drop it.
    FcResult result = FcResultNoMatch;
    FontSet matches(FcFontSort(nullptr, pattern.get(), FcFalse, nullptr, &result));
    if (!matches || matches->nfont == 0)
        return nullptr;
    return matches;
}

} // namespace

bool isBuiltInPdfFont(const QString &family)
{
    return isStandard14Font(family);
}

PdfFontSource resolvePdfFont(const QString &family)
{
    if (isStandard14Font(family)) {
        PdfFontSource source;
        source.family = family;
        source.kind = PdfFontSource::Kind::Standard14;
        source.resolvedFamily = family;
        return source;
    }
    return resolveEmbeddedFont(family);
}

PdfFontSource resolveEmbeddedFont(const QString &family)
{
    PdfFontSource source;
    source.family = family;
    const FontSet matches = sortedFaces(family);
    if (!matches)
        return source;
    // The first match is the family the toolkit shows for the name.
    source.resolvedFamily = patternString(matches->fonts[0], FC_FAMILY);
    source.standsIn = !isFamilyAskedFor(withoutFoundry(family), matches->fonts[0]);
    for (int i = 0; i < matches->nfont; ++i) {
        FcPattern *face = matches->fonts[i];
        if (patternString(face, FC_FAMILY) != source.resolvedFamily)
            continue;
        const QString file = patternString(face, FC_FILE);
        int index = 0;
        FcPatternGetInteger(face, FC_INDEX, 0, &index);
        const PdfFontSource::Kind kind = embeddableKind(file, patternString(face, FC_FONTFORMAT), index);
        if (kind == PdfFontSource::Kind::Unusable)
            continue;
        source.file = QFile::encodeName(file);
        source.kind = kind;
        if (kind == PdfFontSource::Kind::TrueType) {
            QFile bytes(file);
            if (bytes.open(QIODevice::ReadOnly))
                source.data = bytes.readAll();
        }
        break;
    }
    return source;
}

QByteArray substituteFontFile(const QString &family, int *index)
{
    *index = 0;
    const FontSet matches = sortedFaces(family);
    if (!matches)
        return {};
    FcPatternGetInteger(matches->fonts[0], FC_INDEX, 0, index);
    return QFile::encodeName(patternString(matches->fonts[0], FC_FILE));
}

} // namespace Calendar
