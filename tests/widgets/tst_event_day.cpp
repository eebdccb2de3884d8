// A whole event day on the real main window, with the clock injected: eight simulated hours,
// hundreds of runs timed by keys, buttons and light barriers, countdowns, two phases and (after a
// restart at noon) one, penalties, skill points, Absage, corrections from the table's menu, a
// start list and typed start numbers, the protocol saved every few runs, reopened and cleared,
// the settings changed in their dialog, the live results server on for a while, the spectator
// windows shown and hidden on the second screen, and the barrier adapter unplugged and plugged
// in again.
//
// At the end the table must equal what this file works out by itself from the rules (times,
// penalty points, totals, ranking with ties, marks), every saved file must read back as the
// table was when it was saved, and the memory after the day must be within 10 MB of the
// memory after the first hour.
//
// AK_EVENT_DAY_RUNS=<n> (at least 24) runs a shorter day with the same events (the memory
// check under valgrind, scripts/memcheck.sh, uses it).
#include "fake_serial_presence.h"
#include "http_client.h"
#include "key_hold.h"
#include "main_window_rig.h"
#include "two_screens.h"

#include "barriers/Comms.h"
#include "barriers/barrier_connection.h"
#include "barriers/light_barriers.h"
#include "dialogs/DlgYesNo.h"
#include "displays/FMonitor2.h"
#include "displays/FMonitor3.h"
#include "displays/TopTenGrid.h"
#include "displays/Udigit.h"
#include "live/live_service.h"
#include "protocol/ProtocolCommands.h"
#include "protocol/protocol_text.h"
#include "protocol/xlsx_reader.h"
#include "results/SortGrid.h"
#include "results/results_table.h"
#include "settings/Cfg.h"
#include "widgets/CommandButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDataStream>
#include <QDate>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QTcpServer>
#include <QToolButton>

#include <algorithm>
#include <iterator>
#include <limits>
#include <optional>
#include <random>
#include <tuple>

#include <malloc.h>
#include <unistd.h>

#if defined(__has_include)
#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#define AK_HAVE_VALGRIND_H 1
#endif
#endif

namespace {

// ---------------------------------------------------------------------------------------------
// The expectation: the rules of times, points and ranking, written out here on their own.

constexpr int kCols = 11;
enum Col { StNr = 0, Fahrer, Beifahrer, Marke, Baujahr, StrafG, Zeit1, Zeit2, StrafZ, Ges, Platz };

// What the points rule counts a text that is not a number as, in tenths of a point.
constexpr qint64 kNoNumber = 99999999990LL;
// Sort keys of the time rule: "EL" is shorter than any time, a blank time longer.
constexpr qint64 kElTime = -1;
constexpr qint64 kBlankTime = std::numeric_limits<qint64>::max();

// Hours, minutes, seconds and hundredths with the leading zero fields dropped, down to s,cc.
QString timeText(qint64 ms)
{
    const qint64 hundredths = (ms / 10) % 100;
    const qint64 seconds = (ms / 1000) % 60;
    const qint64 minutes = (ms / 60000) % 60;
    const qint64 hours = (ms / 3600000) % 100;
    const auto two = [](qint64 v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    const QString full = two(hours) + QLatin1Char(':') + two(minutes) + QLatin1Char(':') + two(seconds) +
                         QLatin1Char(',') + two(hundredths);
    int p = 8;
    for (int i = 0; i < full.size(); ++i) {
        if (full[i] >= QLatin1Char('1') && full[i] <= QLatin1Char('9')) {
            p = qMin(8, i + 1);
            break;
        }
    }
    return full.mid(p - 1);
}

// A points number from tenths: no decimals when whole, else one, with the locale's separator.
QString pointsText(qint64 tenths)
{
    if (tenths % 10 == 0)
        return QString::number(tenths / 10);
    return QString::number(tenths / 10) + QLocale().decimalPoint() + QString::number(tenths % 10);
}

// The penalty settings as the operator set them: deviation in seconds, step length in ms,
// points per step in thousandths.
struct Penalty {
    int elz1 = 45;
    int stepMs = 100;
    int pointsMilli = 100;
};

// Time-penalty points, in tenths, of a phase 2 that took x ms longer than phase 1.
qint64 penaltyTenths(qint64 x, const Penalty& p)
{
    if (x <= qint64(p.elz1) * 1000)
        return 0;
    if (p.stepMs >= 1000) {
        // Whole seconds per step: the step length rounded half to even (2.5 s -> 2, 3.5 s -> 4).
        const qint64 whole = p.stepMs / 1000;
        const qint64 rest = p.stepMs % 1000;
        const qint64 k = rest > 500 || (rest == 500 && whole % 2 == 1) ? whole + 1 : whole;
        const qint64 n = ((x + p.stepMs - 1) / 1000 - p.elz1) / k;
        return n * p.pointsMilli / 100;
    }
    // Started steps beyond the deviation (the steps used here divide a second evenly).
    const qint64 started = (x + p.stepMs - 1) / p.stepMs;
    const qint64 steps = started - qint64(p.elz1) * (1000 / p.stepMs);
    return steps * p.pointsMilli / 100;
}

bool isBlank(const QString& s)
{
    for (const QChar c : s)
        if (c > QLatin1Char(' '))
            return false;
    return true;
}

struct Row {
    QStringList cells = QStringList(kCols, QString());
    qint64 total = kNoNumber;
    qint64 time1 = kBlankTime;
    qint64 time2 = kBlankTime;
};

bool allEmpty(const Row& r)
{
    return std::all_of(r.cells.cbegin(), r.cells.cend(), [](const QString& c) { return c.isEmpty(); });
}

struct Competitor {
    QString stNr;
    QString driver;
    QString coDriver; // "" when there is none
    QString brand;
    QString year;
};

// The results table as the rules make it, data rows in table order.
class ExpectedTable {
public:
    QVector<Row> rows{Row()};

    int find(const QString& stNr) const
    {
        for (int i = 0; i < rows.size(); ++i)
            if (rows[i].cells[StNr] == stNr)
                return i;
        return -1;
    }
    // A run (or an Absage) entered: the row of the start number is replaced, or the empty last
    // row filled, or a row appended.
    void enter(const Row& row)
    {
        int i = find(row.cells[StNr]);
        if (i < 0) {
            if (!allEmpty(rows.last()))
                rows.append(Row());
            i = int(rows.size()) - 1;
        }
        rows[i] = row;
        rank();
    }
    void eliminate(int i)
    {
        Row& r = rows[i];
        r.cells[StrafG] = QStringLiteral("-");
        r.cells[Zeit1] = r.cells[Zeit2] = QStringLiteral("EL");
        r.cells[StrafZ] = QStringLiteral("-");
        r.cells[Ges] = r.cells[Platz] = QStringLiteral("EL");
        r.total = kNoNumber;
        r.time1 = r.time2 = kElTime;
        rank();
    }
    void mark(int i, const QString& mark)
    {
        rows[i].cells[Platz] = mark;
        rank();
    }
    void clearResults(int i)
    {
        for (int c = StrafG; c <= Platz; ++c)
            rows[i].cells[c].clear();
        rows[i].total = kNoNumber;
        rows[i].time1 = rows[i].time2 = kBlankTime;
        rank();
    }
    void remove(int i)
    {
        if (rows.size() == 1)
            rows[0] = Row();
        else
            rows.remove(i);
        rank();
    }
    void clear() { rows = {Row()}; }

    // Fewer points first, then the shorter Zeit1, then the shorter Zeit2, then the order before;
    // competition ranks (1, 2, 2, 4); marked rows and rows without a total keep their Platz.
    void rank()
    {
        std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
            return std::tie(a.total, a.time1, a.time2) < std::tie(b.total, b.time1, b.time2);
        });
        int r = 0;
        QString t;
        for (int p = 0; p < rows.size(); ++p) {
            Row& row = rows[p];
            const QString& platz = row.cells[Platz];
            if (platz == QLatin1String("AUS") || platz == QLatin1String("AUF") ||
                platz == QLatin1String("EL"))
                continue;
            if (isBlank(row.cells[Ges]))
                continue;
            if (row.cells[Ges] == t && row.cells[Zeit1] == rows[r].cells[Zeit1] &&
                row.cells[Zeit2] == rows[r].cells[Zeit2]) {
                row.cells[Platz] = QString::number(r + 1);
            } else {
                row.cells[Platz] = QString::number(p + 1);
                t = row.cells[Ges];
                r = p;
            }
        }
    }
    bool holdsResults() const
    {
        if (rows.size() > 1)
            return true;
        return std::any_of(rows[0].cells.cbegin(), rows[0].cells.cend(),
                           [](const QString& c) { return !isBlank(c); });
    }
    QVector<QStringList> cellRows() const
    {
        QVector<QStringList> out;
        for (const Row& r : rows)
            out.append(r.cells);
        return out;
    }
};

// The text protocol writes an empty cell as one blank, which is what reading it back gives.
QVector<Row> asReadFromText(QVector<Row> rows)
{
    for (Row& r : rows)
        for (QString& c : r.cells)
            if (c.isEmpty())
                c = QStringLiteral(" ");
    return rows;
}

QStringList defaultHeaders()
{
    return {QStringLiteral("St.Nr."), QStringLiteral("Fahrer"),  QStringLiteral("Beifahrer"),
            QStringLiteral("Marke"),  QStringLiteral("Baujahr"), QStringLiteral("StrafG"),
            QStringLiteral("Zeit1"),  QStringLiteral("Zeit2"),   QStringLiteral("StrafZ"),
            QStringLiteral("Ges."),   QStringLiteral("Platz")};
}

// ---------------------------------------------------------------------------------------------
// The day.

struct DayFailure {
    QString what;
};

void check(bool ok, const QString& what)
{
    if (!ok)
        throw DayFailure{what};
}

QString rowsDiff(const QVector<QStringList>& actual, const QVector<QStringList>& expected)
{
    if (actual.size() != expected.size())
        return QStringLiteral("%1 rows instead of %2").arg(actual.size()).arg(expected.size());
    for (int i = 0; i < actual.size(); ++i) {
        if (actual[i] != expected[i])
            return QStringLiteral("row %1 is [%2], expected [%3]")
                .arg(i + 1)
                .arg(actual[i].join(QLatin1Char('|')), expected[i].join(QLatin1Char('|')));
    }
    return QString();
}

void typeText(QWidget* target, const QString& text);

