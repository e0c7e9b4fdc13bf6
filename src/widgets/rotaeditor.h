#ifndef LUNORIS_ROTAEDITOR_H
#define LUNORIS_ROTAEDITOR_H

#include "model/look.h"

#include <QScopedPointer>
#include <QWidget>

#include <array>

class LazyColorPicker;
class QCheckBox;
class QLabel;
class QSpinBox;
class QTimeEdit;

namespace Ui {
class RotaEditor;
}

// The rota and whose shifts the calendars show: a preset's pattern and
// crews, or a pattern typed by the user with each kind's times; the colours
// of the crews after C and of the kinds; and the year's shifts and hours of
// every crew, to check the rota against.
class RotaEditor : public QWidget
{
    Q_OBJECT

public:
    explicit RotaEditor(QWidget *parent = nullptr);
    ~RotaEditor() override;

    // The editor's part of a look: the rota, the crew shown, the colours of
    // crews D to F and of the kinds.
    void fillLook(Calendar::Look &look) const;
    void showLook(const Calendar::Look &look);

    Calendar::Rota rota() const;
    void showRota(const Calendar::Rota &rota);

    // The year in numbers for the rota shown, when `firstCrew` starts it,
    // and where an anchored rota stands on 1 January.
    void showTotals(int year, int firstCrew);


signals:
    // Anything that changes the calendars.
    void changed();
    // The rota's number of crews, when it changes.
    void crewsChanged(int crews);

protected:
    void changeEvent(QEvent *event) override;

private:
    struct KindEditor
    {
        QLabel *label;
        QCheckBox *allDay;
        QTimeEdit *start;
        QSpinBox *hours;
        QLabel *colorLabel;
        LazyColorPicker *color;
    };
    std::array<KindEditor, Calendar::KindCount> kindEditors() const;
    // The pickers and captions of crews D, E and F.
    std::array<std::pair<QLabel *, LazyColorPicker *>, Calendar::MaximumCrews - 3> crewEditors() const;

    void presetChosen(int preset);
    // The pattern or the number of crews typed: the rota becomes the user's own.
    void patternTyped();
    // A kind's times, or the anchor: the rota stays what it is.
    void rotaEdited();
    void anchorSwitched(bool on);
    void showCrews(int crews);
    void showState();

    const QScopedPointer<Ui::RotaEditor> m_ui;
    bool m_showing = false;
    int m_crews = 0;
    int m_year = Calendar::FirstYear;
    int m_firstCrew = 0;
};

#endif // LUNORIS_ROTAEDITOR_H
