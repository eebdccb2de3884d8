#include "barriers/Comms.h"

#include "platform/queued_call.h"

#include <QMetaObject>

#include <cerrno>

#include <iterator>

namespace {
const QString openPrefix = QStringLiteral("Unable to open com port: ");
const QString statePrefix = QStringLiteral("Unable to set com state: ");
} // namespace

TComPort::TComPort(SerialDeviceFactory factory, PortTable ports, QObject* parent)
    : QObject(parent), m_factory(std::move(factory)), m_ports(std::move(ports))
{
}

TComPort::~TComPort()
{
    Close();
}

void TComPort::setDataBits(int v)
{
    m_dataBits = quint8(qBound(5, v, 8));
}

quint32 TComPort::eventMask(TEvents events)
{
    static constexpr struct {
        TEvent event;
        quint32 bit;
    } table[] = {
        {TEvent::evRxChar, SerialEvent::RxChar},   {TEvent::evRxFlag, SerialEvent::RxFlag},
        {TEvent::evTxEmpty, SerialEvent::TxEmpty}, {TEvent::evCTS, SerialEvent::Cts},
        {TEvent::evDSR, SerialEvent::Dsr},         {TEvent::evRLSD, SerialEvent::Rlsd},
        {TEvent::evBreak, SerialEvent::Break},     {TEvent::evError, SerialEvent::Err},
        {TEvent::evRing, SerialEvent::Ring},
    };
    quint32 mask = 0;
    for (const auto& e : table)
        if (events.testFlag(e.event))
            mask |= e.bit;
    return mask;
}

qint32 TComPort::baudRateValue(TBaudRate rate, qint32 user)
{
    static constexpr qint32 speeds[] = {110,   300,   600,   1200,  2400,   4800,   9600,  14400,
                                        19200, 38400, 56000, 57600, 115200, 128000, 256000};
    const int i = int(rate);
    if (i >= 0 && i < int(std::size(speeds)))
        return speeds[i];
    return user;
}

SerialLineSettings TComPort::lineSettings() const
{
    SerialLineSettings s;
    s.baudRate = baudRateValue(m_baudRate, m_baudRateUser);
    s.dataBits = m_dataBits;
    s.parity = SerialParity(int(m_parity));
    s.stopBits = SerialStopBits(int(m_stopBits));
    s.flow = SerialFlow(int(m_flowControl));
    s.dtr = m_enableDTR;
    s.readBufSize = m_readBufSize;
    s.writeBufSize = m_writeBufSize;
    return s;
}

void TComPort::Open()
{
    // A handler that reopens the port while its last event is dispatched during Close would
    // replace the device under the ending watcher.
    if (m_closing)
        throw EComHandle(openPrefix + qt_error_string(EBUSY), SerialFailure::Busy);
    Close();
    ++m_generation;
    std::unique_ptr<SerialDevice> device = m_factory ? m_factory() : nullptr;
    if (!device)
        throw EComHandle(openPrefix + qt_error_string(ENODEV), SerialFailure::Missing);
    const QString openError = device->open(m_ports.devicePath(m_port));
    if (!openError.isEmpty())
        throw EComHandle(openPrefix + openError, device->lastFailure());
    const QString stateError = device->applySettings(lineSettings());
    if (!stateError.isEmpty()) {
        device->close();
        throw EComState(statePrefix + stateError);
    }
    m_device = std::move(device);
    m_lostFailure = SerialFailure::None;
    m_thread = std::make_unique<TComThread>(this, m_device.get(), eventMask(m_events));
    m_thread->m_generation = m_generation;
    m_thread->start();
    m_connected = true;
    Q_EMIT OnOpen(this);
}

void TComPort::Close()
{
    if (!m_connected || m_closing)
        return;
    m_closing = true;
    stopWatcher();
    m_device->close();
    m_device.reset();
    m_connected = false;
    m_closing = false;
    ++m_generation;
    Q_EMIT OnClose(this);
}

bool TComPort::watcherRunning() const
{
    return m_thread && !m_thread->hasEnded();
}

