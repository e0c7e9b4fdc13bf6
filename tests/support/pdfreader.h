#ifndef LUNORIS_TESTS_PDFREADER_H
#define LUNORIS_TESTS_PDFREADER_H

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

// Reads calendars back with readers that did not write them: poppler and the
// command-line tools of poppler-utils and qpdf.
namespace TestSupport {

struct PdfWord
{
    QString text;
    QRectF boxMm; // top-left origin, millimetres
};

struct ReadPdf
{
    bool loaded = false;
    int pageCount = 0;
    int versionMajor = 0;
    int versionMinor = 0;
    QSizeF pageSizePt;
    QImage image; // the first page at `dpi`
    double dpi = 0;
    QList<PdfWord> words;

    // The colour at a point given in the page drawing's user space:
    // millimetres from the top-left corner, y negative downwards.
    QColor colorAtMm(double xMm, double yMm) const;
};

ReadPdf readPdf(const QByteArray &bytes, double dpi = 72.0);
ReadPdf readPdfFile(const QString &path, double dpi = 72.0);

// Which of cyan, magenta or yellow ink a rendered colour mostly is: 0, 1, 2,
// -1 for white, 3 for anything else. Used with shift colours of one pure ink.
int dominantInk(const QColor &color);

// How many pixels of two pictures of one size differ by more than
// `threshold`, the red, green and blue differences added up.
int differingPixels(const QImage &a, const QImage &b, int threshold);

// Runs a command-line tool; returns its standard output, or a null string
// when it could not be run or failed.
QString runTool(const QString &program, const QStringList &arguments, int *exitCode = nullptr);

struct EmbeddedFont
{
    QString name; // without a subset prefix such as ABCDEF+
    QString type;
    bool embedded = false;
    bool subset = false;
};
QList<EmbeddedFont> fontsOf(const QString &pdfPath);

// What fontTools finds wrong with each TrueType program the PDF embeds, one
// entry per program, empty where it is sound; `checked` is false where the
// checker (Debian's python3-fonttools) is not installed.
QList<QStringList> fontProgramProblems(const QString &pdfPath, bool *checked);

} // namespace TestSupport

#endif // LUNORIS_TESTS_PDFREADER_H
