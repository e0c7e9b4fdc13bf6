#include "fonts/fontresolver.h"
#include "model/card.h"
#include "model/preflight.h"
#include "model/sheet.h"
#include "output/yearwriter.h"
#include "render/calendarpdf.h"
#include "render/pdffont.h"
#include "support/pdfreader.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <poppler-qt5.h>

#include <memory>

using namespace Calendar;
using namespace TestSupport;

namespace {

constexpr double MmPerPoint = 25.4 / 72;

// What a print shop's preflight needs to know of a file: the product's cut
// and bleed, and whether its pages carry crop marks.
struct Product
{
    QString path;
    QSizeF size;
    double bleed;
    bool marks;
};

// A print shop's preflight by a reader that is not ours: for each file, the
// problems it finds with it as PDF/X-1a:2001, and what it read.
QJsonArray preflightOf(const QList<Product> &products)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
    QStringList arguments{QFINDTESTDATA("support/pdfxcheck.py")};
    for (const Product &product : products)
        arguments << product.path << QString::number(product.size.width()) << QString::number(product.size.height())
                  << QString::number(product.bleed) << (product.marks ? QStringLiteral("1") : QStringLiteral("0"));
    return QJsonDocument::fromJson(runTool(python, arguments).toUtf8()).array();
}

bool havePikepdf()
{
    static const bool found = [] {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
        int exitCode = -1;
        if (!python.isEmpty())
            runTool(python, {QStringLiteral("-c"), QStringLiteral("import pikepdf")}, &exitCode);
        return exitCode == 0;
    }();
    return found;
}

// The boxes of every page as pdfinfo gives them, in millimetres: left,
// bottom, right, top; one map a page.
QVector<QMap<QString, QVector<double>>> boxesOf(const QString &path)
{
    // pdfinfo stops at the document's last page.
    const QString info = runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-box"), QStringLiteral("-f"), QStringLiteral("1"),
                                                              QStringLiteral("-l"), QStringLiteral("9999"), path});
    QVector<QMap<QString, QVector<double>>> pages;
    static const QRegularExpression line(QStringLiteral("^Page +(\\d+) (\\w+Box): +(\\S+) +(\\S+) +(\\S+) +(\\S+)$"),
                                         QRegularExpression::MultilineOption);
    for (auto match = line.globalMatch(info); match.hasNext();) {
        const QRegularExpressionMatch found = match.next();
        const int page = found.captured(1).toInt();
        if (page < 1)
            continue;
        if (pages.size() < page)
            pages.resize(page);
        QVector<double> box;
        for (int i = 3; i <= 6; ++i)
            box << found.captured(i).toDouble() * MmPerPoint;
        pages[page - 1].insert(found.captured(2), box);
    }
    return pages;
}

bool sameBox(const QVector<double> &box, const QVector<double> &expected)
{
    if (box.size() != 4)
        return false;
    for (int i = 0; i < 4; ++i) {
        // pdfinfo gives hundredths of a point: 0.0035 mm.
        if (qAbs(box.at(i) - expected.at(i)) > 0.01)
            return false;
    }
    return true;
}

QString boxText(const QVector<double> &box)
{
    QStringList numbers;
    for (const double value : box)
        numbers << QString::number(value, 'f', 3);
    return numbers.join(QLatin1Char(' '));
}

// A page as Ghostscript renders it, at 10 pixels a millimetre: its media
// box, or with `box` ("UseTrimBox", "UseBleedBox") that box. Raw pixels,
// quicker to write and read than a PNG.
QImage ghostscript(const QString &path, int page, const QString &box = QString())
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("page.ppm"));
    QStringList arguments = {QStringLiteral("-q"), QStringLiteral("-dNOPAUSE"), QStringLiteral("-dBATCH"),
                             QStringLiteral("-dSAFER"), QStringLiteral("-sDEVICE=ppmraw"), QStringLiteral("-r254"),
                             QStringLiteral("-dFirstPage=%1").arg(page), QStringLiteral("-dLastPage=%1").arg(page),
                             QStringLiteral("-sOutputFile=") + picture};
    if (!box.isEmpty())
        arguments << QStringLiteral("-d") + box;
    arguments << path;
    int exitCode = -1;
    runTool(QStringLiteral("gs"), arguments, &exitCode);
    return exitCode == 0 ? QImage(picture).convertToFormat(QImage::Format_RGB32) : QImage();
}

bool isWhite(QRgb color)
{
    // Lightness, as QColor has it: the mean of the largest and the smallest
    // of the three.
    return (qMax(qRed(color), qMax(qGreen(color), qBlue(color))) + qMin(qRed(color), qMin(qGreen(color), qBlue(color)))) / 2 > 245;
}

