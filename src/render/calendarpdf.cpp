#include "calendarpdf.h"

#include "pdffont.h"
#include "pdfpage.h"

#include <podofo/podofo.h>

#include <memory>
#include <vector>

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

    // A face of the card drawn once, to be placed where it goes: a form whose
    // units are millimetres from the card's top-left corner.
    PdfXObject *addFace(const CardFace &face)
    {
        const QSizeF size = face.sizeMm();
        m_forms.emplace_back(new PdfXObject(PdfRect(0.0, -size.height(), size.width(), size.height()), &m_document));
        PdfXObject *form = m_forms.back().get();
        PdfPainter painter;
        painter.SetPage(form);
        PainterGuard guard(painter);
        painter.SetFont(m_font->font());
        for (const MonthModel &part : face.parts) {
            painter.Save();
            const QRectF page = part.pageArea();
            painter.SetClipRect(page.x(), page.y(), page.width(), page.height());
            drawMonth(painter, part, PdfDrawing::Compact);
            painter.Restore();
        }
        painter.FinishPage();
        return form;
    }

    // A face drawn in another document of the run, placed in this one: its
    // drawing as it is, its font this document's copy of the run's font.
    PdfXObject *copyFace(const PdfXObject &drawn)
    {
        const PdfObject &from = *drawn.GetObject();
        PdfRect box(from.GetDictionary().GetKey(PdfName("BBox"))->GetArray());
        m_forms.emplace_back(new PdfXObject(box, &m_document));
        PdfObject &to = *m_forms.back()->GetObject();
        PdfDictionary fonts;
        const PdfObject *resources = from.GetDictionary().GetKey(PdfName("Resources"));
        const PdfObject *used = resources ? resources->GetDictionary().GetKey(PdfName("Font")) : nullptr;
        if (used) {
            for (const auto &key : used->GetDictionary().GetKeys())
                fonts.AddKey(key.first, m_font->font()->GetObject()->Reference());
        }
        to.GetDictionary().GetKey(PdfName("Resources"))->GetDictionary().AddKey(PdfName("Font"), fonts);
        if (from.GetDictionary().HasKey(PdfName::KeyFilter))
            to.GetDictionary().AddKey(PdfName::KeyFilter, *from.GetDictionary().GetKey(PdfName::KeyFilter));
        char *raw = nullptr;
        pdf_long length = 0;
        from.GetStream()->GetCopy(&raw, &length);
        PdfMemoryInputStream input(raw, length);
        to.GetStream()->SetRawData(&input, length);
        podofo_free(raw);
        return m_forms.back().get();
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
    std::vector<std::unique_ptr<PdfXObject>> m_forms;
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
    drawLines(painter, sheet.cropMarks);
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

QVector<SheetPage> cardSheet()
{
    const QSizeF card(CardWidthMm, CardHeightMm);
    // As many as one A4 page holds.
    const int perPage = layOutSheet(card, 64).first().cards.size();
    const QVector<SheetPage> fronts = layOutSheet(card, perPage);
    return fronts + mirroredBacks(fronts, card);
}

CardPdfs renderCardFiles(const PdfRunFont &font, const CardModel &card)
{
    CardPdfs files;
    // Each face drawn once, in the card's own file; the sheet places the
    // same drawing.
    CalendarDocument cardDocument(font);
    std::vector<PdfXObject *> forms;
    files.card = buildPdf([&] {
        const QSizeF sizePt = card.front.sizeMm() * PointsPerMm;
        for (const CardFace *face : {&card.front, &card.back}) {
            forms.push_back(cardDocument.addFace(*face));
            PdfXObject *form = forms.back();
            cardDocument.addPage(sizePt, [&](PdfPainter &painter) { painter.DrawXObject(0.0, 0.0, form); });
        }
        return cardDocument.bytes();
    });
    if (!files.card.ok()) {
        files.sheet = files.card;
        return files;
    }
    files.sheet = buildPdf([&] {
        CalendarDocument document(font);
        document.printAtActualSize();
        const QVector<SheetPage> sheet = cardSheet();
        for (int side = 0; side < sheet.size(); ++side) {
            PdfXObject *form = document.copyFace(*forms.at(size_t(side)));
            document.addPage(sheet.at(side).sizeMm * PointsPerMm, [&](PdfPainter &painter) {
                for (const QPointF &origin : sheet.at(side).cardOrigins)
                    painter.DrawXObject(origin.x(), origin.y(), form);
                drawCropMarks(painter, sheet.at(side));
            });
        }
        return document.bytes();
    });
    return files;
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
