#include "settings/settings_store.h"

#include "platform/atomic_write.h"
#include "platform/data_paths.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>
#include <QVariant>
#include <QVector>

#include <utility>

#include <limits>

AppSettings::AppSettings()
    : sound0(DataPaths::dataFile(QStringLiteral("gongs/chimes.wav"))),
      sound1(DataPaths::dataFile(QStringLiteral("gongs/ding.wav"))),
      sound2(DataPaths::dataFile(QStringLiteral("gongs/chord.wav")))
{
}

bool AppSettings::operator==(const AppSettings& o) const
{
    for (int i = 0; i < 3; ++i) {
        if (port[i] != o.port[i] || line[i] != o.line[i] || alg[i] != o.alg[i])
            return false;
    }
    for (int i = 0; i < 5; ++i) {
        if (c[i] != o.c[i])
            return false;
    }
    return timer == o.timer && pktSek == o.pktSek && left == o.left && top == o.top && width == o.width &&
           height == o.height && sound == o.sound && sound0 == o.sound0 && sound1 == o.sound1 &&
           sound2 == o.sound2 && elz1 == o.elz1 && elz2 == o.elz2 && sekPachka == o.sekPachka &&
           monitor == o.monitor && filtInd == o.filtInd && zeile1 == o.zeile1 && phases == o.phases &&
           autoFrei == o.autoFrei && protocolFolder == o.protocolFolder && port1Adapter == o.port1Adapter &&
           live == o.live;
}

namespace {

// A stored number as the 32 bits it holds: native integers of the registry, or the decimal text the
// file formats keep. Anything else (fractions, words, lists, out of range) is not a number.
bool storedNumber(const QVariant& v, quint32* bits)
{
    qlonglong n = 0;
    bool ok = false;
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
        n = v.toLongLong(&ok);
        if (v.metaType().id() == QMetaType::ULongLong && v.toULongLong() > quint64(UINT32_MAX))
            ok = false;
        break;
    case QMetaType::Bool:
        n = v.toBool() ? 1 : 0;
        ok = true;
        break;
    case QMetaType::QString:
        n = v.toString().trimmed().toLongLong(&ok, 10);
        break;
    default:
        break;
    }
    if (!ok || n < qlonglong(std::numeric_limits<qint32>::min()) ||
        n > qlonglong(std::numeric_limits<quint32>::max()))
        return false;
    *bits = quint32(n);
    return true;
}

// Reads values in order and remembers the first one that stops the reading.
class Reader {
public:
    explicit Reader(QSettings& s) : m_s(s) {}

    bool integer(const char* name, qint32* out)
    {
        quint32 bits = 0;
        if (!readBits(name, &bits))
            return false;
        *out = qint32(bits);
        return true;
    }
    bool byte(const char* name, int shift, quint8* out)
    {
        quint32 bits = 0;
        if (!readBits(name, &bits))
            return false;
        *out = quint8((bits >> shift) & 0xFF);
        return true;
    }
    bool boolean(const char* name, bool* out)
    {
        quint32 bits = 0;
        if (!readBits(name, &bits))
            return false;
        *out = bits != 0;
        return true;
    }
    bool text(const char* name, QString* out)
    {
        if (m_stopped)
            return false;
        const QVariant v = m_s.value(QLatin1String(name));
        if (!v.isValid()) {
            out->clear();
        } else if (v.metaType().id() == QMetaType::QString) {
            *out = v.toString();
        } else {
            m_stopped = true;
            return false;
        }
        ++m_read;
        return true;
    }
    int read() const { return m_read; }

private:
    bool readBits(const char* name, quint32* bits)
    {
        if (m_stopped)
            return false;
        if (!storedNumber(m_s.value(QLatin1String(name)), bits)) {
            m_stopped = true;
            return false;
        }
        ++m_read;
        return true;
    }

    QSettings& m_s;
    bool m_stopped = false;
    int m_read = 0;
};

const char* const portNames[3] = {"Port1", "Port2", "Port3"};
const char* const algNames[3] = {"Alg1", "Alg2", "Alg3"};
const char* const colourNames[5] = {"C0", "C1", "C2", "C3", "C4"};

// Values beyond the classic set: each on its own, a missing or unreadable one keeps `out`.
void extraText(QSettings& s, const char* name, QString* out)
{
    const QVariant v = s.value(QLatin1String(name));
    if (v.isValid() && v.metaType().id() == QMetaType::QString)
        *out = v.toString();
}

void extraInteger(QSettings& s, const char* name, qint32* out)
{
    quint32 bits = 0;
    if (storedNumber(s.value(QLatin1String(name)), &bits))
        *out = qint32(bits);
}

void extraBoolean(QSettings& s, const char* name, bool* out)
{
    quint32 bits = 0;
    if (storedNumber(s.value(QLatin1String(name)), &bits))
        *out = bits != 0;
}

