// The light barriers on the main window: serial port, indicators, signals.
#include "app/FMain.h"

#include "barriers/BarrierIndicator.h"
#include "barriers/Comms.h"
#include "barriers/light_barriers.h"
#include "barriers/linux_serial_device.h"
#include "barriers/port_table.h"
#include "barriers/probe.h"
#include "widgets/CommandButton.h"

#include <QComboBox>
#include <QLabel>

namespace {

// START and STOPP as the barriers invoke them: through their menu items.
class MainBarrierCommands final : public BarrierCommands {
public:
    explicit MainBarrierCommands(TFormMain& w) : m_w(w) {}
    bool startEnabled() const override { return m_w.control<CommandButton>(QStringLiteral("bSTART"))->isEnabled(); }
    bool stopEnabled() const override { return m_w.control<CommandButton>(QStringLiteral("bSTOP"))->isEnabled(); }
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
    m_portTable = std::make_unique<PortTable>(m_deps.portTable ? *m_deps.portTable : PortTable::linuxDefault());
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

    const auto onLine = [this](TComPort* sender) { m_barriers->ComPortDSR(sender->Port(), sender->ModemStatus()); };
    connect(m_comPort, &TComPort::OnCTS, this, onLine);
    connect(m_comPort, &TComPort::OnDSR, this, onLine);
    connect(m_comPort, &TComPort::OnRLSD, this, onLine);
    connect(m_comPort, &TComPort::OnOpen, this, [this](TComPort* sender) {
        m_barriers->ComPortOpen(sender->Port(), sender->ModemStatus());
    });
    connect(m_comPort, &TComPort::OnClose, this,
            [this](TComPort* sender) { m_barriers->ComPortClose(sender->Port()); });

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
    connect(menuAction(QStringLiteral("LockLS1")), &QAction::triggered, this, [this] { m_barriers->ImageLSClick(1); });
    connect(menuAction(QStringLiteral("LockLS2")), &QAction::triggered, this, [this] { m_barriers->ImageLSClick(2); });
    connect(menuAction(QStringLiteral("LockLS3")), &QAction::triggered, this, [this] { m_barriers->ImageLSClick(3); });
}

void TFormMain::applyBarrierConfig()
{
    for (int b = 1; b <= 3; ++b)
        m_barriers->setConfig(b, BarrierConfig{m_settings.port[b - 1], m_settings.line[b - 1], m_settings.alg[b - 1]});
}

quint32 TFormMain::probeSerialPorts()
{
    const SerialDeviceFactory factory = m_deps.serialFactory ? m_deps.serialFactory : defaultSerialFactory();
    m_availablePorts = ProbeSerialPorts(*m_portTable, factory);
    return m_availablePorts;
}

QString TFormMain::serialDevicePath(int port) const
{
    return m_portTable ? m_portTable->devicePath(port) : QString();
}

void TFormMain::closeBarrierPort()
{
    try {
        m_comPort->Close();
    } catch (const std::exception&) {
        // A port that fails to close is closed as far as the program is concerned.
    }
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
    try {
        m_comPort->Open();
        return true;
    } catch (const std::exception&) {
        // No message: the indicators show the barrier all the same.
        return false;
    }
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
        try {
            m_comPort->Open();
        } catch (const std::exception&) {
            // Failures at start-up are ignored.
        }
    }
    EnableBarrierIndicators();
}

void TFormMain::closeBarriersAtExit()
{
    try {
        m_comPort->Close();
    } catch (const std::exception&) {
    }
}
