#include "monthpage.h"

#include "fontprogram.h"

#include <QFile>

#include <podofo/podofo.h>

#include <cstring>
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

// The numbers alone are WinAnsi; labels need the Czech letters of
// Windows-1250, which keeps digits and Latin letters where WinAnsi has them.
PdfFont *createFont(PdfMemDocument &document, FT_Library *library, const PdfFontSource &source, bool czech)
{
    const QByteArray family = source.family.toUtf8();
    const PdfEncoding *winAnsi = czech ? PdfEncodingFactory::GlobalWin1250EncodingInstance()
                                       : PdfEncodingFactory::GlobalWinAnsiEncodingInstance();
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

} // namespace

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

TextFont measureText(const PdfFontSource &source)
{
    try {
        FT_Library library = nullptr;
        PdfMemDocument document;
        library = document.GetFontLibrary();
        std::unique_ptr<PdfFont> ownFont;
        PdfFont *font = createFont(document, &library, source, false);
        if (!font)
            return {};
        if (source.kind == PdfFontSource::Kind::TrueType)
            ownFont.reset(font);
        font->SetFontSize(1.0f);
        return textFontOf(*font->GetFontMetrics());
    } catch (...) {
        return {};
    }
}

MonthPdf renderMonth(QDate &date, int &shift, const ShiftColors &shiftColors,
                     double boxWidthMm, double boxHeightMm, const PageLook &look)
{
    MonthPdf result;
    try {
        // Outlives the document: the font keeps a pointer to it.
        FT_Library library = nullptr;
        PdfMemDocument document;
        document.SetPdfVersion(ePdfVersion_1_3);
        document.SetWriteMode(ePdfWriteMode_Compact);
        library = document.GetFontLibrary();
        // A font made outside the document's font cache is ours to delete,
        // and before the document: its face belongs to the document's
        // FreeType library.
        std::unique_ptr<PdfFont> ownFont;
        PdfFont *font = createFont(document, &library, look.font, look.labels);
        if (!font)
            throw FontUnavailable();
        if (look.font.kind == PdfFontSource::Kind::TrueType)
            ownFont.reset(font);
        font->SetFontSize(float(look.fontSizePt / PointsPerMm));
        const Layout layout{boxWidthMm, boxHeightMm, look.fontSizePt, textFontOf(*font->GetFontMetrics()),
                            look.labels, look.holidays};
        const MonthModel model = layOutMonth(date.year(), date.month(), shift, layout);

        const QSizeF size = pageSizePoints(boxWidthMm, boxHeightMm);
        PdfPage *page = document.CreatePage(PdfRect(0.0, 0.0, size.width(), size.height()));
        {
            PdfPainter painter;
            painter.SetPage(page);
            PainterGuard guard(painter);
            painter.SetFont(font);
            painter.SetTransformationMatrix(PointsPerMm, 0.0, 0.0, PointsPerMm, 0.0,
                                            page->GetPageSize().GetHeight());
            drawMonth(painter, model, shiftColors, look);
            painter.FinishPage();
        }
        date = QDate(date.year(), date.month(), 1).addMonths(1);
        shift = model.shiftAfter;
        // Not in the document's font cache, so its subset is embedded here.
        // Labels bring letters far into the font, and their hinting would
        // double a month's size; the numbers alone keep theirs.
        if (ownFont && font->IsSubsetting() && look.labels)
            embedWithoutHinting(*font);
        else if (ownFont && font->IsSubsetting())
            font->EmbedSubsetFont();

        PdfRefCountedBuffer buffer;
        PdfOutputDevice device(&buffer);
        document.Write(&device);
        result.bytes = QByteArray(buffer.GetBuffer(), int(device.GetLength()));
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

} // namespace Calendar
