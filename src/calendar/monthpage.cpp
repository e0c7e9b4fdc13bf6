#include "monthpage.h"

#include "fontprogram.h"
#include "sheet.h"

#include <QFile>
#include <QSet>
#include <QtEndian>

#include <podofo/podofo.h>

#include <cstring>
#include <iterator>
#include <memory>

using namespace PoDoFo;

namespace Calendar {

namespace {

// The library's own buffer for the run's font bytes, made once: the months
// of a run share it instead of allocating and copying hundreds of kilobytes
// each. The fonts only read it.
PdfRefCountedBuffer sharedBuffer(const QByteArray &bytes)
{
    static QByteArray key;
    static PdfRefCountedBuffer buffer;
    if (key.constData() != bytes.constData() || key.size() != bytes.size()) {
        key = bytes;
        buffer = PdfRefCountedBuffer(size_t(bytes.size()));
        std::memcpy(buffer.GetBuffer(), bytes.constData(), size_t(bytes.size()));
    }
    return buffer;
}

// The subset of a TrueType font from the bytes read once for the run. This is
// what the document's font cache does with a file name, minus reading and
// parsing the file again for every month.
PdfFont *createTrueTypeSubset(PdfMemDocument &document, FT_Library *library, const PdfFontSource &source,
                              const PdfEncoding *encoding)
{
    QByteArray bytes = source.data;
    if (bytes.isEmpty()) {
        QFile file(QFile::decodeName(source.file));
        if (!file.open(QIODevice::ReadOnly))
            return nullptr;
        bytes = file.readAll();
    }
    if (bytes.isEmpty())
        return nullptr;
    auto *metrics = new PdfFontMetricsFreetype(library, sharedBuffer(bytes), false, "AAAAAA+");
    if (!metrics->GetFace()) {
        delete metrics;
        return nullptr;
    }
    return PdfFontFactory::CreateFontObject(metrics, ePdfFont_Embedded | ePdfFont_Subsetting, encoding,
                                            &document.GetObjects());
}

// WinAnsi with the letters of the labels it lacks (ř, ě, Č, Ř) put into
// codes it leaves unused: the numbers keep their encoding, and the text stays
// extractable by the letters' standard names. The font deletes it.
const PdfEncoding *czechWinAnsi(PdfMemDocument &document)
{
    const PdfEncoding *winAnsi = PdfEncodingFactory::GlobalWinAnsiEncodingInstance();
    QSet<ushort> covered;
    for (int code = 0; code < 256; ++code)
        covered.insert(qFromBigEndian(winAnsi->GetCharCode(code)));
    static const int unused[] = {0x81, 0x8d, 0x8f, 0x90, 0x9d};
    PdfEncodingDifference differences;
    int next = 0;
    for (const QChar letter : TextFont::alphabet()) {
        if (covered.contains(letter.unicode()) || next == int(std::size(unused)))
            continue;
        // Named here: the library would name it from the code point's bytes
        // in the wrong order.
        const pdf_utf16be codePoint = qToBigEndian(letter.unicode());
        differences.AddDifference(unused[next++], codePoint, PdfDifferenceEncoding::UnicodeIDToName(codePoint));
    }
    return new PdfDifferenceEncoding(differences, PdfDifferenceEncoding::eBaseEncoding_WinAnsi, &document, true);
}

// The numbers alone are WinAnsi; labels add the Czech letters it lacks.
PdfFont *createFont(PdfMemDocument &document, FT_Library *library, const PdfFontSource &source, bool czech)
{
    const QByteArray family = source.family.toUtf8();
    const PdfEncoding *winAnsi = czech ? czechWinAnsi(document) : PdfEncodingFactory::GlobalWinAnsiEncodingInstance();
    switch (source.kind) {
    case PdfFontSource::Kind::Standard14:
        return document.CreateFont(family.constData(), false, winAnsi,
                                   PdfFontCache::eFontCreationFlags_AutoSelectBase14, true);
    case PdfFontSource::Kind::TrueType:
        // Embedding only the glyphs used keeps a month near 7 KB instead of
        // the whole font (90 to 400 KB), and it still prints the same anywhere.
        return createTrueTypeSubset(document, library, source, winAnsi);
    case PdfFontSource::Kind::Type1:
        return document.CreateFont(family.constData(), false, false, false, winAnsi,
                                   PdfFontCache::eFontCreationFlags_None, true,
                                   source.file.constData());
    case PdfFontSource::Kind::Unusable:
        break;
    }
    return nullptr;
}

constexpr double CropMarkWidthPt = 0.25;

// Streams made while it lives are stored as they are, so that they can be
// changed and compressed once instead of compressed, inflated and compressed
// again.
class UncompressedStreams
{
public:
    UncompressedStreams() : m_saved(PdfStream::eDefaultFilter) { PdfStream::eDefaultFilter = ePdfFilter_None; }
    ~UncompressedStreams() { PdfStream::eDefaultFilter = m_saved; }
    UncompressedStreams(const UncompressedStreams &) = delete;
    UncompressedStreams &operator=(const UncompressedStreams &) = delete;

private:
    EPdfFilter m_saved;
};

// Stores an uncompressed stream compressed; `change` may rewrite its bytes
// first.
void compress(PdfObject *object, QByteArray (*change)(const QByteArray &) = nullptr)
{
    if (!object || !object->HasStream())
        return;
    char *buffer = nullptr;
    pdf_long length = 0;
    object->GetStream()->GetFilteredCopy(&buffer, &length);
    QByteArray bytes(buffer, int(length));
    podofo_free(buffer);
    if (change) {
        bytes = change(bytes);
        object->GetDictionary().AddKey(PdfName("Length1"), PdfVariant(static_cast<pdf_int64>(bytes.size())));
    }
    object->GetStream()->Set(bytes.constData(), bytes.size());
}

// Embeds the subset of `font` with its TrueType program without hinting.
void embedWithoutHinting(PdfFont &font)
{
    {
        const UncompressedStreams raw;
        font.EmbedSubsetFont();
    }
    PdfObject *descriptor = font.GetObject()->GetIndirectKey(PdfName("FontDescriptor"));
    compress(descriptor ? descriptor->GetIndirectKey(PdfName("FontFile2")) : nullptr, withoutHinting);
    compress(font.GetObject()->GetIndirectKey(PdfName("ToUnicode")));
}

// Ends the painter's work on the page even when drawing throws, so that the
// painter's destructor does not complain about an unfinished page.
class PainterGuard
{
public:
    explicit PainterGuard(PdfPainter &painter) : m_painter(painter) {}
    ~PainterGuard()
    {
        if (m_painter.GetPage()) {
            try {
                m_painter.FinishPage();
            } catch (...) {
            }
        }
    }
    PainterGuard(const PainterGuard &) = delete;
    PainterGuard &operator=(const PainterGuard &) = delete;

private:
    PdfPainter &m_painter;
};

TextFont textFontOf(const PdfFontMetrics &metrics)
{
    TextFont font;
    const double size = metrics.GetFontSize();
    if (size <= 0)
        return font;
    font.ascent = metrics.GetAscent() / size;
    font.descent = metrics.GetDescent() / size;
    for (const QChar character : TextFont::alphabet()) {
        const ushort code = character.unicode();
        font.advances.insert(character, (code < 0x80 ? metrics.CharWidth(static_cast<unsigned char>(code))
                                                      : metrics.UnicodeCharWidth(code))
                                            / size);
    }
    return font;
}

} // namespace

void drawMonth(PdfPainter &painter, const MonthModel &model, const ShiftColors &shiftColors,
               const PageLook &look)
{
    const Cmyk &text = look.fontColor;
    const Cmyk &border = look.borderColor;
    painter.SetStrokingColorCMYK(border.cyan, border.magenta, border.yellow, border.black);
    painter.SetStrokeWidth(look.borderWidthPt / PointsPerMm);

    const double w = model.layout.boxWidthMm;
    const double h = model.layout.boxHeightMm;
    for (const DayCell &day : model.days) {
        if (!look.textOnly) {
            const Cmyk &fill = shiftColors[size_t(day.shift)];
            painter.SetColorCMYK(fill.cyan, fill.magenta, fill.yellow, fill.black);
            painter.Rectangle(day.box.x(), day.box.y(), w, h, 0.0, 0.0);
            painter.Close();
            painter.FillAndStroke(false);
        }
        painter.SetColorCMYK(text.cyan, text.magenta, text.yellow, text.black);
        if (day.holiday) {
            painter.MoveTo(day.mark.at(0).x(), day.mark.at(0).y());
            for (int i = 1; i < day.mark.size(); ++i)
                painter.LineTo(day.mark.at(i).x(), day.mark.at(i).y());
            painter.ClosePath();
            painter.Fill();
        }
        // A number wider than its box would be wrapped digit by digit: lay
        // it out in a box just wide enough, with the same centre.
        const double spare = day.numberWidthMm < w ? 0.0 : day.numberWidthMm - w + 1.0;
        painter.DrawMultiLineText(day.box.x() - spare / 2, day.box.y(), w + spare, h,
                                  PdfString(day.number.toLatin1().constData()), ePdfAlignment_Center,
                                  ePdfVerticalAlignment_Center, false);
    }

    PdfFont *font = painter.GetFont();
    for (const TextLabel &label : model.labels) {
        font->SetFontSize(float(label.sizePt / PointsPerMm));
        const QByteArray text = label.text.toUtf8();
        painter.DrawText(label.baseline.x(), label.baseline.y(),
                         PdfString(reinterpret_cast<const pdf_utf8 *>(text.constData())));
    }
}

namespace {

// A document of the run's calendars with the one font they are drawn in.
class CalendarDocument
{
public:
    explicit CalendarDocument(const PageLook &look)
        : m_look(look)
    {
        m_document.SetPdfVersion(ePdfVersion_1_3);
        m_document.SetWriteMode(ePdfWriteMode_Compact);
        m_library = m_document.GetFontLibrary();
        m_font = createFont(m_document, &m_library, look.font, look.labels);
        if (!m_font)
            throw FontUnavailable();
        if (look.font.kind == PdfFontSource::Kind::TrueType)
            m_ownFont.reset(m_font);
        m_font->SetFontSize(float(look.fontSizePt / PointsPerMm));
        m_text = textFontOf(*m_font->GetFontMetrics());
    }

