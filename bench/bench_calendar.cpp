// Time and bytes of a year of calendars built in memory, for the built-in
// Helvetica, the form's default font and DejaVu Sans, with labels and
// holidays, and for the most complex preset rota; the default year written
// into a folder as the window does it; the preview painted; and the window's
// start against a bare window's. After the run it checks the goals on CPU
// time, which neighbours on a shared machine do not inflate the way they do
// wall time (both are reported), and exits non-zero when one is missed.
#include "startup.h"

#include "fonts/glyphoutlines.h"
#include "model/card.h"
#include "output/yearwriter.h"
#include "render/pdffont.h"
#include "widgets/monthpreview.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace Calendar;

namespace {

constexpr double MaximumYearBytes = 100 * 1024;
constexpr double MaximumSlowdown = 1.3;          // the default year against Helvetica's
constexpr double MaximumLabelledSlowdown = 1.5;  // with labels and holidays
constexpr double MaximumFolderSlowdown = 2.5;    // written into a folder
constexpr double MaximumRotaSlowdown = 1.5;      // the busiest preset against the default year
constexpr double MaximumPreviewSeconds = 0.005;  // laid out and painted at the panel's size
constexpr double MaximumPaintSeconds = 0.016;    // a frame at 60 Hz, painted full screen
constexpr double MaximumExtrasSlowdown = 2.0;
constexpr double MaximumCardSlowdown = 1.5;      // the year with the wallet card
constexpr double MaximumStartupSlowdown = 1.3;   // the window's first frame against a bare window's
constexpr int DefaultStartupRounds = 11;

Look benchLook(const char *family, bool labelled, int preset = 0)
{
    Look look;
    look.font = QString::fromUtf8(family);
    look.labels = look.holidays = labelled;
    look.rota = Rota::fromPreset(preset);
    look.fontColor = {0, 0, 0, 100};
    look.borderColor = {0, 0, 0, 100};
    look.crewColors = {Ink{0, 100, 100, 0}, Ink{100, 0, 0, 0}, Ink{0, 0, 100, 0}, Ink{0, 100, 0, 0},
                       Ink{30, 0, 0, 0}, Ink{0, 30, 0, 0}};
    return look;
}

// As a run does it: the font resolved, checked and prepared once, then twelve
// documents.
qint64 buildYear(const YearRequest &request)
{
    const YearCalendars calendars(request);
    if (calendars.status() != YearResult::Status::Written)
        return -1;
    qint64 bytes = 0;
    for (int month = 1; month <= 12; ++month) {
        const PdfBytes pdf = calendars.month(month);
        if (!pdf.ok())
            return -1;
        bytes += pdf.bytes.size();
    }
    return bytes;
}

void yearInMemory(benchmark::State &state, const char *family, bool labelled = false, int preset = 0)
{
    const QTemporaryDir folder;
    YearRequest request;
    request.folder = folder.path();
    request.year = 2017;
    request.look = benchLook(family, labelled, preset);
    qint64 bytes = 0;
    for (auto _ : state) {
        bytes = buildYear(request);
        if (bytes < 0) {
            state.SkipWithError("the font could not be used");
            return;
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes_per_year"] = double(bytes);
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
    state.SetLabel(resolvePdfFont(QString::fromUtf8(family)).resolvedFamily.toStdString());
}

// A year as the window runs it: twelve files written into a folder through
// the same writer.
void yearToFolder(benchmark::State &state, const char *family, bool extras = false, bool card = false)
{
    const QTemporaryDir folder;
    YearRequest request;
    request.folder = folder.path();
    request.year = 2017;
    request.look = benchLook(family, false);
    request.yearSheet = request.phoneCalendars = extras;
    request.walletCard = card;
    for (auto _ : state) {
        const YearResult result = writeYear(request);
        if (result.status != YearResult::Status::Written) {
            state.SkipWithError("the year could not be written");
            return;
        }
    }
}

// What the preview does after a change: lay the month out again and paint it
// at the size of the panel.
void previewRedraw(benchmark::State &state)
{
    MonthPreview preview;
    preview.resize(300, 340);
    QImage image(preview.size(), QImage::Format_ARGB32_Premultiplied);
    const Look look = benchLook("Arial", true, 4);
    const PdfFontSource source = resolvePdfFont(look.font);
    PdfRunFont font(source);
    const auto glyphs = std::make_shared<const GlyphOutlines>(source);
    const TextFont text = font.measure(printableCharacters(look));
    for (auto _ : state) {
        preview.setPage(layOutMonth(2017, 3, 2, look, text), glyphs, text);
        preview.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

enum class Side { Month, CardFront, CardBack };

// One paint of the preview filling a screen, as after any change: the page
// given anew (so nothing drawn before can be reused) and painted. The
// busiest preset for the whole team, with labels, holidays and a note on the
// card: the most there is to draw.
void previewPaint(benchmark::State &state, Side side, int width, int height)
{
    Look look = benchLook("Arial", true, 4);
    look.cardNote = QStringLiteral("Dovolená od 12. července, číslo dílny 4");
    const int year = 2027, firstCrew = 0;
    const PdfFontSource source = resolvePdfFont(look.font);
    PdfRunFont font(source);
    const auto glyphs = std::make_shared<const GlyphOutlines>(source);
    MonthPreview preview;
    preview.resize(width, height);
    QImage image(preview.size(), QImage::Format_ARGB32_Premultiplied);
    const QString printable = printableCharacters(look);
    const TextFont monthText = font.measure(printable);
    const TextFont cardText = font.measure(printable + cardCharacters(year, firstCrew, look));
    // May: a Saturday first, so six weeks and two holidays.
    const MonthModel month = layOutMonth(year, 5, firstCrew, look, monthText);
    const CardModel card = layOutCard(year, firstCrew, look, cardText);
    for (auto _ : state) {
        switch (side) {
        case Side::Month:
            preview.setPage(month, glyphs, monthText);
            break;
        case Side::CardFront:
            preview.setCardFace(card.front, glyphs, cardText);
            break;
        case Side::CardBack:
            preview.setCardFace(card.back, glyphs, cardText);
            break;
        }
        preview.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void fontResolution(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(resolvePdfFont(QStringLiteral("Arial")));
}

// CPU time of every thread of the process, which the goals are judged on.
#define LUNORIS_BENCH(...) __VA_ARGS__->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)

LUNORIS_BENCH(BENCHMARK(fontResolution));
LUNORIS_BENCH(BENCHMARK(previewRedraw));
LUNORIS_BENCH(BENCHMARK_CAPTURE(previewPaint, month_1920x1080, Side::Month, 1920, 1080));
LUNORIS_BENCH(BENCHMARK_CAPTURE(previewPaint, card_front_1920x1080, Side::CardFront, 1920, 1080));
LUNORIS_BENCH(BENCHMARK_CAPTURE(previewPaint, card_back_1920x1080, Side::CardBack, 1920, 1080));
LUNORIS_BENCH(BENCHMARK_CAPTURE(previewPaint, month_3840x2160, Side::Month, 3840, 2160));
LUNORIS_BENCH(BENCHMARK_CAPTURE(previewPaint, card_front_3840x2160, Side::CardFront, 3840, 2160));
LUNORIS_BENCH(BENCHMARK_CAPTURE(previewPaint, card_back_3840x2160, Side::CardBack, 3840, 2160));
LUNORIS_BENCH(BENCHMARK_CAPTURE(yearInMemory, helvetica, "Helvetica"));
LUNORIS_BENCH(BENCHMARK_CAPTURE(yearInMemory, default_font, "Arial"));
LUNORIS_BENCH(BENCHMARK_CAPTURE(yearInMemory, dejavu_sans, "DejaVu Sans"));
LUNORIS_BENCH(BENCHMARK_CAPTURE(yearInMemory, default_font_labels_holidays, "Arial", true));
LUNORIS_BENCH(BENCHMARK_CAPTURE(yearInMemory, busiest_rota_labels, "Arial", true, 4));
LUNORIS_BENCH(BENCHMARK_CAPTURE(yearToFolder, default_font, "Arial"));
LUNORIS_BENCH(BENCHMARK_CAPTURE(yearToFolder, default_font_sheet_and_phones, "Arial", true));
LUNORIS_BENCH(BENCHMARK_CAPTURE(yearToFolder, default_font_wallet_card, "Arial", false, true));

// Prints as usual and keeps what the goals need.
class GoalReporter : public benchmark::ConsoleReporter
{
public:
    struct Figure
    {
        double cpuSeconds = 0;
        double wallSeconds = 0;
        double bytes = 0;
    };
    std::map<std::string, Figure> figures;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            // The median of the repetitions when there are any, else the run.
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.error_occurred || !(median || run.run_type == Run::RT_Iteration))
                continue;
            // By the case's name alone, without "/process_time" and the like.
            const std::string name = run.run_name.function_name
                    + (run.run_name.args.empty() ? std::string() : "/" + run.run_name.args);
            if (!median && figures.count(name))
                continue;
            Figure &figure = figures[name];
            figure.cpuSeconds = run.GetAdjustedCPUTime() / 1000.0;
            figure.wallSeconds = run.GetAdjustedRealTime() / 1000.0;
            const auto bytes = run.counters.find("bytes_per_year");
            if (bytes != run.counters.end())
                figure.bytes = bytes->second.value;
        }
    }

    const Figure *find(const char *name) const
    {
        const auto found = figures.find(name);
        return found == figures.end() ? nullptr : &found->second;
    }
};

// The goals, one line each: what is measured on CPU (the verdict) and on the
// wall clock (for information).
class GoalTable
{
public:
    GoalTable() { std::printf("\n%-64s %14s %14s  %s\n", "goal (judged on CPU time)", "CPU", "wall", "verdict"); }

    void ratio(const char *what, const GoalReporter::Figure *figure, const GoalReporter::Figure *base, double goal)
    {
        if (figure && base)
            line(what, figure->cpuSeconds / base->cpuSeconds, figure->wallSeconds / base->wallSeconds, goal, "x");
    }
    void time(const char *what, const GoalReporter::Figure *figure, double goalSeconds)
    {
        if (figure)
            line(what, figure->cpuSeconds * 1000, figure->wallSeconds * 1000, goalSeconds * 1000, "ms");
    }
    void line(const char *what, double cpu, double wall, double goal, const char *unit)
    {
        const bool met = cpu <= goal;
        char title[160];
        std::snprintf(title, sizeof title, "%s <= %g %s", what, goal, unit);
        char wallText[32] = "";
        if (wall >= 0)
            std::snprintf(wallText, sizeof wallText, "%.2f %s", wall, unit);
        std::printf("%-64s %11.2f %s %14s  %s\n", title, cpu, unit, wallText, met ? "met" : "MISSED");
        m_met = m_met && met;
    }
    void fail(const char *what, const QString &problem)
    {
        std::printf("%-64s %s  MISSED\n", what, qPrintable(problem));
        m_met = false;
    }
    bool met() const { return m_met; }

private:
    bool m_met = true;
};

// Flags of this bench's own, taken out before Google Benchmark sees the rest.
struct Options
{
    int startupRounds = DefaultStartupRounds; // 0 leaves the start-up out
    bool startupOnly = false;
};

Options takeOptions(std::vector<char *> &args)
{
    Options options;
    for (auto arg = args.begin() + 1; arg != args.end();) {
        if (std::strncmp(*arg, "--startup_rounds=", 17) == 0) {
            options.startupRounds = std::atoi(*arg + 17);
        } else if (std::strcmp(*arg, "--startup_only") == 0) {
            options.startupOnly = true;
        } else {
            ++arg;
            continue;
        }
        arg = args.erase(arg);
    }
    return options;
}

void usage()
{
    std::printf("\nThis bench's own flags:\n"
                "  --startup_rounds=N  start the window and the bare ones N times each (default %d, 0: not at all)\n"
                "  --startup_only      only the start-up, no other case\n"
                "Offscreen unless QT_QPA_PLATFORM says otherwise, e.g. under Xvfb:\n"
                "  QT_QPA_PLATFORM=xcb xvfb-run -a lunoris_bench --startup_only\n",
                DefaultStartupRounds);
}

} // namespace

int main(int argc, char **argv)
{
    // A window to be timed from its process's start: nothing else may run
    // before it.
    const int window = Startup::runWindow(argc, argv);
    if (window >= 0)
        return window;

    // This machine's speed drifts by half within seconds: many short
    // repetitions of every case, interleaved, so that the cases compared
    // share the same moments, and their medians compared, unless told
    // otherwise. Later flags override these.
    std::vector<char *> args(argv, argv + argc);
    const Options options = takeOptions(args);
    char repetitions[] = "--benchmark_repetitions=21";
    char minTime[] = "--benchmark_min_time=0.1";
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    char aggregates[] = "--benchmark_report_aggregates_only=true";
    args.insert(args.begin() + 1, {repetitions, minTime, interleave, aggregates});
    argc = int(args.size());
    argv = args.data();
    // The preview paints with the toolkit's widgets; no screen is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv, usage);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    GoalReporter reporter;
    if (!options.startupOnly)
        benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    GoalTable goals;
    if (const GoalReporter::Figure *standard = reporter.find("yearInMemory/default_font")) {
        std::printf("%-64s %11.1f KB %14s  %s\n", "a year in the default font <= 100 KB", standard->bytes / 1024, "",
                    standard->bytes <= MaximumYearBytes ? "met" : "MISSED");
        if (standard->bytes > MaximumYearBytes)
            goals.fail("", QStringLiteral("the year is too large"));
    }
    const GoalReporter::Figure *helvetica = reporter.find("yearInMemory/helvetica");
    const GoalReporter::Figure *labelled = reporter.find("yearInMemory/default_font_labels_holidays");
    const GoalReporter::Figure *folder = reporter.find("yearToFolder/default_font");
    goals.ratio("default font vs Helvetica", reporter.find("yearInMemory/default_font"), helvetica, MaximumSlowdown);
    goals.ratio("with labels and holidays vs Helvetica", labelled, helvetica, MaximumLabelledSlowdown);
    goals.ratio("8 h rota of five crews vs the default rota, labels on", reporter.find("yearInMemory/busiest_rota_labels"),
                labelled, MaximumRotaSlowdown);
    goals.ratio("with the print sheet and phone calendars vs the months",
                reporter.find("yearToFolder/default_font_sheet_and_phones"), folder, MaximumExtrasSlowdown);
    goals.ratio("with the wallet card vs the months", reporter.find("yearToFolder/default_font_wallet_card"), folder,
                MaximumCardSlowdown);
    goals.ratio("default font into a folder vs Helvetica in memory", folder, helvetica, MaximumFolderSlowdown);
    goals.time("preview laid out and painted at 300 x 340", reporter.find("previewRedraw"), MaximumPreviewSeconds);
    goals.time("preview paint, month, 1920 x 1080", reporter.find("previewPaint/month_1920x1080"), MaximumPaintSeconds);
    goals.time("preview paint, card's front, 1920 x 1080", reporter.find("previewPaint/card_front_1920x1080"),
               MaximumPaintSeconds);
    goals.time("preview paint, card's back, 1920 x 1080", reporter.find("previewPaint/card_back_1920x1080"),
               MaximumPaintSeconds);
    // 4K for information: a frame there has four times the pixels.
    for (const char *name : {"previewPaint/month_3840x2160", "previewPaint/card_front_3840x2160",
                             "previewPaint/card_back_3840x2160"}) {
        if (const GoalReporter::Figure *figure = reporter.find(name))
            std::printf("%-64s %11.2f ms %11.2f ms  (no goal)\n", name, figure->cpuSeconds * 1000,
                        figure->wallSeconds * 1000);
    }

    if (options.startupRounds > 0) {
        const Startup::Comparison startup =
            Startup::compare(QCoreApplication::applicationFilePath(), options.startupRounds);
        if (!startup.problem.isEmpty()) {
            goals.fail("start-up", startup.problem);
        } else {
            const double cpu = startup.medianCpu(startup.lunoris), bareCpu = startup.medianCpu(startup.bare);
            const double wall = startup.medianWall(startup.lunoris), bareWall = startup.medianWall(startup.bare);
            std::printf("%-64s %11.1f ms %11.1f ms\n", "start to first frame, the window (median)", cpu, wall);
            std::printf("%-64s %11.1f ms %11.1f ms\n", "start to first frame, a bare QMainWindow (median)", bareCpu,
                        bareWall);
            char what[96];
            std::snprintf(what, sizeof what, "the window's first frame vs a bare window's (%s, %d rounds)",
                          qPrintable(startup.platform), options.startupRounds);
            goals.line(what, cpu / bareCpu, wall / bareWall, MaximumStartupSlowdown, "x");
            const double rasterCpu = startup.medianCpu(startup.bareRaster);
            const double rasterWall = startup.medianWall(startup.bareRaster);
            std::printf("%-64s %11.1f ms %11.1f ms\n", "start to first frame, a bare raster QMainWindow (median)",
                        rasterCpu, rasterWall);
            std::printf("%-64s %11.2f x  %11.2f x   (no goal)\n", "the window's first frame vs a bare raster window's",
                        cpu / rasterCpu, wall / rasterWall);
        }
    }
    return goals.met() ? 0 : 1;
}
