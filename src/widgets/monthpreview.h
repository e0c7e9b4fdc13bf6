#ifndef LUNORIS_MONTHPREVIEW_H
#define LUNORIS_MONTHPREVIEW_H

#include "calendar/monthpage.h"
#include "calendar/pagemodel.h"

#include <QWidget>

// One month's page as it will print, as large as the widget allows, on a
// white sheet with a thin frame.
class MonthPreview : public QWidget
{
    Q_OBJECT

public:
    explicit MonthPreview(QWidget *parent = nullptr);

    void setPage(const Calendar::MonthModel &model, const Calendar::ShiftColors &shiftColors,
                 const Calendar::PageLook &look);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Calendar::MonthModel m_model;
    Calendar::ShiftColors m_shiftColors;
    Calendar::PageLook m_look;
};

#endif // LUNORIS_MONTHPREVIEW_H
