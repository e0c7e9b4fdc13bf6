#ifndef LUNORIS_PREVIEWPANEL_H
#define LUNORIS_PREVIEWPANEL_H

#include "fonts/fontresolver.h"
#include "output/yearwriter.h"

#include <QScopedPointer>
#include <QWidget>

#include <limits>
#include <memory>

class FolderNotice;
class MonthPreview;
class PlanEditor;
class QToolButton;
class RotaEditor;

namespace Calendar {
class GlyphOutlines;
class PdfRunFont;
}

namespace Ui {
class PreviewPanel;
}

// The panel beside the form: the settings beyond the form in parts that
// fold (the rota, one's own year, what the calendars print and which files
// a run writes), and below them a page of the calendars as it will print,
// whose days one's own changes are chosen on.
class PreviewPanel : public QWidget
{
    Q_OBJECT

public:
    explicit PreviewPanel(QWidget *parent = nullptr);
    ~PreviewPanel() override;

    // The panel's part of a look: labels, holidays, the card's line, and the
    // rota's and one's own year's parts.
    void fillLook(Calendar::Look &look) const;
    void showLook(const Calendar::Look &look);
    // The extra files of a run.
    void fillRequest(Calendar::YearRequest &request) const;

    // A notice above the tabs about the setup file last loaded; hidden
    // when `text` is empty, and when the user closes it.
    void showLoadNotice(const QString &text);

    // The settings just wide enough for their widest row, a colour picker;
    // or, where the screen has no room for that, as narrow as they go, with
    // a scroll bar across.
    void setNarrow(bool narrow);
    // The widest the settings may grow to show the table of hours whole,
    // as the screen beside the form allows; the settings' own width now.
    void setRoom(int settingsWidth);
    int settingsWidth() const;
    // Where the last run put its calendars, with a button that opens it.
    FolderNotice *folderNotice() const { return m_folderNotice; }

    RotaEditor *rotaEditor() const;
    PlanEditor *planEditor() const;
    MonthPreview *monthPreview() const;

    // Lays out the page chosen in the panel's list for `request` and shows
    // it, or why it cannot be printed. The face is opened again only when
    // the family changes.
    void showPreview(const Calendar::YearRequest &request);

signals:
    // Anything in the panel that changes the calendars or the page shown.
    void changed();
    // A page or a notice was laid out for the preview.
    void previewShown();

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void layOutPreview(const Calendar::YearRequest &request);
    // A heading that folds its part away and opens it again.
    void foldWith(QToolButton *heading, QWidget *part, bool open);
    // What the days chosen in the preview get: a menu of changes.
    void offerChanges(const QDate &first, const QDate &last, const QPoint &at);
    QString describeDay(const QDate &date) const;

    const QScopedPointer<Ui::PreviewPanel> m_ui;
    Calendar::YearRequest m_request; // the one shown
    bool m_narrow = false;
    int m_room = std::numeric_limits<int>::max();
    FolderNotice *m_folderNotice = nullptr;
    QString m_family;
    Calendar::PdfFontSource m_source;
    std::unique_ptr<Calendar::PdfRunFont> m_font;
    std::shared_ptr<const Calendar::GlyphOutlines> m_glyphs;
};

#endif // LUNORIS_PREVIEWPANEL_H
