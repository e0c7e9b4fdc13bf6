#ifndef LUNORIS_GLYPHOUTLINES_H
#define LUNORIS_GLYPHOUTLINES_H

#include "fontresolver.h"

#include <QByteArray>
#include <QHash>
#include <QPainterPath>
#include <QString>
#include <QStringList>

#include <memory>

namespace Calendar {

// The face that goes into the calendars' PDFs, read with FreeType to tell
// which characters it can print and to draw them on screen: a character is
// looked up the way a PDF viewer looks it up in the embedded font (by Unicode
// in a TrueType font, by glyph name in a Type 1 font), so that the preview
// shows what the file will hold and never a fallback of the toolkit's. A
// built-in PDF font is drawn with the face that stands in for it on this
// system.
class GlyphOutlines
{
public:
    explicit GlyphOutlines(const PdfFontSource &source);
    ~GlyphOutlines();
    GlyphOutlines(const GlyphOutlines &) = delete;
    GlyphOutlines &operator=(const GlyphOutlines &) = delete;

    bool isOpen() const;

    // The characters of `text` the face has no glyph for, each once, in the
    // order they first appear, each as the whole of what a reader takes for
    // one character (an emoji, a letter with its accent); spaces need none.
    QStringList lacking(const QString &text) const;
    // The same of text already taken apart into such characters.
    QStringList lacking(const QStringList &clusters) const;

    // A character's outline at a size of one em, origin on the baseline, y
    // growing downwards; empty for a space or a character the face lacks.
    QPainterPath outline(uint codePoint) const;
    QPainterPath outline(QChar character) const { return outline(uint(character.unicode())); }

private:
    unsigned glyphIndex(uint codePoint) const;

    struct Face;
    std::unique_ptr<Face> m_face;
    mutable QHash<uint, QPainterPath> m_outlines;
};

} // namespace Calendar

#endif // LUNORIS_GLYPHOUTLINES_H
