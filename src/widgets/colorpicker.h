#ifndef LUNORIS_COLORPICKER_H
#define LUNORIS_COLORPICKER_H

#include <QByteArray>
#include <QColor>
#include <QScopedPointer>
#include <QWidget>

namespace Ui {
class ColorPicker;
}

// One CMYK colour entered as four whole percentages, with a swatch that
// always shows the colour entered. The spin boxes are the only state.
class ColorPicker : public QWidget
{
    Q_OBJECT

public:
    explicit ColorPicker(QWidget *parent = nullptr);
    ~ColorPicker() override;

    QColor color() const;

    // The colour state kept in setup files: four big-endian qint32 (c, m, y, k).
    QByteArray toByteArray() const;
    void setFromByteArray(const QByteArray &state);

    // What a screen reader says for the picker and each of its inks: "Barva
    // A", "Barva A, azurová", ...
    void setAccessibleColorName(const QString &name);

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private slots:
    void colorChanged();

private:
    void showColor();
    void fitFont();

    const QScopedPointer<Ui::ColorPicker> m_ui;
    int m_formHeight = 0;
};

#endif // LUNORIS_COLORPICKER_H
