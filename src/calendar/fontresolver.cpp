#include "fontresolver.h"

#include <QFile>

#include <fontconfig/fontconfig.h>

#include <memory>

namespace Calendar {

namespace {

struct PatternDeleter
{
    void operator()(FcPattern *pattern) const { FcPatternDestroy(pattern); }
};
using Pattern = std::unique_ptr<FcPattern, PatternDeleter>;

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

PdfFontSource resolvePdfFont(const QString &family)
{
    PdfFontSource source;
    source.family = family;
    if (isStandard14Font(family)) {
        source.kind = PdfFontSource::Kind::Standard14;
        source.resolvedFamily = family;
        return source;
    }
    if (family.trimmed().isEmpty() || !FcInit())
        return source;

    // The calendar prints the regular face: the font box's weight and slant
    // play no part in the numbers.
    Pattern pattern(FcPatternCreate());
    if (!pattern)
        return source;
    const QByteArray name = family.toUtf8();
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8 *>(name.constData()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());

    FcResult result = FcResultNoMatch;
    Pattern match(FcFontMatch(nullptr, pattern.get(), &result));
    if (!match || result != FcResultMatch)
        return source;

    const QString file = patternString(match.get(), FC_FILE);
    const QString format = patternString(match.get(), FC_FONTFORMAT);
    source.resolvedFamily = patternString(match.get(), FC_FAMILY);
    source.file = QFile::encodeName(file);
    if (file.isEmpty())
        return source;
    // The PDF library reads the first face of a file only, and its subsetter
    // reads glyf outlines only: a later face of a collection, CFF-flavoured
    // OpenType and bitmap formats would give a wrong or broken PDF.
    int index = 0;
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &index);
    if (index != 0)
        return source;
    if (format == QLatin1String("TrueType"))
        source.kind = PdfFontSource::Kind::TrueType;
    else if (format == QLatin1String("Type 1"))
        source.kind = PdfFontSource::Kind::Type1;
    return source;
}

} // namespace Calendar
