// The light barriers on the main window: serial port, indicators, signals, and what the
// operator is told when a barrier cannot signal.
#include "app/FMain.h"

#include "barriers/BarrierIndicator.h"
#include "barriers/Comms.h"
#include "barriers/barrier_connection.h"
#include "barriers/barrier_diagnostics.h"
#include "barriers/light_barriers.h"
#include "barriers/linux_serial_device.h"
#include "barriers/port_table.h"
#include "barriers/probe.h"
#include "platform/linux_serial_presence.h"
#include "platform/tick_source.h"
#include "settings/Cfg.h"
#include "widgets/CommandButton.h"

#include <QComboBox>
#include <QLabel>

namespace {

// START and STOPP as the barriers invoke them: through their menu items.
class MainBarrierCommands final : public BarrierCommands {
public:
    explicit MainBarrierCommands(TFormMain& w) : m_w(w) {}
    bool startEnabled() const override
    {
        return m_w.control<CommandButton>(QStringLiteral("bSTART"))->isEnabled();
    }
    bool stopEnabled() const override
    {
        return m_w.control<CommandButton>(QStringLiteral("bSTOP"))->isEnabled();
    }
    int currentPhase() const override { return m_w.clock().state().CurrentPhase; }
    void invokeStart() override { m_w.menuAction(QStringLiteral("mStart"))->trigger(); }
    void invokeStop() override { m_w.menuAction(QStringLiteral("mStop"))->trigger(); }

private:
    TFormMain& m_w;
};

} // namespace

SerialDeviceFactory TFormMain::defaultSerialFactory()
{
    return [] { return std::unique_ptr<SerialDevice>(new LinuxSerialDevice()); };
}

void TFormMain::buildBarriers()
{
    const SerialDeviceFactory factory = m_deps.serialFactory ? m_deps.serialFactory : defaultSerialFactory();
    m_portTable =
        std::make_unique<PortTable>(m_deps.portTable ? *m_deps.portTable : PortTable::linuxDefault());
    m_comPort = new TComPort(factory, *m_portTable, this);
    m_comPort->setObjectName(QStringLiteral("ComPort"));
    // The port as the barrier wiring needs it: RTS and DTR high, CTS/DSR/RLSD watched.
    m_comPort->setBaudRate(TComPort::TBaudRate::br9600);
    m_comPort->setBaudRateUser(28800);
    m_comPort->setPort(0);
    m_comPort->setParity(TComPort::TParity::prNone);
    m_comPort->setStopBits(TComPort::TStopBits::sbOneStopBit);
    m_comPort->setFlowControl(TComPort::TFlowControl::fcRtsCts);
    m_comPort->setDataBits(5);
    m_comPort->setEvents(TComPort::TEvents(TComPort::TEvent::evCTS) | TComPort::TEvent::evDSR |
                         TComPort::TEvent::evRLSD);
    m_comPort->setEnableDTR(true);
    m_comPort->setWriteBufSize(64);
    m_comPort->setReadBufSize(64);

    m_barriers = new LightBarriers(this);
    m_barrierCommands = std::make_unique<MainBarrierCommands>(*this);
    m_barriers->setCommands(m_barrierCommands.get());
    m_barriers->setTickClock([this] { return m_deps.ticks->now(); });

    // What the system tells about serial devices applies to its own devices only.
    if (m_deps.serialPresence) {
        m_presence = m_deps.serialPresence;
    } else {
        if (m_deps.serialFactory)
            m_ownPresence = std::make_unique<UnknownSerialPresence>();
        else
            m_ownPresence = std::make_unique<LinuxSerialPresence>();
        m_presence = m_ownPresence.get();
    }
    m_barrierConnection = new BarrierConnection(*m_comPort, *m_barriers, *m_presence, this);
    connect(m_barrierConnection, &BarrierConnection::noticesChanged, this, &TFormMain::showBarrierNotices);
    connect(m_barrierConnection, &BarrierConnection::reconnected, this,
            [this](const QString& text) { showPassingNotice(text); });
    connect(m_barrierConnection, &BarrierConnection::configChanged, this, &TFormMain::followBarrierPort);
    m_barrierDiagnostics =
        new BarrierDiagnostics(*m_comPort, *m_barrierConnection, *m_barriers, *m_presence, factory, this);

    // The three indicators in the top bar.
    const QString hints[3] = {QStringLiteral("LS Start Ein/Aus [F11]  (7+8)"),
                              QStringLiteral("LS Stopp Ein/Aus [F12]  (1+4)"),
                              QStringLiteral("LS Ziel Ein/Aus [F13]  (4+6)")};
    for (int b = 1; b <= 3; ++b) {
        auto* ind = new BarrierIndicator(m_panel1);
        ind->setObjectName(QStringLiteral("ImageLS%1").arg(b));
        ind->setToolTip(hints[b - 1]);
        ind->setIndex(4 * (b - 1));
        ind->setEnabled(false);
        connect(ind, &BarrierIndicator::clicked, this, [this, b] { m_barriers->ImageLSClick(b); });
        m_indicators[size_t(b - 1)] = ind;
    }
    m_indicators[2]->hide();
    connect(m_barriers, &LightBarriers::indicatorChanged, this, [this](int b, int index, bool enabled) {
        if (b >= 1 && b <= 3) {
            m_indicators[size_t(b - 1)]->setIndex(index);
            m_indicators[size_t(b - 1)]->setEnabled(enabled);
        }
    });
    auto* reserve = control<QComboBox>(QStringLiteral("cbRezervLS"));
    connect(m_barriers, &LightBarriers::reserveListChanged, this,
            [reserve](const QStringList& entries, int selected, bool enabled) {
                reserve->clear();
                reserve->addItems(entries);
                reserve->setCurrentIndex(selected);
                reserve->setEnabled(enabled);
            });
    connect(menuAction(QStringLiteral("LockLS1")), &QAction::triggered, this,
            [this] { m_barriers->ImageLSClick(1); });
    connect(menuAction(QStringLiteral("LockLS2")), &QAction::triggered, this,
            [this] { m_barriers->ImageLSClick(2); });
    connect(menuAction(QStringLiteral("LockLS3")), &QAction::triggered, this,
            [this] { m_barriers->ImageLSClick(3); });
}