void loadExtras(QSettings& s, AppSettings& out)
{
    extraText(s, "ProtocolFolder", &out.protocolFolder);
    extraText(s, "Port1Adapter", &out.port1Adapter);
    extraBoolean(s, "LiveEnabled", &out.live.enabled);
    qint32 port = out.live.port;
    extraInteger(s, "LivePort", &port);
    if (port >= 1 && port <= 65535)
        out.live.port = port;
    extraBoolean(s, "LiveLocalOnly", &out.live.localOnly);
}

using SettingsValues = QVector<std::pair<QString, QVariant>>;

// Every value in the save order: the classic ones, then those beyond.
SettingsValues valuesToSave(const AppSettings& in)
{
    SettingsValues v;
    auto integer = [&v](const char* name, qint32 value) { v.append({QLatin1String(name), value}); };
    // A text as the file holds it: a lone surrogate (a hand-edited "\xd800") has no UTF-8 form and
    // reads back replaced, so the file written could never be confirmed.
    auto text = [&v](const char* name, const QString& value) {
        v.append({QLatin1String(name), QString::fromUtf8(value.toUtf8())});
    };

    integer("Left", in.left);
    integer("Top", in.top);
    integer("Width", in.width);
    integer("Height", in.height);
    integer("Sound", in.sound ? 1 : 0);
    for (int b = 0; b < 3; ++b)
        integer(portNames[b], qint32(in.line[b]) * 256 + in.port[b]);
    for (int b = 0; b < 3; ++b)
        integer(algNames[b], in.alg[b]);
    integer("Timer", in.timer);
    integer("ELZ1", in.elz1);
    integer("ELZ2", in.elz2);
    integer("PktSek", in.pktSek);
    text("Sound0", in.sound0);
    text("Sound1", in.sound1);
    text("Sound2", in.sound2);
    // Colours keep their 32 bits; written signed so the registry and the file agree on the number.
    for (int i = 0; i < 5; ++i)
        integer(colourNames[i], qint32(in.c[i]));
    integer("SekPachka", in.sekPachka);
    integer("Monitor", in.monitor);
    integer("FiltInd", in.filtInd);
    text("Zeile1", in.zeile1);
    integer("Phases", in.phases);
    integer("AutoFrei", in.autoFrei ? 1 : 0);

    text("ProtocolFolder", in.protocolFolder);
    text("Port1Adapter", in.port1Adapter);
    integer("LiveEnabled", in.live.enabled ? 1 : 0);
    // A port of 0 (any free one) exists only in memory.
    if (in.live.port >= 1 && in.live.port <= 65535)
        integer("LivePort", in.live.port);
    integer("LiveLocalOnly", in.live.localOnly ? 1 : 0);
    return v;
}

bool containsKey(const SettingsValues& values, const QString& key)
{
    for (const auto& v : values)
        if (v.first == key)
            return true;
    return false;
}

// A value as it reads back from a settings file (where numbers come back as text).
bool readsBackAs(const QVariant& stored, const QVariant& meant)
{
    switch (meant.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::QString:
        return stored.metaType().id() == QMetaType::QString && stored.toString() == meant.toString();
    case QMetaType::QStringList:
        return stored.toStringList() == meant.toStringList();
    default:
        return stored == meant;
    }
}

// Whether the file at path holds exactly these values. Read by a reader of its own: the file is
// new under this name, so no cached copy of another QSettings answers in its place.
bool holdsValues(const QString& path, QSettings::Format format, const SettingsValues& values)
{
    // A file cut just before its last line end still reads back; it would count as damaged.
    if (settingsFileState(path) != SettingsFileState::Readable)
        return false;
    QSettings check(path, format);
    check.setFallbacksEnabled(false);
    if (check.status() != QSettings::NoError || check.allKeys().size() != values.size())
        return false;
    for (const auto& v : values) {
        if (!check.contains(v.first) || !readsBackAs(check.value(v.first), v.second))
            return false;
    }
    return true;
}

// QSettings keeps what it last read of a file together with the file's size and time, and reads
// the file again only when one of them changed: a new file of the same size written within the
// same millisecond gets a later time.
void markAsNewer(const QString& path, const QFileInfo& old)
{
    const QFileInfo now(path);
    if (!old.exists() || now.size() != old.size() ||
        now.lastModified().toMSecsSinceEpoch() > old.lastModified().toMSecsSinceEpoch())
        return;
    QFile f(path);
    if (f.open(QIODevice::ReadWrite))
        f.setFileTime(old.lastModified().addMSecs(1), QFileDevice::FileModificationTime);
}

