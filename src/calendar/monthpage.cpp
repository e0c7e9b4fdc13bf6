#include "monthpage.h"

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
PdfFont *createTrueTypeSubset(PdfMemDocument &document, FT_Library *library, const PdfFontSource &source)
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
    return PdfFontFactory::CreateFontObject(metrics, ePdfFont_Embedded | ePdfFont_Subsetting,
                                            PdfEncodingFactory::GlobalWinAnsiEncodingInstance(),
                                            &document.GetObjects());
}

PdfFont *createFont(PdfMemDocument &document, FT_Library *library, const PdfFontSource &source)
{
    const QByteArray family = source.family.toUtf8();
    const PdfEncoding *winAnsi = PdfEncodingFactory::GlobalWinAnsiEncodingInstance();
    switch (source.kind) {
    case PdfFontSource::Kind::Standard14:
        return document.CreateFont(family.constData(), false, winAnsi,
                                   PdfFontCache::eFontCreationFlags_AutoSelectBase14, true);
    case PdfFontSource::Kind::TrueType:
        // Embedding only the glyphs used keeps a month near 7 KB instead of
        // the whole font (90 to 400 KB), and it still prints the same anywhere.
        return createTrueTypeSubset(document, library, source);
    case PdfFontSource::Kind::Type1:
        return document.CreateFont(family.constData(), false, false, false, winAnsi,
                                   PdfFontCache::eFontCreationFlags_None, true,
                                   source.file.constData());
    case PdfFontSource::Kind::Unusable:
        break;
    }
    return nullptr;
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

void drawMonthPage(PdfMemDocument &document, PdfFont &font, QDate &date, int &shift,
                   const ShiftColors &shiftColors, double boxWidthMm, double boxHeightMm,
                   const PageLook &look)
{
    font.SetFontSize(float(look.fontSizePt / PointsPerMm));

    const QSizeF size = pageSizePoints(boxWidthMm, boxHeightMm);
    PdfPage *page = document.CreatePage(PdfRect(0.0, 0.0, size.width(), size.height()));

    PdfPainter painter;
    painter.SetPage(page);
    PainterGuard guard(painter);
    painter.SetFont(&font);
    painter.SetTransformationMatrix(PointsPerMm, 0.0, 0.0, PointsPerMm, 0.0,
                                    page->GetPageSize().GetHeight());

    const Cmyk &text = look.fontColor;
    const Cmyk &border = look.borderColor;
    painter.SetStrokingColorCMYK(border.cyan, border.magenta, border.yellow, border.black);
    painter.SetStrokeWidth(look.borderWidthPt / PointsPerMm);

    int column = 1;
    const int month = date.month();
    while (date.month() == month) {
        const QRectF box = dayBox(date, column, boxWidthMm, boxHeightMm);
        if (!look.textOnly) {
            const Cmyk &fill = shiftColors[size_t(shift)];
            painter.SetColorCMYK(fill.cyan, fill.magenta, fill.yellow, fill.black);
            painter.Rectangle(box.x(), box.y(), boxWidthMm, boxHeightMm, 0.0, 0.0);
            painter.Close();
            painter.FillAndStroke(false);
        }
        painter.SetColorCMYK(text.cyan, text.magenta, text.yellow, text.black);
        const PdfString day(QByteArray::number(date.day()).constData());
        // A number wider than its box would be wrapped digit by digit: lay
        // it out in a box just wide enough, with the same centre.
        const double textWidth = font.GetFontMetrics()->StringWidth(day);
        const double spare = textWidth < boxWidthMm ? 0.0 : textWidth - boxWidthMm + 1.0;
        painter.DrawMultiLineText(box.x() - spare / 2, box.y(), boxWidthMm + spare, boxHeightMm, day,
                                  ePdfAlignment_Center, ePdfVerticalAlignment_Center, false);
        if (date.dayOfWeek() == Qt::Sunday)
            ++column;
        shift = (shift + 1) % ShiftCount;
        date = date.addDays(1);
    }
    painter.FinishPage();
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
        PdfFont *font = createFont(document, &library, look.font);
        if (!font)
            throw FontUnavailable();
        if (look.font.kind == PdfFontSource::Kind::TrueType)
            ownFont.reset(font);
        drawMonthPage(document, *font, date, shift, shiftColors, boxWidthMm, boxHeightMm, look);
        // Not in the document's font cache, so its subset is embedded here.
        if (ownFont && font->IsSubsetting())
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