qint64 residentBytes()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> parts = f.readAll().simplified().split(' ');
    return parts.value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

// Where the process's memory says nothing about the program's: a sanitizer keeps freed memory
// in quarantine, valgrind runs the program on its own heap.
bool residentSizeMeaningful()
{
#if defined(__SANITIZE_ADDRESS__)
    return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return false;
#endif
#endif
#ifdef AK_HAVE_VALGRIND_H
    if (RUNNING_ON_VALGRIND)
        return false;
#endif
    return true;
}

constexpr int kPort = 5;
constexpr qint64 kDayMs = 8LL * 3600 * 1000;
constexpr int kFullDayRuns = 600;

// The fakes of one event day; the windows come and go (a restart at noon), the tick counter
// and the barrier adapter stay. The adapter can be unplugged and plugged in again.
struct DayRig {
    explicit DayRig(quint32 startTicks)
        : ticks(startTicks), line(std::make_shared<FakeSerialLine>()),
          path(QStringLiteral("/fake/tty%1").arg(kPort)), deps(&ticks, &gong)
    {
        line->openResult = [this](const QString& asked) {
            return asked == path && plugged ? QString() : QStringLiteral("No such file or directory");
        };
        table.setDevicePath(kPort, path);
        presence.plug(path);
        deps.serialFactory = line->factory();
        deps.portTable = &table;
        deps.serialPresence = &presence;
        deps.recoveryFolder = recovery.path();
    }
    void unplug()
    {
        ++unplugs;
        plugged = false;
        presence.unplug(path);
        // Only an open device notices; a failure queued with none open would meet the next one.
        if (line->openDevices > 0)
            line->failNextWait(SerialFailure::Gone);
    }
    void replug()
    {
        ++replugs;
        plugged = true;
        presence.plug(path);
    }

    FakeTickSource ticks;
    FakeGong gong;
    std::shared_ptr<FakeSerialLine> line;
    QString path;
    PortTable table;
    FakeSerialPresence presence;
    bool plugged = true;
    int unplugs = 0;
    int replugs = 0;
    QTemporaryDir recovery;
    MainWindowDeps deps;
};

enum class SaveKind { Text, Sheet };

// A file saved today. The table as it was then is kept on disk beside it, so that the test's
// own bookkeeping does not show in the process's memory.
struct SavedFile {
    QString path;
    SaveKind kind;
    int run;
    QString expectedPath;
};

void writeRows(const QString& path, const QVector<Row>& rows)
{
    QFile f(path);
    check(f.open(QIODevice::WriteOnly), QStringLiteral("cannot write %1").arg(path));
    QDataStream out(&f);
    out << qint32(rows.size());
    for (const Row& r : rows)
        out << r.cells << r.total << r.time1 << r.time2;
}

QVector<Row> readRows(const QString& path)
{
    QFile f(path);
    check(f.open(QIODevice::ReadOnly), QStringLiteral("cannot read %1").arg(path));
    QDataStream in(&f);
    qint32 n = 0;
    in >> n;
    QVector<Row> rows(n);
    for (Row& r : rows)
        in >> r.cells >> r.total >> r.time1 >> r.time2;
    return rows;
}

class EventDay {
public:
    EventDay(int runs, const QString& folder)
        : m_runs(runs), m_folder(folder), m_rig(quint32(0xFFFFFFFFu - 3u * 3600u * 1000u)), m_rng(20070607u)
    {
        m_slotMs = kDayMs / m_runs;
        m_saveEvery = qMax(2, int(qRound(20.0 * m_runs / kFullDayRuns)));
    }

    void run();

    // Figures for the report.
    int runsTimed = 0;
    int absagen = 0;
    int barrierRuns = 0;
    int countdowns = 0;
    int penalties = 0;
    int commands = 0;
    int reopenedByCommand = 0;
    int settingsChanges = 0;
    int spectatorKeys = 0;
    int liveChecks = 0;
    int discardQuestions = 0;
    int restarts = 0;
    int doubleClicks = 0;
    int bounces = 0;
    int strayKeys = 0;
    int heldKeys = 0;
    int nameCorrections = 0;
    int marks[3] = {}; // EL, AUS, AUF given from the menu
    int unplugs() const { return m_rig.unplugs; }
    int replugs() const { return m_rig.replugs; }
    qint64 rssHour[9] = {};
    qint64 heapHour[9] = {};
    int objectsHour[9] = {};
    QVector<SavedFile> saved;
    qint64 simulatedMs = 0;

private:
    // Positions of the day's events in a day of m_runs runs (given for 600).
    int at(int runOf600) const { return int(qint64(runOf600) * m_runs / kFullDayRuns); }

    void openWindow();
    void closeWindow();
    void storeStartSettings();

    // Input as the operator gives it.
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier);
    void click(QWidget* w);
    void typeInto(QWidget* field, const QString& text);
    template <typename T> T* ctl(const char* name) const
    {
        T* c = m_w->control<T>(QString::fromLatin1(name));
        check(c != nullptr, QStringLiteral("no control %1").arg(QLatin1String(name)));
        return c;
    }
    QPoint cellPos(int tableRow, int col);
    void clickCell(int tableRow, int col, Qt::MouseButton button);
    bool waitFor(const std::function<bool()>& condition, int ms = 10000);
    void reactivate();

    // The clock.
    void pass(qint64 ms);
    void passRunning(qint64 ms);
    void tick() { m_w->clock().ClockTimer(); }
    SequenceState state() const { return m_w->sequence().state(); }
    QString shownRow(const char* suffix) const;
    QString spectatorTime() const;

    // One competitor.
    void timeOne(int index);
    Competitor chooseCompetitor(bool* fromList);
    void selectListEntry(int index);
    bool pickByDoubleClick(const QString& stNr, int* index);
    void correctName();
    void typeCompetitor(const Competitor& c, bool typeYear);
    void startRun(bool barrier, bool* countdown);
    qint64 stopRun(bool barrier, SequenceState expected, qint64 room = 0);
    void contact(SequenceState expected);
    void next();

    // Between competitors.
    void afterRun(int index);
    void correctionFromMenu(const char* item, int row, std::optional<bool> answer = std::nullopt);
    void randomCorrection();
    void markFromMenu(int kind, int row);
    void changeSettings(const std::function<void(TCfgDialog&)>& edit, const QString& what,
                        const char* button = "OKBtn");
    void setPenalty(const Penalty& p, int timer, bool autoFrei);
    void setLive(bool on);
    void checkLivePages();
    void spectators(int key);
    void save(SaveKind kind, const QString& baseName);
    void reopen(const SavedFile& file, std::optional<bool> answer);
    void clearProtocol();
    void openStartList();
    void restartAtNoon();
    void measureHour();

    // Checks.
    void checkTable(const QString& when);
    void markSaved();
    bool unsaved() const;
    void passPhaseTwo(qint32 p1, qint64 p2, qint64 elapsed);
    void checkRowOf(const QString& stNr);
    void checkTopTen();
    void checkSavedFiles();
    void checkRecoveryCopy();

    int m_runs;
    QString m_folder;
    DayRig m_rig;
    std::mt19937 m_rng;
    std::unique_ptr<TFormMain> m_w;
    qint64 m_slotMs;
    int m_saveEvery;

    ExpectedTable m_expect;
    Penalty m_penalty;
    int m_timer = 60; // tenths of a second
    bool m_autoFrei = false;
    int m_phases = 2;
    bool m_live = false;
    quint16 m_livePort = 0;
    QString m_year; // what the year list shows: it is not cleared by NÄCHSTER
    QStringList m_years;

    // The start list as the program holds it: each entry's fields (start number first).
    QVector<QStringList> m_startList;
    QStringList m_startListLines;          // the same entries as the lines they came from
    QVector<Competitor> m_listCompetitors; // the printed start list, in starting order
    QVector<Competitor> m_typed;           // competitors typed in, by start number
    int m_nextTyped = 901;

    int m_saveCount = 0;
    int m_runsSinceSave = 0;
    bool m_pendingDiscardNo = false;
    bool m_pendingDiscardYes = false;
    int m_discardFile = -1;
    bool m_restarted = false;
    bool m_textReopened = false;
    int m_hoursMeasured = 0;
    // The barrier adapter: pulled out during the next barrier run (and put back in that run),
    // put back after a given run.
    bool m_unplugDuringNextRun = false;
    bool m_replugInSameRun = false;
    int m_replugAfter = -1;
    // The data rows as last saved or opened, sorted: what the open command compares with.
    QVector<QStringList> m_savedRows;
    QStringList m_errors;
};

// ---- windows ----

void EventDay::storeStartSettings()
{
    clearStoredSettings();
    {
        // A complete stored set first, so that each value stored below is read.
        MainRig plain(1000, kPort);
        plain.make(false, false);
    }
    // One barrier contact on CTS serves as start, stop and finish barrier.
    const int portWord = 1 * 256 + kPort;
    storeSetting("Port1", portWord);
    storeSetting("Port2", portWord);
    storeSetting("Port3", portWord);
    storeSetting("AutoFrei", 0);
    storeSetting("Phases", 2);
    storeSetting("Timer", 60);
    storeSetting("Monitor", 1);
    storeSetting("ProtocolFolder", m_folder);
}

void EventDay::openWindow()
{
    // As the program entry does it: main window, companions, shown, recovery offered.
    m_w = std::make_unique<TFormMain>(m_rig.deps);
    m_w->createCompanionWindows();
    m_w->show();
    m_w->activateWindow();
    check(QTest::qWaitForWindowActive(m_w.get()), QStringLiteral("main window not active"));
    m_w->offerRecovery();
    m_w->setErrorHook([this](const QString& e) { m_errors << e; });
    m_year = QString::number(QDate::currentDate().year());
    check(m_w->comPort()->Connected() == m_rig.plugged, QStringLiteral("barrier port state at start"));
    check(state() == SequenceState::Ready, QStringLiteral("not Ready at start"));
}

void EventDay::closeWindow()
{
    // Alt+B; the program asks "Beenden?" since the table holds results.
    QSignalSpy asked(m_w->yesNoDialog(), &TFDlgYesNo::questionAsked);
    m_w->yesNoDialog()->setNextAnswers({true});
    key(Qt::Key_B, Qt::AltModifier);
    check(asked.size() == 1 && asked.at(0).at(0).toString() == QLatin1String("Beenden?"),
          QStringLiteral("no question before closing"));
    check(!m_w->isVisible(), QStringLiteral("window still open"));
    m_w.reset();
}

