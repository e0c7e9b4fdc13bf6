#ifndef LUNORIS_CHARACTERS_H
#define LUNORIS_CHARACTERS_H

#include <QString>
#include <QStringList>

namespace Calendar {

// Calls `each` with every code point of `text`: a pair of surrogates as the
// one character it stands for, a lone surrogate as it is.
template<typename Each>
void forEachCodePoint(const QString &text, Each each)
{
    const int size = text.size();
    for (int i = 0; i < size; ++i) {
        const QChar unit = text.at(i);
        if (unit.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            each(QChar::surrogateToUcs4(unit, text.at(i + 1)));
            ++i;
        } else {
            each(uint(unit.unicode()));
        }
    }
}

// What a reader takes for single characters: the grapheme clusters of
// `text`, in order ("e" with its accent, an emoji with its skin tone).
QStringList graphemeClusters(const QString &text);

// The cluster of `text` that holds the UTF-16 unit at `index`.
QString clusterAt(const QString &text, int index);

// Each of `clusters` as a message can show it: itself where it is a visible
// character, else "U+XXXX" for each of its code points (a control
// character, a space other than the plain one, a mark without its letter, a
// format character such as those that turn the direction of text). No
// character that could change the message around it gets through.
QString readableCharacter(const QString &cluster);
QString readableCharacters(const QStringList &clusters); // apart by spaces

// Letters written right to left, and the marks that steer the direction of
// text: what the calendars' left-to-right lines cannot print as a reader of
// them reads it.
bool isRightToLeft(uint codePoint);

} // namespace Calendar

#endif // LUNORIS_CHARACTERS_H
