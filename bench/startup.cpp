#include "startup.h"

#include "app/desktop.h"
#include "app/mainwindow.h"
#include "widgets/monthpreview.h"

#include <QApplication>
#include <QMainWindow>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>

namespace Startup {

const char FirstFrameFlag[] = "--first-frame=";

namespace {

const char SinceFlag[] = "--since=";
const char SizeFlag[] = "--size=";

qint64 nanoseconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

const char *valueOf(int argc, char **argv, const char *flag)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], flag, std::strlen(flag)) == 0)
            return argv[i] + std::strlen(flag);
    }
    return nullptr;
}

// Notes the first paint of `widget` that `complete` accepts, and reports
// once control is back in the event loop: by then the frame that paint
// belongs to has been flushed to the window.
class FrameWatch : public QObject
{
public:
    FrameWatch(QWidget *watched, QWidget *window, std::function<bool()> complete, qint64 since)
        : m_window(window)
        , m_complete(std::move(complete))
        , m_since(since)
    {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen && m_complete()) {
            m_seen = true;
            QTimer::singleShot(0, this, [this] { report(); });
        }
        return false;
    }

private:
    void report()
    {
        const double cpu = nanoseconds(CLOCK_PROCESS_CPUTIME_ID) / 1e6;
        const double wall = (nanoseconds(CLOCK_MONOTONIC) - m_since) / 1e6;
        std::printf("first-frame cpu_ms=%.3f wall_ms=%.3f size=%dx%d platform=%s\n", cpu, wall, m_window->width(),
                    m_window->height(), qPrintable(QGuiApplication::platformName()));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    QWidget *m_window;
    std::function<bool()> m_complete;
    qint64 m_since;
    bool m_seen = false;
};

} // namespace

int runWindow(int argc, char **argv)
{
    const char *which = valueOf(argc, argv, FirstFrameFlag);
    if (!which)
        return -1;
    // Without the parent's moment, from here: the process's loading is then
    // left out of the wall time.
    const char *since = valueOf(argc, argv, SinceFlag);
    const qint64 start = since ? QByteArray(since).toLongLong() : nanoseconds(CLOCK_MONOTONIC);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Nothing should stop the clock for ever.
    const auto timeLimit = [] {
        std::fprintf(stderr, "no complete frame within 30 s\n");
        QCoreApplication::exit(2);
    };

    if (std::strcmp(which, "lunoris") == 0) {
        // As main() starts the application.
        Desktop::prepareApplication();
        QApplication application(argc, argv);
        Desktop::setUpApplication(application);
        MainWindow window;
        window.fitToScreen();
        auto *preview = window.findChild<MonthPreview *>();
        if (!preview)
            return 3;
        const FrameWatch watch(preview, &window, [preview] { return preview->showsPage() || !preview->notice().isEmpty(); },
                               start);
        QTimer::singleShot(30000, &application, timeLimit);
        Desktop::showFirstWindow(window);
        return application.exec();
    }
    const bool raster = std::strcmp(which, "bare-raster") == 0;
    if (raster || std::strcmp(which, "bare") == 0) {
        // The window draws raster only: the raster bare window is its like,
        // the plain one a window as the toolkit makes it by default.
        if (raster)
            QCoreApplication::setAttribute(Qt::AA_ForceRasterWidgets);
        QApplication application(argc, argv);
        QMainWindow window;
        int width = 0, height = 0;
        if (const char *size = valueOf(argc, argv, SizeFlag); size && std::sscanf(size, "%dx%d", &width, &height) == 2)
            window.resize(width, height);
        const FrameWatch watch(&window, &window, [] { return true; }, start);
        QTimer::singleShot(30000, &application, timeLimit);
        window.show();
        return application.exec();
    }
    std::fprintf(stderr, "unknown window %s\n", which);
    return 3;
}

namespace {

// The middle of one figure of the runs, 0 without runs.
double median(const QVector<Figures> &runs, double Figures::*figure)
{
    QVector<double> values;
    for (const Figures &run : runs)
        values.append(run.*figure);
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

} // namespace

double Comparison::medianCpu(const QVector<Figures> &runs) const
{
    return median(runs, &Figures::cpuMs);
}

double Comparison::medianWall(const QVector<Figures> &runs) const
{
    return median(runs, &Figures::wallMs);
}

Comparison compare(const QString &executable, int rounds)
{
    Comparison comparison;
    QString size; // the bare window takes the application window's size
    const auto run = [&](const QString &which) -> bool {
        QStringList arguments{QLatin1String(FirstFrameFlag) + which};
        if (which != QLatin1String("lunoris") && !size.isEmpty())
            arguments << QLatin1String(SizeFlag) + size;
        QProcess process;
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        arguments << QLatin1String(SinceFlag) + QString::number(nanoseconds(CLOCK_MONOTONIC));
        process.start(executable, arguments);
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
            process.kill();
            process.waitForFinished();
            comparison.problem = QStringLiteral("the %1 window gave no first frame").arg(which);
            return false;
        }
        const QByteArray output = process.readAllStandardOutput();
        Figures figures;
        char shownSize[32] = {0}, platform[64] = {0};
        const char *line = std::strstr(output.constData(), "first-frame ");
        if (!line
            || std::sscanf(line, "first-frame cpu_ms=%lf wall_ms=%lf size=%31s platform=%63s", &figures.cpuMs,
                           &figures.wallMs, shownSize, platform)
                   != 4) {
            comparison.problem = QStringLiteral("the %1 window's report is unreadable").arg(which);
            return false;
        }
        comparison.platform = QString::fromLatin1(platform);
        if (which == QLatin1String("lunoris")) {
            size = QString::fromLatin1(shownSize);
            comparison.lunoris.append(figures);
        } else if (which == QLatin1String("bare")) {
            comparison.bare.append(figures);
        } else {
            comparison.bareRaster.append(figures);
        }
        return true;
    };
    // The application's window first once, for its size.
    if (!run(QStringLiteral("lunoris")))
        return comparison;
    comparison.lunoris.clear();
    QStringList order{QStringLiteral("bare"), QStringLiteral("lunoris"), QStringLiteral("bare-raster")};
    for (int round = 0; round < rounds; ++round) {
        // Each window takes each place in turn.
        order.move(0, order.size() - 1);
        for (const QString &which : qAsConst(order)) {
            if (!run(which))
                return comparison;
        }
    }
    return comparison;
}

} // namespace Startup