// ---- input ----

void EventDay::key(int k, Qt::KeyboardModifiers mods)
{
    QTest::keyClick(keyTarget(m_w.get()), Qt::Key(k), mods);
}

void EventDay::click(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton);
}

void EventDay::typeInto(QWidget* field, const QString& text)
{
    QTest::mouseClick(field, Qt::LeftButton);
    check(field->hasFocus(), QStringLiteral("%1 did not take the focus").arg(field->objectName()));
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_Delete);
    typeText(field, text);
}

// Keys as a German keyboard sends them, umlauts and ß included.
void typeText(QWidget* target, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(target, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key(c.toUpper().unicode()), QString(c),
                                Qt::NoModifier);
    }
}

QPoint EventDay::cellPos(int tableRow, int col)
{
    TSortGrid* g = m_w->sortGrid();
    const QModelIndex index = g->model()->index(tableRow - 1, col);
    g->scrollTo(index);
    return g->viewport()->mapTo(m_w.get(), g->visualRect(index).center());
}

void EventDay::clickCell(int tableRow, int col, Qt::MouseButton button)
{
    QTest::mouseClick(m_w->windowHandle(), button, {}, cellPos(tableRow, col));
}

// The offscreen platform leaves no window active once a popup or a dialog closes; a desktop
// gives the activation back to the window they belonged to.
void EventDay::reactivate()
{
    if (QApplication::activeWindow() == m_w.get())
        return;
    m_w->activateWindow();
    check(QTest::qWaitForWindowActive(m_w.get()), QStringLiteral("main window not active again"));
}

bool EventDay::waitFor(const std::function<bool()>& condition, int ms)
{
    return QTest::qWaitFor(condition, ms);
}

// ---- clock ----

void EventDay::pass(qint64 ms)
{
    m_rig.ticks.advance(ms);
    simulatedMs += ms;
}

// The clock runs: its tick handler runs every few simulated seconds and at the end.
void EventDay::passRunning(qint64 ms)
{
    while (ms > 0) {
        const qint64 step = qMin<qint64>(ms, 3000 + qint64(m_rng() % 4000));
        pass(step);
        ms -= step;
        tick();
    }
}

QString EventDay::shownRow(const char* suffix) const
{
    QString t;
    for (int d = 3; d <= 8; ++d) {
        t += QString::number(
            m_w->control<TDigit>(QStringLiteral("Digit%1%2").arg(d).arg(QLatin1String(suffix)))->value());
        if (d == 4)
            t += QLatin1Char(':');
        if (d == 6)
            t += QLatin1Char(',');
    }
    return t;
}

// The time display window's digits as "mm:ss,cc".
QString EventDay::spectatorTime() const
{
    QString t;
    for (int d = 3; d <= 8; ++d) {
        t += QString::number(m_w->timeDisplay()->digit(d, 1)->value());
        if (d == 4)
            t += QLatin1Char(':');
        if (d == 6)
            t += QLatin1Char(',');
    }
    return t;
}

QString clockText(qint64 ms)
{
    const qint64 h = ms / 10;
    return QStringLiteral("%1:%2,%3")
        .arg((h / 6000) % 60, 2, 10, QLatin1Char('0'))
        .arg((h / 100) % 60, 2, 10, QLatin1Char('0'))
        .arg(h % 100, 2, 10, QLatin1Char('0'));
}

// ---- one competitor ----

Competitor EventDay::chooseCompetitor(bool* fromList)
{
    *fromList = !m_startList.isEmpty();
    const bool rerun = m_rng() % 100 < 4;
    if (*fromList) {
        const auto inList = [this](const QString& stNr) {
            for (int i = 0; i < m_startList.size(); ++i)
                if (m_startList[i].value(0) == stNr)
                    return i;
            return -1;
        };
        const auto timed = [this](const QString& stNr) {
            const int r = m_expect.find(stNr);
            return r >= 0 && !isBlank(m_expect.rows[r].cells[Ges]);
        };
        QVector<int> candidates;
        if (rerun) {
            for (int i = 0; i < m_startList.size(); ++i)
                if (timed(m_startList[i].value(0)))
                    candidates.append(i);
        }
        int index = -1;
        if (!candidates.isEmpty()) {
            index = candidates[int(m_rng() % candidates.size())];
            if (m_rng() % 2 == 0 && pickByDoubleClick(m_startList[index].value(0), &index)) {
                const QStringList& f = m_startList[index];
                m_year = m_years.contains(f.value(4)) ? f.value(4) : QString();
                return Competitor{f.value(0), f.value(1), f.value(2), f.value(3), m_year};
            }
        } else {
            // The next competitor of the printed list who has no result yet.
            for (const Competitor& c : m_listCompetitors) {
                const int i = inList(c.stNr);
                if (i >= 0 && !timed(c.stNr)) {
                    index = i;
                    break;
                }
            }
            if (index < 0) // everybody timed: second runs
                index = int(m_rng() % m_startList.size());
        }
        selectListEntry(index);
        const QStringList& f = m_startList[index];
        const QString year = m_years.contains(f.value(4)) ? f.value(4) : QString();
        m_year = year;
        return Competitor{f.value(0), f.value(1), f.value(2), f.value(3), year};
    }
    if (rerun && !m_typed.isEmpty())
        return m_typed[int(m_rng() % m_typed.size())];
    static const char* const firsts[] = {"Anna",   "Jürgen", "Käthe",  "Otto", "Grete", "Heinz",
                                         "Birgit", "Ömer",   "Ludwig", "Zoë",  "Hans",  "Süleyman"};
    static const char* const lasts[] = {"Bauer", "Müller", "Großmann", "Öztürk",  "Schmidt",
                                        "Weiß",  "Huber",  "Jäger",    "Zöllner", "Brandt"};
    static const char* const brands[] = {"Lanz Bulldog",  "Fendt Dieselross", "Hanomag R 28",
                                         "Güldner ADN",   "Deutz F1L 514",    "Eicher ED 16",
                                         "Schlüter S 15", "Porsche Junior"};
    const int n = m_nextTyped++;
    const auto pick = [this](const char* const* list, size_t count) {
        return QString::fromUtf8(list[m_rng() % count]);
    };
    Competitor c;
    c.stNr = QString::number(n);
    c.driver = pick(firsts, std::size(firsts)) + QLatin1Char(' ') + pick(lasts, std::size(lasts));
    c.coDriver = m_rng() % 5 == 0 ? QString() : pick(firsts, std::size(firsts));
    c.brand = pick(brands, std::size(brands));
    c.year = QString::number(1936 + int(m_rng() % 40));
    m_typed.append(c);
    return c;
}

// A second run picked by a double click on the competitor's row: the first start list entry
// that begins with the row's start number, driver and co-driver is chosen. False (nothing done)
// when that is another competitor's entry.
bool EventDay::pickByDoubleClick(const QString& stNr, int* index)
{
    const int row = m_expect.find(stNr);
    const QStringList& cells = m_expect.rows[row].cells;
    const QString key =
        cells[StNr] + QLatin1Char('\t') + cells[Fahrer] + QLatin1Char('\t') + cells[Beifahrer];
    int entry = -1;
    for (int i = 0; i < m_startListLines.size() && entry < 0; ++i)
        if (m_startListLines[i].startsWith(key))
            entry = i;
    if (entry < 0 || m_startList[entry].value(0) != stNr)
        return false;
    QTest::mouseDClick(m_w->sortGrid()->viewport(), Qt::LeftButton, {},
                       m_w->sortGrid()->viewport()->mapFrom(m_w.get(), cellPos(row + 1, Zeit1)));
    auto* cb = ctl<QComboBox>("cbStNr");
    const QStringList& f = m_startList[entry];
    check(cb->currentIndex() == entry && ctl<QLineEdit>("Reiter")->text() == f.value(1) &&
              ctl<QLineEdit>("eName2")->text() == f.value(2) &&
              ctl<QLineEdit>("eMarke")->text() == f.value(3),
          QStringLiteral("double click on %1 chose entry %2 (%3)")
              .arg(stNr)
              .arg(cb->currentIndex())
              .arg(cb->currentText()));
    check(ctl<QLabel>("LabelBase")->text() ==
              QStringLiteral("%1 von %2").arg(entry + 1).arg(m_startList.size()),
          QStringLiteral("start list position after a double click"));
    ++doubleClicks;
    *index = entry;
    return true;
}

