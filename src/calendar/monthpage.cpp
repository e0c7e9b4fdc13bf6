#include "monthpage.h"

#include <podofo/podofo.h>

using namespace PoDoFo;

namespace Calendar {

namespace {

PdfFont *createFont(PdfMemDocument &document, const PdfFontSource &source)
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
        return document.CreateFontSubset(family.constData(), false, false, false, winAnsi,
                                         source.file.constData());
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

void drawMonthPage(PdfMemDocument &document, QDate &date, int &shift,
                   const ShiftColors &shiftColors, double boxWidthMm, double boxHeightMm,
                   const PageLook &look)
{
    PdfFont *font = createFont(document, look.font);
    if (!font)
        throw FontUnavailable();
    font->SetFontSize(float(look.fontSizePt / PointsPerMm));

    const QSizeF size = pageSizePoints(boxWidthMm, boxHeightMm);
    PdfPage *page = document.CreatePage(PdfRect(0.0, 0.0, size.width(), size.height()));

    PdfPainter painter;
    painter.SetPage(page);
    PainterGuard guard(painter);
    painter.SetFont(font);
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
        const QByteArray day = QByteArray::number(date.day());
        painter.DrawMultiLineText(box.x(), box.y(), boxWidthMm, boxHeightMm,
                                  PdfString(day.constData()), ePdfAlignment_Center,
                                  ePdfVerticalAlignment_Center, false);
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
        PdfMemDocument document;
        document.SetPdfVersion(ePdfVersion_1_3);
        document.SetWriteMode(ePdfWriteMode_Compact);
        drawMonthPage(document, date, shift, shiftColors, boxWidthMm, boxHeightMm, look);

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