Look printShopLook(const QString &font, int preset, double bleed)
{
    Look look;
    look.font = font;
    look.rota = Rota::fromPreset(preset);
    look.crewColors = {Ink{0, 100, 100, 0}, Ink{100, 0, 0, 0}, Ink{0, 0, 100, 0}, Ink{0, 0, 0, 40}, Ink{}, Ink{}};
    look.fontColor = look.borderColor = Ink{0, 0, 0, 100};
    look.printShop.on = true;
    look.printShop.bleedMm = bleed;
    return look;
}

} // namespace

class TestPrintShop : public QObject
{
    Q_OBJECT

private slots:
    void printShopFiles_data();
    void printShopFiles();
    void homeFilesHaveNoBoxes();
    void bleedRunsOn_data();
    void bleedRunsOn();
    void cardForEveryCrewOnA4();
};

void TestPrintShop::printShopFiles_data()
{
    QTest::addColumn<QString>("font");
    QTest::addColumn<int>("preset");
    QTest::addColumn<double>("bleed");
    QTest::addColumn<bool>("perCrew");
    QTest::addColumn<QString>("note");
    QTest::addColumn<bool>("builtIn"); // a built-in font of the PDF viewer, replaced
    QTest::newRow("the form's rota, 3 mm") << "Liberation Sans" << 0 << 3.0 << false << "" << false;
    QTest::newRow("12 h, a card for every crew, 2 mm") << "Liberation Sans" << 2 << 2.0 << true << "" << false;
    QTest::newRow("no bleed") << "DejaVu Sans" << 3 << 0.0 << false << "" << false;
    QTest::newRow("built-in Helvetica, 5 mm") << "Helvetica" << 0 << 5.0 << false << "" << true;
    // More letters than a simple font holds: the composite font, embedded.
    QTest::newRow("a Ukrainian note, 1 mm") << "DejaVu Sans" << 1 << 1.0 << true
                                           << "Зміна Б Житомир: Юрій Щусь, Євген Ґудзь, Федір Яхно, Оля" << false;
}