// A name corrected in the table: typed over the driver's cell, finished with Return. Only that
// cell changes; nothing is ranked.
void EventDay::correctName()
{
    QVector<int> rows;
    for (int i = 0; i < m_expect.rows.size(); ++i)
        if (!m_expect.rows[i].cells[StNr].isEmpty())
            rows.append(i);
    if (rows.isEmpty())
        return;
    const int i = rows[int(m_rng() % rows.size())];
    const QString name = m_expect.rows[i].cells[Fahrer].trimmed() + QStringLiteral(" jun.");
    clickCell(i + 1, Fahrer, Qt::LeftButton);
    // Each key goes where the focus is: the first opens the cell's editor.
    for (const QChar c : name)
        typeText(QApplication::focusWidget(), QString(c));
    check(m_w->sortGrid()->editorOpen(), QStringLiteral("no cell editor for the name"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    // The editor is committed and closed once the event loop runs.
    check(waitFor([this] { return !m_w->sortGrid()->editorOpen(); }),
          QStringLiteral("cell editor still open"));
    m_expect.rows[i].cells[Fahrer] = name;
    checkTable(QStringLiteral("after correcting a name"));
    ++nameCorrections;
}

void EventDay::selectListEntry(int index)
{
    auto* cb = ctl<QComboBox>("cbStNr");
    check(
        cb->count() == m_startList.size(),
        QStringLiteral("start list holds %1 entries, expected %2").arg(cb->count()).arg(m_startList.size()));
    auto* forward = ctl<QToolButton>("sb1p");
    auto* back = ctl<QToolButton>("sb1m");
    int guard = 2 * int(m_startList.size()) + 2;
    while (cb->currentIndex() != index && guard-- > 0)
        click(cb->currentIndex() < index ? forward : back);
    check(cb->currentIndex() == index, QStringLiteral("start list entry %1 not reached").arg(index));
    const QStringList& f = m_startList[index];
    check(ctl<QLineEdit>("Reiter")->text() == f.value(1) && ctl<QLineEdit>("eName2")->text() == f.value(2) &&
              ctl<QLineEdit>("eMarke")->text() == f.value(3),
          QStringLiteral("entry fields do not show start list entry %1").arg(f.join(QLatin1Char('|'))));
    check(ctl<QLabel>("LabelBase")->text() ==
              QStringLiteral("%1 von %2").arg(index + 1).arg(m_startList.size()),
          QStringLiteral("start list position label"));
}

void EventDay::typeCompetitor(const Competitor& c, bool typeYear)
{
    auto* cb = ctl<QComboBox>("cbStNr");
    check(cb->isEditable(), QStringLiteral("start number field is not a typing field"));
    typeInto(cb->lineEdit(), c.stNr);
    typeInto(ctl<QLineEdit>("Reiter"), c.driver);
    if (!c.coDriver.isEmpty())
        typeInto(ctl<QLineEdit>("eName2"), c.coDriver);
    typeInto(ctl<QLineEdit>("eMarke"), c.brand);
    if (typeYear) {
        // The arrow keys move through the year list (typing a year would be taken together with
        // the one typed a moment ago, since the test types far faster than a person).
        auto* years = ctl<QComboBox>("eGOD");
        const int target = years->findText(c.year);
        check(target >= 0, QStringLiteral("year %1 not in the list").arg(c.year));
        while (years->currentIndex() != target) {
            const int before = years->currentIndex();
            QTest::keyClick(years, years->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
            check(years->currentIndex() != before, QStringLiteral("the year list did not move"));
        }
        check(years->currentText() == c.year,
              QStringLiteral("year %1 not chosen: %2").arg(c.year, years->currentText()));
        m_year = c.year;
    }
    check(cb->currentText() == c.stNr && ctl<QLineEdit>("Reiter")->text() == c.driver &&
              ctl<QLineEdit>("eName2")->text() == c.coDriver && ctl<QLineEdit>("eMarke")->text() == c.brand,
          QStringLiteral("typed fields do not hold %1").arg(c.stNr));
}

// The barrier contact closes and opens again; each change reaches the window before the next.
void EventDay::contact(SequenceState expected)
{
    FakeSerialLine& line = *m_rig.line;
    LightBarriers* barriers = m_w->lightBarriers();
    const auto opened = [&] {
        line.setStatus(0);
        check(waitFor([&] { return barriers->lineMemory(1) == LightBarriers::LineMemoryReset; }),
              QStringLiteral("contact opening not seen"));
    };
    line.setStatus(ModemLine::Cts);
    check(waitFor([&] { return state() == expected; }),
          QStringLiteral("barrier contact did not lead to state %1").arg(int(expected)));
    if (expected != SequenceState::Stopped && m_rng() % 5 == 0) {
        // The trailer breaks the beam again within the lock-out second: listed, nothing else.
        opened();
        const int listed = int(barriers->reserveList().size());
        const qint32 counted = barriers->signalCount(1);
        if (barriers->lockoutRunning()) {
            line.setStatus(ModemLine::Cts);
            check(waitFor([&] { return barriers->reserveList().size() == listed + 1; }),
                  QStringLiteral("bounce not listed"));
            check(state() == expected && barriers->signalCount(1) == counted,
                  QStringLiteral("a bounce within the lock-out acted"));
            ++bounces;
        }
    }
    barriers->TimerGesperrtTimer(); // the lock-out second is over
    opened();
}

void EventDay::startRun(bool barrier, bool* countdown)
{
    *countdown = false;
    if (barrier) {
        check(m_w->lightBarriers()->indicatorState(1) == LightBarriers::Armed,
              QStringLiteral("start barrier not armed"));
        contact(SequenceState::RunningPhase1);
    } else if (m_timer > 0 && m_rng() % 100 < 55) {
        // The countdown: run out (START follows by itself), paused on the way, or cut short.
        *countdown = true;
        ++countdowns;
        key(Qt::Key_F4);
        check(state() == SequenceState::CountdownRunning, QStringLiteral("F4 did not start the countdown"));
        qint64 remaining = qint64(m_timer) * 100;
        const int style = int(m_rng() % 10);
        if (style < 2) {
            const qint64 part = 500 + qint64(m_rng() % quint32(remaining - 1000));
            passRunning(part);
            remaining -= part;
            key(Qt::Key_F4);
            check(state() == SequenceState::CountdownPaused, QStringLiteral("F4 did not pause"));
            check(shownRow("") == clockText(remaining),
                  QStringLiteral("paused countdown shows %1, expected %2")
                      .arg(shownRow(""), clockText(remaining)));
            pass(2000 + qint64(m_rng() % 20000));
            key(Qt::Key_F4);
            check(state() == SequenceState::CountdownRunning, QStringLiteral("F4 did not resume"));
        }
        if (style >= 8) {
            // Cut short: START on the focused START button.
            passRunning(qint64(m_rng() % quint32(remaining - 100)));
            check(ctl<CommandButton>("bSTART")->hasFocus(),
                  QStringLiteral("START not focused in the countdown"));
            key(Qt::Key_Return);
        } else {
            while (remaining > 2500) {
                pass(2000);
                remaining -= 2000;
                tick();
                check(state() == SequenceState::CountdownRunning, QStringLiteral("countdown ended early"));
            }
            pass(remaining);
            tick(); // 0 ms left: START follows at this tick
        }
    } else if (!m_w->control<CommandButton>(QStringLiteral("bTimer"))->isVisible() &&
               ctl<CommandButton>("bSTART")->hasFocus() && m_rng() % 2 == 0) {
        key(Qt::Key_Return);
    } else if (m_rng() % 5 == 0) {
        QTest::mousePress(ctl<CommandButton>("bSTART"), Qt::LeftButton);
        QTest::mouseRelease(ctl<CommandButton>("bSTART"), Qt::LeftButton);
    } else {
        key(Qt::Key_F5);
    }
    check(state() == SequenceState::RunningPhase1 && m_w->clock().running(),
          QStringLiteral("the run did not start"));
    check(m_w->clock().state().StartTick == m_rig.ticks.now(),
          QStringLiteral("run started at the wrong tick"));
}

// Returns the milliseconds that passed after the stop (a key held down).
qint64 EventDay::stopRun(bool barrier, SequenceState expected, qint64 room)
{
    qint64 after = 0;
    if (barrier) {
        contact(expected);
    } else if (m_rng() % 8 == 0 && room > 2000) {
        // F9 held down: the press stops, the repeats of the next 0.8 s do nothing.
        holdKey(
            m_w.get(), Qt::Key_F9, Qt::NoModifier, 10,
            [&](int ms) {
                pass(ms);
                after += ms;
                tick();
            },
            m_rng() % 2 ? RepeatStyle::X11Pairs : RepeatStyle::Flagged);
        ++heldKeys;
    } else if (m_rng() % 6 == 0) {
        QTest::mousePress(ctl<CommandButton>("bSTOP"), Qt::LeftButton);
        QTest::mouseRelease(ctl<CommandButton>("bSTOP"), Qt::LeftButton);
    } else {
        key(Qt::Key_F9);
    }
    check(state() == expected, QStringLiteral("STOPP did not lead to state %1").arg(int(expected)));
    return after;
}

void EventDay::timeOne(int index)
{
    // Ready: the competitor's slot of the day begins (or the operator is late and hurries).
    const qint64 slotStart = qint64(index) * m_slotMs;
    pass(simulatedMs < slotStart ? slotStart - simulatedMs : 1000 + qint64(m_rng() % 3000));
    check(state() == SequenceState::Ready, QStringLiteral("not Ready before competitor %1").arg(index));

    bool fromList = false;
    const Competitor who = chooseCompetitor(&fromList);
    if (!fromList)
        typeCompetitor(who, m_rng() % 4 != 0);

    // Skill points typed before the start (they stand for an Absage) or during the run.
    int skill = 0;
    const int skillStyle = int(m_rng() % 10);
    const auto typeSkill = [&] {
        skill = int(m_rng() % 31);
        typeInto(ctl<QLineEdit>("ePunkte1"), QString::number(skill));
    };

    const bool absage = m_rng() % 100 < 4;
    const bool barrier = m_autoFrei && m_timer == 0 && m_rig.plugged &&
                         m_w->lightBarriers()->indicatorState(1) == LightBarriers::Armed && m_rng() % 4 != 0;
    Row row;
    row.cells[StNr] = who.stNr;
    row.cells[Fahrer] = who.driver;
    row.cells[Beifahrer] = who.coDriver;
    row.cells[Marke] = who.brand;
    row.cells[Baujahr] = m_year;
    if (absage) {
        if (skillStyle < 3)
            typeSkill();
        if (m_timer > 0 && m_rng() % 2 == 0) {
            key(Qt::Key_F4);
            passRunning(1000);
        }
        click(ctl<CommandButton>("bAbsage"));
        check(state() == SequenceState::Entered, QStringLiteral("Absage did not enter"));
        ++absagen;
        row.cells[StrafG] = QString::number(skill);
        row.cells[Zeit1] = row.cells[Zeit2] = timeText(-1);
        row.cells[StrafZ] = pointsText(0);
        row.cells[Ges] = pointsText(skill * 10);
        row.total = skill * 10;
        row.time1 = row.time2 = 0;
    } else {
        if (m_rng() % 12 == 0) {
            // Keys of commands not offered before a start do nothing.
            key(Qt::Key_F9);
            key(Qt::Key_F10);
            key(Qt::Key_N, Qt::AltModifier);
            check(state() == SequenceState::Ready, QStringLiteral("a stray key acted in Ready"));
            strayKeys += 3;
        }
        bool countdown = false;
        startRun(barrier, &countdown);
        if (m_rng() % 12 == 0) {
            // START again, EINTRAGEN and NÄCHSTER while the run is timed do nothing.
            const quint32 started = m_w->clock().state().StartTick;
            pass(50);
            key(Qt::Key_F5);
            key(Qt::Key_F10);
            key(Qt::Key_N, Qt::AltModifier);
            check(state() == SequenceState::RunningPhase1 && m_w->clock().state().StartTick == started,
                  QStringLiteral("a stray key acted while timing"));
            strayKeys += 3;
        }
        if (barrier)
            ++barrierRuns;
        // The run's times: phase 1 of 12 to 28 s; phase 2 mostly close to it, sometimes far over.
        const qint32 p1 = 12000 + qint32(m_rng() % 16000);
        qint32 p2 = 0;
        if (m_phases == 2) {
            const bool over = m_rng() % 100 < 22;
            p2 = over ? p1 + m_penalty.elz1 * 1000 + qint32(m_rng() % 12000)
                      : qMax(400, p1 - 6000 + qint32(m_rng() % 12000));
            if (m_rng() % 40 == 0)
                p2 = p1 + m_penalty.elz1 * 1000; // exactly the deviation: no points
        }
        const qint64 split = 2000 + qint64(m_rng() % quint32(p1 - 4000));
        passRunning(split - qint64(m_w->clock().now() - m_w->clock().state().StartTick));
        if (skillStyle >= 3 && skillStyle < 7) {
            typeSkill();
        } else if (skillStyle == 7) {
            const int presses = 1 + int(m_rng() % 4);
            for (int i = 0; i < presses; ++i)
                key(Qt::Key_P, Qt::AltModifier);
            skill = presses;
        }
        // Unplugged while the run is timed: the run goes on by keys.
        const bool unplugNow = m_unplugDuringNextRun && barrier;
        passRunning(p1 - split);
        if (m_phases == 2) {
            const qint64 held = stopRun(barrier, SequenceState::RunningPhase2, p2);
            check(ctl<CommandButton>("bSTOP")->text() == QLatin1String("STOPP2"),
                  QStringLiteral("no STOPP2"));
            check(shownRow("") == clockText(p1), QStringLiteral("row 1 does not hold phase 1"));
            bool barrierFinish = barrier;
            if (unplugNow) {
                m_unplugDuringNextRun = false;
                m_rig.unplug();
                check(waitFor([&] { return m_w->lightBarriers()->indicatorState(3) == LightBarriers::Lost; }),
                      QStringLiteral("finish barrier not shown lost"));
                check(m_w->barrierConnection()->barrierNotice().contains(
                          QStringLiteral("Lichtschranke getrennt")),
                      QStringLiteral("no notice of the lost barrier: %1").arg(m_w->statusNoticeText()));
                barrierFinish = false;
                if (m_replugInSameRun) {
                    // Back in the middle of phase 2: the finish barrier ends the run as if nothing happened.
                    m_replugInSameRun = false;
                    passRunning(p2 / 2 - held);
                    m_rig.replug();
                    check(m_w->comPort()->Connected(), QStringLiteral("barrier port not back"));
                    check(m_w->lightBarriers()->indicatorState(3) == LightBarriers::Armed,
                          QStringLiteral("finish barrier not armed again"));
                    barrierFinish = true;
                    passRunning(p2 - p2 / 2);
                } else {
                    passPhaseTwo(p1, p2, held);
                }
            } else {
                passPhaseTwo(p1, p2, held);
            }
            stopRun(barrierFinish, SequenceState::Stopped);
            check(shownRow("a") == clockText(p2),
                  QStringLiteral("row 2 shows %1 after STOPP2").arg(shownRow("a")));
            // The spectators saw phase 1 in whole seconds and keep it.
            check(spectatorTime() == clockText(p1).left(6) + QStringLiteral("00"),
                  QStringLiteral("time display shows %1 after STOPP2, phase 1 %2")
                      .arg(spectatorTime(), clockText(p1)));
        } else {
            if (unplugNow) {
                m_unplugDuringNextRun = false;
                m_rig.unplug();
                check(waitFor([&] { return m_w->lightBarriers()->indicatorState(2) == LightBarriers::Lost; }),
                      QStringLiteral("stop barrier not shown lost"));
                stopRun(false, SequenceState::Stopped);
            } else {
                stopRun(barrier, SequenceState::Stopped);
            }
            p2 = p1;
            check(shownRow("") == clockText(p1),
                  QStringLiteral("row 1 shows %1 after STOPP").arg(shownRow("")));
            check(spectatorTime() == clockText(p1),
                  QStringLiteral("time display shows %1 after STOPP, run %2")
                      .arg(spectatorTime(), clockText(p1)));
        }
        const qint32 phaseOne = m_phases == 2 ? p1 : 0;
        const qint64 pen = m_phases == 2 ? penaltyTenths(qint64(p2) - p1, m_penalty) : 0;
        if (pen > 0)
            ++penalties;
        check(ctl<QLineEdit>("ePunkte2")->text() == pointsText(pen),
              QStringLiteral("penalty points %1, expected %2 (p1 %3, p2 %4)")
                  .arg(ctl<QLineEdit>("ePunkte2")->text(), pointsText(pen))
                  .arg(p1)
                  .arg(p2));
        check(ctl<QLineEdit>("ePunkte1")->text() == QString::number(skill),
              QStringLiteral("skill points field"));
        check(ctl<CommandButton>("bEINTRAGEN")->hasFocus(), QStringLiteral("EINTRAGEN not focused"));
        // EINTRAGEN: F10, Return on the focused button, or a press on it.
        const int how = int(m_rng() % 10);
        if (how < 5) {
            key(Qt::Key_F10);
        } else if (how < 8) {
            key(Qt::Key_Return);
        } else {
            QTest::mousePress(ctl<CommandButton>("bEINTRAGEN"), Qt::LeftButton);
            QTest::mouseRelease(ctl<CommandButton>("bEINTRAGEN"), Qt::LeftButton);
        }
        check(state() == SequenceState::Entered, QStringLiteral("EINTRAGEN did not enter"));
        row.cells[StrafG] = QString::number(skill);
        row.cells[Zeit1] = timeText(phaseOne);
        row.cells[Zeit2] = timeText(p2);
        row.cells[StrafZ] = pointsText(pen);
        row.cells[Ges] = pointsText(skill * 10 + pen);
        row.total = skill * 10 + pen;
        row.time1 = phaseOne / 10;
        row.time2 = p2 / 10;
    }
    ++runsTimed;
    ++m_runsSinceSave;
    m_expect.enter(row);
    checkRowOf(who.stNr);
}

// Phase 2 after a phase 1 of p1 ms; once over the limit a tick shows the points so far.
void EventDay::passPhaseTwo(qint32 p1, qint64 p2, qint64 elapsed)
{
    const qint64 limit = qint64(m_penalty.elz1) * 1000 + p1;
    if (p2 <= limit + 1 || elapsed > limit) {
        passRunning(p2 - elapsed);
        return;
    }
    const qint64 mid = limit + 1 + qint64(m_rng() % quint32(p2 - limit - 1));
    passRunning(mid - elapsed);
    const QString soFar = pointsText(penaltyTenths(mid - p1, m_penalty));
    check(ctl<QLineEdit>("ePunkte2")->text() == soFar,
          QStringLiteral("penalty points %1 while running, expected %2")
              .arg(ctl<QLineEdit>("ePunkte2")->text(), soFar));
    passRunning(p2 - mid);
}

void EventDay::next()
{
    const int how = int(m_rng() % 10);
    auto* next = ctl<CommandButton>("bRESET");
    if (how < 3 && next->hasFocus())
        key(Qt::Key_Return);
    else if (how == 9)
        click(next);
    else
        key(Qt::Key_N, Qt::AltModifier);
    check(state() == SequenceState::Ready, QStringLiteral("NÄCHSTER did not lead to Ready"));
    check(ctl<QLineEdit>("ePunkte1")->text() == QLatin1String("0") &&
              ctl<QLineEdit>("ePunkte2")->text() == QLatin1String("0"),
          QStringLiteral("points fields not reset"));
}

// ---- between competitors ----

void EventDay::correctionFromMenu(const char* item, int row, std::optional<bool> answer)
{
    // The row is selected by a click on its Zeit1 cell; the menu acts on the selected row.
    clickCell(row + 1, Zeit1, Qt::LeftButton);
    check(m_w->resultsTable().currentRow() == row + 1, QStringLiteral("row %1 not selected").arg(row + 1));
    QSignalSpy asked(m_w->yesNoDialog(), &TFDlgYesNo::questionAsked);
    if (answer)
        m_w->yesNoDialog()->setNextAnswers({*answer});
    clickCell(row + 1, Zeit1, Qt::RightButton);
    QMenu* menu = m_w->sortGrid()->popupMenu();
    check(waitFor([menu] { return menu->isVisible(); }), QStringLiteral("context menu not shown"));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(m_w->sortGrid()->action(item)).center());
    check(waitFor([menu] { return !menu->isVisible(); }), QStringLiteral("context menu still shown"));
    reactivate();
    check(asked.size() == (answer ? 1 : 0),
          QStringLiteral("%1 asked %2 questions").arg(QLatin1String(item)).arg(asked.size()));
    ++commands;
}

void EventDay::randomCorrection()
{
    QVector<int> ranked;
    for (int i = 0; i < m_expect.rows.size(); ++i)
        if (!isBlank(m_expect.rows[i].cells[Ges]))
            ranked.append(i);
    if (ranked.isEmpty())
        return;
    const int i = ranked[int(m_rng() % ranked.size())];
    const unsigned kind = m_rng() % 6;
    switch (kind) {
    case 0:
    case 1:
    case 2:
        markFromMenu(int(kind), i);
        break;
    case 3:
        correctionFromMenu("Zeitentfernen1", i);
        m_expect.clearResults(i);
        break;
    case 4: {
        const bool yes = m_rng() % 3 != 0;
        correctionFromMenu("Strokadelete", i, yes);
        if (yes)
            m_expect.remove(i);
        break;
    }
    default:
        correctionFromMenu("Sortieren1", i);
        m_expect.rank();
        break;
    }
    checkTable(QStringLiteral("after a correction from the menu"));
}

// Eliminieren (0), Ausgeschieden (1) or Aufgegeben (2) on the row i of the expectation.
void EventDay::markFromMenu(int kind, int i)
{
    static const char* const items[] = {"Eliminieren1", "Ausgeschieden2", "Aufgegeben1"};
    correctionFromMenu(items[kind], i);
    if (kind == 0)
        m_expect.eliminate(i);
    else
        m_expect.mark(i, kind == 1 ? QStringLiteral("AUS") : QStringLiteral("AUF"));
    ++marks[kind];
}

// Opens the settings dialog with F2, lets edit change it, presses OK.
void EventDay::changeSettings(const std::function<void(TCfgDialog&)>& edit, const QString& what,
                              const char* button)
{
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* d = qobject_cast<TCfgDialog*>(QApplication::activeModalWidget());
        if (!d)
            return;
        shown = true;
        edit(*d);
        QTest::mouseClick(d->findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
        if (d->isVisible())
            d->reject();
    });
    key(Qt::Key_F2);
    if (!shown)
        QCoreApplication::processEvents(); // the answer finds no dialog and does nothing
    check(shown, QStringLiteral("settings dialog not shown (%1)").arg(what));
    check(!m_w->settingsDialog()->isVisible(), QStringLiteral("settings dialog still open"));
    reactivate();
    ++settingsChanges;
}

void setChecked(QCheckBox* box, bool on)
{
    if (box->isChecked() != on)
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->height() / 2, box->height() / 2));
}

