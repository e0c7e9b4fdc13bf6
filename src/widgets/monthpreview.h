#ifndef LUNORIS_MONTHPREVIEW_H
#define LUNORIS_MONTHPREVIEW_H

#include "model/card.h"
#include "model/pagemodel.h"
#include "render/pdfpage.h"

#include <QWidget>

#include <memory>

namespace Calendar {
class GlyphOutlines;
}

// One month's page, or a side of the wallet card, as it will print, as large
// as the widget allows, on a white sheet with a thin frame; or, where the
// calendar could not be printed, a notice that says why.
class MonthPreview : public QWidget
{
    Q_OBJECT

public:
    explicit MonthPreview(QWidget *parent = nullptr);

    void setPage(const Calendar::MonthModel &model, std::shared_ptr<const Calendar::GlyphOutlines> glyphs,
                 const Calendar::TextFont &font);
    void setCardFace(const Calendar::CardFace &face, std::shared_ptr<const Calendar::GlyphOutlines> glyphs,
                     const Calendar::TextFont &font);
    void setNotice(const QString &notice);
    QString notice() const { return m_notice; }
    // Whether a page or a card's side is shown, rather than a notice or nothing.
    bool showsPage() const { return m_notice.isEmpty() && m_glyphs && !m_parts.isEmpty(); }
    // A line below the page, which does not keep it from printing (another
    // font than the one chosen); none where it is empty.
    void setRemark(const QString &remark);
    QString remark() const { return m_remark; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void showParts(const QSizeF &pageMm, const QVector<Calendar::MonthModel> &parts,
                   std::shared_ptr<const Calendar::GlyphOutlines> glyphs, const Calendar::TextFont &font,
                   Calendar::PdfDrawing drawing, const QString &description);

    QSizeF m_pageMm;
    QVector<Calendar::MonthModel> m_parts;
    Calendar::PdfDrawing m_drawing = Calendar::PdfDrawing::AsMonthFiles; // as the file draws them
    std::shared_ptr<const Calendar::GlyphOutlines> m_glyphs;
    Calendar::TextFont m_font;
    QString m_notice;
    QString m_remark;
};

#endif // LUNORIS_MONTHPREVIEW_H
