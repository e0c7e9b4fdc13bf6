#ifndef LUNORIS_SETUPFILE_H
#define LUNORIS_SETUPFILE_H

#include "model/look.h"

#include <QMap>
#include <QString>
#include <QVariant>
#include <QVector>

namespace Setup {

// What became of a save: done, or why not, in Czech for the user.
struct Saved
{
    bool ok = false;
    QString problem;
};

// A value of a setup file that the window could not take: its key, and why
// in Czech for the user.
struct Refusal
{
    QString key;
    QString reason;
};

// The lines of a loaded file that the window could not take, for saving: a
// save writes them as the file had them for as long as the part of the look
// shown in their place (the rota with the crew shown, or the card's note) is
// what the window showed after the load. So a save never replaces what the
// file held with a value the user did not choose.
struct Kept
{
    bool rota = false; // every line of the rota and the crew shown
    bool cardNote = false;
    QMap<QString, QVariant> lines; // of those, the ones the file had
    Calendar::Look shown;
};

// Writes the look into the INI file at `path`: the eleven keys of every
// setup file, and the others only where the look differs from the start of
// the form, so that a look of the form's own kind is the eleven keys it
// always was; and the lines `kept` from a load as they were. Keys of other
// programs in the file are kept: a key of ours is taken out alone, never a
// group of the same name.
Saved save(const QString &path, const Calendar::Look &look, const Kept &kept = Kept());

// What a load found.
struct Loaded
{
    Calendar::Look look;
    // False when the file could not be read at all (`problem` says why); a
    // file that is not a setup file reads fine and gives nothing.
    bool read = true;
    QString problem;
    // What the window could not take, to tell the user, and to keep.
    QVector<Refusal> refused;
    Kept kept;
};

// Reads the look from `path`, starting from `current`: one of the eleven
// keys that the file lacks, or whose value the form could not take as it
// stands, keeps its current value; any other key the file lacks means what
// the form starts with. A rota the window cannot use, or a card's note
// longer than its field takes, keeps the current one and is refused. A
// file that is not a setup file at all, or that holds a value the toolkit's
// reader would decode as a serialised object, gives `current` back.
Loaded load(const QString &path, const Calendar::Look &current);

// What the panel tells the user after a load that refused values of
// `path`; empty when it refused none.
QString loadNotice(const QString &path, const QVector<Refusal> &refused);

} // namespace Setup

#endif // LUNORIS_SETUPFILE_H
