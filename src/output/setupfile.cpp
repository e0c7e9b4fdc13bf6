#include "setupfile.h"

#include "filewriter.h"
#include "inischeck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTime>
#include <QVariant>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>
#include <utility>

using Calendar::Ink;
using Calendar::Look;
using Calendar::Rota;

namespace Setup {

namespace {

// Setup files are a few hundred bytes; anything far larger is not one.
constexpr qint64 MaximumFileSize = 1024 * 1024;

// How long a save waits for another program that holds the file's lock
// before it gives up: the window must not freeze behind it.
constexpr int LockWaitMs = 800;

// The length of a colour state.
constexpr int ColorStateSize = 16;

// The most the window's text fields take: a longer value would be cut.
constexpr int CardNoteLength = 60;
constexpr int RotaPatternLength = 100;

// How much of a refused value the user is shown.
constexpr int ShownValueLength = 24;

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
const QString KeyCrewLetters = QStringLiteral("crewLetters");
const QString KeyRota = QStringLiteral("rota");
const QString KeyRotaPattern = QStringLiteral("rotaPattern");
const QString KeyCrewCount = QStringLiteral("crewCount");
const QString KeyMyCrew = QStringLiteral("myCrew");
const QString KeyCardNote = QStringLiteral("cardNote");
const QString KeyRotaAnchored = QStringLiteral("rotaAnchored");
const QString KeyAnchorDate = QStringLiteral("anchorDate");
const QString KeyAnchorCrew = QStringLiteral("anchorCrew");
const QString KeyAnchorDay = QStringLiteral("anchorDay");
const QString KeyWeeklyHours = QStringLiteral("weeklyHours");
// One's own year: a key a day, "plan/2027-03-05=dovolena".
const QString PlanGroup = QStringLiteral("plan");
const QString PlanDateFormat = QStringLiteral("yyyy-MM-dd");

QString tr(const char *text)
{
    return QCoreApplication::translate("Setup", text);
}

// The crews' colours after A, B and C, which the eleven keys hold.
QString crewColorKey(int crew)
{
    return QStringLiteral("color") + Calendar::crewName(crew);
}

QString kindColorKey(int kind)
{
    return QStringLiteral("kind%1Color").arg(Calendar::kindCodes().at(kind));
}

QString kindStartKey(int kind)
{
    return QStringLiteral("kind%1Start").arg(Calendar::kindCodes().at(kind));
}

// "planColorDovolena", after the names of the pickers.
QString planColorKey(int change)
{
    static const char *const names[Calendar::ChangeCount] = {"Dovolena", "Nemoc", "Volno", "Navic"};
    return QStringLiteral("planColor") + QLatin1String(names[change]);
}

QString kindHoursKey(int kind)
{
    return QStringLiteral("kind%1Hours").arg(Calendar::kindCodes().at(kind));
}

// Takes out our key alone: the toolkit's remove() takes a group of the same
// name with it ("rota/..." with "rota"), and that is another program's.
void removeKey(QSettings &settings, const QString &key)
{
    if (!settings.contains(key))
        return;
    settings.beginGroup(key);
    QVector<std::pair<QString, QVariant>> foreign;
    for (const QString &child : settings.allKeys())
        foreign.append({key + QLatin1Char('/') + child, settings.value(child)});
    settings.endGroup();
    settings.remove(key);
    for (const auto &[child, value] : qAsConst(foreign))
        settings.setValue(child, value);
}

// A key that holds what the form starts with is left out, or taken out of a
// file that held another value.
template<typename T>
void setUnlessDefault(QSettings &settings, const QString &key, const T &value, bool isDefault)
{
    if (isDefault)
        removeKey(settings, key);
    else
        settings.setValue(key, value);
}

// The lines of a rota, those of every rota and those of one's own, and the
// crew shown, which is one of the rota's.
QStringList rotaKeys()
{
    QStringList keys = {KeyRota, KeyRotaPattern, KeyCrewCount, KeyRotaAnchored, KeyAnchorDate, KeyAnchorCrew, KeyAnchorDay};
    for (int kind = 0; kind < Calendar::KindCount; ++kind)
        keys << kindStartKey(kind) << kindHoursKey(kind);
    return keys << KeyMyCrew;
}

// Our keys of the plan's group: those named by a day; any other key there
// is someone else's.
QStringList planKeys(const QSettings &settings)
{
    QStringList keys;
    for (const QString &key : settings.allKeys()) {
        if (key.startsWith(PlanGroup + QLatin1Char('/'))
            && QDate::fromString(key.mid(PlanGroup.size() + 1), PlanDateFormat).isValid())
            keys << key;
    }
    return keys;
}

// The keys as the file had them: each written back, or taken out where the
// file lacked it.
void writeKept(QSettings &settings, const QStringList &keys, const Kept &kept)
{
    for (const QString &key : keys) {
        if (kept.lines.contains(key))
            settings.setValue(key, kept.lines.value(key));
        else
            removeKey(settings, key);
    }
}

// A value as text: a hand-written one with a comma reads as a list.
QString textOf(const QVariant &value)
{
    return value.userType() == QMetaType::QStringList ? value.toStringList().join(QStringLiteral(", "))
                                                      : value.toString();
}

// A character the user cannot see, named.
QString codePoint(uint character)
{
    return QStringLiteral("U+%1").arg(character, 4, 16, QLatin1Char('0')).toUpper();
}

// A refused value as the user is shown it: its start, its invisible
// characters named.
QString quoted(const QString &text)
{
    QString readable;
    const QVector<uint> characters = text.left(ShownValueLength).toUcs4();
    for (const uint character : characters)
        readable += QChar::isPrint(character) ? QString::fromUcs4(&character, 1) : codePoint(character);
    if (text.size() > ShownValueLength)
        readable += QStringLiteral("…");
    return QStringLiteral("„%1“").arg(readable);
}

// The first character of `text` the user cannot see; 0 for none.
uint invisibleCharacter(const QString &text)
{
    const QVector<uint> characters = text.toUcs4();
    for (const uint character : characters) {
        if (!QChar::isPrint(character))
            return character;
    }
    return 0;
}

// Capitals as the form makes them, letter by letter.
QString upperCaseInPlace(QString text)
{
    for (QChar &character : text)
        character = character.toUpper();
    return text;
}

void readColor(const QSettings &settings, const QString &key, Ink &ink)
{
    // Only a real @ByteArray(...) of the right length is a colour state: a
    // damaged one read as text can happen to be 16 bytes long, and guessing
    // zeros for missing components would print a colour nobody chose.
    const QVariant value = settings.value(key);
    if (value.userType() == QMetaType::QByteArray && value.toByteArray().size() == ColorStateSize)
        ink = Ink::fromState(value.toByteArray());
}

// A colour written only when it is not the form's white: missing is white.
void readOptionalColor(const QSettings &settings, const QString &key, Ink &ink)
{
    if (!settings.contains(key))
        ink = Ink();
    else
        readColor(settings, key, ink);
}

void readSize(const QSettings &settings, const QString &key, const Calendar::Range &range, double &size)
{
    if (!settings.contains(key))
        return;
    bool isNumber = false;
    const double value = settings.value(key).toDouble(&isNumber);
    if (isNumber && range.contains(value))
        size = value;
}

struct ReadRota
{
    Rota rota;
    QVector<Refusal> refused;
};

// The rota as the file has it. A rota with any value the window cannot
// take is not taken at all: taking the rest would print a rota nobody chose.
ReadRota readRota(const QSettings &settings, const Rota &current)
{
    if (!settings.contains(KeyRota))
        return {Rota(), {}};
    bool isNumber = false;
    const QVariant presetValue = settings.value(KeyRota);
    const int preset = presetValue.toInt(&isNumber);
    if (!isNumber || preset < 0 || preset > Rota::Custom)
        return {current,
                {{KeyRota, tr("%1 není číslo rozpisu od 0 do %2.").arg(quoted(textOf(presetValue))).arg(Rota::Custom)}}};
    QVector<Refusal> refused;
    const bool custom = preset == Rota::Custom;
    Rota rota = custom ? current : Rota::fromPreset(preset);
    rota.preset = preset;
    rota.anchor = Calendar::RotaAnchor();
    if (custom && settings.contains(KeyRotaPattern)) {
        const QString pattern = textOf(settings.value(KeyRotaPattern)).trimmed();
        if (pattern.size() > RotaPatternLength)
            refused.append({KeyRotaPattern, tr("Rozpis má %1 znaků, pole rozpisu jich pojme nejvýš %2.")
                                                .arg(pattern.size())
                                                .arg(RotaPatternLength)});
        else if (const uint invisible = invisibleCharacter(pattern))
            refused.append({KeyRotaPattern, tr("Rozpis obsahuje neviditelný znak %1.").arg(codePoint(invisible))});
        else
            rota.pattern = upperCaseInPlace(pattern);
    }
    if (custom && settings.contains(KeyCrewCount)) {
        const QVariant value = settings.value(KeyCrewCount);
        const int crews = value.toInt(&isNumber);
        if (isNumber)
            rota.crews = crews;
        else
            refused.append({KeyCrewCount, tr("%1 není počet směn.").arg(quoted(textOf(value)))});
    }
    // A preset's times, or a pattern's own, as they start unless the file
    // says otherwise.
    const Rota start = custom ? Rota() : Rota::fromPreset(preset);
    for (int kind = 0; kind < Calendar::KindCount; ++kind) {
        Calendar::ShiftKind &shift = rota.kinds[kind];
        shift = start.kinds.at(kind);
        if (settings.contains(kindStartKey(kind))) {
            const QString text = textOf(settings.value(kindStartKey(kind)));
            const QTime start = QTime::fromString(text, QStringLiteral("HH:mm"));
            if (start.isValid() || text.isEmpty())
                shift.start = start;
            else
                refused.append({kindStartKey(kind), tr("%1 není čas od 00:00 do 23:59.").arg(quoted(text))});
        }
        if (settings.contains(kindHoursKey(kind))) {
            const QVariant value = settings.value(kindHoursKey(kind));
            const int hours = value.toInt(&isNumber);
            if (isNumber && hours >= 1 && hours <= 24)
                shift.hours = hours;
            else
                refused.append({kindHoursKey(kind), tr("%1 není počet hodin od 1 do 24.").arg(quoted(textOf(value)))});
        }
    }
    if (settings.value(KeyRotaAnchored, false).toBool()) {
        Calendar::RotaAnchor &anchor = rota.anchor;
        anchor.on = true;
        const QString date = textOf(settings.value(KeyAnchorDate));
        anchor.date = QDate::fromString(date, PlanDateFormat);
        if (!anchor.date.isValid())
            refused.append({KeyAnchorDate, tr("%1 není datum ve tvaru rok-měsíc-den.").arg(quoted(date))});
        const QString crew = textOf(settings.value(KeyAnchorCrew));
        anchor.crew = crew.size() == 1 ? crew.at(0).unicode() - u'A' : -1;
        if (anchor.crew < 0 || anchor.crew >= rota.crews)
            refused.append({KeyAnchorCrew, tr("%1 není směna tohoto rozpisu.").arg(quoted(crew))});
        const QVariant day = settings.value(KeyAnchorDay);
        anchor.day = day.toInt(&isNumber);
        if (!isNumber || anchor.day < 1 || anchor.day > rota.cycle())
            refused.append({KeyAnchorDay, tr("%1 není den cyklu od 1 do %2.").arg(quoted(textOf(day))).arg(rota.cycle())});
    }
    if (refused.isEmpty() && !rota.isValid()) {
        const bool crews = rota.crews < Calendar::MinimumCrews || rota.crews > Calendar::MaximumCrews;
        refused.append({crews ? KeyCrewCount : KeyRotaPattern, rota.problem()});
    }
    if (!refused.isEmpty())
        return {current, refused};
    return {rota, {}};
}

// The bytes of a regular file of at most MaximumFileSize; none for anything
// larger or not a regular file, and an error where it cannot be read.
std::optional<QByteArray> readSmallFile(const QString &path, QString *error = nullptr)
{
    QFile file(path);
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    QByteArray bytes = file.read(MaximumFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    if (bytes.size() > MaximumFileSize)
        return std::nullopt;
    return bytes;
}

// The toolkit's settings only ever see a private copy of the user's file:
// they keep parsed files cached per path (a file replaced with one of the
// same size and time would read stale) and lock beside the file they write,
// where a foreign lock could make them wait for half a minute. The copy goes
// to the temporary folder, or where that is full or missing, to the user's
// runtime or cache folder, or last beside the file being saved.
class Draft
{
public:
    bool create(const QByteArray &bytes, const QString &beside, QString *problem)
    {
        QStringList folders = {QDir::tempPath()};
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (!runtime.isEmpty())
            folders << runtime;
        folders << QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
        if (!beside.isEmpty())
            folders << beside;
        QString firstError;
        for (const QString &folder : folders) {
            auto file = std::make_unique<QTemporaryFile>(folder + QStringLiteral("/.lunoris-XXXXXX.lns"));
            if (file->open() && file->write(bytes) == bytes.size() && file->flush()) {
                m_file = std::move(file);
                return true;
            }
            if (firstError.isEmpty())
                firstError = tr("pracovní kopii nelze vytvořit ve složce '%1': %2").arg(folder, file->errorString());
        }
        *problem = firstError;
        return false;
    }

    QString path() const { return m_file->fileName(); }

private:
    std::unique_ptr<QTemporaryFile> m_file;
};

// Why the lock could not be taken; `code` is the system's error, where the
// lock file itself could not be made or written.
QString lockProblem(const QLockFile &lock, const QString &path, int code)
{
    switch (lock.error()) {
    case QLockFile::LockFailedError:
        return tr("soubor má právě otevřený jiný program (zámek '%1.lock')").arg(path);
    case QLockFile::PermissionError:
        if (code)
            return Calendar::writeFailure(code);
        return tr("vedle souboru nelze vytvořit zámek '%1.lock'").arg(path);
    default:
        // A full disk takes no lock file either.
        if (code)
            return Calendar::writeFailure(code);
        return tr("zámek '%1.lock' nelze použít").arg(path);
    }
}

} // namespace

Saved save(const QString &path, const Look &look, const Kept &kept)
{
    Saved saved;
    const QString folder = QFileInfo(path).absolutePath();
    if (!QFileInfo(folder).isDir()) {
        saved.problem = tr("složka '%1' neexistuje").arg(folder);
        return saved;
    }
    if (!Calendar::isWritablePlace(path)) {
        saved.problem = tr("na tomto místě není soubor, ale složka nebo zařízení");
        return saved;
    }
    QLockFile lock(path + QStringLiteral(".lock"));
    errno = 0;
    if (!lock.tryLock(LockWaitMs)) {
        saved.problem = lockProblem(lock, path, errno);
        return saved;
    }

    QByteArray merged;
    if (QFileInfo::exists(path)) {
        QString error;
        const std::optional<QByteArray> existing = readSmallFile(path, &error);
        if (!existing && !error.isEmpty()) {
            saved.problem = tr("dosavadní soubor nelze přečíst: %1").arg(error);
            return saved;
        }
        // Keys of other programs are kept; a file the toolkit could not read
        // safely is not a setup file, and the user agreed to replace it.
        if (existing && isSafeIni(*existing))
            merged = *existing;
    }

    Draft draft;
    if (!draft.create(merged, QFileInfo(path).absolutePath(), &saved.problem))
        return saved;
    {
        QSettings settings(draft.path(), QSettings::IniFormat);
        settings.setValue(KeyColorA, look.crewColors[0].state());
        settings.setValue(KeyColorB, look.crewColors[1].state());
        settings.setValue(KeyColorC, look.crewColors[2].state());
        settings.setValue(KeyFont, look.font);
        settings.setValue(KeyFontColor, look.fontColor.state());
        settings.setValue(KeyFontSize, look.fontSizePt);
        settings.setValue(KeyBoxWidth, look.boxWidthMm);
        settings.setValue(KeyBoxHeight, look.boxHeightMm);
        settings.setValue(KeyBorderColor, look.borderColor.state());
        settings.setValue(KeyBorderWidth, look.borderWidthPt);
        settings.setValue(KeyTextOnly, look.textOnly);
        setUnlessDefault(settings, KeyLabels, true, !look.labels);
        setUnlessDefault(settings, KeyHolidays, true, !look.holidays);
        setUnlessDefault(settings, KeyCrewLetters, true, !look.crewLetters);

        const Rota &rota = look.rota;
        const bool custom = rota.preset == Rota::Custom;
        const bool keepRota = kept.rota && rota == kept.shown.rota && look.myCrew == kept.shown.myCrew;
        if (keepRota) {
            writeKept(settings, rotaKeys(), kept);
        } else {
            setUnlessDefault(settings, KeyRota, rota.preset, rota.preset == 0);
            setUnlessDefault(settings, KeyRotaPattern, rota.pattern, !custom);
            setUnlessDefault(settings, KeyCrewCount, rota.crews, !custom);
        }
        if (!keepRota) {
            const Calendar::RotaAnchor &anchor = rota.anchor;
            setUnlessDefault(settings, KeyRotaAnchored, true, !anchor.on);
            setUnlessDefault(settings, KeyAnchorDate, anchor.date.toString(PlanDateFormat), !anchor.on);
            setUnlessDefault(settings, KeyAnchorCrew, Calendar::crewName(anchor.crew), !anchor.on);
            setUnlessDefault(settings, KeyAnchorDay, anchor.day, !anchor.on);
        }
        // The times a preset or a pattern of one's own starts with are not
        // written; changed ones are.
        const Rota start = custom ? Rota() : Rota::fromPreset(rota.preset);
        for (int kind = 0; kind < Calendar::KindCount; ++kind) {
            const Calendar::ShiftKind &shift = rota.kinds.at(kind);
            const bool standard = shift == start.kinds.at(kind);
            if (!keepRota) {
                setUnlessDefault(settings, kindStartKey(kind), shift.start.toString(QStringLiteral("HH:mm")), standard);
                setUnlessDefault(settings, kindHoursKey(kind), shift.hours, standard);
            }
            setUnlessDefault(settings, kindColorKey(kind), look.kindColors[size_t(kind)].state(),
                             look.kindColors[size_t(kind)].isWhite());
        }
        for (int crew = 3; crew < Calendar::MaximumCrews; ++crew)
            setUnlessDefault(settings, crewColorKey(crew), look.crewColors[size_t(crew)].state(),
                             look.crewColors[size_t(crew)].isWhite());
        if (!keepRota)
            setUnlessDefault(settings, KeyMyCrew, Calendar::crewName(look.myCrew), look.myCrew < 0);
        if (kept.cardNote && look.cardNote == kept.shown.cardNote)
            writeKept(settings, {KeyCardNote}, kept);
        else
            setUnlessDefault(settings, KeyCardNote, look.cardNote, look.cardNote.isEmpty());

        // One's own year: the days of the plan, the file's days that could
        // not be taken as long as the plan is as loaded, and nothing else of
        // the group.
        const bool keepPlan = look.plan == kept.shown.plan;
        for (const QString &key : planKeys(settings)) {
            if (!(keepPlan && kept.lines.contains(key)))
                settings.remove(key);
        }
        for (auto day = look.plan.constBegin(); day != look.plan.constEnd(); ++day)
            settings.setValue(PlanGroup + QLatin1Char('/') + day.key().toString(PlanDateFormat), day->value());
        for (int change = 0; change < Calendar::ChangeCount; ++change)
            setUnlessDefault(settings, planColorKey(change), look.planColors[size_t(change)].state(),
                             look.planColors[size_t(change)] == Calendar::StartPlanColors[size_t(change)]);
        setUnlessDefault(settings, KeyWeeklyHours, look.weeklyHours, look.weeklyHours == Calendar::WeeklyHoursChoices[0]);
        // Files for a print shop: the bleed and the ink limit go with it.
        {
            const Calendar::PrintShop &printShop = look.printShop;
            setUnlessDefault(settings, QStringLiteral("printShop"), true, !printShop.on);
            setUnlessDefault(settings, QStringLiteral("bleed"), printShop.bleedMm, !printShop.on);
            setUnlessDefault(settings, QStringLiteral("inkLimit"), printShop.inkLimit, !printShop.on);
        }
        settings.sync();
        // A format error is about the old lines it read, not about writing.
        if (settings.status() == QSettings::AccessError) {
            saved.problem = tr("pracovní kopii '%1' nelze zapsat").arg(draft.path());
            return saved;
        }
    }
    QString error;
    const std::optional<QByteArray> written = readSmallFile(draft.path(), &error);
    if (!written) {
        saved.problem = tr("pracovní kopii '%1' nelze přečíst: %2").arg(draft.path(), error);
        return saved;
    }
    if (!Calendar::replaceFile(path, *written, &error)) {
        saved.problem = error;
        return saved;
    }
    saved.ok = true;
    return saved;
}

Loaded load(const QString &path, const Look &current)
{
    Loaded loaded;
    loaded.look = current;
    QString error;
    const std::optional<QByteArray> bytes = readSmallFile(path, &error);
    if (!bytes) {
        loaded.read = error.isEmpty();
        loaded.problem = error;
        return loaded;
    }
    if (!isSafeIni(*bytes))
        return loaded;
    Draft draft;
    if (!draft.create(*bytes, QString(), &loaded.problem)) {
        loaded.read = false;
        return loaded;
    }

    const QSettings settings(draft.path(), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError)
        return loaded;

    Look &look = loaded.look;
    readColor(settings, KeyColorA, look.crewColors[0]);
    readColor(settings, KeyColorB, look.crewColors[1]);
    readColor(settings, KeyColorC, look.crewColors[2]);
    const QString font = settings.value(KeyFont, current.font).toString();
    if (!font.trimmed().isEmpty())
        look.font = font;
    readColor(settings, KeyFontColor, look.fontColor);
    readSize(settings, KeyFontSize, Calendar::FontSizeRange, look.fontSizePt);
    readSize(settings, KeyBoxWidth, Calendar::BoxSizeRange, look.boxWidthMm);
    readSize(settings, KeyBoxHeight, Calendar::BoxSizeRange, look.boxHeightMm);
    readColor(settings, KeyBorderColor, look.borderColor);
    readSize(settings, KeyBorderWidth, Calendar::BorderWidthRange, look.borderWidthPt);
    look.textOnly = settings.value(KeyTextOnly, current.textOnly).toBool();
    look.labels = settings.value(KeyLabels, false).toBool();
    look.holidays = settings.value(KeyHolidays, false).toBool();
    look.crewLetters = settings.value(KeyCrewLetters, false).toBool();

    const ReadRota read = readRota(settings, current.rota);
    look.rota = read.rota;
    loaded.refused = read.refused;
    for (int crew = 3; crew < Calendar::MaximumCrews; ++crew)
        readOptionalColor(settings, crewColorKey(crew), look.crewColors[size_t(crew)]);
    for (int kind = 0; kind < Calendar::KindCount; ++kind)
        readOptionalColor(settings, kindColorKey(kind), look.kindColors[size_t(kind)]);
    Kept &kept = loaded.kept;
    if (!read.refused.isEmpty()) {
        // The crew shown is one of the file's rota: it stays with it.
        kept.rota = true;
        const QStringList keys = rotaKeys();
        for (const QString &key : keys) {
            if (settings.contains(key))
                kept.lines.insert(key, settings.value(key));
        }
    } else {
        look.myCrew = -1;
        if (settings.contains(KeyMyCrew)) {
            const QString crew = settings.value(KeyMyCrew).toString();
            const int index = crew.size() == 1 ? crew.at(0).unicode() - u'A' : -1;
            look.myCrew = index >= 0 && index < look.rota.crews ? index
                          : current.myCrew < look.rota.crews ? current.myCrew : -1;
        }
    }
    const QString note = textOf(settings.value(KeyCardNote));
    if (note.size() > CardNoteLength) {
        loaded.refused.append({KeyCardNote, tr("Řádek má %1 znaků, pole pro kartičku jich pojme nejvýš %2.")
                                                .arg(note.size())
                                                .arg(CardNoteLength)});
        kept.cardNote = true;
        kept.lines.insert(KeyCardNote, settings.value(KeyCardNote));
    } else {
        look.cardNote = note;
    }

    look.plan.clear();
    for (const QString &key : planKeys(settings)) {
        const QDate date = QDate::fromString(key.mid(PlanGroup.size() + 1), PlanDateFormat);
        const QString value = textOf(settings.value(key));
        Calendar::DayChange change;
        if (Calendar::DayChange::fromValue(value, &change)) {
            look.plan.insert(date, change);
        } else {
            loaded.refused.append({key, tr("%1 není změna dne: dovolena, nemoc, volno, nebo navic:, písmeno služby "
                                           "a poznámka nejvýš o %2 znacích za středníkem.")
                                            .arg(quoted(value))
                                            .arg(Calendar::MaximumNoteLength)});
            kept.lines.insert(key, settings.value(key));
        }
    }
    for (int change = 0; change < Calendar::ChangeCount; ++change) {
        Ink &ink = look.planColors[size_t(change)];
        ink = Calendar::StartPlanColors[size_t(change)];
        readColor(settings, planColorKey(change), ink);
    }
    look.weeklyHours = Calendar::WeeklyHoursChoices[0];
    if (settings.contains(KeyWeeklyHours)) {
        const QVariant value = settings.value(KeyWeeklyHours);
        bool isNumber = false;
        const double hours = value.toDouble(&isNumber);
        if (isNumber && std::find(std::begin(Calendar::WeeklyHoursChoices), std::end(Calendar::WeeklyHoursChoices), hours)
                            != std::end(Calendar::WeeklyHoursChoices))
            look.weeklyHours = hours;
        else
            loaded.refused.append({KeyWeeklyHours, tr("%1 není týden o 37,5, 38,75 ani 40 hodinách.").arg(quoted(textOf(value)))});
    }
    // Files for a print shop; a bleed or an ink limit the form cannot take
    // keeps what it starts with, and is told.
    {
        Calendar::PrintShop &printShop = look.printShop;
        printShop = Calendar::PrintShop();
        printShop.on = settings.value(QStringLiteral("printShop"), false).toBool();
        const auto readNumber = [&](const QString &key, const Calendar::Range &range, double &number,
                                    const char *reason) {
            if (!settings.contains(key))
                return;
            const QVariant value = settings.value(key);
            bool isNumber = false;
            const double read = value.toDouble(&isNumber);
            if (isNumber && range.contains(read))
                number = read;
            else
                loaded.refused.append({key, tr(reason).arg(quoted(textOf(value)))});
        };
        readNumber(QStringLiteral("bleed"), Calendar::BleedRange, printShop.bleedMm,
                   QT_TR_NOOP("%1 není spadávka od 0 do 5 mm."));
        readNumber(QStringLiteral("inkLimit"), Calendar::InkLimitRange, printShop.inkLimit,
                   QT_TR_NOOP("%1 není součet barev od 100 do 400 %."));
    }
    kept.shown = look;
    return loaded;
}

QString loadNotice(const QString &path, const QVector<Refusal> &refused)
{
    if (refused.isEmpty())
        return {};
    QStringList lines = {tr("Ze souboru '%1' nešlo převzít:").arg(path)};
    for (const Refusal &refusal : refused)
        lines << QStringLiteral("• %1: %2").arg(refusal.key, refusal.reason);
    lines << tr("Formulář v těchto místech zůstal, jak byl. Dokud je nezměníte, uloží se do souboru tak, "
                "jak v něm byly.");
    return lines.join(QLatin1Char('\n'));
}

} // namespace Setup
