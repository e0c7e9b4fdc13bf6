#include "fontprogram.h"

#include <QMap>
#include <QtEndian>

namespace Calendar {

namespace {

quint16 read16(const QByteArray &data, int offset)
{
    return qFromBigEndian<quint16>(reinterpret_cast<const uchar *>(data.constData()) + offset);
}

quint32 read32(const QByteArray &data, int offset)
{
    return qFromBigEndian<quint32>(reinterpret_cast<const uchar *>(data.constData()) + offset);
}

void write32(QByteArray &data, int offset, quint32 value)
{
    qToBigEndian<quint32>(value, reinterpret_cast<uchar *>(data.data()) + offset);
}

void append16(QByteArray &data, quint16 value)
{
    data.append(char(value >> 8)).append(char(value & 0xff));
}

void append32(QByteArray &data, quint32 value)
{
    append16(data, quint16(value >> 16));
    append16(data, quint16(value & 0xffff));
}

quint32 checksum(const QByteArray &table)
{
    QByteArray padded = table;
    padded.append(QByteArray((4 - padded.size() % 4) % 4, '\0'));
    quint32 sum = 0;
    for (int i = 0; i < padded.size(); i += 4)
        sum += read32(padded, i);
    return sum;
}

// A simple glyph without its instructions; a composite one as it is.
QByteArray stripGlyph(const QByteArray &glyph)
{
    if (glyph.size() < 12 || qint16(read16(glyph, 0)) < 0)
        return glyph;
    const int contours = read16(glyph, 0);
    const int lengthAt = 10 + 2 * contours;
    if (lengthAt + 2 > glyph.size())
        return glyph;
    const int instructions = read16(glyph, lengthAt);
    if (lengthAt + 2 + instructions > glyph.size())
        return glyph;
    QByteArray stripped = glyph.left(lengthAt);
    append16(stripped, 0);
    stripped.append(glyph.mid(lengthAt + 2 + instructions));
    return stripped;
}

} // namespace

QByteArray withoutHinting(const QByteArray &font)
{
    if (font.size() < 12 || read32(font, 0) != 0x00010000)
        return font;
    const int count = read16(font, 4);
    if (12 + 16 * count > font.size())
        return font;
    QMap<QByteArray, QByteArray> tables;
    for (int i = 0; i < count; ++i) {
        const int entry = 12 + 16 * i;
        const quint32 offset = read32(font, entry + 8);
        const quint32 length = read32(font, entry + 12);
        if (offset > quint32(font.size()) || length > quint32(font.size()) - offset)
            return font;
        tables.insert(font.mid(entry, 4), font.mid(int(offset), int(length)));
    }
    const QByteArray head = tables.value("head"), maxp = tables.value("maxp"), hhea = tables.value("hhea");
    const QByteArray glyf = tables.value("glyf"), loca = tables.value("loca"), hmtx = tables.value("hmtx");
    if (head.size() < 54 || maxp.size() < 6 || hhea.size() < 36 || glyf.isEmpty() || loca.isEmpty())
        return font;
    const bool longOffsets = read16(head, 50) != 0;
    const int glyphs = read16(maxp, 4);
    if (loca.size() < (glyphs + 1) * (longOffsets ? 4 : 2))
        return font;
    const auto glyphOffset = [&](int index) {
        return longOffsets ? read32(loca, 4 * index) : quint32(read16(loca, 2 * index)) * 2;
    };

    QByteArray newGlyf, newLoca;
    newGlyf.reserve(glyf.size());
    newLoca.reserve(loca.size());
    QByteArray newHmtx = hmtx;
    const int metrics = read16(hhea, 34);
    for (int i = 0; i < glyphs; ++i) {
        const quint32 from = glyphOffset(i), to = glyphOffset(i + 1);
        if (from > to || to > quint32(glyf.size()))
            return font;
        longOffsets ? append32(newLoca, quint32(newGlyf.size())) : append16(newLoca, quint16(newGlyf.size() / 2));
        if (to == from) {
            // The PDF gives every glyph's width itself; unused slots need none.
            if (i < metrics && 4 * i + 4 <= newHmtx.size())
                write32(newHmtx, 4 * i, 0);
            continue;
        }
        newGlyf.append(stripGlyph(glyf.mid(int(from), int(to - from))));
        newGlyf.append(QByteArray((4 - newGlyf.size() % 4) % 4, '\0'));
    }
    longOffsets ? append32(newLoca, quint32(newGlyf.size())) : append16(newLoca, quint16(newGlyf.size() / 2));
    if (!longOffsets && newGlyf.size() / 2 > 0xffff)
        return font;
    tables.insert("glyf", newGlyf);
    tables.insert("loca", newLoca);
    tables.insert("hmtx", newHmtx);
    for (const char *hinting : {"fpgm", "prep", "cvt "})
        tables.remove(hinting);
    QByteArray newHead = head;
    write32(newHead, 8, 0); // checkSumAdjustment, set below
    tables.insert("head", newHead);

    // The table directory, then the tables in tag order, each 4-byte aligned.
    const int tableCount = tables.size();
    int power = 1, log2 = 0;
    while (power * 2 <= tableCount) {
        power *= 2;
        ++log2;
    }
    QByteArray result;
    append32(result, 0x00010000);
    append16(result, quint16(tableCount));
    append16(result, quint16(power * 16));
    append16(result, quint16(log2));
    append16(result, quint16(tableCount * 16 - power * 16));
    int offset = 12 + 16 * tableCount;
    QByteArray body;
    int headAt = -1;
    for (auto table = tables.cbegin(); table != tables.cend(); ++table) {
        result.append(table.key());
        append32(result, checksum(table.value()));
        append32(result, quint32(offset + body.size()));
        append32(result, quint32(table.value().size()));
        if (table.key() == "head")
            headAt = offset + body.size();
        body.append(table.value());
        body.append(QByteArray((4 - body.size() % 4) % 4, '\0'));
    }
    result.append(body);
    write32(result, headAt + 8, 0xB1B0AFBA - checksum(result));
    return result;
}

} // namespace Calendar