void TFormMain::applyBarrierConfig()
{
    for (int b = 1; b <= 3; ++b)
        m_barriers->setConfig(
            b, BarrierConfig{m_settings.port[b - 1], m_settings.line[b - 1], m_settings.alg[b - 1]});
}

void TFormMain::showBarrierNotices()
{
    setStatusNotice(QStringLiteral("barrier"), m_barrierConnection->barrierNotice());
    setStatusNotice(QStringLiteral("serial-access"),
                    m_barrierConnection->accessRefused() ? BarrierConnection::accessNoticeText() : QString());
}

void TFormMain::followBarrierPort(quint8 port, const QString& adapterId)
{
    // The start barrier's adapter moved to another COM number, or its identity became known:
    // the barriers wired to the same adapter move with it.
    const quint8 old = m_settings.port[0];
    for (int b = 0; b < 3; ++b) {
        if (m_settings.port[b] == old && old != 0)
            m_settings.port[b] = port;
    }
    m_settings.port[0] = port;
    m_settings.port1Adapter = adapterId;
    applyBarrierConfig();
}

quint32 TFormMain::probeSerialPorts()
{
    const SerialDeviceFactory factory = m_deps.serialFactory ? m_deps.serialFactory : defaultSerialFactory();
    const PortProbe probe = probePorts(*m_portTable, factory, m_presence, m_barrierConnection->heldPorts());
    m_availablePorts = probe.available;
    m_barrierDiagnostics->setProbe(probe);
    m_barrierConnection->setProbeResult(probe);
    return m_availablePorts;
}

quint32 TFormMain::barrierPortsForDialog()
{
    return probeSerialPorts();
}

void TFormMain::bindBarrierDialog()
{
    if (m_cfg)
        m_cfg->setBarrierFeed(m_barrierDiagnostics);
}

QString TFormMain::serialDevicePath(int port) const
{
    return m_portTable ? m_portTable->devicePath(port) : QString();
}

void TFormMain::closeBarrierPort()
{
    m_barrierConnection->close();
    m_comPort->setPort(0);
    m_settings.port[0] = 0;
    applyBarrierConfig();
}

bool TFormMain::openBarrierPort(quint8 port)
{
    m_comPort->setPort(port);
    m_settings.port[0] = port;
    applyBarrierConfig();
    if (port == 0)
        return false;
    // No message box: the indicators and the status bar tell.
    return m_barrierConnection->open(port, m_settings.port1Adapter);
}

void TFormMain::EnableBarrierIndicators()
{
    applyBarrierConfig();
    m_barriers->EnableBarrierIndicators();
}

void TFormMain::ComPortOpen(quint8 port)
{
    m_barriers->ComPortOpen(port);
}

void TFormMain::setBarrierArmed(Barrier barrier, bool armed)
{
    m_barriers->SetBarrierArmed(int(barrier), armed);
}

void TFormMain::resetBarrierMemory()
{
    m_barriers->resetForNext();
}

void TFormMain::openStartBarrierAtStartUp()
{
    applyBarrierConfig();
    if (m_settings.port[0] != 0) {
        m_comPort->setPort(m_settings.port[0]);
        m_barrierConnection->open(m_settings.port[0], m_settings.port1Adapter);
        // The configured port stays offered, also while its device is awaited.
        m_availablePorts = withPortsOffered(m_availablePorts, m_barrierConnection->heldPorts());
    }
    EnableBarrierIndicators();
}

void TFormMain::closeBarriersAtExit()
{
    m_barrierConnection->close();
    // They use the presence layer, which may go before the window's children do.
    if (m_cfg)
        m_cfg->setBarrierFeed(nullptr);
    delete m_barrierDiagnostics;
    m_barrierDiagnostics = nullptr;
    delete m_barrierConnection;
    m_barrierConnection = nullptr;
}