void TestPrintShop::printShopFiles()
{
    QFETCH(QString, font);
    QFETCH(int, preset);
    QFETCH(double, bleed);
    QFETCH(bool, perCrew);
    QFETCH(QString, note);
    QFETCH(bool, builtIn);
    if (!havePikepdf())
        QSKIP("needs Debian's python3-pikepdf for the preflight");
    QTemporaryDir dir;
    YearRequest request;
    request.folder = dir.path();
    request.year = 2027;
    request.look = printShopLook(font, preset, bleed);
    request.look.cardNote = note;
    request.yearSheet = request.walletCard = true;
    request.cardPerCrew = perCrew;
    const YearResult result = writeYear(request);
    QCOMPARE(result.status, YearResult::Status::Written);
    QCOMPARE(!result.builtInReplacedBy.isEmpty(), builtIn);
    const int crews = request.look.rota.crews;

    struct File
    {
        QString name;
        QSizeF product;
        bool marks;
        int pages;
        QString title;
    };
    const QSizeF card(85.60, 53.98);
    const QSizeF month(80, 90); // 8 x 9 boxes of 10 mm
    const QList<File> files = {
        {QStringLiteral("2027_karta.pdf"), card, false, 2, QStringLiteral("Kartička do peněženky 2027")},
        {QStringLiteral("2027_karty_A4.pdf"), card, true, perCrew ? 2 * crews : 2,
         QStringLiteral("Kartičky do peněženky 2027 k ořezu")},
        {QStringLiteral("2027.pdf"), month, true, 12, QStringLiteral("Kalendáříky 2027 – tiskový arch")},
    };
    QList<Product> products;
    for (const File &file : files)
        products.append({dir.filePath(file.name), file.product, bleed, file.marks});
    const QJsonArray preflight = preflightOf(products);
    QCOMPARE(preflight.size(), files.size());
    for (int i = 0; i < files.size(); ++i) {
        const File &file = files.at(i);
        const QString path = dir.filePath(file.name);
        const QJsonObject checked = preflight.at(i).toObject();
        QVERIFY2(!checked.isEmpty(), qPrintable(file.name));
        QStringList problems;
        for (const QJsonValue &problem : checked.value(QStringLiteral("problems")).toArray())
            problems << problem.toString();
        QVERIFY2(problems.isEmpty(), qPrintable(file.name + QStringLiteral(": ") + problems.join(QStringLiteral("; "))));
        QCOMPARE(checked.value(QStringLiteral("pages")).toArray().size(), file.pages);
        QCOMPARE(checked.value(QStringLiteral("title")).toString(), file.title);
        QCOMPARE(checked.value(QStringLiteral("condition")).toString(), QStringLiteral("FOGRA39"));
        // Every font embedded, as poppler reads them too.
        for (const EmbeddedFont &embedded : fontsOf(path))
            QVERIFY2(embedded.embedded, qPrintable(embedded.name));

        // The boxes as pdfinfo reads them, worked out by hand: the cut where
        // the bleed and on sheets 0.75 + 2 + 0.75 mm of marks leave it.
        const double border = bleed + (file.marks ? 3.5 : 0.0);
        const QSizeF page = file.product + 2 * QSizeF(border, border);
        const auto pages = boxesOf(path);
        QCOMPARE(pages.size(), file.pages);
        for (int number = 1; number <= file.pages; ++number) {
            const auto &boxes = pages.at(number - 1);
            const QVector<double> trim{border, border, border + file.product.width(), border + file.product.height()};
            const QVector<double> bled{trim[0] - bleed, trim[1] - bleed, trim[2] + bleed, trim[3] + bleed};
            QVERIFY2(sameBox(boxes.value(QStringLiteral("TrimBox")), trim), qPrintable(boxText(boxes.value(QStringLiteral("TrimBox")))));
            QVERIFY2(sameBox(boxes.value(QStringLiteral("BleedBox")), bled), qPrintable(boxText(boxes.value(QStringLiteral("BleedBox")))));
            QVERIFY2(sameBox(boxes.value(QStringLiteral("MediaBox")), {0, 0, page.width(), page.height()}),
                     qPrintable(boxText(boxes.value(QStringLiteral("MediaBox")))));
        }

        // Ghostscript renders the page with its bleed; its trim box alone is
        // that rendering without the bleed and the marks, to the pixel.
        const QImage whole = ghostscript(path, 1);
        const QImage trimmed = ghostscript(path, 1, QStringLiteral("UseTrimBox"));
        QVERIFY(!whole.isNull() && !trimmed.isNull());
        QCOMPARE(whole.width(), qRound(page.width() * 10));
        QCOMPARE(trimmed.width(), qRound(file.product.width() * 10));
        const QImage inner = whole.copy(qRound(border * 10), qRound(border * 10), trimmed.width(), trimmed.height());
        QVERIFY2(differingPixels(inner, trimmed, 96) <= trimmed.width() * trimmed.height() / 500,
                 qPrintable(QString::number(differingPixels(inner, trimmed, 96))));
        // Nothing is printed on the page beyond the bleed but the marks, in
        // line with the cut.
        int marks = 0;
        for (int y = 0; y < whole.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(whole.constScanLine(y));
            for (int x = 0; x < whole.width(); ++x) {
                const double xMm = (x + 0.5) / 10, yMm = page.height() - (y + 0.5) / 10; // from the bottom
                const bool beyond = xMm < border - bleed - 0.05 || xMm > page.width() - border + bleed + 0.05
                                    || yMm < border - bleed - 0.05 || yMm > page.height() - border + bleed + 0.05;
                if (!beyond || isWhite(line[x]))
                    continue;
                const bool inLine = qAbs(xMm - border) < 0.3 || qAbs(xMm - (page.width() - border)) < 0.3
                                    || qAbs(yMm - border) < 0.3 || qAbs(yMm - (page.height() - border)) < 0.3;
                QVERIFY2(inLine && file.marks, qPrintable(QStringLiteral("%1 at %2, %3 mm").arg(file.name).arg(xMm).arg(yMm)));
                ++marks;
            }
        }
        QCOMPARE(marks > 0, file.marks);

        // Within the cut as Ghostscript renders it, the card's front keeps
        // its safe margin, as far from the left cut as from the right.
        if (!file.marks) {
            int left = trimmed.width(), right = -1, top = trimmed.height(), bottom = -1;
            for (int y = 0; y < trimmed.height(); ++y) {
                const auto *line = reinterpret_cast<const QRgb *>(trimmed.constScanLine(y));
                for (int x = 0; x < trimmed.width(); ++x) {
                    if (isWhite(line[x]))
                        continue;
                    left = qMin(left, x);
                    right = qMax(right, x);
                    top = qMin(top, y);
                    bottom = qMax(bottom, y);
                }
            }
            const double safe = SafeMarginMm * 10;
            QVERIFY2(left >= safe && top >= safe && trimmed.width() - 1 - right >= safe
                         && trimmed.height() - 1 - bottom >= safe,
                     qPrintable(QStringLiteral("ink from %1,%2 to %3,%4 px").arg(left).arg(top).arg(right).arg(bottom)));
            QVERIFY2(qAbs(left - (trimmed.width() - 1 - right)) <= 3, qPrintable(QStringLiteral("%1 %2").arg(left).arg(right)));
        }
    }

    // The twelve months: each page is its cut, and no more of a print
    // shop's file.
    for (int month = 1; month <= 12; ++month) {
        const QString path = dir.filePath(QStringLiteral("2027_%1.pdf").arg(month, 2, 10, QLatin1Char('0')));
        const auto boxes = boxesOf(path).value(0);
        QVERIFY(sameBox(boxes.value(QStringLiteral("TrimBox")), boxes.value(QStringLiteral("MediaBox"))));
        QFile raw(path);
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray bytes = raw.readAll();
        QVERIFY(bytes.contains("/TrimBox"));
        QVERIFY(!bytes.contains("GTS_PDFX"));
    }

    // A card for every crew: fronts titled with their crews in turn, each
    // followed by its back.
    if (perCrew) {
        for (int crew = 0; crew < crews; ++crew) {
            const QString name = QStringLiteral("Směna %1").arg(QChar(u'A' + crew));
            for (int side = 0; side < 2; ++side) {
                const QString page = QString::number(2 * crew + side + 1);
                const QString text = runTool(QStringLiteral("pdftotext"),
                                             {QStringLiteral("-f"), page, QStringLiteral("-l"), page,
                                              dir.filePath(QStringLiteral("2027_karty_A4.pdf")), QStringLiteral("-")});
                QVERIFY2(text.contains(side == 0 ? QStringLiteral("2027 · ") + name : name + QStringLiteral(" v roce 2027")),
                         qPrintable(text));
            }
        }
    }
}

