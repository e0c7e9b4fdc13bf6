#include "setupfile.h"

#include <QFileInfo>
#include <QSettings>
#include <QVariant>

namespace Setup {

namespace {

// Setup files are a few hundred bytes; anything far larger is not one.
constexpr qint64 MaximumFileSize = 1024 * 1024;

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

} // namespace

bool save(const QString &path, const Look &look)
{
    QSettings settings(path, QSettings::IniFormat);
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
    settings.sync();
    return settings.status() == QSettings::NoError;
}

Look load(const QString &path, const Look &current, const Limits &limits)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > MaximumFileSize)
        return current;

    const QSettings settings(path, QSettings::IniFormat);
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
    return look;
}

} // namespace Setup
