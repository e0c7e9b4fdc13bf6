#ifndef LUNORIS_BENCH_STARTUP_H
#define LUNORIS_BENCH_STARTUP_H

#include <QString>
#include <QStringList>
#include <QVector>

// The time from a process's start to its window's first complete frame, for
// the application's window (its preview painted with a page) and for a bare
// QMainWindow of the same size, plain and raster only, each started afresh.
namespace Startup {

// The flag that makes the bench a window to be timed: "--first-frame=lunoris",
// "--first-frame=bare" or "--first-frame=bare-raster".
extern const char FirstFrameFlag[];

// When the arguments ask for a window, shows it until its first complete
// frame, prints what it took and returns the exit code; otherwise -1.
int runWindow(int argc, char **argv);

struct Figures
{
    double cpuMs = 0;  // the process's CPU time, all its threads
    double wallMs = 0; // from just before the process was started
};

struct Comparison
{
    QVector<Figures> lunoris;
    QVector<Figures> bare;
    QVector<Figures> bareRaster; // without OpenGL, as the window draws
    QString problem; // empty when every run reported
    QString platform;

    double medianCpu(const QVector<Figures> &runs) const;
    double medianWall(const QVector<Figures> &runs) const;
};

// `rounds` rounds of runs of `executable`, the three windows in turn and in
// rotating order, so that all meet the machine in the same moods.
Comparison compare(const QString &executable, int rounds);

} // namespace Startup

#endif // LUNORIS_BENCH_STARTUP_H
