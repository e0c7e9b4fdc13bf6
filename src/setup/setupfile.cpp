#include "setupfile.h"

#include "calendar/filewriter.h"
#include "inischeck.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QVariant>

#include <optional>

namespace Setup {

namespace {

// Setup files are a few hundred bytes; anything far larger is not one.
constexpr qint64 MaximumFileSize = 1024 * 1024;

// How long a save waits for another program that holds the file's lock
// before it gives up: the window must not freeze behind it.
constexpr int LockWaitMs = 800;

// The length of a colour state.
constexpr int ColorStateSize = 16;

const QString KeyColorA = QStringLiteral("colorA");
const QString KeyColorB = QStringLiteral("colorB");
const QString KeyColorC = QStringLiteral("colorC");
const QString KeyFont = QStringLiteral("font");
const QString KeyFontColor = QStringLiteral("fontColor");
const QString KeyFontSize = QStringLiteral("fontSize");
const QString KeyBoxWidth = QStringLiteral("boxWidth");
const QString KeyBoxHeight = QStringLiteral("boxHeight");
const QString KeyBorderColor = QStringLiteral("borderColor");
const QString KeyBorderWidth = QStringLiteral("borderWidth");
const QString KeyTextOnly = QStringLiteral("textOnly");
const QString KeyLabels = QStringLiteral("labels");
const QString KeyHolidays = QStringLiteral("holidays");

void setOption(QSettings &settings, const QString &key, bool on)
{
    if (on)
        settings.setValue(key, true);
    else
        settings.remove(key);
}

void readColor(const QSettings &settings, const QString &key, QByteArray &color)
{
    // Only a real @ByteArray(...) of the right length is a colour state: a
    // damaged one read as text can happen to be 16 bytes long, and guessing
    // zeros for missing components would print a colour nobody chose.
    const QVariant value = settings.value(key);
    if (value.userType() == QMetaType::QByteArray && value.toByteArray().size() == ColorStateSize)
        color = value.toByteArray();
}

void readSize(const QSettings &settings, const QString &key, const SizeLimits &limits, double &size)
{
    if (!settings.contains(key))
        return;
    bool isNumber = false;
    const double value = settings.value(key).toDouble(&isNumber);
    if (isNumber && value >= limits.minimum && value <= limits.maximum)
        size = value;
}

// The bytes of a regular file of at most MaximumFileSize; none for anything
// larger, unreadable or not a regular file.
std::optional<QByteArray> readSmallFile(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.read(MaximumFileSize + 1);
    if (bytes.size() > MaximumFileSize || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

// The toolkit's settings only ever see a private copy of the user's file:
// it keeps parsed files cached per path (a file replaced with one of the
// same size and time would read stale) and locks beside the file it writes,
// where a foreign lock could make it wait for half a minute.
bool writeDraft(const QTemporaryDir &scratch, const QByteArray &bytes, QString &draft)
{
    draft = scratch.filePath(QStringLiteral("setup.lns"));
    QFile file(draft);
    return scratch.isValid() && file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

bool save(const QString &path, const Look &look)
{
    if (!Calendar::isWritablePlace(path))
        return false;
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(LockWaitMs))
        return false;

    QByteArray merged;
    if (QFileInfo::exists(path)) {
        const std::optional<QByteArray> existing = readSmallFile(path);
        if (!existing)
            return false;
        // Keys of other programs are kept; a file the toolkit could not read
        // safely is not a setup file, and the user agreed to replace it.
        if (isSafeIni(*existing))
            merged = *existing;
    }

    const QTemporaryDir scratch;
    QString draft;
    if (!writeDraft(scratch, merged, draft))
        return false;
    {
        QSettings settings(draft, QSettings::IniFormat);
        settings.setValue(KeyColorA, look.colorA);
        settings.setValue(KeyColorB, look.colorB);
        settings.setValue(KeyColorC, look.colorC);
        settings.setValue(KeyFont, look.font);
        settings.setValue(KeyFontColor, look.fontColor);
        settings.setValue(KeyFontSize, look.fontSize);
        settings.setValue(KeyBoxWidth, look.boxWidth);
        settings.setValue(KeyBoxHeight, look.boxHeight);
        settings.setValue(KeyBorderColor, look.borderColor);
        settings.setValue(KeyBorderWidth, look.borderWidth);
        settings.setValue(KeyTextOnly, look.textOnly);
        setOption(settings, KeyLabels, look.labels);
        setOption(settings, KeyHolidays, look.holidays);
        settings.sync();
        // A format error is about the old lines it read, not about writing.
        if (settings.status() == QSettings::AccessError)
            return false;
    }
    const std::optional<QByteArray> written = readSmallFile(draft);
    return written && Calendar::replaceFile(path, *written);
}

Look load(const QString &path, const Look &current, const Limits &limits)
{
    const std::optional<QByteArray> bytes = readSmallFile(path);
    if (!bytes || !isSafeIni(*bytes))
        return current;
    const QTemporaryDir scratch;
    QString draft;
    if (!writeDraft(scratch, *bytes, draft))
        return current;

    const QSettings settings(draft, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return current;

    Look look = current;
    readColor(settings, KeyColorA, look.colorA);
    readColor(settings, KeyColorB, look.colorB);
    readColor(settings, KeyColorC, look.colorC);
    const QString font = settings.value(KeyFont, current.font).toString();
    if (!font.trimmed().isEmpty())
        look.font = font;
    readColor(settings, KeyFontColor, look.fontColor);
    readSize(settings, KeyFontSize, limits.fontSize, look.fontSize);
    readSize(settings, KeyBoxWidth, limits.boxSize, look.boxWidth);
    readSize(settings, KeyBoxHeight, limits.boxSize, look.boxHeight);
    readColor(settings, KeyBorderColor, look.borderColor);
    readSize(settings, KeyBorderWidth, limits.borderWidth, look.borderWidth);
    look.textOnly = settings.value(KeyTextOnly, current.textOnly).toBool();
    look.labels = settings.value(KeyLabels, false).toBool();
    look.holidays = settings.value(KeyHolidays, false).toBool();
    return look;
}

} // namespace Setup
