#include "glyphoutlines.h"

#include "model/characters.h"

#include <QFile>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

namespace Calendar {

struct GlyphOutlines::Face
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    QByteArray bytes; // FreeType reads a memory face in place
    double unitsPerEm = 1000.0;

    ~Face()
    {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

namespace {

struct Decomposer
{
    QPainterPath path;
    double scale = 1.0;

    QPointF point(const FT_Vector *vector) const { return {vector->x * scale, -vector->y * scale}; }
};

Decomposer &of(void *user)
{
    return *static_cast<Decomposer *>(user);
}

int moveTo(const FT_Vector *to, void *user)
{
    of(user).path.moveTo(of(user).point(to));
    return 0;
}

int lineTo(const FT_Vector *to, void *user)
{
    of(user).path.lineTo(of(user).point(to));
    return 0;
}

int conicTo(const FT_Vector *control, const FT_Vector *to, void *user)
{
    of(user).path.quadTo(of(user).point(control), of(user).point(to));
    return 0;
}

int cubicTo(const FT_Vector *control1, const FT_Vector *control2, const FT_Vector *to, void *user)
{
    of(user).path.cubicTo(of(user).point(control1), of(user).point(control2), of(user).point(to));
    return 0;
}

} // namespace

GlyphOutlines::GlyphOutlines(const PdfFontSource &source)
    : m_face(new Face)
{
    if (FT_Init_FreeType(&m_face->library) != 0) {
        m_face->library = nullptr;
        return;
    }
    QByteArray file;
    int index = 0;
    switch (source.kind) {
    case PdfFontSource::Kind::TrueType:
        m_face->bytes = source.data;
        file = source.file;
        break;
    case PdfFontSource::Kind::Type1:
        // A Type 1 font in a PDF finds its glyphs by the names the encoding
        // gives the character codes: the standard names of Unicode, which
        // FreeType's Unicode map of a Type 1 face follows too.
        file = source.file;
        break;
    case PdfFontSource::Kind::Standard14:
        file = substituteFontFile(source.family, &index);
        break;
    case PdfFontSource::Kind::Unusable:
        return;
    }
    if (m_face->bytes.isEmpty() && !file.isEmpty()) {
        QFile read(QFile::decodeName(file));
        if (read.open(QIODevice::ReadOnly))
            m_face->bytes = read.readAll();
    }
    if (m_face->bytes.isEmpty()
        || FT_New_Memory_Face(m_face->library, reinterpret_cast<const FT_Byte *>(m_face->bytes.constData()),
                              FT_Long(m_face->bytes.size()), index, &m_face->face)
               != 0) {
        m_face->face = nullptr;
        return;
    }
    if (FT_Select_Charmap(m_face->face, FT_ENCODING_UNICODE) != 0) {
        // Without a Unicode map the viewer finds no character of ours.
        FT_Done_Face(m_face->face);
        m_face->face = nullptr;
        return;
    }
    if (m_face->face->units_per_EM > 0)
        m_face->unitsPerEm = m_face->face->units_per_EM;
}

GlyphOutlines::~GlyphOutlines() = default;

bool GlyphOutlines::isOpen() const
{
    return m_face->face != nullptr;
}

unsigned GlyphOutlines::glyphIndex(uint codePoint) const
{
    if (!m_face->face)
        return 0;
    return FT_Get_Char_Index(m_face->face, codePoint);
}

QStringList GlyphOutlines::lacking(const QString &text) const
{
    return lacking(graphemeClusters(text));
}

QStringList GlyphOutlines::lacking(const QStringList &clusters) const
{
    QStringList missing;
    for (const QString &cluster : clusters) {
        bool lacks = false;
        forEachCodePoint(cluster, [&](uint codePoint) {
            lacks = lacks || (!QChar::isSpace(codePoint) && glyphIndex(codePoint) == 0);
        });
        if (lacks && !missing.contains(cluster))
            missing << cluster;
    }
    return missing;
}

QPainterPath GlyphOutlines::outline(uint codePoint) const
{
    const auto cached = m_outlines.constFind(codePoint);
    if (cached != m_outlines.constEnd())
        return *cached;
    Decomposer decomposer;
    decomposer.scale = 1.0 / m_face->unitsPerEm;
    decomposer.path.setFillRule(Qt::WindingFill);
    const unsigned index = glyphIndex(codePoint);
    if (index != 0 && FT_Load_Glyph(m_face->face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) == 0
        && m_face->face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
        static const FT_Outline_Funcs funcs = {moveTo, lineTo, conicTo, cubicTo, 0, 0};
        FT_Outline_Decompose(&m_face->face->glyph->outline, &funcs, &decomposer);
        decomposer.path.closeSubpath();
    }
    m_outlines.insert(codePoint, decomposer.path);
    return decomposer.path;
}

} // namespace Calendar
