// Live results on the local network: the snapshots for the web server and its address.
#include "app/FMain.h"

#include "app/competitor_entry.h"
#include "app/main_clock_display.h"
#include "displays/Udigit.h"
#include "live/live_snapshot.h"
#include "live/live_urls.h"
#include "results/results_table.h"
#include "widgets/CommandButton.h"
#include "widgets/qr_image.h"

#include <QComboBox>
#include <QDateTime>
#include <QImage>
#include <QLineEdit>
#include <QTimer>

namespace {
// Typing in the entry fields or the title reaches the pages at most this often.
constexpr int kTypingDelayMs = 300;
// How often the PC's network addresses are looked at while the server runs.
constexpr int kAddressCheckMs = 5000;
} // namespace

void TFormMain::setupLive()
{
    m_liveAddresses = &liveLanAddresses;
    m_liveAddressCheck = std::make_unique<QTimer>();
    m_liveAddressCheck->setInterval(kAddressCheckMs);
    connect(m_liveAddressCheck.get(), &QTimer::timeout, m_liveAddressCheck.get(),
            [this] { refreshLiveAddresses(); });
    m_liveAddressCheck->start();
    m_liveService = std::make_unique<LiveService>();
    m_livePublish = std::make_unique<QTimer>();
    m_livePublish->setSingleShot(true);
    QObject* context = m_livePublish.get();
    connect(m_livePublish.get(), &QTimer::timeout, context, [this] { publishLiveSnapshot(); });
    connect(m_table, &ResultsTable::changed, context, [this] { scheduleLivePublish(0); });
    const auto typing = [this] { scheduleLivePublish(kTypingDelayMs); };
    for (QLineEdit* e : {m_eFText1, m_reiter, m_eName2, m_eMarke})
        connect(e, &QLineEdit::textChanged, context, typing);
    connect(m_cbStNr, &QComboBox::currentTextChanged, context, typing);
    connect(m_eGOD, &QComboBox::currentTextChanged, context, typing);
    applyLiveSettings();
}

void TFormMain::applyLiveSettings()
{
    startOrStopLive();
    showLiveAddresses();
}

void TFormMain::showLiveAddresses()
{
    const QStringList urls = liveUrls();
    m_liveShownUrls = urls;
    if (!urls.isEmpty() && m_liveError.isEmpty())
        setStatusNotice(QStringLiteral("live"), QStringLiteral("Live-Ergebnisse: ") + urls.join(QStringLiteral("  ")));
    // While the pages are up, every printed page carries their address as a QR code.
    if (urls.isEmpty())
        setPrintFooter(QImage(), QString());
    else
        setPrintFooter(liveQrImage(4), QStringLiteral("Live-Ergebnisse: ") + urls.first());
}

void TFormMain::setLiveAddressProvider(std::function<QList<QHostAddress>()> provider)
{
    m_liveAddresses = std::move(provider);
    refreshLiveAddresses();
}

void TFormMain::refreshLiveAddresses()
{
    if (m_liveService && m_liveService->running() && liveUrls() != m_liveShownUrls)
        showLiveAddresses();
}

void TFormMain::startOrStopLive()
{
    if (!m_liveService)
        return;
    const LiveSettings& s = m_settings.live;
    if (!s.enabled) {
        m_liveService->stop();
        m_liveError.clear();
        setStatusNotice(QStringLiteral("live"), QString());
        return;
    }
    const LiveConfig config{quint16(qBound(0, s.port, 65535)), s.localOnly};
    if (!m_liveService->running() || m_liveService->config() != config) {
        QString error;
        if (!m_liveService->start(config, &error)) {
            // The program times as usual; the operator reads why the pages are missing.
            m_liveError = QStringLiteral("Live-Ergebnisse: %1 – der Webserver läuft nicht.").arg(error);
            setStatusNotice(QStringLiteral("live"), m_liveError);
            return;
        }
        m_liveError.clear();
    }
    // Colours and the countdown length may have changed with the settings.
    publishLiveSnapshot();
}

QString TFormMain::liveStatusText() const
{
    if (!m_liveError.isEmpty())
        return m_liveError;
    if (m_liveService && m_liveService->running())
        return QStringLiteral("Der Webserver läuft. Jedes Gerät im selben Netz zeigt die Seiten unter dieser "
                              "Adresse.");
    return QStringLiteral("Aus.");
}