void TComPort::stopWatcher()
{
    TComThread* thread = m_thread.get();
    if (!thread)
        return;
    // The stop request is repeated: a wake-up that arrives just before the watcher blocks
    // is lost. Meanwhile a hand-over the watcher has queued is dispatched here, so it can go
    // on and see the stop; when Close runs inside a dispatch, that dispatch's event is
    // already taken and the watcher is released at once.
    for (;;) {
        m_device->requestStop();
        if (m_dispatching)
            thread->releaseWatcher();
        serviceHandOver();
        if (thread->hasEnded())
            break;
        thread->waitForActivity(5);
    }
    thread->wait();
    m_thread.reset();
}

quint32 TComPort::ModemStatus()
{
    // Linux keeps no line-error state to clear before reading the status.
    return m_device ? m_device->modemStatus() : 0;
}

void TComPort::serviceHandOver()
{
    if (!m_thread)
        return;
    quint32 received = 0;
    if (!m_thread->takeHandOver(received))
        return;
    const quint64 generation = m_generation;
    const bool outer = m_dispatching;
    m_dispatching = true;
    dispatchEvents(received, generation);
    m_dispatching = outer;
    if (m_generation == generation && m_thread)
        m_thread->releaseWatcher();
}

void TComPort::watcherFailed(quint64 generation)
{
    // Only the watcher of the current connection counts; a port closed meanwhile stays closed.
    if (!m_connected || m_closing || generation != m_generation || !m_thread || !m_thread->hasEnded())
        return;
    m_thread->wait();
    m_thread.reset();
    m_lostFailure = m_device->lastFailure();
    m_device->close();
    m_device.reset();
    m_connected = false;
    ++m_generation;
    Q_EMIT OnLost(this);
}

void TComPort::dispatchEvents(quint32 received, quint64 generation)
{
    if (received & SerialEvent::RxChar)
        Q_EMIT OnRxChar(this, m_device ? m_device->inputCount() : 0);
    static constexpr struct {
        quint32 bit;
        void (TComPort::*signal)(TComPort*);
    } order[] = {
        {SerialEvent::TxEmpty, &TComPort::OnTxEmpty}, {SerialEvent::Break, &TComPort::OnBreak},
        {SerialEvent::Ring, &TComPort::OnRing},       {SerialEvent::Cts, &TComPort::OnCTS},
        {SerialEvent::Dsr, &TComPort::OnDSR},         {SerialEvent::RxFlag, &TComPort::OnRxFlag},
        {SerialEvent::Rlsd, &TComPort::OnRLSD},       {SerialEvent::Err, &TComPort::OnError},
    };
    for (const auto& e : order) {
        if (m_generation != generation) // a handler closed or reopened the port
            return;
        if (received & e.bit)
            Q_EMIT(this->*e.signal)(this);
    }
}

TComThread::TComThread(TComPort* port, SerialDevice* device, quint32 eventMask)
    : m_port(port), m_device(device), m_mask(eventMask)
{
}

TComThread::~TComThread()
{
    // The port stops the watcher before freeing it; this only guards against misuse.
    while (!wait(QDeadlineTimer(5))) {
        m_device->requestStop();
        releaseWatcher();
    }
}

void TComThread::run()
{
    bool failed = false;
    for (;;) {
        quint32 received = 0;
        const SerialDevice::WaitResult result = m_device->waitForEvents(m_mask, received);
        if (result != SerialDevice::WaitResult::Events) {
            failed = result == SerialDevice::WaitResult::Failed;
            break;
        }
        received &= m_mask;
        if (!received)
            continue;
        m_received.store(received);
        m_holding.store(true);
        m_pending.store(true);
        TComPort* port = m_port;
        QMetaObject::invokeMethod(port, queuedCall([port] { port->serviceHandOver(); }),
                                  Qt::QueuedConnection);
        m_wake.release();
        m_done.acquire();
    }
    m_device->purgeInput();
    // Read before the end is announced: from then on the port only waits for the thread to
    // finish and frees this object.
    TComPort* port = m_port;
    const quint64 generation = m_generation;
    m_ended.store(true);
    if (failed) {
        QMetaObject::invokeMethod(port, queuedCall([port, generation] { port->watcherFailed(generation); }),
                                  Qt::QueuedConnection);
    }
    m_wake.release();
}

bool TComThread::takeHandOver(quint32& received)
{
    if (!m_pending.exchange(false))
        return false;
    received = m_received.load();
    return true;
}

void TComThread::releaseWatcher()
{
    if (m_holding.exchange(false))
        m_done.release();
}
