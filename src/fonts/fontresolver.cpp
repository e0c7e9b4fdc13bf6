#include "fontresolver.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

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
    // The toolkit names a family that several foundries install "Family
    // [Foundry]"; fontconfig knows it by the family alone.
    static const QRegularExpression foundry(QStringLiteral("^(.+) \\[[^\\]]+\\]$"));
    const QRegularExpressionMatch named = foundry.match(family);
    const QByteArray name = (named.hasMatch() ? named.captured(1) : family).toUtf8();
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

PdfFontSource resolvePdfFont(const QString &family)
{
    PdfFontSource source;
    source.family = family;
    if (isStandard14Font(family)) {
        source.kind = PdfFontSource::Kind::Standard14;
        source.resolvedFamily = family;
        return source;
    }
    const FontSet matches = sortedFaces(family);
    if (!matches)
        return source;
    // The first match is the family the toolkit shows for the name.
    source.resolvedFamily = patternString(matches->fonts[0], FC_FAMILY);
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
