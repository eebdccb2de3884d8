// Fuzz target: the settings reader. The input is the settings file "Acker Klassik.conf",
// read through QSettings in the format the program uses on Linux, into the defaults, as the
// main window does at start-up. The values read are then handed to the logic that uses them
// at start-up (window placement, race clock, penalty points, barrier port list).
#include "fuzz_support.h"

#include "app/penalty_points.h"
#include "app/race_clock.h"
#include "app/window_placement.h"
#include "settings/settings_apply.h"
#include "settings/settings_store.h"

#include <QDir>
#include <QSettings>

#include <cmath>
#include <limits>

namespace {

// Values that differ from every default and from each other's defaults, so a value that is
// not read back shows.
AppSettings otherThanDefaults()
{
    AppSettings s;
    for (int b = 0; b < 3; ++b) {
        s.port[b] = quint8(40 + b);
        s.line[b] = quint8(50 + b);
        s.alg[b] = 60 + b;
    }
    s.timer = -7;
    s.pktSek = -8;
    s.left = -9;
    s.top = -10;
    s.width = -11;
    s.height = -12;
    s.sound = !s.sound;
    s.sound0 = s.sound1 = s.sound2 = QStringLiteral("\x01");
    s.elz1 = -13;
    s.elz2 = -14;
    for (Rgb& c : s.c)
        c = 0xFEFEFEFE;
    s.sekPachka = -15;
    s.monitor = -16;
    s.filtInd = -17;
    s.zeile1 = QStringLiteral("\x02");
    s.phases = -18;
    s.autoFrei = !s.autoFrei;
    s.protocolFolder = s.port1Adapter = QStringLiteral("\x03");
    s.live.enabled = !s.live.enabled;
    s.live.port = 1;
    s.live.localOnly = !s.live.localOnly;
    return s;
}

// The settings file of every input. QSettings keeps what it read of a file and reads it again
// only when its size or modification time differ: each input's file gets a time of its own.
void newTime(QFile& f)
{
    static qint64 n = 0;
    if ((!f.isOpen() && !f.open(QIODevice::ReadWrite)) ||
        !f.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000 + ++n, Qt::UTC),
                       QFileDevice::FileModificationTime))
        akfuzz::failed("settings file time", __FILE__, __LINE__);
}

QString settingsFile(const QString& folder, const QByteArray& bytes)
{
    const QString dir = akfuzz::scratch() + QLatin1Char('/') + folder;
    const QString path = dir + QStringLiteral("/Acker Klassik.conf");
    if (!QDir().mkpath(dir))
        akfuzz::failed("settings folder", __FILE__, __LINE__);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        akfuzz::failed("settings file cannot be written", __FILE__, __LINE__);
    newTime(f);
    return path;
}

class NoDisplay final : public ClockDisplay {
public:
    void setDigitValue(Row, int, int value) override { AK_FUZZ_CHECK(value >= 0 && value <= 9); }
    void setDigitColorOn(Row, int, Rgb) override {}
    void setDigitColorOff(Row, int, Rgb) override {}
    void setDigitBackground(Row, int, Rgb) override {}
    void setLabelColour(Label, Rgb) override {}
    void setPanelBackground(Rgb) override {}
    bool monitorExists() const override { return true; }
};

class Host final : public ClockHost {
public:
    void clickStart() override { ++starts; }
    void setPenaltyPointsText(const QString&) override {}
    int starts = 0;
};

class FixedTicks final : public TickSource {
public:
    quint32 now() const override { return 123456; }
};

// The start-up steps that use the values, as the main window takes them.
void useAtStartUp(const AppSettings& s)
{
    // Window placement on one full-HD screen.
    const QRect screen(0, 0, 1920, 1080);
    const QRect placed = placeMainWindow(storedWindowRect(s.left, s.top, s.width, s.height), {screen},
                                         QRect(0, 0, 1920, 1040), QSize(640, 480));
    const QRect grab(placed.left(), placed.top(), placed.width(), qMin(placed.height(), 20));
    AK_FUZZ_CHECK(grab.intersects(screen)); // the title bar can be reached

    // The race clock's idle display: digits 0 to 9, and no run starts by itself.
    FixedTicks ticks;
    NoDisplay display;
    Host host;
    RaceClock clock(ticks, display, host);
    clock.settings() = raceSettingsOf(s);
    const RaceSettings& r = clock.settings();
    clock.startupDisplay();
    AK_FUZZ_CHECK(host.starts == 0);

    // A second phase over its limit: finite points and a text for them.
    const qint64 limit = qint64(s.elz1) * 1000;
    for (const qint64 over : {limit + 1, limit + 999, qint64(std::numeric_limits<qint32>::max())}) {
        const qint32 x = qint32(qBound(qint64(1), over, qint64(std::numeric_limits<qint32>::max())));
        const long double points = penaltyPoints(x, s.elz1, s.sekPachka, s.pktSek);
        AK_FUZZ_CHECK(std::isfinite(double(points)));
        AK_FUZZ_CHECK(!penaltyPointsText(points, QLocale::c()).isEmpty());
    }

    // What the live pages are told of the countdown and the allowed deviation.
    AK_FUZZ_CHECK(s.timer <= 0 || countdownLengthMs(r) > 0);
    AK_FUZZ_CHECK(s.elz1 < 0 || allowedDeviationMs(r) >= 0);

    // The start barrier's entry in the settings dialog's port list (all 16 ports present).
    const QStringList entries = portEntries(0xFFFFu | (16u << 16));
    const int entry = portEntryFor(s.port[0], s.line[0], entries);
    AK_FUZZ_CHECK(entry >= 0 && entry < entries.size());
    AK_FUZZ_CHECK(s.line[0] <= 2 || lineSuffix(s.line[0]).isEmpty());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    akfuzz::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = akfuzz::bytesOf(data, size);
    const QString path = settingsFile(QStringLiteral("gelesen"), bytes);

    AppSettings s;
    int reads = 0;
    {
        QSettings store(path, QSettings::IniFormat);
        reads = loadSettings(store, s);
    }
    AK_FUZZ_CHECK(reads >= 0 && reads <= kSettingsReads);
    AK_FUZZ_CHECK(akfuzz::readFile(path) == bytes); // reading never writes
    AK_FUZZ_CHECK(s.live.port >= 1 && s.live.port <= 65535);

    useAtStartUp(s);

    // What the exit writes back reads as the same values, every one of them.
    const QString copy = settingsFile(QStringLiteral("geschrieben"), QByteArray());
    {
        QSettings store(copy, QSettings::IniFormat);
        AK_FUZZ_CHECK(saveSettings(store, s));
    }
    QFile written(copy); // read from the file, not from what QSettings kept of it
    newTime(written);
    AppSettings again = otherThanDefaults();
    {
        QSettings store(copy, QSettings::IniFormat);
        AK_FUZZ_CHECK(loadSettings(store, again) == kSettingsReads);
    }
    AK_FUZZ_CHECK(again == s);

    QFile::remove(path);
    QFile::remove(copy);
    return 0;
}