void EventDay::setPenalty(const Penalty& p, int timer, bool autoFrei)
{
    changeSettings(
        [&](TCfgDialog& d) {
            d.findChild<QSpinBox*>(QStringLiteral("seTimer"))->setValue(timer);
            d.findChild<QSpinBox*>(QStringLiteral("seELZ1"))->setValue(p.elz1);
            d.findChild<QDoubleSpinBox*>(QStringLiteral("seSekInPachka"))->setValue(p.stepMs / 1000.0);
            d.findChild<QDoubleSpinBox*>(QStringLiteral("sePktSek"))->setValue(p.pointsMilli / 1000.0);
            setChecked(d.findChild<QCheckBox*>(QStringLiteral("cbLSautoFrei")), autoFrei);
        },
        QStringLiteral("penalty"));
    const AppSettings& s = m_w->settings();
    check(s.timer == timer && s.elz1 == p.elz1 && s.sekPachka == p.stepMs && s.pktSek == p.pointsMilli &&
              s.autoFrei == autoFrei,
          QStringLiteral("settings not applied: Timer %1 ELZ1 %2 SekPachka %3 PktSek %4 AutoFrei %5")
              .arg(s.timer)
              .arg(s.elz1)
              .arg(s.sekPachka)
              .arg(s.pktSek)
              .arg(s.autoFrei));
    check(s.port[0] == kPort && s.port[1] == kPort && s.port[2] == kPort,
          QStringLiteral("barrier ports lost"));
    m_penalty = p;
    m_timer = timer;
    m_autoFrei = autoFrei;
    check(ctl<CommandButton>("bTimer")->isVisible() == (timer > 0), QStringLiteral("TIMER visibility"));
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

void EventDay::setLive(bool on)
{
    if (on)
        m_livePort = freePort();
    changeSettings(
        [&](TCfgDialog& d) {
            setChecked(d.findChild<QCheckBox*>(QStringLiteral("cbLive")), on);
            if (on) {
                d.findChild<QSpinBox*>(QStringLiteral("seLivePort"))->setValue(m_livePort);
                setChecked(d.findChild<QCheckBox*>(QStringLiteral("cbLiveLocal")), true);
            }
        },
        QStringLiteral("live"));
    check(m_w->liveService()->running() == on, QStringLiteral("live server not %1").arg(on ? "on" : "off"));
    if (on)
        check(m_w->liveService()->port() == m_livePort, QStringLiteral("live server on another port"));
    m_live = on;
}

// The live page's results are the table's rows (those not entirely blank), in order.
void EventDay::checkLivePages()
{
    QStringList expected;
    for (const Row& r : m_expect.rows)
        if (!std::all_of(r.cells.cbegin(), r.cells.cend(), isBlank))
            expected << r.cells[StNr] + QLatin1Char('/') + r.cells[Platz];
    QStringList got;
    const bool same = waitFor(
        [&] {
            const HttpAnswer a = httpGet(m_livePort, "/api/results.json");
            got.clear();
            const QJsonArray rows =
                QJsonDocument::fromJson(a.body).object().value(QStringLiteral("rows")).toArray();
            for (const QJsonValue& v : rows)
                got << v.toObject().value(QStringLiteral("startNumber")).toString() + QLatin1Char('/') +
                           v.toObject().value(QStringLiteral("rank")).toString();
            return a.status == 200 && got == expected;
        },
        10000);
    check(same,
          QStringLiteral("live results differ: %1 rows, expected %2").arg(got.size()).arg(expected.size()));
    ++liveChecks;
}

void EventDay::spectators(int k)
{
    ++spectatorKeys;
    key(k, Qt::AltModifier);
    const QRect second = QGuiApplication::screens().at(1)->geometry();
    TFormMonitor2* td = m_w->timeDisplay();
    TFormMonitor3* top = m_w->topTen();
    if (k == Qt::Key_2)
        check(td->isVisible() && !top->isVisible() && td->geometry() == second,
              QStringLiteral("time display not on the second screen: visible %1, at %2,%3 %4x%5, monitor %6")
                  .arg(td->isVisible())
                  .arg(td->geometry().x())
                  .arg(td->geometry().y())
                  .arg(td->geometry().width())
                  .arg(td->geometry().height())
                  .arg(m_w->settings().monitor));
    else if (k == Qt::Key_1)
        check(
            top->isVisible() && !td->isVisible() && top->geometry() == second,
            QStringLiteral("top ten not on the second screen: visible %1 %2, time display %3, active %4")
                .arg(top->isVisible())
                .arg(top->geometry() == second)
                .arg(td->isVisible())
                .arg(QApplication::activeWindow() ? QApplication::activeWindow()->objectName() : QString()));
    else
        check(!td->isVisible() && !top->isVisible(), QStringLiteral("spectator window still shown"));
    check(m_w->isActiveWindow(), QStringLiteral("the main window lost the keyboard"));
}

void EventDay::save(SaveKind kind, const QString& baseName)
{
    // Typed without extension the filter decides; a typed extension decides by itself.
    const bool typedExtension = m_saveCount % 4 == 3;
    const QString ext = kind == SaveKind::Text ? QStringLiteral(".txt") : QStringLiteral(".xlsx");
    const QString typed = QDir(m_folder).filePath(baseName) + (typedExtension ? ext : QString());
    int filter = kind == SaveKind::Text ? 0 : 1;
    if (typedExtension)
        filter = 1 - filter;
    QStringList folders;
    m_w->protocolCommands()->setFileDialogHook([&](const FileDialogRequest& r) {
        folders << r.folder;
        return FileDialogAnswer{typed, filter};
    });
    checkTable(QStringLiteral("before saving %1").arg(baseName));
    click(ctl<QToolButton>("sbSave"));
    m_w->protocolCommands()->setFileDialogHook({});
    const QString path = QDir(m_folder).filePath(baseName + ext);
    check(folders.size() == 1, QStringLiteral("no save dialog"));
    check(QFileInfo::exists(path), QStringLiteral("%1 not written").arg(path));
    const QString expectedPath = QDir(m_folder).filePath(QStringLiteral("expected-%1.dat").arg(saved.size()));
    writeRows(expectedPath, m_expect.rows);
    saved.append(SavedFile{path, kind, runsTimed, expectedPath});
    markSaved();
    check(m_errors.isEmpty(), QStringLiteral("saving %1: %2").arg(path, m_errors.join(QLatin1String("; "))));
    ++m_saveCount;
    m_runsSinceSave = 0;
}

// The open command; answer: how the question about unsaved results is answered (none: not asked).
void EventDay::reopen(const SavedFile& file, std::optional<bool> answer)
{
    check(unsaved() == answer.has_value(), QStringLiteral("unsaved results: %1").arg(unsaved()));
    QSignalSpy asked(m_w->yesNoDialog(), &TFDlgYesNo::questionAsked);
    if (answer)
        m_w->yesNoDialog()->setNextAnswers({*answer});
    int dialogs = 0;
    m_w->protocolCommands()->setFileDialogHook([&](const FileDialogRequest&) {
        ++dialogs;
        return FileDialogAnswer{file.path, file.kind == SaveKind::Text ? 0 : 1};
    });
    const int copiesBefore =
        int(QDir(m_rig.recovery.path()).entryList({"recovery-*.txt"}, QDir::Files).size());
    click(ctl<QToolButton>("sbLoad"));
    m_w->protocolCommands()->setFileDialogHook({});
    check(asked.size() == (answer ? 1 : 0), QStringLiteral("open asked %1 questions").arg(asked.size()));
    if (answer) {
        ++discardQuestions;
        check(asked.at(0).at(0).toString() == QLatin1String("Ungespeicherte Ergebnisse verwerfen?"),
              QStringLiteral("open asked: %1").arg(asked.at(0).at(0).toString()));
        if (!*answer) {
            check(dialogs == 0, QStringLiteral("open dialog shown after Nein"));
            checkTable(QStringLiteral("after Nein to discarding"));
            return;
        }
        // The discarded results are kept in a dated copy.
        check(QDir(m_rig.recovery.path()).entryList({"recovery-*.txt"}, QDir::Files).size() ==
                  copiesBefore + 1,
              QStringLiteral("no dated copy of the discarded results"));
    }
    check(dialogs == 1, QStringLiteral("no open dialog"));
    ++reopenedByCommand;
    const QVector<Row> fileRows = readRows(file.expectedPath);
    if (file.kind == SaveKind::Text) {
        m_expect.rows = asReadFromText(fileRows);
        // The file's lines after the first are the start list now.
        m_startList.clear();
        m_startListLines.clear();
        for (const Row& r : m_expect.rows) {
            QStringList f;
            for (int c = 0; c <= Baujahr; ++c)
                f << QString(r.cells[c]).remove(QRegularExpression(QStringLiteral("^ +")));
            m_startList.append(f);
            m_startListLines.append(r.cells.join(QLatin1Char('\t')) + QLatin1Char('\t'));
        }
    } else {
        m_expect.rows = fileRows;
    }
    m_expect.rank();
    checkTable(QStringLiteral("after opening %1").arg(QFileInfo(file.path).fileName()));
    markSaved();
    m_runsSinceSave = 0;
}

void EventDay::clearProtocol()
{
    QSignalSpy asked(m_w->yesNoDialog(), &TFDlgYesNo::questionAsked);
    m_w->yesNoDialog()->setNextAnswers({true});
    click(ctl<QToolButton>("sbCLS"));
    check(asked.size() == 1 && asked.at(0).at(0).toString() == QStringLiteral("Zeitenprotokoll  löschen ?"),
          QStringLiteral("clearing did not ask"));
    check(state() == SequenceState::Ready, QStringLiteral("clearing did not return to Ready"));
    m_expect.clear();
    checkTable(QStringLiteral("after clearing"));
    check(!ctl<QToolButton>("sbSave")->isEnabled(), QStringLiteral("save enabled on an empty table"));
}

// The printed start list, as a spreadsheet exports it: a header line, then one line per
// competitor with five fields (a missing co-driver written as one blank).
void EventDay::openStartList()
{
    static const char* const firsts[] = {"Alois", "Bärbel", "Carl", "Dörte", "Emil",  "Frieda",
                                         "Götz",  "Hilde",  "Ingo", "Jörg",  "Klara", "Ute"};
    static const char* const lasts[] = {"Ackermann", "Bösch", "Claßen", "Dürr",   "Eberle",
                                        "Fuchs",     "Göbel", "Haas",   "Ilgner", "Jünger"};
    static const char* const brands[] = {"Lanz Bulldog D 2206", "Fendt F 12 GH", "Hanomag R 16",
                                         "Güldner Toledo",      "Deutz D 40",    "Eicher Tiger",
                                         "MAN AS 325 A",        "Kramer KL 200"};
    const int count = qMax(8, int(0.45 * m_runs));
    QString text = QStringLiteral("St.Nr.\tFahrer\tBeifahrer\tMarke\tBaujahr\r\n");
    m_listCompetitors.clear();
    for (int n = 1; n <= count; ++n) {
        Competitor c;
        c.stNr = QString::number(n);
        c.driver = QString::fromUtf8(firsts[m_rng() % std::size(firsts)]) + QLatin1Char(' ') +
                   QString::fromUtf8(lasts[m_rng() % std::size(lasts)]);
        c.coDriver = n % 7 == 0 ? QString() : QString::fromUtf8(firsts[m_rng() % std::size(firsts)]);
        c.brand = QString::fromUtf8(brands[m_rng() % std::size(brands)]);
        c.year = QString::number(1936 + int(m_rng() % 40));
        m_listCompetitors.append(c);
        text += c.stNr + QLatin1Char('\t') + c.driver + QLatin1Char('\t') +
                (c.coDriver.isEmpty() ? QStringLiteral(" ") : c.coDriver) + QLatin1Char('\t') + c.brand +
                QLatin1Char('\t') + c.year + QStringLiteral("\r\n");
    }
    const QString path = QDir(m_folder).filePath(QStringLiteral("Startliste.txt"));
    QFile f(path);
    check(f.open(QIODevice::WriteOnly), QStringLiteral("start list not written"));
    f.write(text.toLatin1()); // Windows-1252 for these names
    f.close();

    QVector<Row> listRows;
    for (const Competitor& c : m_listCompetitors) {
        Row r;
        r.cells[StNr] = c.stNr;
        r.cells[Fahrer] = c.driver;
        r.cells[Beifahrer] = c.coDriver.isEmpty() ? QStringLiteral(" ") : c.coDriver;
        r.cells[Marke] = c.brand;
        r.cells[Baujahr] = c.year;
        listRows.append(r);
    }
    // Opened like a protocol: its rows fill the table, its lines the start list.
    QSignalSpy asked(m_w->yesNoDialog(), &TFDlgYesNo::questionAsked);
    m_w->protocolCommands()->setFileDialogHook([&](const FileDialogRequest&) {
        return FileDialogAnswer{path, 0};
    });
    click(ctl<QToolButton>("sbLoad"));
    m_w->protocolCommands()->setFileDialogHook({});
    check(asked.isEmpty(), QStringLiteral("opening the start list asked"));
    m_expect.rows = listRows;
    m_expect.rank();
    markSaved();
    m_startList.clear();
    m_startListLines.clear();
    for (const Competitor& c : m_listCompetitors) {
        m_startList.append({c.stNr, c.driver, c.coDriver, c.brand, c.year});
        m_startListLines.append(c.stNr + QLatin1Char('\t') + c.driver + QLatin1Char('\t') +
                                (c.coDriver.isEmpty() ? QStringLiteral(" ") : c.coDriver) +
                                QLatin1Char('\t') + c.brand + QLatin1Char('\t') + c.year);
    }
    checkTable(QStringLiteral("after opening the start list"));
    check(!ctl<QComboBox>("cbStNr")->isEditable(), QStringLiteral("start list not shown as a list"));
}

// Lunch: saved, the program closed, the number of phases changed in the stored settings (the
// dialog does not offer it), the program started again and the protocol opened.
void EventDay::restartAtNoon()
{
    save(SaveKind::Sheet, QStringLiteral("Mittag"));
    const SavedFile noon = saved.last();
    if (m_live)
        setLive(false);
    spectators(Qt::Key_0);
    closeWindow();
    ++restarts;
    storeSetting("Phases", 1);
    m_phases = 1;
    // The adapter is put back only after the program has started again.
    if (m_rig.plugged)
        m_rig.unplug();
    m_replugAfter = runsTimed + 3;
    openWindow();
    check(!m_w->comPort()->Connected() &&
              m_w->barrierConnection()->barrierNotice().contains(QStringLiteral("Lichtschranke getrennt")),
          QStringLiteral("missing adapter not shown at start-up: %1")
              .arg(m_w->barrierConnection()->barrierNotice()));
    check(m_w->settings().timer == m_timer && m_w->settings().elz1 == m_penalty.elz1,
          QStringLiteral("settings not kept over the restart"));
    check(ctl<CommandButton>("bSTOP")->text() == QLatin1String("STOPP1"), QStringLiteral("STOPP caption"));
    m_expect.clear();
    m_startList.clear(); // a typing field again: the afternoon's class is typed in
    m_startListLines.clear();
    m_nextTyped = 501;
    m_typed.clear();
    reopen(noon, std::nullopt);
    spectators(Qt::Key_2);
    m_restarted = true;
}

void EventDay::measureHour()
{
    while (m_hoursMeasured < 8 && simulatedMs >= qint64(m_hoursMeasured + 1) * 3600 * 1000) {
        ++m_hoursMeasured;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        rssHour[m_hoursMeasured] = residentBytes();
        heapHour[m_hoursMeasured] = qint64(mallinfo2().uordblks);
        objectsHour[m_hoursMeasured] = int(m_w->findChildren<QObject*>().size());
    }
}

// ---- checks ----

void EventDay::checkTable(const QString& when)
{
    check(m_errors.isEmpty(),
          QStringLiteral("error shown %1: %2").arg(when, m_errors.join(QLatin1String("; "))));
    const QVector<QStringList>& actual = m_w->resultsTable().rows();
    check(actual.value(0) == defaultHeaders(), QStringLiteral("header row changed %1").arg(when));
    const QString diff = rowsDiff(actual.mid(1), m_expect.cellRows());
    check(diff.isEmpty(), QStringLiteral("table %1: %2").arg(when, diff));
    check(ctl<QToolButton>("sbSave")->isEnabled() == m_expect.holdsResults(),
          QStringLiteral("save button state %1").arg(when));
}

void EventDay::markSaved()
{
    m_savedRows = m_expect.cellRows();
    std::sort(m_savedRows.begin(), m_savedRows.end());
}

// Whether the table differs from what was last saved or opened (the order does not count).
bool EventDay::unsaved() const
{
    QVector<QStringList> now = m_expect.cellRows();
    std::sort(now.begin(), now.end());
    return m_expect.holdsResults() && now != m_savedRows;
}

void EventDay::checkRowOf(const QString& stNr)
{
    const ResultsTable& t = m_w->resultsTable();
    const int e = m_expect.find(stNr);
    const int r = t.findRow(ResultsTable::StNr, stNr);
    check(e >= 0 && r == e + 1, QStringLiteral("row of %1 at %2, expected %3").arg(stNr).arg(r).arg(e + 1));
    check(t.row(r) == m_expect.rows[e].cells,
          QStringLiteral("row of %1 is [%2], expected [%3]")
              .arg(stNr, t.row(r).join(QLatin1Char('|')), m_expect.rows[e].cells.join(QLatin1Char('|'))));
    check(t.currentRow() == r, QStringLiteral("row of %1 not selected after entering").arg(stNr));
}

void EventDay::checkTopTen()
{
    const TopTenGrid* grid = m_w->topTen()->grid();
    for (int i = 0; i < 10; ++i) {
        const Row* r = i < m_expect.rows.size() ? &m_expect.rows[i] : nullptr;
        const QString ges = r && !r->cells[StNr].isEmpty() ? r->cells[Ges] : QString();
        const QString driver = r && !r->cells[StNr].isEmpty() ? r->cells[Fahrer] : QString();
        check(grid->cellText(i + 1, 0) == ges && grid->cellText(i + 1, 1) == driver,
              QStringLiteral("top ten line %1 shows %2 %3, expected %4 %5")
                  .arg(i + 1)
                  .arg(grid->cellText(i + 1, 0), grid->cellText(i + 1, 1), ges, driver));
    }
}

// Every file saved today, read back with the program's readers, is the table as it was saved.
void EventDay::checkSavedFiles()
{
    const QChar dp = QLocale().decimalPoint().at(0);
    for (const SavedFile& f : saved) {
        const QString name = QFileInfo(f.path).fileName();
        const QVector<Row> rows = readRows(f.expectedPath);
        ExpectedTable was;
        was.rows = rows;
        QVector<QStringList> got;
        if (f.kind == SaveKind::Text) {
            ProtocolTextContent content;
            QString error;
            check(LoadProtocolText(f.path, &content, &error), QStringLiteral("%1: %2").arg(name, error));
            got = content.rows;
            was.rows = asReadFromText(rows);
            check(content.startList.size() == rows.size(), QStringLiteral("%1: start list lines").arg(name));
        } else {
            QVector<QStringList> sheet;
            QString error;
            check(readFirstSheet(f.path, &sheet, &error, dp), QStringLiteral("%1: %2").arg(name, error));
            ResultsTable table;
            applyProtocolSheet(sheet, table);
            check(table.row(0) == defaultHeaders(), QStringLiteral("%1: header row").arg(name));
            got = table.rows().mid(1);
        }
        const QString diff = rowsDiff(got, was.cellRows());
        check(diff.isEmpty(), QStringLiteral("%1 (saved after run %2): %3").arg(name).arg(f.run).arg(diff));
    }
}

// The crash-recovery copy follows the table.
void EventDay::checkRecoveryCopy()
{
    ProtocolTextContent content;
    QString error;
    const QString path = QDir(m_rig.recovery.path()).filePath(QStringLiteral("recovery.txt"));
    check(LoadProtocolText(path, &content, &error), QStringLiteral("recovery copy: %1").arg(error));
    ExpectedTable now;
    now.rows = asReadFromText(m_expect.rows);
    const QString diff = rowsDiff(content.rows, now.cellRows());
    check(diff.isEmpty(), QStringLiteral("recovery copy: %1").arg(diff));
}

// ---- the day's plan ----

void EventDay::afterRun(int index)
{
    const int done = index + 1;
    if (m_expect.holdsResults() && m_rng() % 100 < 5)
        randomCorrection();
    // The corrections of the day that happen at least once, at fixed points.
    if (done == at(8) + 1 || done == at(120) + 1) {
        correctionFromMenu("Sortieren1", 0);
        m_expect.rank();
        checkTable(QStringLiteral("after Sortieren"));
    }
    // An elimination, a retirement and a competitor who gave up, each on the leading row.
    for (int kind = 0; kind < 3; ++kind) {
        if (done != at(60 + 150 * kind) + 1 || !m_expect.holdsResults())
            continue;
        for (int i = 0; i < m_expect.rows.size(); ++i) {
            if (!isBlank(m_expect.rows[i].cells[Ges])) {
                markFromMenu(kind, i);
                checkTable(QStringLiteral("after a status mark"));
                break;
            }
        }
    }

    // Settings: light barriers and penalty rules change during the day.
    if (done == at(12) + 1)
        setPenalty(m_penalty, 0, true); // training with the barriers
    if (done == at(30) + 1)
        setPenalty(Penalty{30, 1000, 1000}, 60, false);
    if (done == at(110))
        setPenalty(Penalty{10, 500, 500}, 60, false);
    if (done == at(150))
        setPenalty(Penalty{20, 2500, 2000}, 0, true); // 2.5 s steps count as 2 s
    if (done == at(210))
        setPenalty(Penalty{45, 100, 100}, 60, false);
    if (done == at(420))
        setPenalty(m_penalty, 0, true); // afternoon barrier stretch, one phase
    if (done == at(470))
        setPenalty(m_penalty, 60, false);

    // The barrier adapter: pulled out during a run (put back in the same run, or some competitors
    // later), and pulled out while idle.
    if (done == at(18) + 1 || done == at(180) + 1 || done == at(430) + 1) {
        m_unplugDuringNextRun = true;
        m_replugInSameRun = done == at(180) + 1;
    }
    if (!m_rig.plugged && m_replugAfter < 0)
        m_replugAfter = done + 4; // lost during the last run: keys time the next ones
    if (done == at(165) && m_rig.plugged && !m_unplugDuringNextRun) {
        m_rig.unplug();
        check(waitFor([&] { return m_w->lightBarriers()->indicatorState(1) == LightBarriers::Lost; }),
              QStringLiteral("start barrier not shown lost"));
        m_replugAfter = done + 5;
    }
    if (!m_rig.plugged && done >= m_replugAfter) {
        m_rig.replug();
        m_replugAfter = -1;
        check(m_w->comPort()->Connected(), QStringLiteral("port not back after replug"));
        check(m_w->lightBarriers()->indicatorState(1) != LightBarriers::Lost,
              QStringLiteral("still shown lost"));
    }

    // Settings looked at while the adapter is out, and a look without a change.
    if (done == at(167) && !m_rig.plugged)
        setPenalty(m_penalty, m_timer, m_autoFrei);
    if (done == at(300)) {
        changeSettings([](TCfgDialog& d) { d.findChild<QSpinBox*>(QStringLiteral("seELZ1"))->setValue(3); },
                       QStringLiteral("cancelled"), "CancelBtn");
        check(m_w->settings().elz1 == m_penalty.elz1, QStringLiteral("Abbrechen changed a setting"));
    }
    // Names corrected in the table now and then.
    if (done == at(45) || done == at(200) || done == at(333) || done == at(520))
        correctName();

    // Live results for the middle of the day.
    if (done == at(50) && !m_live)
        setLive(true);
    if (done == at(150) && m_live)
        checkLivePages();
    if (done == at(260) && m_live) {
        checkLivePages();
        setLive(false);
    }

    // The spectators' screen.
    if (done == 1 || done == at(50) || done == at(300) || done == at(500))
        spectators(Qt::Key_2);
    if (done == at(25) || done == at(130) || done == at(230) || done == at(560)) {
        spectators(Qt::Key_1);
        checkTopTen();
    }
    if (done == at(35) || done == at(210) || done == at(350))
        spectators(Qt::Key_0);

    // Saves every few runs, text and workbook in turn.
    if (done % m_saveEvery == 0 && m_expect.holdsResults()) {
        const SaveKind kind = (done / m_saveEvery) % 2 == 1 ? SaveKind::Text : SaveKind::Sheet;
        save(kind, QStringLiteral("Lauf %1").arg(done, 3, 10, QLatin1Char('0')));
        // Reopened at once: what was saved is what opens, without a question.
        const bool textInList = !m_startList.isEmpty() && kind == SaveKind::Text && !m_restarted &&
                                !m_textReopened && done >= at(180);
        if (done / m_saveEvery == 2 || textInList) {
            reopen(saved.last(), std::nullopt);
            m_textReopened = m_textReopened || textInList;
        }
        if (kind == SaveKind::Sheet && done >= at(240) && m_discardFile < 0 && !m_restarted) {
            m_discardFile = int(saved.size()) - 1;
            m_pendingDiscardNo = true;
        }
    }
    // Runs after a save, then the open command: "Nein" keeps them, later "Ja" discards them.
    if (m_pendingDiscardNo && unsaved()) {
        m_pendingDiscardNo = false;
        reopen(saved[m_discardFile], false);
        m_pendingDiscardYes = true;
    } else if (m_pendingDiscardYes && unsaved() && m_runsSinceSave > 1) {
        m_pendingDiscardYes = false;
        reopen(saved[m_discardFile], true);
    }
}

void EventDay::run()
{
    storeStartSettings();
    for (int y = QDate::currentDate().year(); y >= 1900; --y)
        m_years << QString::number(y);
    openWindow();
    checkTable(QStringLiteral("at start"));

    bool trainingOver = false;
    const int noon = at(360);
    for (int i = 0; i < m_runs; ++i) {
        timeOne(i);
        afterRun(i);
        // The first hour is the rehearsal: its results are saved and cleared.
        if (!trainingOver && simulatedMs >= 3600 * 1000) {
            trainingOver = true;
            save(m_saveCount % 2 == 0 ? SaveKind::Text : SaveKind::Sheet, QStringLiteral("Probelauf"));
            clearProtocol();
            measureHour();
            openStartList();
        }
        if (i + 1 == noon && !m_restarted)
            restartAtNoon();
        if (state() == SequenceState::Entered)
            next();
        measureHour();
    }
    // The day's last save and the last hour's memory; then every file read back and the
    // recovery copy (after the measurement: that reading is the test's, not the program's).
    save(SaveKind::Sheet, QStringLiteral("Endergebnis"));
    checkTable(QStringLiteral("at the end of the day"));
    if (simulatedMs < kDayMs)
        pass(kDayMs - simulatedMs);
    measureHour();
    checkSavedFiles();
    checkRecoveryCopy();
    closeWindow();
}

} // namespace

