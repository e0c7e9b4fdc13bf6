#include "inischeck.h"

#include <QString>
#include <QStringList>

namespace Setup {

namespace {

bool isSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\f' || ch == '\v';
}

bool isHexDigit(char ch)
{
    return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
}

int hexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    return (ch | 0x20) - 'a' + 10;
}

// One logical line as the reader finds it: quotes may span line ends, a
// backslash continues a line, a ';' ends it (and starts a comment when it
// opens a line).
struct Line
{
    int start = 0;
    int end = 0;
    int equals = -1;
};

bool nextLine(const QByteArray &data, int &pos, Line &line)
{
    const int size = data.size();
    bool inQuotes = false;
    line.equals = -1;
    int start = pos;
    while (start < size && isSpace(data.at(start)))
        ++start;

    int i = start;
    while (i < size) {
        const char ch = data.at(i++);
        if (ch == '=') {
            if (!inQuotes && line.equals == -1)
                line.equals = i - 1;
        } else if (ch == '\n' || ch == '\r') {
            if (i == start + 1) {
                ++start;
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (ch == '\\') {
            if (i < size) {
                const char next = data.at(i++);
                if (i < size) {
                    const char after = data.at(i);
                    if ((next == '\n' && after == '\r') || (next == '\r' && after == '\n'))
                        ++i;
                }
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else if (ch == ';') {
            if (i == start + 1) {
                while (i < size && data.at(i) != '\n' && data.at(i) != '\r')
                    ++i;
                while (i < size && isSpace(data.at(i)))
                    ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    pos = i;
    line.start = start;
    line.end = i;
    return i > start;
}

void chopTrailingSpaces(QString &text, int limit)
{
    int n = text.size();
    while (n > limit && (text.at(n - 1) == QLatin1Char(' ') || text.at(n - 1) == QLatin1Char('\t')))
        --n;
    text.truncate(n);
}

// The value's elements as the reader unescapes them: one for a plain value,
// several for a comma-separated list.
QStringList unescapedElements(const QByteArray &data, int from, int to)
{
    static const char escapes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'},  {'n', '\n'},
                                      {'r', '\r'}, {'t', '\t'}, {'v', '\v'},  {'"', '"'},
                                      {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    QStringList elements;
    QString current;
    bool inQuotes = false;
    bool quoted = false;
    int chopLimit = 0;
    int i = from;

    const auto skipSpaces = [&] {
        while (i < to && (data.at(i) == ' ' || data.at(i) == '\t'))
            ++i;
        chopLimit = current.size();
    };
    skipSpaces();
    while (i < to) {
        const char ch = data.at(i);
        if (ch == '\\') {
            if (++i >= to)
                break;
            const char code = data.at(i++);
            bool named = false;
            for (const auto &escape : escapes) {
                if (code == escape[0]) {
                    current += QLatin1Char(escape[1]);
                    named = true;
                    break;
                }
            }
            if (named) {
                chopLimit = current.size();
                continue;
            }
            if ((code == 'x' && i < to && isHexDigit(data.at(i))) || (code >= '0' && code <= '7')) {
                // Greedy, kept to 16 bits as the reader's character is.
                const bool hex = code == 'x';
                unsigned value = hex ? 0 : unsigned(code - '0');
                while (i < to && (hex ? isHexDigit(data.at(i)) : (data.at(i) >= '0' && data.at(i) <= '7'))) {
                    value = ((value << (hex ? 4 : 3)) + unsigned(hex ? hexValue(data.at(i)) : data.at(i) - '0'))
                            & 0xffffu;
                    ++i;
                }
                current += QChar(ushort(value));
            } else if ((code == '\n' || code == '\r') && i < to) {
                const char next = data.at(i);
                if ((next == '\n' || next == '\r') && next != code)
                    ++i;
            }
            chopLimit = current.size();
        } else if (ch == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipSpaces();
        } else if (ch == ',' && !inQuotes) {
            if (!quoted)
                chopTrailingSpaces(current, chopLimit);
            elements << current;
            current.clear();
            quoted = false;
            ++i;
            skipSpaces();
        } else {
            int j = i + 1;
            while (j < to && data.at(j) != '\\' && data.at(j) != '"' && data.at(j) != ',')
                ++j;
            current += QString::fromLatin1(data.constData() + i, j - i);
            i = j;
        }
    }
    if (!quoted)
        chopTrailingSpaces(current, chopLimit);
    elements << current;
    return elements;
}

// What the reader decodes through a data stream: a value that, unescaped,
// begins so. Anything else it turns into text, bytes or plain values.
bool reachesDataStream(const QString &element)
{
    return element.startsWith(QLatin1String("@Variant(")) || element.startsWith(QLatin1String("@DateTime("));
}

} // namespace

bool isSafeIni(const QByteArray &bytes)
{
    int pos = 0;
    Line line;
    while (nextLine(bytes, pos, line)) {
        if (bytes.at(line.start) == '[' || line.equals < 0)
            continue;
        const QStringList elements = unescapedElements(bytes, line.equals + 1, line.end);
        for (const QString &element : elements) {
            if (reachesDataStream(element))
                return false;
        }
    }
    return true;
}

} // namespace Setup
