#include "pdffont.h"

#include "fonts/fontsubset.h"
#include "model/characters.h"

#include <QFile>
#include <QMap>
#include <QSet>
#include <QtEndian>

#include <podofo/podofo.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>

using namespace PoDoFo;

namespace Calendar {

namespace {

// WinAnsi leaves these codes unused, and no text of ours has control
// characters; a letter WinAnsi lacks takes the next of them, in this order.
constexpr std::array<int, SimpleFontExtraLetters> FreeCodes = {
    0x81, 0x8d, 0x8f, 0x90, 0x9d, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x0b, 0x0c, 0x0e, 0x0f,
    0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x1b, 0x1c, 0x1d, 0x1e, 0x1f};

const PdfEncoding *winAnsi()
{
    return PdfEncodingFactory::GlobalWinAnsiEncodingInstance();
}

// The characters WinAnsi has a code for.
std::array<bool, 0x10000> winAnsiCharacters()
{
    std::array<bool, 0x10000> covered{};
    for (int code = 0; code < 256; ++code)
        covered[qFromBigEndian(winAnsi()->GetCharCode(code))] = true;
    return covered;
}

// The letters of `characters` that WinAnsi lacks, each with the code it gets.
QVector<QPair<int, QChar>> extraLetters(const QString &characters)
{
    std::array<bool, 0x10000> covered = winAnsiCharacters();
    QVector<QPair<int, QChar>> letters;
    for (const QChar letter : characters) {
        if (covered[letter.unicode()])
            continue;
        if (letters.size() == int(FreeCodes.size()))
            PODOFO_RAISE_ERROR_INFO(ePdfError_ValueOutOfRange, "too many letters outside WinAnsi");
        letters.append({FreeCodes[size_t(letters.size())], letter});
        covered[letter.unicode()] = true;
    }
    return letters;
}

// WinAnsi with the extra letters in their codes, for writing text. The
// library's own difference encoding says the same in the file, but prints a
// line to standard output for every character it converts.
class ExtendedWinAnsi : public PdfSimpleEncoding
{
public:
    explicit ExtendedWinAnsi(const QVector<QPair<int, QChar>> &letters)
        : PdfSimpleEncoding(PdfName("LunorisWinAnsi"))
    {
        for (int code = 0; code < 256; ++code)
            m_table[size_t(code)] = qFromBigEndian(winAnsi()->GetCharCode(code));
        for (const auto &letter : letters)
            m_table[size_t(letter.first)] = letter.second.unicode();
    }

protected:
    const pdf_utf16be *GetToUnicodeTable() const override { return m_table.data(); }

private:
    std::array<pdf_utf16be, 256> m_table{};
};

// A composite font's codes, for writing text: two bytes a character, the
// identifier the font gives its glyph.
class GlyphCodes : public PdfEncoding
{
public:
    explicit GlyphCodes(const QHash<uint, quint16> &codes)
        : PdfEncoding(0, 0xffff)
        , m_codes(codes)
    {
    }

    // The font's own objects name the encoding; nothing is added for it.
    void AddToDictionary(PdfDictionary &) const override {}
    PdfRefCountedBuffer ConvertToEncoding(const PdfString &text, const PdfFont *) const override
    {
        QString string;
        if (text.IsUnicode()) {
            const pdf_utf16be *units = text.GetUnicode();
            for (pdf_long i = 0; i < text.GetUnicodeLength(); ++i)
                string += QChar(qFromBigEndian(units[i]));
        } else {
            string = QString::fromLatin1(text.GetString(), int(text.GetLength()));
        }
        std::string codes;
        forEachCodePoint(string, [&](uint character) {
            const quint16 code = m_codes.value(character);
            codes += char(code >> 8);
            codes += char(code & 0xff);
        });
        if (codes.empty())
            return PdfRefCountedBuffer();
        PdfRefCountedBuffer buffer(codes.size());
        std::memcpy(buffer.GetBuffer(), codes.data(), codes.size());
        return buffer;
    }
    bool IsAutoDelete() const override { return false; }
    bool IsSingleByteEncoding() const override { return false; }
    pdf_utf16be GetCharCode(int) const override { return 0; }

protected:
    const PdfName &GetID() const override
    {
        static const PdfName id("Identity-H");
        return id;
    }

private:
    QHash<uint, quint16> m_codes;
};

// The measures of a font whose objects are copied in whole: the painter
// keeps its size, scale and spacing here and asks for nothing else.
class CopiedMetrics : public PdfFontMetrics
{
public:
    explicit CopiedMetrics(const char *name)
        : PdfFontMetrics(ePdfFontType_Unknown, "", nullptr)
        , m_name(name)
    {
    }

