#include "characters.h"

#include <QTextBoundaryFinder>

namespace Calendar {

namespace {

// Letters that fill a place without ink, which a message would show as
// nothing at all.
bool isBlankLetter(uint codePoint)
{
    return codePoint == 0x115f || codePoint == 0x1160 || codePoint == 0x3164 || codePoint == 0xffa0;
}

// Whether a code point shows as nothing, or changes the text around it,
// where it stands in a cluster.
bool isHidden(uint codePoint, bool first)
{
    switch (QChar::category(codePoint)) {
    case QChar::Other_Format:
        // The joiners that hold an emoji sequence together are part of
        // what it shows.
        return first || (codePoint != 0x200c && codePoint != 0x200d);
    case QChar::Other_Control:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        // Alone, it would sit on whatever the message puts before it.
        return first;
    default:
        return isBlankLetter(codePoint);
    }
}

QString codePointName(uint codePoint)
{
    return QStringLiteral("U+%1").arg(codePoint, 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QStringList graphemeClusters(const QString &text)
{
    QStringList clusters;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int start = 0;
    while (finder.toNextBoundary() != -1) {
        clusters << text.mid(start, finder.position() - start);
        start = finder.position();
    }
    return clusters;
}

QString clusterAt(const QString &text, int index)
{
    int start = 0;
    for (const QString &cluster : graphemeClusters(text)) {
        if (index < start + cluster.size())
            return cluster;
        start += cluster.size();
    }
    return {};
}

QString readableCharacter(const QString &cluster)
{
    bool hidden = cluster.isEmpty();
    bool first = true;
    forEachCodePoint(cluster, [&](uint codePoint) {
        hidden = hidden || isHidden(codePoint, first);
        first = false;
    });
    if (!hidden)
        return cluster;
    QStringList names;
    forEachCodePoint(cluster, [&](uint codePoint) { names << codePointName(codePoint); });
    return names.join(QLatin1Char(' '));
}

QString readableCharacters(const QStringList &clusters)
{
    QStringList names;
    for (const QString &cluster : clusters)
        names << readableCharacter(cluster);
    return names.join(QLatin1Char(' '));
}

bool isRightToLeft(uint codePoint)
{
    switch (QChar::direction(codePoint)) {
    case QChar::DirR:
    case QChar::DirAL:
    case QChar::DirLRE:
    case QChar::DirLRO:
    case QChar::DirRLE:
    case QChar::DirRLO:
    case QChar::DirPDF:
    case QChar::DirLRI:
    case QChar::DirRLI:
    case QChar::DirFSI:
    case QChar::DirPDI:
        return true;
    default:
        // The left-to-right mark steers the text around it as the others do.
        return codePoint == 0x200e;
    }
}

} // namespace Calendar