QStringList TFormMain::liveUrls() const
{
    if (!m_liveService || !m_liveService->running())
        return QStringList();
    const bool localOnly = m_liveService->config().localOnly;
    return ::liveUrls(m_liveService->port(), localOnly,
                      localOnly || !m_liveAddresses ? QList<QHostAddress>() : m_liveAddresses());
}

QImage TFormMain::liveQrImage(int modulePixels) const
{
    const QStringList urls = liveUrls();
    return urls.isEmpty() ? QImage() : qrImage(urls.first(), modulePixels);
}

void TFormMain::scheduleLivePublish(int delayMs)
{
    if (!m_livePublish || !m_liveService || !m_liveService->running())
        return;
    // An earlier pending publish is never put off: a stream of changes still goes out.
    if (!m_livePublish->isActive() || m_livePublish->remainingTime() > delayMs)
        m_livePublish->start(delayMs);
}

void TFormMain::publishLiveSnapshot()
{
    if (!m_liveService || !m_liveService->running())
        return;
    m_livePublish->stop();
    const RunState& st = m_clock->state();
    const RaceSettings& rs = m_clock->settings();

    LiveSnapshot s;
    s.title = m_eFText1->text();
    s.rows = m_table->rows(); // shares the table's data until the table changes

    LiveRunFacts facts;
    facts.clockRunning = m_clock->running();
    facts.countdownMode = st.CountdownMode;
    facts.currentPhase = st.CurrentPhase;
    facts.pauseTick = st.PauseTick;
    facts.eintragenEnabled = m_bEINTRAGEN->isEnabled();
    facts.naechsterEnabled = m_bRESET->isEnabled();

    LiveRun& r = s.run;
    r.phase = deriveRunPhase(facts);
    r.clockRunning = facts.clockRunning;
    r.phases = rs.phases > 1 ? 2 : 1;
    r.currentPhase = st.CurrentPhase;
    r.countdownMode = st.CountdownMode;
    r.countdownMs = countdownLengthMs(rs);
    r.startTick = st.StartTick;
    r.stopTick = st.StopTick;
    r.pauseTick = st.PauseTick;
    r.phaseOneTime = st.PhaseOneTime;
    r.allowedDeviationMs = allowedDeviationMs(rs);
    r.penaltyPoints = m_ePunkte2->text();
    for (int i = 0; i < 5; ++i)
        r.palette[size_t(i)] = rs.palette[i];

    // The digits as the operator sees them; the running row is drawn by the browser.
    LiveClock& c = r.clock;
    c.background = rs.palette[0];
    const ClockDisplay::Row rows[2] = {ClockDisplay::Row::Main1, ClockDisplay::Row::Main2};
    for (int row = 0; row < 2; ++row)
        for (int d = 3; d <= 8; ++d)
            if (const TDigit* w = m_display->digit(rows[row], d)) {
                c.rows[row].digits[size_t(d - 3)] = w->value();
                c.rows[row].colours[size_t(d - 3)] = w->colorOn();
            }
    if (facts.clockRunning) {
        c.runningRow = st.CurrentPhase == 2 ? 2 : 1;
        c.countsDown = st.CountdownMode;
        c.dim = st.RowColours[c.runningRow - 1].dim;
        c.lit = st.RowColours[c.runningRow - 1].lit;
        if (c.runningRow == 2) {
            c.penaltyFromMs = qint64(rs.elz1) * 1000 + st.PhaseOneTime;
            c.penalty = rs.palette[4];
        }
        // Its digits change with every tick; they are no change of the state.
        c.rows[c.runningRow - 1] = LiveDigitRow();
    }

    LiveCompetitor& who = r.competitor;
    who.startNumber = CompetitorEntry::startNumberOf(m_cbStNr->currentText());
    who.driver = m_reiter->text();
    who.coDriver = m_eName2->text();
    who.make = m_eMarke->text();
    who.year = m_eGOD->currentIndex() >= 0 ? m_eGOD->currentText() : QString();

    s.tickAtCapture = m_deps.ticks->now();
    s.capturedAtMs = liveSteadyMs();
    const std::shared_ptr<const LiveSnapshot> previous = m_liveService->current();
    m_liveService->publish(nextLiveSnapshot(previous.get(), std::move(s), QDateTime::currentDateTime()));
}
