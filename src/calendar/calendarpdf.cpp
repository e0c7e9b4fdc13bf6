#include "calendarpdf.h"

#include "pdffont.h"
#include "pdfpage.h"

#include <podofo/podofo.h>

#include <memory>

using namespace PoDoFo;

namespace Calendar {

namespace {

constexpr double CropMarkWidthPt = 0.25;

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

// A document of the run's calendars, in the run's font.
class CalendarDocument
{
public:
    explicit CalendarDocument(const PdfRunFont &font)
    {
        m_document.SetPdfVersion(ePdfVersion_1_3);
        m_document.SetWriteMode(ePdfWriteMode_Compact);
        m_font = font.copyInto(m_document);
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
        painter.SetFont(m_font->font());
        painter.SetTransformationMatrix(PointsPerMm, 0.0, 0.0, PointsPerMm, 0.0, page->GetPageSize().GetHeight());
        draw(painter);
        painter.FinishPage();
    }

    // Sheets are cut along marks: a viewer that shrinks them to fit the
    // printer's margins would make every card the wrong size.
    void printAtActualSize()
    {
        PdfDictionary preferences;
        preferences.AddKey(PdfName("PrintScaling"), PdfName("None"));
        m_document.GetCatalog()->GetDictionary().AddKey(PdfName("ViewerPreferences"), preferences);
    }

    QByteArray bytes()
    {
        m_font->finish();
        PdfRefCountedBuffer buffer;
        PdfOutputDevice device(&buffer);
        m_document.Write(&device);
        return QByteArray(buffer.GetBuffer(), int(device.GetLength()));
    }

private:
    PdfMemDocument m_document;
    std::unique_ptr<PdfRunFont::Copy> m_font;
};

// Runs `build` and turns what it throws into the result's error.
template<typename Build>
PdfBytes buildPdf(Build build)
{
    PdfBytes result;
    try {
        result.bytes = build();
    } catch (const PdfError &error) {
        result.failed = true;
        const char *message = PdfError::ErrorMessage(error.GetError());
        const char *name = PdfError::ErrorName(error.GetError());
        result.detail = QString::fromUtf8(message && *message ? message : (name ? name : "?"));
    } catch (const std::exception &error) {
        result.failed = true;
        result.detail = QString::fromLocal8Bit(error.what());
    } catch (...) {
        result.failed = true;
    }
    return result;
}

// Draws `model` as a card whose top-left corner is at `origin`, cut to its
// page: nothing of it reaches the gutter.
void drawCard(PdfPainter &painter, const MonthModel &model, const QPointF &origin)
{
    painter.Save();
    painter.SetTransformationMatrix(1.0, 0.0, 0.0, 1.0, origin.x(), origin.y());
    const QRectF page = model.pageArea();
    painter.SetClipRect(page.x(), page.y(), page.width(), page.height());
    drawMonth(painter, model);
    painter.Restore();
}

void drawCropMarks(PdfPainter &painter, const SheetPage &sheet)
{
    // Registration black: the marks show on every plate.
    painter.SetStrokingColorCMYK(1.0, 1.0, 1.0, 1.0);
    painter.SetStrokeWidth(CropMarkWidthPt / PointsPerMm);
    for (const QLineF &mark : sheet.cropMarks)
        painter.DrawLine(mark.x1(), mark.y1(), mark.x2(), mark.y2());
}

} // namespace

PdfBytes renderMonth(const PdfRunFont &font, const MonthModel &model)
{
    return buildPdf([&] {
        CalendarDocument document(font);
        document.addPage(pageSizePoints(model.boxWidthMm, model.boxHeightMm),
                         [&](PdfPainter &painter) { drawMonth(painter, model); });
        return document.bytes();
    });
}

PdfBytes renderSheet(const PdfRunFont &font, const QVector<MonthModel> &months, const QVector<SheetPage> &sheet)
{
    return buildPdf([&] {
        CalendarDocument document(font);
        document.printAtActualSize();
        for (const SheetPage &page : sheet) {
            document.addPage(page.sizeMm * PointsPerMm, [&](PdfPainter &painter) {
                for (int i = 0; i < page.cards.size(); ++i)
                    drawCard(painter, months.at(page.cards.at(i)), page.cardOrigins.at(i));
                drawCropMarks(painter, page);
            });
        }
        return document.bytes();
    });
}

} // namespace Calendar