void TestPrintShop::homeFilesHaveNoBoxes()
{
    QTemporaryDir dir;
    YearRequest request;
    request.folder = dir.path();
    request.year = 2027;
    request.look = printShopLook(QStringLiteral("Liberation Sans"), 0, 3.0);
    request.look.printShop.on = false;
    request.look.fontSizePt = 4; // no checks for a home printer
    request.yearSheet = request.walletCard = true;
    const YearResult result = writeYear(request);
    QCOMPARE(result.status, YearResult::Status::Written);
    QVERIFY(result.preflight.isEmpty());
    for (const QString &name : QDir(dir.path()).entryList({QStringLiteral("*.pdf")})) {
        QFile raw(dir.filePath(name));
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QByteArray bytes = raw.readAll();
        QVERIFY2(!bytes.contains("/TrimBox") && !bytes.contains("/BleedBox") && !bytes.contains("GTS_PDFX"), qPrintable(name));
    }
    // The same run for a print shop finds the 4 pt numbers on every month.
    request.look.printShop.on = true;
    QTemporaryDir shop;
    request.folder = shop.path();
    const YearResult checked = writeYear(request);
    QCOMPARE(checked.status, YearResult::Status::Written);
    QCOMPARE(checked.preflight.size(), 12);
    for (const PreflightFinding &finding : checked.preflight) {
        QCOMPARE(finding.rule, PreflightFinding::Rule::SmallType);
        QVERIFY(qAbs(finding.value - 4.0) < 1e-4);
    }
    QCOMPARE(QDir(shop.path()).entryList({QStringLiteral("*.pdf")}).size(), 15);
}

void TestPrintShop::bleedRunsOn_data()
{
    QTest::addColumn<double>("bleed");
    QTest::newRow("3 mm") << 3.0;
    QTest::newRow("1.5 mm") << 1.5;
}

