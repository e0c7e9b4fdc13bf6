#ifndef LUNORIS_SETUPFILE_H
#define LUNORIS_SETUPFILE_H

#include <QByteArray>
#include <QString>

namespace Setup {

// The look of the calendars as a setup file holds it. Year, first shift and
// target folder are deliberately not part of it.
struct Look
{
    QByteArray colorA;
    QByteArray colorB;
    QByteArray colorC;
    QString font;
    QByteArray fontColor;
    double fontSize = 10.0;
    double boxWidth = 10.0;
    double boxHeight = 10.0;
    QByteArray borderColor;
    double borderWidth = 1.0;
    bool textOnly = false;
    // Written only when on, so that a look without them is the eleven keys
    // it always was; a file without them means off.
    bool labels = false;
    bool holidays = false;
};

// Ranges of the form's inputs; a loaded size outside them is not taken.
struct SizeLimits
{
    double minimum;
    double maximum;
};

struct Limits
{
    SizeLimits fontSize{1.0, 100.0};
    SizeLimits boxSize{1.0, 100.0};
    SizeLimits borderWidth{0.0, 99.99};
};

// Writes the eleven keys into the INI file at `path`, keeping any other keys
// it already holds. Returns false when the file could not be written.
bool save(const QString &path, const Look &look);

// Reads the look from `path`, starting from `current`: a key the file lacks,
// or whose value the form could not take as it stands, keeps its current
// value. A file that is not a setup file at all gives `current` back.
Look load(const QString &path, const Look &current, const Limits &limits = {});

} // namespace Setup

#endif // LUNORIS_SETUPFILE_H