    MonthModel layOut(int year, int month, int shift, double boxWidthMm, double boxHeightMm) const
    {
        const Layout layout{boxWidthMm, boxHeightMm, m_look.fontSizePt, m_text, m_look.labels, m_look.holidays};
        return layOutMonth(year, month, shift, layout);
    }

    // A page of `sizePt`, drawn by `draw` with millimetre coordinates from
    // its top-left corner.
    template<typename Draw>
    void addPage(const QSizeF &sizePt, Draw draw)
    {
        PdfPage *page = m_document.CreatePage(PdfRect(0.0, 0.0, sizePt.width(), sizePt.height()));
        PdfPainter painter;
        painter.SetPage(page);
        PainterGuard guard(painter);
        painter.SetFont(m_font);
        painter.SetTransformationMatrix(PointsPerMm, 0.0, 0.0, PointsPerMm, 0.0, page->GetPageSize().GetHeight());
        draw(painter);
        painter.FinishPage();
    }

    PdfFont &font() { return *m_font; }
    const TextFont &text() const { return m_text; }

    QByteArray bytes()
    {
        // Not in the document's font cache, so its subset is embedded here.
        // Labels bring letters far into the font, and their hinting would
        // double a month's size; the numbers alone keep theirs.
        if (m_ownFont && m_font->IsSubsetting() && m_look.labels)
            embedWithoutHinting(*m_font);
        else if (m_ownFont && m_font->IsSubsetting())
            m_font->EmbedSubsetFont();
        PdfRefCountedBuffer buffer;
        PdfOutputDevice device(&buffer);
        m_document.Write(&device);
        return QByteArray(buffer.GetBuffer(), int(device.GetLength()));
    }

private:
    const PageLook &m_look;
    // Outlives the document: the font keeps a pointer to it.
    FT_Library m_library = nullptr;
    PdfMemDocument m_document;
    // A font made outside the document's font cache is ours to delete, and
    // before the document: its face belongs to the document's FreeType
    // library.
    std::unique_ptr<PdfFont> m_ownFont;
    PdfFont *m_font = nullptr;
    TextFont m_text;
};

// Runs `build` and turns what it throws into the result's error.
template<typename Build>
MonthPdf buildPdf(Build build)
{
    MonthPdf result;
    try {
        result.bytes = build();
    } catch (const FontUnavailable &) {
        result.error = MonthPdf::Error::FontUnavailable;
    } catch (const PdfError &error) {
        result.error = MonthPdf::Error::PdfLibrary;
        const char *message = PdfError::ErrorMessage(error.GetError());
        const char *name = PdfError::ErrorName(error.GetError());
        result.detail = QString::fromUtf8(message && *message ? message : (name ? name : "?"));
    } catch (const std::exception &error) {
        result.error = MonthPdf::Error::PdfLibrary;
        result.detail = QString::fromLocal8Bit(error.what());
    } catch (...) {
        result.error = MonthPdf::Error::PdfLibrary;
    }
    return result;
}

} // namespace

TextFont measureText(const PdfFontSource &source)
{
    PageLook look;
    look.font = source;
    try {
        return CalendarDocument(look).text();
    } catch (...) {
        return {};
    }
}

MonthPdf renderMonth(QDate &date, int &shift, const ShiftColors &shiftColors,
                     double boxWidthMm, double boxHeightMm, const PageLook &look)
{
    return buildPdf([&] {
        CalendarDocument document(look);
        const MonthModel model = document.layOut(date.year(), date.month(), shift, boxWidthMm, boxHeightMm);
        document.addPage(pageSizePoints(boxWidthMm, boxHeightMm),
                         [&](PdfPainter &painter) { drawMonth(painter, model, shiftColors, look); });
        date = QDate(date.year(), date.month(), 1).addMonths(1);
        shift = model.shiftAfter;
        return document.bytes();
    });
}

MonthPdf renderSheet(int year, int firstShift, const ShiftColors &shiftColors, double boxWidthMm,
                     double boxHeightMm, const PageLook &look)
{
    return buildPdf([&] {
        CalendarDocument document(look);
        const QSizeF card = pageSizePoints(boxWidthMm, boxHeightMm) / PointsPerMm;
        const float numberSize = float(look.fontSizePt / PointsPerMm);
        for (const SheetPage &sheet : layOutSheet(card)) {
            document.addPage(sheet.sizeMm * PointsPerMm, [&](PdfPainter &painter) {
                for (int i = 0; i < sheet.months.size(); ++i) {
                    const int month = sheet.months.at(i);
                    const int shift = shiftOnDate(QDate(year, month, 1), firstShift);
                    const MonthModel model = document.layOut(year, month, shift, boxWidthMm, boxHeightMm);
                    painter.Save();
                    painter.SetTransformationMatrix(1.0, 0.0, 0.0, 1.0, sheet.cardOrigins.at(i).x(),
                                                    sheet.cardOrigins.at(i).y());
                    // The labels leave the font at their size.
                    document.font().SetFontSize(numberSize);
                    drawMonth(painter, model, shiftColors, look);
                    painter.Restore();
                }
                // Registration black: the marks show on every plate.
                painter.SetStrokingColorCMYK(1.0, 1.0, 1.0, 1.0);
                painter.SetStrokeWidth(CropMarkWidthPt / PointsPerMm);
                for (const QLineF &mark : sheet.cropMarks)
                    painter.DrawLine(mark.x1(), mark.y1(), mark.x2(), mark.y2());
            });
        }
        return document.bytes();
    });
}

} // namespace Calendar