void TestPrintShop::bleedRunsOn()
{
    QFETCH(double, bleed);
    // A card whose left third is a magenta background, cut at the card's
    // edge, and a cyan fill 1 mm inside its right edge.
    PdfRunFont font(resolvePdfFont(QStringLiteral("Liberation Sans")));
    QString problem;
    QVERIFY(font.prepare(QStringLiteral("0123456789"), &problem));
    MonthModel part;
    part.pageMm = QSizeF(CardWidthMm, CardHeightMm);
    part.boxWidthMm = part.boxHeightMm = 5.0;
    part.borderWidthMm = 0.2; // the swatches' outline
    part.swatches.append({QRectF(0, -CardHeightMm, 30, CardHeightMm), Cmyk{0, 1, 0, 0}});
    part.swatches.append({QRectF(70, -40, 14.6, 20), Cmyk{1, 0, 0, 0}});
    CardModel card;
    card.front.parts = {part};
    card.back.parts = {part};
    const CardPdfs files = renderCardFiles(font, card, {}, {true, bleed, QStringLiteral("t")},
                                           {true, bleed, QStringLiteral("t")});
    QVERIFY(files.card.ok() && files.sheet.ok());
    QTemporaryDir dir;
    for (const auto &[name, bytes, border] : {std::make_tuple(QStringLiteral("card.pdf"), files.card.bytes, bleed),
                                               std::make_tuple(QStringLiteral("sheet.pdf"), files.sheet.bytes, bleed + 3.5)}) {
        QFile out(dir.filePath(name));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        out.close();
        const QImage image = ghostscript(out.fileName(), 1);
        QVERIFY(!image.isNull());
        const auto at = [&](double xMm, double yMm) { // from the cut's top-left corner
            return image.pixel(qRound((border + xMm) * 10 - 0.5), qRound((border + yMm) * 10 - 0.5));
        };
        // The background runs on to the bleed's edge, and no further.
        QVERIFY(dominantInk(at(-bleed + 0.4, 20)) == 1);
        QVERIFY(dominantInk(at(15, -bleed + 0.4)) == 1);
        QVERIFY(dominantInk(at(15, CardHeightMm + bleed - 0.4)) == 1);
        if (border > bleed)
            QVERIFY(isWhite(at(-bleed - 0.3, 20)));
        // What keeps off the cut stays where it is.
        QVERIFY(dominantInk(at(80, 25)) == 0);
        QVERIFY(isWhite(at(CardWidthMm + 0.2, 25)));
    }
    // The check takes the background for what it is, and names the fill
    // 1 mm from the cut, its outline 0.1 mm nearer.
    const QVector<PreflightFinding> found = preflightPage({part}, QRectF(0, -CardHeightMm, CardWidthMm, CardHeightMm),
                                                          QStringLiteral("x"), 300, TextFont());
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.first().rule, PreflightFinding::Rule::NearCut);
    QVERIFY(qAbs(found.first().value - 0.9) < 1e-6);
}

void TestPrintShop::cardForEveryCrewOnA4()
{
    // For a home printer: the 12 h rota's four cards on one A4 page, each
    // back behind its front.
    QTemporaryDir dir;
    YearRequest request;
    request.folder = dir.path();
    request.year = 2027;
    request.look = printShopLook(QStringLiteral("Liberation Sans"), 2, 3.0);
    request.look.printShop.on = false;
    request.walletCard = request.cardPerCrew = true;
    QCOMPARE(writeYear(request).status, YearResult::Status::Written);
    std::unique_ptr<Poppler::Document> sheet(Poppler::Document::load(dir.filePath(QStringLiteral("2027_karty_A4.pdf"))));
    QVERIFY(sheet);
    QCOMPARE(sheet->numPages(), 2);
    // Four places of a grid of two columns, 16.6 and 107.7 mm from the left,
    // two rows 59.5 mm apart centred on A4; turned over, left and right swap.
    const QList<QPointF> places = {{16.6, 91.7}, {107.7, 91.7}, {16.6, 151.2}, {107.7, 151.2}};
    for (int side = 0; side < 2; ++side) {
        std::unique_ptr<Poppler::Page> page(sheet->page(side));
        QVERIFY(qAbs(page->pageSizeF().width() * MmPerPoint - 210) < 0.01);
        const QList<Poppler::TextBox *> words = page->textList();
        QMap<int, QString> crewAt; // place to crew
        for (int i = 0; i + 1 < words.size(); ++i) {
            if (words.at(i)->text() != QStringLiteral("Směna"))
                continue;
            const QPointF at = words.at(i)->boundingBox().center() * MmPerPoint;
            for (int place = 0; place < places.size(); ++place) {
                const double left = side == 0 ? places.at(place).x() : 210 - places.at(place).x() - 85.6;
                if (at.x() > left && at.x() < left + 85.6 && at.y() > places.at(place).y()
                    && at.y() < places.at(place).y() + 53.98)
                    crewAt.insert(place, words.at(i + 1)->text().left(1)); // "A" of "A v roce", "A:"
            }
        }
        qDeleteAll(words);
        QCOMPARE(crewAt.size(), 4);
        for (int place = 0; place < 4; ++place)
            QCOMPARE(crewAt.value(place), QString(QChar(u'A' + place)));
    }
}

QTEST_MAIN(TestPrintShop)
#include "tst_printshop.moc"
