#ifndef LUNORIS_MONTHPREVIEW_H
#define LUNORIS_MONTHPREVIEW_H

#include "model/card.h"
#include "model/pagemodel.h"
#include "render/pdfpage.h"

#include <QDate>
#include <QWidget>

#include <functional>
#include <memory>

namespace Calendar {
class GlyphOutlines;
}

// One month's page, or a side of the wallet card, as it will print, as large
// as the widget allows, on a white sheet with a thin frame; or, where the
// calendar could not be printed, a notice that says why. Where days may be
// chosen, a click, a drag or a shift-click on them, or the arrow keys and
// Enter (or the menu key), choose a day or a run of days.
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

    // Whether the days shown can be chosen; and what a screen reader says of
    // the day the keyboard is on.
    void setChoosingDays(bool on);
    bool choosesDays() const { return m_choosing; }
    void setDayDescriber(std::function<QString(const QDate &)> describe);
    // The day the keyboard is on, and the first and last day of the run
    // chosen with it; invalid before any is.
    QDate currentDay() const { return m_current; }
    QDate dayAt(const QPoint &position) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // Days from `first` to `last` chosen, to be changed; `at` is where a
    // menu for them goes, in global coordinates.
    void daysChosen(const QDate &first, const QDate &last, const QPoint &at);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // Where the page stands in the widget: its top-left corner and pixels
    // per millimetre; a scale of 0 where nothing is shown.
    struct Placement
    {
        QPointF origin;
        double scale = 0.0;
    };
    Placement placement() const;
    QRectF screenBox(const Calendar::DayCell &day) const;
    QRectF screenBox(const Calendar::DayCell &day, const Placement &at) const;
    const Calendar::DayCell *cellOf(const QDate &date) const;
    void moveCurrent(const QDate &day, bool extend);
    void choose(const QPoint &at);
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
    bool m_choosing = false;
    bool m_dragging = false;
    bool m_menuKeyTaken = false; // the menu key answered as a key, not again as a menu
    QDate m_anchor;  // where the run chosen starts
    QDate m_current; // where it ends: the day the keyboard or the mouse is on
    std::function<QString(const QDate &)> m_describe;
};

#endif // LUNORIS_MONTHPREVIEW_H