class TestEventDay : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;
    QTemporaryDir m_files;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_files.isValid());
        QCOMPARE(QGuiApplication::screens().size(), 2);
    }

    void eightHours()
    {
        bool ok = false;
        const int runs = qEnvironmentVariableIntValue("AK_EVENT_DAY_RUNS", &ok);
        EventDay day(ok && runs >= 24 ? runs : kFullDayRuns, m_files.path());
        QElapsedTimer wall;
        wall.start();
        try {
            day.run();
        } catch (const DayFailure& f) {
            QFAIL(qPrintable(QStringLiteral("after %1 runs, %2 simulated: %3")
                                 .arg(day.runsTimed)
                                 .arg(timeText(day.simulatedMs), f.what)));
        }
        const auto mb = [](qint64 bytes) { return QString::number(bytes / 1048576.0, 'f', 1); };
        QStringList hours;
        QStringList heap;
        QStringList objects;
        for (int h = 1; h <= 8; ++h) {
            hours << mb(day.rssHour[h]);
            heap << mb(day.heapHour[h]);
            objects << QString::number(day.objectsHour[h]);
        }
        qInfo("event day: %d runs (%d Absage, %d by light barrier, %d with countdown, %d with time penalty), "
              "%d corrections from the menu (%d EL, %d AUS, %d AUF)",
              day.runsTimed, day.absagen, day.barrierRuns, day.countdowns, day.penalties, day.commands,
              day.marks[0], day.marks[1], day.marks[2]);
        QVERIFY2(day.marks[0] > 0 && day.marks[1] > 0 && day.marks[2] > 0, "every status mark is given");
        qInfo("event day: %d files saved, all %d read back as saved, %d opened by the open command",
              int(day.saved.size()), int(day.saved.size()), day.reopenedByCommand);
        qInfo("event day: RSS hour 1 %s MB, hour 8 %s MB (each hour: %s MB)", qPrintable(mb(day.rssHour[1])),
              qPrintable(mb(day.rssHour[8])), qPrintable(hours.join(QLatin1Char(' '))));
        qInfo("event day: heap in use each hour: %s MB; objects of the main window: %s",
              qPrintable(heap.join(QLatin1Char(' '))), qPrintable(objects.join(QLatin1Char(' '))));
        qInfo(
            "event day: %d settings dialogs, %d spectator keys, barrier adapter unplugged %d and plugged in "
            "%d times, %d questions before discarding, %d live page checks, %d restart, %d second runs "
            "picked "
            "by double click, %d names corrected in the table",
            day.settingsChanges, day.spectatorKeys, day.unplugs(), day.replugs(), day.discardQuestions,
            day.liveChecks, day.restarts, day.doubleClicks, day.nameCorrections);
        qInfo("event day: %d contact bounces in the lock-out, %d stray keys, %d held keys", day.bounces,
              day.strayKeys, day.heldKeys);
        qInfo("event day: %s simulated in %.1f s wall time", qPrintable(timeText(day.simulatedMs)),
              wall.elapsed() / 1000.0);
        if (residentSizeMeaningful()) {
            QVERIFY(day.rssHour[1] > 0);
            QVERIFY2(
                day.rssHour[8] - day.rssHour[1] <= 10 * 1048576,
                qPrintable(QStringLiteral("memory grew by %1 MB").arg(mb(day.rssHour[8] - day.rssHour[1]))));
        }
    }
};

AK_TWO_SCREEN_TEST_MAIN(TestEventDay)
#include "tst_event_day.moc"
