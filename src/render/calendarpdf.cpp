#include "calendarpdf.h"

#include "pdffont.h"
#include "pdfpage.h"
#include "model/preflight.h"

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
    // its top-left corner; where `trimMm` is not empty (in those
    // coordinates) the page has it as its trim box, and that `bleedMm`
    // larger as its bleed box.
    template<typename Draw>
    void addPage(const QSizeF &sizePt, Draw draw, const QRectF &trimMm = QRectF(), double bleedMm = 0.0)
    {
        PdfPage *page = m_document.CreatePage(PdfRect(0.0, 0.0, sizePt.width(), sizePt.height()));
        if (!trimMm.isEmpty()) {
            const QRectF bleedArea = trimMm.adjusted(-bleedMm, -bleedMm, bleedMm, bleedMm);
            // A print shop's page says how far it is printed beyond its cut.
            if (m_printShop)
                setBox(*page, "BleedBox", bleedArea, sizePt);
            setBox(*page, "TrimBox", trimMm, sizePt);
        }
        PdfPainter painter;
        painter.SetPage(page);
        PainterGuard guard(painter);
        painter.SetFont(m_font->font());
        painter.SetTransformationMatrix(PointsPerMm, 0.0, 0.0, PointsPerMm, 0.0, page->GetPageSize().GetHeight());
        draw(painter);
        painter.FinishPage();
    }

    // A file a print shop takes as it is (PDF/X-1a:2001): fonts embedded,
    // CMYK only and no transparency as everything here is drawn; the
    // document's title, its trapping not done, and the printing condition
    // its colours are meant for, a registered one that the print shop's
    // software knows by name, so no profile goes with it.
    void makePrintShopFile(const QString &title)
    {
        m_printShop = true;
        PdfInfo *info = m_document.GetInfo();
        const QByteArray utf8 = title.toUtf8();
        info->SetTitle(PdfString(reinterpret_cast<const pdf_utf8 *>(utf8.constData())));
        info->SetCreator(PdfString("Lunoris"));
        info->SetTrapped(PdfName("False"));
        info->SetCustomKey(PdfName("GTS_PDFXVersion"), PdfString("PDF/X-1:2001"));
        info->SetCustomKey(PdfName("GTS_PDFXConformance"), PdfString("PDF/X-1a:2001"));
        PdfDictionary &entries = info->GetObject()->GetDictionary();
        if (const PdfObject *created = entries.GetKey(PdfName("CreationDate")))
            entries.AddKey(PdfName("ModDate"), *created);

        PdfDictionary intent;
        intent.AddKey(PdfName::KeyType, PdfName("OutputIntent"));
        intent.AddKey(PdfName("S"), PdfName("GTS_PDFX"));
        intent.AddKey(PdfName("OutputConditionIdentifier"), PdfString(PrintShopCondition));
        intent.AddKey(PdfName("RegistryName"), PdfString(PrintShopConditionRegistry));
        intent.AddKey(PdfName("OutputCondition"), PdfString("Coated FOGRA39 (ISO 12647-2:2004)"));
        intent.AddKey(PdfName("Info"), PdfString("Offset printing on coated paper (paper types 1 and 2), ISO 12647-2:2004/Amd 1"));
        PdfArray intents;
        intents.push_back(intent);
        m_document.GetCatalog()->GetDictionary().AddKey(PdfName("OutputIntents"), intents);
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
    // units are millimetres from the card's top-left corner, reaching
    // `bleedMm` beyond it. (0.0 - x: a bleed of 0 is written as 0, not -0.)
    PdfXObject *addFace(const CardFace &face, double bleedMm = 0.0)
    {
        const QSizeF size = face.sizeMm();
        m_forms.emplace_back(new PdfXObject(PdfRect(0.0 - bleedMm, -size.height() - bleedMm, size.width() + 2 * bleedMm,
                                                    size.height() + 2 * bleedMm),
                                            &m_document));
        PdfXObject *form = m_forms.back().get();
        PdfPainter painter;
        painter.SetPage(form);
        PainterGuard guard(painter);
        painter.SetFont(m_font->font());
        for (const MonthModel &part : face.parts) {
            painter.Save();
            const QRectF page = part.pageArea().adjusted(-bleedMm, -bleedMm, bleedMm, bleedMm);
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

    // Sets the stroke colour of `painter`'s page to the colour of every
    // plate, for the marks the plates are registered and cut by: black on
    // a proof.
    void strokeInRegistration(PdfPainter &painter)
    {
        PdfDictionary spaces;
        spaces.AddKey(PdfName("Registration"), registration()->Reference());
        painter.GetPage()->GetResources()->GetDictionary().AddKey(PdfName("ColorSpace"), spaces);
        painter.GetCanvas()->Append("/Registration CS 1 SCN\n");
    }

private:
    // The box `name` of `page` over `areaMm`, in the page's points from its
    // lower-left corner.
    static void setBox(PdfPage &page, const char *name, const QRectF &areaMm, const QSizeF &pageSizePt)
    {
        const double left = areaMm.left() * PointsPerMm;
        const double bottom = pageSizePt.height() + areaMm.top() * PointsPerMm; // y grows upwards, top() is the lowest
        PdfVariant box;
        PdfRect(left, bottom, areaMm.width() * PointsPerMm, areaMm.height() * PointsPerMm).ToVariant(box);
        page.GetObject()->GetDictionary().AddKey(PdfName(name), box);
    }

    // All plates at full strength, made once for the document.
    PdfObject *registration()
    {
        if (!m_registration) {
            PdfArray full;
            PdfArray none;
            for (int ink = 0; ink < 4; ++ink) {
                full.push_back(PdfVariant(1.0));
                none.push_back(PdfVariant(0.0));
            }
            PdfArray domain;
            domain.push_back(PdfVariant(0.0));
            domain.push_back(PdfVariant(1.0));
            PdfDictionary tint;
            tint.AddKey(PdfName("FunctionType"), PdfVariant(static_cast<pdf_int64>(2)));
            tint.AddKey(PdfName("Domain"), domain);
            tint.AddKey(PdfName("C0"), none);
            tint.AddKey(PdfName("C1"), full);
            tint.AddKey(PdfName("N"), PdfVariant(1.0));
            PdfArray space;
            space.push_back(PdfName("Separation"));
            space.push_back(PdfName("All"));
            space.push_back(PdfName("DeviceCMYK"));
            space.push_back(tint);
            m_registration = m_document.GetObjects().CreateObject(space);
        }
        return m_registration;
    }

    PdfMemDocument m_document;
    std::unique_ptr<PdfRunFont::Copy> m_font;
    std::vector<std::unique_ptr<PdfXObject>> m_forms;
    bool m_printShop = false;
    PdfObject *m_registration = nullptr;
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
// page and its bleed: nothing of it reaches the gutter.
void drawCard(PdfPainter &painter, const MonthModel &model, const QPointF &origin, double bleedMm = 0.0)
{
    painter.Save();
    painter.SetTransformationMatrix(1.0, 0.0, 0.0, 1.0, origin.x(), origin.y());
    const QRectF page = model.pageArea().adjusted(-bleedMm, -bleedMm, bleedMm, bleedMm);
    painter.SetClipRect(page.x(), page.y(), page.width(), page.height());
    drawMonth(painter, model);
    painter.Restore();
}

// `printShop` is the document where it is a print shop's file.
void drawCropMarks(PdfPainter &painter, const SheetPage &sheet, CalendarDocument *printShop = nullptr)
{
    // Registration black: the marks show on every plate. A print shop's
    // file names that colour; one for home printers has no use for it.
    if (printShop)
        printShop->strokeInRegistration(painter);
    else
        painter.SetStrokingColorCMYK(1.0, 1.0, 1.0, 1.0);
    painter.SetStrokeWidth(CropMarkWidthPt / PointsPerMm);
    drawLines(painter, sheet.cropMarks);
}

// The cut of the one product on a print shop's sheet page.
QRectF trimOf(const SheetPage &page, const QSizeF &productMm)
{
    const QPointF &origin = page.cardOrigins.first();
    return QRectF(origin.x(), origin.y() - productMm.height(), productMm.width(), productMm.height());
}

} // namespace

PdfBytes renderMonth(const PdfRunFont &font, const MonthModel &model, bool trimBox)
{
    return buildPdf([&] {
        CalendarDocument document(font);
        document.addPage(pageSizePoints(model.boxWidthMm, model.boxHeightMm),
                         [&](PdfPainter &painter) { drawMonth(painter, model); },
                         trimBox ? model.pageArea() : QRectF());
        return document.bytes();
    });
}

QVector<SheetPage> cardSheet(int cards, const PrintShopFile &printShop)
{
    const QSizeF card(CardWidthMm, CardHeightMm);
    // As many as one A4 page holds, or a card to a page for a print shop.
    const int count = cards > 0 ? cards : printShop.on ? 1 : layOutSheet(card, 64).first().cards.size();
    const QVector<SheetPage> fronts =
        printShop.on ? layOutPrintShopSheet(card, count, printShop.bleedMm) : layOutSheet(card, count);
    const QVector<SheetPage> backs = mirroredBacks(fronts, card);
    QVector<SheetPage> pages;
    for (int page = 0; page < fronts.size(); ++page)
        pages << fronts.at(page) << backs.at(page);
    return pages;
}

CardPdfs renderCardFiles(const PdfRunFont &font, const CardModel &card, const QVector<CardModel> &crewCards,
                         const PrintShopFile &cardFile, const PrintShopFile &sheetFile)
{
    CardPdfs files;
    const QSizeF cardMm = card.front.sizeMm();
    // What touches the card's edge runs on into the bleed.
    const auto bled = [](CardFace face, double bleedMm) {
        if (bleedMm > 0.0)
            runOnToBleed(face.parts, QRectF(QPointF(0.0, -CardHeightMm), face.sizeMm()), bleedMm);
        return face;
    };
    // Each face drawn once, in the card's own file; the sheet places the
    // same drawing.
    CalendarDocument cardDocument(font);
    std::vector<PdfXObject *> forms;
    files.card = buildPdf([&] {
        const double bleed = cardFile.on ? cardFile.bleedMm : 0.0;
        if (cardFile.on)
            cardDocument.makePrintShopFile(cardFile.title);
        const QSizeF sizePt = (cardMm + QSizeF(2 * bleed, 2 * bleed)) * PointsPerMm;
        for (const CardFace *face : {&card.front, &card.back}) {
            forms.push_back(cardDocument.addFace(bled(*face, bleed), bleed));
            PdfXObject *form = forms.back();
            cardDocument.addPage(
                sizePt, [&](PdfPainter &painter) { painter.DrawXObject(bleed, 0.0 - bleed, form); },
                cardFile.on ? QRectF(QPointF(bleed, -bleed - cardMm.height()), cardMm) : QRectF(), bleed);
        }
        return cardDocument.bytes();
    });
    if (!files.card.ok()) {
        files.sheet = files.card;
        return files;
    }
    files.sheet = buildPdf([&] {
        CalendarDocument document(font);
        const double bleed = sheetFile.on ? sheetFile.bleedMm : 0.0;
        if (sheetFile.on)
            document.makePrintShopFile(sheetFile.title);
        else
            document.printAtActualSize();
        // The card's own drawing where it has the same bleed; each crew's
        // card drawn here. Each side made when its first page is.
        const bool ownForms = crewCards.isEmpty() && bleed == (cardFile.on ? cardFile.bleedMm : 0.0);
        const QVector<CardModel> cards = crewCards.isEmpty() ? QVector<CardModel>{card} : crewCards;
        std::vector<PdfXObject *> sides[2];
        const QVector<SheetPage> sheet = cardSheet(crewCards.size(), sheetFile);
        for (int page = 0; page < sheet.size(); ++page) {
            const int side = page % 2;
            std::vector<PdfXObject *> &faces = sides[side];
            for (const CardModel &each : cards) {
                if (faces.size() == size_t(cards.size()))
                    break;
                faces.push_back(ownForms ? document.copyFace(*forms.at(size_t(side)))
                                         : document.addFace(bled(side == 0 ? each.front : each.back, bleed), bleed));
            }
            const SheetPage &places = sheet.at(page);
            document.addPage(
                places.sizeMm * PointsPerMm,
                [&](PdfPainter &painter) {
                    for (int place = 0; place < places.cards.size(); ++place) {
                        PdfXObject *form = faces.at(crewCards.isEmpty() ? 0 : size_t(places.cards.at(place)));
                        const QPointF &origin = places.cardOrigins.at(place);
                        painter.DrawXObject(origin.x(), origin.y(), form);
                    }
                    drawCropMarks(painter, places, sheetFile.on ? &document : nullptr);
                },
                sheetFile.on ? trimOf(places, cardMm) : QRectF(), bleed);
        }
        return document.bytes();
    });
    return files;
}

PdfBytes renderSheet(const PdfRunFont &font, const QVector<MonthModel> &months, const QVector<SheetPage> &sheet,
                     const PrintShopFile &printShop)
{
    return buildPdf([&] {
        CalendarDocument document(font);
        const double bleed = printShop.on ? printShop.bleedMm : 0.0;
        if (printShop.on)
            document.makePrintShopFile(printShop.title);
        else
            document.printAtActualSize();
        for (const SheetPage &page : sheet) {
            QRectF trim;
            if (printShop.on)
                trim = trimOf(page, months.at(page.cards.first()).pageMm);
            document.addPage(
                page.sizeMm * PointsPerMm,
                [&](PdfPainter &painter) {
                    for (int i = 0; i < page.cards.size(); ++i) {
                        MonthModel month = months.at(page.cards.at(i));
                        // What touches the page's edge runs on into the bleed.
                        if (bleed > 0.0) {
                            QVector<MonthModel> parts{month};
                            runOnToBleed(parts, month.pageArea(), bleed);
                            month = parts.first();
                        }
                        drawCard(painter, month, page.cardOrigins.at(i), bleed);
                    }
                    drawCropMarks(painter, page, printShop.on ? &document : nullptr);
                },
                trim, bleed);
        }
        return document.bytes();
    });
}

} // namespace Calendar
