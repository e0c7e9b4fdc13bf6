#include "pdfreader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QRegularExpression>
#include <QFile>

#include <poppler-qt5.h>

#include <memory>

namespace TestSupport {

QColor ReadPdf::colorAtMm(double xMm, double yMm) const
{
    const double pixelsPerMm = dpi / 25.4;
    const QPoint pixel(int(xMm * pixelsPerMm), int(-yMm * pixelsPerMm));
    if (!image.rect().contains(pixel))
        return {};
    return image.pixelColor(pixel);
}

ReadPdf readPdf(const QByteArray &bytes, double dpi)
{
    ReadPdf read;
    std::unique_ptr<Poppler::Document> document(Poppler::Document::loadFromData(bytes));
    if (!document || document->isLocked())
        return read;
    read.loaded = true;
    // Smoothed like a screen or a printer shows it, so that edges and glyphs
    // can be compared with the toolkit's own drawing.
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    read.pageCount = document->numPages();
    const Poppler::Document::PdfVersion version = document->getPdfVersion();
    read.versionMajor = version.major;
    read.versionMinor = version.minor;
    std::unique_ptr<Poppler::Page> page(document->page(0));
    if (!page)
        return read;
    read.pageSizePt = page->pageSizeF();
    read.dpi = dpi;
    read.image = page->renderToImage(dpi, dpi);
    const double mmPerPoint = 25.4 / 72.0;
    for (Poppler::TextBox *box : page->textList()) {
        const QRectF r = box->boundingBox();
        read.words.append({box->text(), QRectF(r.x() * mmPerPoint, r.y() * mmPerPoint,
                                               r.width() * mmPerPoint, r.height() * mmPerPoint)});
        delete box;
    }
    return read;
}

ReadPdf readPdfFile(const QString &path, double dpi)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return readPdf(file.readAll(), dpi);
}

int dominantInk(const QColor &color)
{
    const int channels[3] = {color.red(), color.green(), color.blue()};
    if (channels[0] > 230 && channels[1] > 230 && channels[2] > 230)
        return -1;
    // One pure ink leaves exactly one RGB channel low: cyan takes red away,
    // magenta green and yellow blue (poppler renders cyan as 0, 173, 239).
    int low = -1;
    for (int i = 0; i < 3; ++i) {
        if (channels[i] < 80) {
            if (low != -1)
                return 3;
            low = i;
        } else if (channels[i] < 120) {
            return 3;
        }
    }
    return low == -1 ? 3 : low;
}

int differingPixels(const QImage &a, const QImage &b, int threshold)
{
    const QImage one = a.convertToFormat(QImage::Format_RGB32), other = b.convertToFormat(QImage::Format_RGB32);
    int differing = 0;
    for (int y = 0; y < qMin(one.height(), other.height()); ++y) {
        const auto *p = reinterpret_cast<const QRgb *>(one.constScanLine(y));
        const auto *q = reinterpret_cast<const QRgb *>(other.constScanLine(y));
        for (int x = 0; x < qMin(one.width(), other.width()); ++x)
            differing += qAbs(qRed(p[x]) - qRed(q[x])) + qAbs(qGreen(p[x]) - qGreen(q[x])) + qAbs(qBlue(p[x]) - qBlue(q[x]))
                         > threshold;
    }
    return differing;
}

QString runTool(const QString &program, const QStringList &arguments, int *exitCode)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        if (exitCode)
            *exitCode = -1;
        return {};
    }
    if (exitCode)
        *exitCode = process.exitCode();
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QList<EmbeddedFont> fontsOf(const QString &pdfPath)
{
    QList<EmbeddedFont> fonts;
    int exitCode = -1;
    const QString output = runTool(QStringLiteral("pdffonts"), {pdfPath}, &exitCode);
    if (exitCode != 0)
        return fonts;
    // name  type(with spaces)  encoding  emb sub uni  object ID
    static const QRegularExpression row(
        QStringLiteral("^(\\S+)\\s+(.+?)\\s+(\\S+)\\s+(yes|no)\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+$"));
    const QStringList lines = output.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = row.match(line.trimmed());
        if (!match.hasMatch())
            continue;
        EmbeddedFont font;
        font.name = match.captured(1);
        const int plus = font.name.indexOf(QLatin1Char('+'));
        if (plus == 6)
            font.name = font.name.mid(7);
        font.type = match.captured(2);
        font.embedded = match.captured(4) == QLatin1String("yes");
        font.subset = match.captured(5) == QLatin1String("yes");
        fonts.append(font);
    }
    return fonts;
}

QList<QStringList> fontProgramProblems(const QString &pdfPath, bool *checked)
{
    QList<QStringList> programs;
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    int exitCode = -1;
    const QString output = runTool(python, {QStringLiteral(LUNORIS_TEST_SUPPORT "/checkfonts.py"), pdfPath}, &exitCode);
    *checked = exitCode == 0;
    for (const QJsonValue &program : QJsonDocument::fromJson(output.toUtf8()).array()) {
        QStringList problems;
        for (const QJsonValue &problem : program.toArray())
            problems << problem.toString();
        programs << problems;
    }
    return programs;
}

} // namespace TestSupport
