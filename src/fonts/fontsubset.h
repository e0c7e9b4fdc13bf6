#ifndef LUNORIS_FONTSUBSET_H
#define LUNORIS_FONTSUBSET_H

#include <QByteArray>
#include <QString>

namespace Calendar {

// The TrueType font program `font` cut down to the glyphs of `characters` and
// those they are built from, by HarfBuzz's subsetter. Glyph ids stay as they
// are, so that the widths and character map the PDF gives still match; the
// layout tables a PDF never reads are left out, and so is the hinting unless
// `hinting` asks for it. Empty when the font cannot be subset.
QByteArray subsetTrueType(const QByteArray &font, const QString &characters, bool hinting);

} // namespace Calendar

#endif // LUNORIS_FONTSUBSET_H