bool saveSettingsFile(QSettings& store, const SettingsValues& values)
{
    const QString path = store.fileName();
    // What cannot be read is not replaced: it may hold settings that are merely out of reach.
    const SettingsFileState state = settingsFileState(path);
    if (state == SettingsFileState::Unreadable)
        return false;
    SettingsValues all;
    if (state == SettingsFileState::Readable && store.status() == QSettings::NoError) {
        for (const QString& key : store.allKeys())
            if (!containsKey(values, key))
                all.append({key, store.value(key)});
    }
    all += values;

    // QSettings reports a file cut short by a full disk as written: it is written under a new
    // name, read back under another one and only then renamed over the settings file.
    const QString written = AtomicWrite::createTempBeside(path, nullptr);
    if (written.isEmpty())
        return false;
    bool ok = false;
    {
        QSettings staging(written, store.format());
        staging.setFallbacksEnabled(false);
        for (const auto& v : all)
            staging.setValue(v.first, v.second);
        staging.sync();
        ok = staging.status() == QSettings::NoError;
    }
    const QString checked = ok ? AtomicWrite::createTempBeside(path, nullptr) : QString();
    if (checked.isEmpty()) {
        QFile::remove(written);
        return false;
    }
    if (!AtomicWrite::commitTemp(written, checked, nullptr))
        return false;
    if (!holdsValues(checked, store.format(), all)) {
        QFile::remove(checked);
        return false;
    }
    const QFileInfo old(AtomicWrite::resolvedTarget(path));
    markAsNewer(checked, old);
    if (!AtomicWrite::commitTemp(checked, path, nullptr))
        return false;
    store.sync(); // the caller's object reads the new file
    return true;
}

} // namespace

int loadSettings(QSettings& store, AppSettings& out)
{
    store.setFallbacksEnabled(false);
    if (isSettingsFile(store) && (store.status() == QSettings::FormatError ||
                                  settingsFileState(store.fileName()) == SettingsFileState::Damaged))
        return 0;
    if (store.allKeys().isEmpty())
        return 0;

    Reader r(store);
    // Each call is skipped once an earlier one has stopped the reading.
    for (int b = 0; b < 3; ++b)
        r.byte(portNames[b], 0, &out.port[b]);
    for (int b = 0; b < 3; ++b)
        r.byte(portNames[b], 8, &out.line[b]);
    for (int b = 0; b < 3; ++b)
        r.integer(algNames[b], &out.alg[b]);
    r.integer("Timer", &out.timer);
    r.integer("PktSek", &out.pktSek);
    r.integer("Left", &out.left);
    r.integer("Top", &out.top);
    r.integer("Width", &out.width);
    r.integer("Height", &out.height);
    r.boolean("Sound", &out.sound);
    r.text("Sound0", &out.sound0);
    r.text("Sound1", &out.sound1);
    r.text("Sound2", &out.sound2);
    r.integer("ELZ1", &out.elz1);
    r.integer("ELZ2", &out.elz2);
    for (int i = 0; i < 5; ++i) {
        qint32 colour = 0;
        if (r.integer(colourNames[i], &colour))
            out.c[i] = Rgb(colour);
    }
    r.integer("SekPachka", &out.sekPachka);
    r.integer("Monitor", &out.monitor);
    r.integer("FiltInd", &out.filtInd);
    r.text("Zeile1", &out.zeile1);
    r.integer("Phases", &out.phases);
    r.boolean("AutoFrei", &out.autoFrei);
    loadExtras(store, out);
    return r.read();
}

bool saveSettings(QSettings& store, const AppSettings& in)
{
    store.setFallbacksEnabled(false);
    if (!store.isWritable())
        return false;
    const SettingsValues values = valuesToSave(in);
    if (isSettingsFile(store))
        return saveSettingsFile(store, values);
    for (const auto& v : values)
        store.setValue(v.first, v.second);
    store.sync();
    return store.status() == QSettings::NoError;
}

SettingsFileState settingsFileState(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return info.isSymLink() ? SettingsFileState::Unreadable : SettingsFileState::Missing;
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        return SettingsFileState::Unreadable;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return SettingsFileState::Unreadable;
    if (bytes.isEmpty())
        return SettingsFileState::Readable;
    if (bytes.contains('\0') || !bytes.endsWith('\n'))
        return SettingsFileState::Damaged;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? SettingsFileState::Damaged : SettingsFileState::Readable;
}

bool isSettingsFile(const QSettings& store)
{
    if (store.format() == QSettings::IniFormat)
        return true;
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    return store.format() == QSettings::NativeFormat;
#else
    return false;
#endif
}

QString setDamagedSettingsAside(const QString& path)
{
    const QString aside = path + QStringLiteral(".defekt");
    QFile::remove(aside);
    return QFile::rename(path, aside) ? aside : QString();
}

bool resetSettings(QSettings& store)
{
    store.setFallbacksEnabled(false);
    if (store.allKeys().isEmpty())
        return false;
    store.clear();
    store.sync();
    return store.status() == QSettings::NoError && store.allKeys().isEmpty();
}
