#ifndef LUNORIS_INISCHECK_H
#define LUNORIS_INISCHECK_H

#include <QByteArray>

namespace Setup {

// Whether the toolkit's INI reader can be handed these bytes without harm.
// The reader decodes "@Variant(...)" and "@DateTime(...)" values through a
// data stream that trusts the counts it reads, so a few bytes can make it
// reserve gigabytes; our files never hold such values. This walks the bytes
// the way the reader splits them into lines, values and list elements
// (quotes, escapes, continuation lines included) and refuses a file with any
// element that would be decoded that way, and nothing else: text, comments
// and other "@" values of any kind are the file's own business.
bool isSafeIni(const QByteArray &bytes);

} // namespace Setup

#endif // LUNORIS_INISCHECK_H
