#ifndef LUNORIS_SETUPFILE_H
#define LUNORIS_SETUPFILE_H

#include "model/look.h"

#include <QString>

namespace Setup {

// What became of a save: done, or why not, in Czech for the user.
struct Saved
{
    bool ok = false;
    QString problem;
};

// Writes the look into the INI file at `path`: the eleven keys of every
// setup file, and the others only where the look differs from the start of
// the form, so that a look of the form's own kind is the eleven keys it
// always was. Keys of other programs in the file are kept.
Saved save(const QString &path, const Calendar::Look &look);

// What a load found.
struct Loaded
{
    Calendar::Look look;
    // False when the file could not be read at all (`problem` says why); a
    // file that is not a setup file reads fine and gives nothing.
    bool read = true;
    QString problem;
};

// Reads the look from `path`, starting from `current`: one of the eleven
// keys that the file lacks, or whose value the form could not take as it
// stands, keeps its current value; any other key the file lacks means what
// the form starts with. A file that is not a setup file at all, or that
// holds a value the toolkit's reader would decode as a serialised object,
// gives `current` back.
Loaded load(const QString &path, const Calendar::Look &current);

} // namespace Setup

#endif // LUNORIS_SETUPFILE_H
