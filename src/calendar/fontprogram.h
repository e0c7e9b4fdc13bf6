#ifndef LUNORIS_FONTPROGRAM_H
#define LUNORIS_FONTPROGRAM_H

#include <QByteArray>

namespace Calendar {

// A TrueType font program without its hinting (the glyphs' instructions and
// the fpgm, prep and cvt tables) and with the advances of glyphs it does not
// hold set to zero. Hinting only helps screens at small sizes; in a subset
// with Czech letters it is half the file. Gives the bytes back unchanged when
// they are not a TrueType font it can read.
QByteArray withoutHinting(const QByteArray &font);

} // namespace Calendar

#endif // LUNORIS_FONTPROGRAM_H