    void GetWidthArray(PdfVariant &, unsigned int, unsigned int, const PdfEncoding *) const override {}
    double GetGlyphWidth(int) const override { return 0.0; }
    double GetGlyphWidth(const char *) const override { return 0.0; }
    void GetBoundingBox(PdfArray &) const override {}
    double CharWidth(unsigned char) const override { return 0.0; }
    double UnicodeCharWidth(unsigned short) const override { return 0.0; }
    double GetLineSpacing() const override { return 0.0; }
    double GetUnderlineThickness() const override { return 0.0; }
    double GetUnderlinePosition() const override { return 0.0; }
    double GetStrikeOutPosition() const override { return 0.0; }
    double GetStrikeoutThickness() const override { return 0.0; }
    const char *GetFontData() const override { return nullptr; }
    pdf_long GetFontDataLen() const override { return 0; }
    const char *GetFontname() const override { return m_name.c_str(); }
    unsigned int GetWeight() const override { return 400; }
    double GetAscent() const override { return 0.0; }
    double GetPdfAscent() const override { return 0.0; }
    double GetDescent() const override { return 0.0; }
    double GetPdfDescent() const override { return 0.0; }
    int GetItalicAngle() const override { return 0; }
    long GetGlyphId(long) const override { return 0; }
    bool IsSymbol() const override { return false; }

private:
    std::string m_name;
};

QSet<quint32> objectNumbers(PdfVecObjects &objects)
{
    QSet<quint32> numbers;
    for (PdfObject *object : objects)
        numbers.insert(object->Reference().ObjectNumber());
    return numbers;
}

// The objects made since `before` was taken, in the order they were made.
QVector<quint32> madeSince(PdfVecObjects &objects, const QSet<quint32> &before)
{
    QVector<quint32> made;
    for (PdfObject *object : objects) {
        if (!before.contains(object->Reference().ObjectNumber()))
            made.append(object->Reference().ObjectNumber());
    }
    std::sort(made.begin(), made.end());
    return made;
}

PdfObject &objectOf(PdfVecObjects &objects, quint32 number)
{
    PdfObject *object = objects.GetObject(PdfReference(number, 0));
    if (!object)
        PODOFO_RAISE_ERROR(ePdfError_NoObject);
    return *object;
}

bool onlyDigits(const QString &characters)
{
    for (const QChar character : characters) {
        if (!character.isDigit() || character.unicode() > 0x7f)
            return false;
    }
    return true;
}

} // namespace

QString beyondWinAnsi(const QString &characters)
{
    static const std::array<bool, 0x10000> covered = winAnsiCharacters();
    QString beyond;
    QSet<uint> seen;
    forEachCodePoint(characters, [&](uint character) {
        if ((character < 0x10000 && covered[character]) || seen.contains(character))
            return;
        seen.insert(character);
        beyond += QString::fromUcs4(&character, 1);
    });
    return beyond;
}

bool fitsSimpleFont(const QString &characters)
{
    const QString beyond = beyondWinAnsi(characters);
    // A character outside the plane of 16-bit characters takes two units.
    return beyond.size() <= SimpleFontExtraLetters && std::none_of(beyond.begin(), beyond.end(), [](QChar unit) {
               return unit.isSurrogate();
           });
}

// The document the font's objects are built in once per run.
class PdfRunFont::Template
{
public:
    PdfMemDocument document;
    // Outlives the fonts: the library's metrics keep a pointer to it.
    FT_Library library = document.GetFontLibrary();
    std::unique_ptr<PdfFontMetrics> measuringMetrics;
    std::unique_ptr<PdfFont> measuringFont; // a built-in font's measures
    std::unique_ptr<PdfFont> font;
    PdfObject *fontObject = nullptr; // the font's own dictionary, simple or composite
};

PdfRunFont::PdfRunFont(const PdfFontSource &source)
    : m_source(source)
    , m_template(new Template)
{
    // A desktop application's terminal is no place for the library's notes.
    PdfError::EnableDebug(false);
    PdfError::EnableLogging(false);
    try {
        switch (source.kind) {
        case PdfFontSource::Kind::Standard14:
            m_template->measuringFont.reset(PdfFontFactory::CreateBase14Font(
                source.family.toUtf8().constData(), ePdfFont_Normal, winAnsi(), &m_template->document.GetObjects()));
            if (m_template->measuringFont)
                m_metrics = const_cast<PdfFontMetrics *>(m_template->measuringFont->GetFontMetrics());
            break;
        case PdfFontSource::Kind::TrueType: {
            m_fontBytes = source.data;
            if (m_fontBytes.isEmpty()) {
                QFile file(QFile::decodeName(source.file));
                if (file.open(QIODevice::ReadOnly))
                    m_fontBytes = file.readAll();
            }
            if (m_fontBytes.isEmpty())
                break;
            PdfRefCountedBuffer buffer(size_t(m_fontBytes.size()));
            std::memcpy(buffer.GetBuffer(), m_fontBytes.constData(), size_t(m_fontBytes.size()));
            m_template->measuringMetrics.reset(
                new PdfFontMetricsFreetype(&m_template->library, buffer, false, "AAAAAA+"));
            break;
        }
        case PdfFontSource::Kind::Type1:
            m_template->measuringMetrics.reset(
                new PdfFontMetricsFreetype(&m_template->library, source.file.constData(), false));
            break;
        case PdfFontSource::Kind::Unusable:
            break;
        }
        auto *freetype = dynamic_cast<PdfFontMetricsFreetype *>(m_template->measuringMetrics.get());
        if (freetype && freetype->GetFace())
            m_metrics = freetype;
    } catch (const PdfError &) {
        m_metrics = nullptr;
    }
}

PdfRunFont::~PdfRunFont() = default;

TextFont PdfRunFont::measure(const QString &characters)
{
    TextFont text;
    if (!m_metrics)
        return text;
    // At size 1 the ascent and the like come out per em exactly; at 1000
    // the advances per thousand, as the library keeps them.
    m_metrics->SetFontSize(1.0f);
    text.ascent = m_metrics->GetAscent();
    text.descent = m_metrics->GetDescent();
    text.lineSpacing = m_metrics->GetLineSpacing();
    m_metrics->SetFontSize(1000.0f);
    forEachCodePoint(characters, [&](uint code) {
        double advance = 0.0;
        if (code < 0x80)
            advance = m_metrics->CharWidth(static_cast<unsigned char>(code));
        else if (code < 0x10000)
            advance = m_metrics->UnicodeCharWidth(static_cast<unsigned short>(code));
        else if (const long glyph = m_metrics->GetGlyphId(long(code)))
            advance = m_metrics->GetGlyphWidth(int(glyph));
        text.advances.insert(code, advance);
    });
    return text;
}

bool PdfRunFont::prepare(const QString &characters, QString *problem)
{
    try {
        build(characters);
        return true;
    } catch (const PdfError &error) {
        const char *message = PdfError::ErrorMessage(error.GetError());
        const char *name = PdfError::ErrorName(error.GetError());
        *problem = QString::fromUtf8(message && *message ? message : (name ? name : "?"));
    } catch (const std::exception &error) {
        *problem = QString::fromLocal8Bit(error.what());
    }
    m_template->font.reset();
    m_template->fontObject = nullptr;
    m_metrics = nullptr;
    return false;
}

void PdfRunFont::build(const QString &characters)
{
    if (!m_metrics)
        PODOFO_RAISE_ERROR(ePdfError_InvalidHandle);
    if (!fitsSimpleFont(characters)) {
        buildComposite(characters);
        return;
    }
    PdfVecObjects &objects = m_template->document.GetObjects();
    const QSet<quint32> existing = objectNumbers(objects);

    // The numbers alone are WinAnsi; labels add the Czech letters it lacks,
    // named in the file so that the text stays extractable.
    const QVector<QPair<int, QChar>> letters = extraLetters(characters);
    const PdfEncoding *fileEncoding = winAnsi();
    if (!letters.isEmpty()) {
        PdfEncodingDifference differences;
        for (const auto &letter : letters) {
            // Named here: the library would name it from the code point's
            // bytes in the wrong order.
            const pdf_utf16be codePoint = qToBigEndian(letter.second.unicode());
            differences.AddDifference(letter.first, codePoint, PdfDifferenceEncoding::UnicodeIDToName(codePoint));
        }
        fileEncoding = new PdfDifferenceEncoding(differences, PdfDifferenceEncoding::eBaseEncoding_WinAnsi,
                                                 &objects, true);
        m_drawingEncoding.reset(new ExtendedWinAnsi(letters));
    }
    m_encoding = letters.isEmpty() ? winAnsi() : m_drawingEncoding.get();

    const QByteArray family = m_source.family.toUtf8();
    switch (m_source.kind) {
    case PdfFontSource::Kind::Standard14:
        m_template->font.reset(PdfFontFactory::CreateBase14Font(family.constData(), ePdfFont_Normal, fileEncoding,
                                                                &objects));
        break;
    case PdfFontSource::Kind::TrueType:
        m_template->font.reset(PdfFontFactory::CreateFontObject(m_template->measuringMetrics.release(),
                                                                ePdfFont_Embedded | ePdfFont_Subsetting,
                                                                fileEncoding, &objects));
        break;
    case PdfFontSource::Kind::Type1:
        m_template->font.reset(PdfFontFactory::CreateFontObject(m_template->measuringMetrics.release(),
                                                                ePdfFont_Embedded, fileEncoding, &objects));
        break;
    case PdfFontSource::Kind::Unusable:
        break;
    }
    PdfFont *font = m_template->font.get();
    if (!font)
        PODOFO_RAISE_ERROR(ePdfError_InvalidHandle);
    m_metrics = const_cast<PdfFontMetrics *>(font->GetFontMetrics());
    m_template->fontObject = font->GetObject();
    m_fontNumber = font->GetObject()->Reference().ObjectNumber();
    m_before = madeSince(objects, existing);
    const QSet<quint32> made = objectNumbers(objects);

    if (m_source.kind == PdfFontSource::Kind::TrueType)
        embedSubset(*font, *fileEncoding, characters);
    m_after = madeSince(objects, made);
    keepStreams();
}

void PdfRunFont::keepStreams()
{
    PdfVecObjects &objects = m_template->document.GetObjects();
    for (const quint32 number : m_before + m_after) {
        const PdfObject &object = objectOf(objects, number);
        if (!object.HasStream())
            continue;
        char *raw = nullptr;
        pdf_long length = 0;
        object.GetStream()->GetCopy(&raw, &length);
        m_rawStreams.insert(number, QByteArray(raw, int(length)));
        podofo_free(raw);
    }
}

namespace {

// Whether `value` points at other objects anywhere within it.
bool holdsReferences(const PdfVariant &value)
{
    if (value.IsReference())
        return true;
    if (value.IsArray()) {
        for (const PdfObject &element : value.GetArray()) {
            if (holdsReferences(element))
                return true;
        }
    }
    if (value.IsDictionary()) {
        for (const auto &key : value.GetDictionary().GetKeys()) {
            if (holdsReferences(*key.second))
                return true;
        }
    }
    return false;
}

} // namespace

void PdfRunFont::embedSubset(PdfFont &font, const PdfEncoding &encoding, const QString &characters)
{
    // The codes of the characters, the last code of a character as the
    // library counts them.
    QMap<int, ushort> used;
    QHash<ushort, int> codes;
    for (int code = 0; code < 256; ++code)
        codes.insert(qFromBigEndian(encoding.GetCharCode(code)), code);
    for (const QChar character : characters) {
        const auto code = codes.constFind(character.unicode());
        if (code != codes.constEnd() && *code > 0)
            used.insert(*code, character.unicode());
    }
    if (used.isEmpty())
        PODOFO_RAISE_ERROR_INFO(ePdfError_InvalidDataType, "no characters to embed");

    // The widths of the codes from the first used to the last, in
    // thousandths of an em rounded as the library rounds them.
    PdfDictionary &dictionary = font.GetObject()->GetDictionary();
    PdfArray widths;
    for (int code = used.firstKey(); code <= used.lastKey(); ++code) {
        const long glyph = used.contains(code) ? m_metrics->GetGlyphId(used.value(code)) : 0;
        widths.push_back(static_cast<pdf_int64>(glyph ? m_metrics->GetGlyphWidth(int(glyph)) + 0.5 : 0.0));
    }
    dictionary.AddKey(PdfName("FirstChar"), static_cast<pdf_int64>(used.firstKey()));
    dictionary.AddKey(PdfName("LastChar"), static_cast<pdf_int64>(used.lastKey()));
    dictionary.AddKey(PdfName("Widths"), widths);

    // The character map that keeps the text extractable: runs of codes in a
    // row, in the library's form.
    QByteArray ranges;
    int rangeCount = 0;
    for (auto code = used.constBegin(); code != used.constEnd();) {
        const int first = code.key();
        QByteArray targets;
        int last = first;
        while (code != used.constEnd() && code.key() == last + (targets.isEmpty() ? 0 : 1)) {
            last = code.key();
            targets += QStringLiteral("<%1> ").arg(code.value(), 4, 16, QLatin1Char('0')).toUpper().toLatin1();
            ++code;
        }
        ranges += QStringLiteral("<%1> <%2> [ ").arg(first, 2, 16, QLatin1Char('0')).arg(last, 2, 16, QLatin1Char('0'))
                      .toUpper().toLatin1()
                  + targets + "]\n";
        ++rangeCount;
    }
    if (rangeCount > 99)
        PODOFO_RAISE_ERROR_INFO(ePdfError_ValueOutOfRange, "too many ranges of characters");
    const QByteArray map = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n/CIDSystemInfo\n"
                           "<< /Registry (Adobe)\n/Ordering (UCS)\n/Supplement 0\n>> def\n"
                           "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n1 begincodespacerange\n<00> <FF>\n"
                           "endcodespacerange\n"
                           + QByteArray::number(rangeCount) + " beginbfrange\n" + ranges
                           + "endbfrange\nendcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    PdfVecObjects &objects = *font.GetObject()->GetOwner();
    PdfObject *toUnicode = objects.CreateObject();
    TVecFilters flate;
    flate.push_back(ePdfFilter_FlateDecode);
    toUnicode->GetStream()->Set(map.constData(), map.size(), flate);
    dictionary.AddKey(PdfName("ToUnicode"), toUnicode->Reference());

    // The font program: HarfBuzz's subset, whose tables are sound, with the
    // hinting of the glyphs only where they are no more than the numbers.
    const QByteArray subset = subsetTrueType(m_fontBytes, characters, onlyDigits(characters));
    PdfObject *descriptor = font.GetObject()->GetIndirectKey(PdfName("FontDescriptor"));
    if (!descriptor || subset.isEmpty())
        PODOFO_RAISE_ERROR_INFO(ePdfError_UnsupportedFontFormat, "the font cannot be subset");
    PdfObject *program = objects.CreateObject();
    program->GetDictionary().AddKey(PdfName("Length1"), PdfVariant(static_cast<pdf_int64>(subset.size())));
    program->GetStream()->Set(subset.constData(), subset.size(), flate);
    descriptor->GetDictionary().AddKey(PdfName("FontFile2"), program->Reference());
}

namespace {

// A subset's tag: six capitals that differ from subset to subset of a face.
QByteArray subsetTag(const QByteArray &name, const QVector<uint> &characters)
{
    quint32 hash = 2166136261u; // FNV-1a
    for (const char letter : name) {
        hash ^= quint8(letter);
        hash *= 16777619u;
    }
    for (const uint character : characters) {
        for (int shift = 0; shift < 32; shift += 8) {
            hash ^= (character >> shift) & 0xff;
            hash *= 16777619u;
        }
    }
    QByteArray tag;
    for (int i = 0; i < 6; ++i, hash /= 26)
        tag += char('A' + hash % 26);
    return tag + '+';
}

QByteArray hex4(uint value)
{
    return QByteArray::number(value, 16).toUpper().rightJustified(4, '0');
}

// A character as the UTF-16 units a character map names it by.
QByteArray utf16Hex(uint character)
{
    if (character < 0x10000)
        return hex4(character);
    return hex4(QChar::highSurrogate(character)) + hex4(QChar::lowSurrogate(character));
}

} // namespace

void PdfRunFont::buildComposite(const QString &characters)
{
    auto *face = dynamic_cast<PdfFontMetricsFreetype *>(m_template->measuringMetrics.get());
    if (m_source.kind != PdfFontSource::Kind::TrueType || !face || !face->GetFace())
        PODOFO_RAISE_ERROR_INFO(ePdfError_ValueOutOfRange, "only a TrueType font holds these characters");
    m_composite = true;
    m_metrics = face;
    PdfVecObjects &objects = m_template->document.GetObjects();
    const QSet<quint32> existing = objectNumbers(objects);

    // Each character is written as its glyph's number, which the subset
    // keeps and the font maps to itself. A glyph that stands for a second
    // character (a no-break space drawn as the space) takes a number past
    // the face's glyphs for it, so that each reads back as itself.
    const uint glyphCount = uint(face->GetFace()->num_glyphs);
    QVector<uint> used;
    QHash<uint, quint16> codes;
    QMap<uint, uint> glyphOf; // by code
    QMap<uint, uint> characterOf;
    QSet<uint> glyphsUsed;
    uint nextCode = glyphCount;
    forEachCodePoint(characters, [&](uint character) {
        if (codes.contains(character))
            return;
        const uint glyph = uint(face->GetGlyphId(long(character)));
        uint code = glyph;
        if (glyphsUsed.contains(glyph) || glyph >= glyphCount)
            code = nextCode++;
        glyphsUsed.insert(glyph);
        if (code > 0xffff)
            PODOFO_RAISE_ERROR_INFO(ePdfError_ValueOutOfRange, "too many glyphs");
        used.append(character);
        codes.insert(character, quint16(code));
        glyphOf.insert(code, glyph);
        characterOf.insert(code, character);
    });
    if (used.isEmpty())
        PODOFO_RAISE_ERROR_INFO(ePdfError_InvalidDataType, "no characters to embed");
    m_drawingEncoding.reset(new GlyphCodes(codes));
    m_encoding = m_drawingEncoding.get();

    QByteArray name;
    for (const char *letter = face->GetFontname(); letter && *letter; ++letter) {
        if (*letter != ' ')
            name += *letter;
    }
    if (name.isEmpty())
        name = "Font";
    const PdfName baseFont((subsetTag(name, used) + name).constData());

    // The font, its one descendant and its descriptor come before the pages.
    PdfObject *font = objects.CreateObject("Font");
    PdfObject *descendant = objects.CreateObject("Font");
    PdfObject *descriptor = objects.CreateObject("FontDescriptor");
    PdfArray descendants;
    descendants.push_back(descendant->Reference());
    PdfDictionary &type0 = font->GetDictionary();
    type0.AddKey(PdfName::KeySubtype, PdfName("Type0"));
    type0.AddKey(PdfName("BaseFont"), baseFont);
    type0.AddKey(PdfName("Encoding"), PdfName("Identity-H"));
    type0.AddKey(PdfName("DescendantFonts"), descendants);

    // The widths of the codes used, runs of codes in a row each in one
    // array, rounded as the simple font's.
    PdfArray widths;
    for (auto code = glyphOf.constBegin(); code != glyphOf.constEnd();) {
        const uint first = code.key();
        PdfArray run;
        for (uint next = first; code != glyphOf.constEnd() && code.key() == next; ++code, ++next) {
            const uint glyph = code.value();
            run.push_back(static_cast<pdf_int64>(glyph ? face->GetGlyphWidth(int(glyph)) + 0.5 : 0.0));
        }
        widths.push_back(static_cast<pdf_int64>(first));
        widths.push_back(run);
    }
    PdfDictionary system;
    system.AddKey(PdfName("Registry"), PdfString("Adobe"));
    system.AddKey(PdfName("Ordering"), PdfString("Identity"));
    system.AddKey(PdfName("Supplement"), PdfVariant(static_cast<pdf_int64>(0)));
    PdfDictionary &cidFont = descendant->GetDictionary();
    cidFont.AddKey(PdfName::KeySubtype, PdfName("CIDFontType2"));
    cidFont.AddKey(PdfName("BaseFont"), baseFont);
    cidFont.AddKey(PdfName("CIDSystemInfo"), system);
    cidFont.AddKey(PdfName("FontDescriptor"), descriptor->Reference());
    cidFont.AddKey(PdfName("W"), widths);
    const bool identity = nextCode == glyphCount;
    if (identity)
        cidFont.AddKey(PdfName("CIDToGIDMap"), PdfName("Identity"));

    PdfArray box;
    face->GetBoundingBox(box);
    PdfDictionary &measures = descriptor->GetDictionary();
    measures.AddKey(PdfName("FontName"), baseFont);
    // Symbolic: its glyphs are found by number, not by a standard encoding.
    measures.AddKey(PdfName("Flags"), static_cast<pdf_int64>(4));
    measures.AddKey(PdfName("FontBBox"), box);
    measures.AddKey(PdfName("ItalicAngle"), static_cast<pdf_int64>(face->GetItalicAngle()));
    measures.AddKey(PdfName("Ascent"), face->GetPdfAscent());
    measures.AddKey(PdfName("Descent"), face->GetPdfDescent());
    measures.AddKey(PdfName("CapHeight"), face->GetPdfAscent());
    measures.AddKey(PdfName("StemV"), static_cast<pdf_int64>(1));

    m_template->fontObject = font;
    m_fontNumber = font->Reference().ObjectNumber();
    m_before = madeSince(objects, existing);
    const QSet<quint32> made = objectNumbers(objects);

    // After the pages: the character map that keeps the text extractable,
    // the font program, and the numbers' glyphs where they are not their own.
    QByteArray pairs;
    int pairCount = 0;
    QByteArray map = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n/CIDSystemInfo\n"
                     "<< /Registry (Adobe)\n/Ordering (UCS)\n/Supplement 0\n>> def\n"
                     "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n1 begincodespacerange\n<0000> <FFFF>\n"
                     "endcodespacerange\n";
    for (auto code = characterOf.constBegin(); code != characterOf.constEnd(); ++code) {
        pairs += '<' + hex4(code.key()) + "> <" + utf16Hex(code.value()) + ">\n";
        // No more than a hundred to a block.
        if (++pairCount == 100 || std::next(code) == characterOf.constEnd()) {
            map += QByteArray::number(pairCount) + " beginbfchar\n" + pairs + "endbfchar\n";
            pairs.clear();
            pairCount = 0;
        }
    }
    map += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
    TVecFilters flate;
    flate.push_back(ePdfFilter_FlateDecode);
    PdfObject *toUnicode = objects.CreateObject();
    toUnicode->GetStream()->Set(map.constData(), map.size(), flate);
    type0.AddKey(PdfName("ToUnicode"), toUnicode->Reference());

    const QByteArray subset = subsetTrueType(m_fontBytes, characters, false);
    if (subset.isEmpty())
        PODOFO_RAISE_ERROR_INFO(ePdfError_UnsupportedFontFormat, "the font cannot be subset");
    PdfObject *program = objects.CreateObject();
    program->GetDictionary().AddKey(PdfName("Length1"), PdfVariant(static_cast<pdf_int64>(subset.size())));
    program->GetStream()->Set(subset.constData(), subset.size(), flate);
    measures.AddKey(PdfName("FontFile2"), program->Reference());

    if (!identity) {
        QByteArray glyphs;
        for (uint code = 0; code < nextCode; ++code) {
            const uint glyph = code < glyphCount ? code : glyphOf.value(code);
            glyphs += char(glyph >> 8);
            glyphs += char(glyph & 0xff);
        }
        PdfObject *numbers = objects.CreateObject();
        numbers->GetStream()->Set(glyphs.constData(), glyphs.size(), flate);
        cidFont.AddKey(PdfName("CIDToGIDMap"), numbers->Reference());
    }
    m_after = madeSince(objects, made);
    keepStreams();
}

void PdfRunFont::copyObject(const PdfObject &from, PdfObject &to, const QHash<quint32, quint32> &numbers,
                            bool deferLater) const
{
    const auto remap = [&](const PdfVariant &value, const auto &self) -> PdfVariant {
        if (!holdsReferences(value))
            return value;
        if (value.IsReference()) {
            const quint32 number = numbers.value(value.GetReference().ObjectNumber());
            if (!number)
                PODOFO_RAISE_ERROR(ePdfError_NoObject);
            return PdfReference(number, 0);
        }
        if (value.IsArray()) {
            PdfArray array;
            for (const PdfObject &element : value.GetArray())
                array.push_back(self(element, self));
            return array;
        }
        if (value.IsDictionary()) {
            PdfDictionary dictionary;
            for (const auto &key : value.GetDictionary().GetKeys())
                dictionary.AddKey(key.first, self(*key.second, self));
            return dictionary;
        }
        return value;
    };
    if (!from.IsDictionary()) {
        // The value alone: the object keeps its own number.
        static_cast<PdfVariant &>(to) = remap(from, remap);
        return;
    }
    for (const auto &key : from.GetDictionary().GetKeys()) {
        const PdfObject &value = *key.second;
        // Keys that point at objects made after the pages are set then.
        if (deferLater && value.IsReference() && !numbers.contains(value.GetReference().ObjectNumber()))
            continue;
        if (holdsReferences(value))
            to.GetDictionary().AddKey(key.first, remap(value, remap));
        else
            to.GetDictionary().AddKey(key.first, value);
    }
    const auto stream = m_rawStreams.constFind(from.Reference().ObjectNumber());
    if (stream != m_rawStreams.constEnd()) {
        PdfMemoryInputStream input(stream->constData(), stream->size());
        to.GetStream()->SetRawData(&input, stream->size());
    }
}

std::unique_ptr<PdfRunFont::Copy> PdfRunFont::copyInto(PdfMemDocument &document) const
{
    if (!m_template->fontObject)
        PODOFO_RAISE_ERROR(ePdfError_InvalidHandle);
    return std::unique_ptr<Copy>(new Copy(*this, document));
}

PdfRunFont::Copy::Copy(const PdfRunFont &runFont, PdfMemDocument &document)
    : m_runFont(runFont)
    , m_document(document)
{
    PdfVecObjects &objects = document.GetObjects();
    PdfVecObjects &source = runFont.m_template->document.GetObjects();
    QVector<PdfObject *> made;
    for (const quint32 number : runFont.m_before) {
        PdfObject *object = nullptr;
        if (number == runFont.m_fontNumber) {
            // The painter's font: named "Ft" and its object number, as the
            // library names the fonts it makes.
            const PdfDictionary &font = runFont.m_template->fontObject->GetDictionary();
            const PdfName name = font.HasKey("BaseFont") ? font.GetKey("BaseFont")->GetName() : PdfName("Font");
            m_font = new PdfFont(new CopiedMetrics(name.GetName().c_str()), runFont.m_encoding, &objects);
            object = m_font->GetObject();
        } else {
            object = objects.CreateObject();
        }
        m_numbers.insert(number, object->Reference().ObjectNumber());
        made.append(object);
    }
    for (int i = 0; i < made.size(); ++i)
        runFont.copyObject(objectOf(source, runFont.m_before.at(i)), *made.at(i), m_numbers, true);
}

PdfRunFont::Copy::~Copy()
{
    delete m_font;
}

void PdfRunFont::Copy::finish()
{
    PdfVecObjects &objects = m_document.GetObjects();
    PdfVecObjects &source = m_runFont.m_template->document.GetObjects();
    QVector<PdfObject *> made;
    for (const quint32 number : m_runFont.m_after) {
        PdfObject *object = objects.CreateObject();
        m_numbers.insert(number, object->Reference().ObjectNumber());
        made.append(object);
    }
    for (int i = 0; i < made.size(); ++i)
        m_runFont.copyObject(objectOf(source, m_runFont.m_after.at(i)), *made.at(i), m_numbers, false);
    // The keys of the earlier objects that point at these.
    for (const quint32 number : m_runFont.m_before) {
        const PdfObject &from = objectOf(source, number);
        if (!from.IsDictionary())
            continue;
        PdfObject &to = objectOf(objects, m_numbers.value(number));
        for (const auto &key : from.GetDictionary().GetKeys()) {
            const PdfObject &value = *key.second;
            if (value.IsReference() && m_runFont.m_after.contains(value.GetReference().ObjectNumber()))
                to.GetDictionary().AddKey(key.first,
                                          PdfReference(m_numbers.value(value.GetReference().ObjectNumber()), 0));
        }
    }
}

} // namespace Calendar
