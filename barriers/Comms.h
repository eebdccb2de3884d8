#pragma once

#include "barriers/port_table.h"
#include "barriers/serial_device.h"

#include <QObject>
#include <QSemaphore>
#include <QThread>

#include <atomic>
#include <exception>
#include <memory>

// Errors of the port component; the caller usually discards them.
class EComError : public std::exception {
public:
    explicit EComError(const QString& message, SerialFailure failure = SerialFailure::Other)
        : m_message(message), m_utf8(message.toUtf8()), m_failure(failure)
    {
    }
    QString message() const { return m_message; }
    // Why: a missing device, one held by another program, no permission, ...
    SerialFailure failure() const { return m_failure; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
    SerialFailure m_failure;
};
// "Unable to open com port: " + system text
class EComHandle final : public EComError {
public:
    using EComError::EComError;
};
// "Unable to set com state: " + system text
class EComState final : public EComError {
public:
    using EComError::EComError;
};

class TComThread;

// One serial port whose modem-status line changes are reported as signals on the thread that
// owns the port (the GUI thread). A watcher thread blocks on the device and hands every
// completed wait over synchronously: it waits until the dispatch has run before it waits on
// the device again, and it takes no timestamps.
//
// When the device wait fails (an unplugged adapter), the port closes the dead device at once,
// so that the system can give a re-plugged adapter its old name, and raises OnLost instead of
// OnClose; Connected is then false and lostFailure() says why.
class TComPort : public QObject {
    Q_OBJECT
public:
    enum class TBaudRate {
        br110,
        br300,
        br600,
        br1200,
        br2400,
        br4800,
        br9600,
        br14400,
        br19200,
        br38400,
        br56000,
        br57600,
        br115200,
        br128000,
        br256000,
        brUser
    };
    Q_ENUM(TBaudRate)
    enum class TParity { prNone, prOdd, prEven, prMark, prSpace };
    Q_ENUM(TParity)
    enum class TStopBits { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
    Q_ENUM(TStopBits)
    enum class TFlowControl { fcNone, fcRtsCts, fcXonXoff };
    Q_ENUM(TFlowControl)
    // Set elements in their declared order.
    enum class TEvent {
        evRxChar = 0x001,
        evTxEmpty = 0x002,
        evRxFlag = 0x004,
        evRing = 0x008,
        evBreak = 0x010,
        evCTS = 0x020,
        evDSR = 0x040,
        evError = 0x080,
        evRLSD = 0x100
    };
    Q_DECLARE_FLAGS(TEvents, TEvent)
    Q_FLAG(TEvents)

private:
    Q_PROPERTY(TBaudRate BaudRate READ BaudRate WRITE setBaudRate)
    Q_PROPERTY(qint32 BaudRateUser READ BaudRateUser WRITE setBaudRateUser)
    Q_PROPERTY(quint8 Port READ Port WRITE setPort)
    Q_PROPERTY(TParity Parity READ Parity WRITE setParity)
    Q_PROPERTY(TStopBits StopBits READ StopBits WRITE setStopBits)
    Q_PROPERTY(TFlowControl FlowControl READ FlowControl WRITE setFlowControl)
    Q_PROPERTY(quint8 DataBits READ DataBits WRITE setDataBits)
    Q_PROPERTY(TEvents Events READ Events WRITE setEvents)
    Q_PROPERTY(bool EnableDTR READ EnableDTR WRITE setEnableDTR)
    Q_PROPERTY(qint32 WriteBufSize READ WriteBufSize WRITE setWriteBufSize)
    Q_PROPERTY(qint32 ReadBufSize READ ReadBufSize WRITE setReadBufSize)

public:
    TComPort(SerialDeviceFactory factory, PortTable ports, QObject* parent = nullptr);
    ~TComPort() override;

    TBaudRate BaudRate() const { return m_baudRate; }
    void setBaudRate(TBaudRate v) { m_baudRate = v; }
    qint32 BaudRateUser() const { return m_baudRateUser; }
    void setBaudRateUser(qint32 v) { m_baudRateUser = v; }
    quint8 Port() const { return m_port; }
    void setPort(quint8 v) { m_port = v; }
    TParity Parity() const { return m_parity; }
    void setParity(TParity v) { m_parity = v; }
    TStopBits StopBits() const { return m_stopBits; }
    void setStopBits(TStopBits v) { m_stopBits = v; }
    TFlowControl FlowControl() const { return m_flowControl; }
    void setFlowControl(TFlowControl v) { m_flowControl = v; }
    quint8 DataBits() const { return m_dataBits; }
    void setDataBits(int v); // kept within 5..8
    TEvents Events() const { return m_events; }
    void setEvents(TEvents v) { m_events = v; }
    bool EnableDTR() const { return m_enableDTR; }
    void setEnableDTR(bool v) { m_enableDTR = v; }
    qint32 WriteBufSize() const { return m_writeBufSize; }
    void setWriteBufSize(qint32 v) { m_writeBufSize = v; }
    qint32 ReadBufSize() const { return m_readBufSize; }
    void setReadBufSize(qint32 v) { m_readBufSize = v; }

    const PortTable& portTable() const { return m_ports; }
    void setPortTable(const PortTable& ports) { m_ports = ports; }

    // Closes first, then opens the device of Port exclusively, programs it and starts the
    // watcher. Throws EComHandle or EComState; the port is then closed.
    void Open();
    // Stops the watcher (dispatching an event it had already handed over), closes the device,
    // raises OnClose. Does nothing unless connected.
    void Close();
    bool Connected() const { return m_connected; }
    bool watcherRunning() const;
    // CTS 0x10, DSR 0x20, RING 0x40, RLSD 0x80; 0 while closed.
    quint32 ModemStatus();
    // The device in use cannot wait for line changes and is read every millisecond.
    bool pollsLines() const { return m_device && m_device->pollsLines(); }
    // Why the port was lost (after OnLost).
    SerialFailure lostFailure() const { return m_lostFailure; }

    // The device event bits (SerialEvent) of a set of events.
    static quint32 eventMask(TEvents events);
    static qint32 baudRateValue(TBaudRate rate, qint32 user);
    SerialLineSettings lineSettings() const;

Q_SIGNALS:
    void OnRxChar(TComPort* sender, int count);
    void OnTxEmpty(TComPort* sender);
    void OnBreak(TComPort* sender);
    void OnRing(TComPort* sender);
    void OnCTS(TComPort* sender);
    void OnDSR(TComPort* sender);
    void OnRxFlag(TComPort* sender);
    void OnRLSD(TComPort* sender);
    void OnError(TComPort* sender);
    void OnOpen(TComPort* sender);
    void OnClose(TComPort* sender);
    // The device stopped working while connected; it has been closed (no OnClose).
    void OnLost(TComPort* sender);

private:
    friend class TComThread;
    void serviceHandOver();
    void watcherFailed(quint64 generation);
    void dispatchEvents(quint32 received, quint64 generation);
    void stopWatcher();

    SerialDeviceFactory m_factory;
    PortTable m_ports;

    TBaudRate m_baudRate = TBaudRate::br9600;
    qint32 m_baudRateUser = 9600;
    quint8 m_port = 1;
    TParity m_parity = TParity::prNone;
    TStopBits m_stopBits = TStopBits::sbOneStopBit;
    TFlowControl m_flowControl = TFlowControl::fcNone;
    quint8 m_dataBits = 8;
    TEvents m_events = TEvents(0x1FF);
    bool m_enableDTR = true;
    qint32 m_writeBufSize = 2048;
    qint32 m_readBufSize = 2048;

    std::unique_ptr<SerialDevice> m_device; // null = no valid handle
    std::unique_ptr<TComThread> m_thread;   // exists exactly while connected
    bool m_connected = false;
    bool m_closing = false;
    bool m_dispatching = false;
    quint64 m_generation = 0; // changes with every Open and Close
    SerialFailure m_lostFailure = SerialFailure::None;
};
Q_DECLARE_OPERATORS_FOR_FLAGS(TComPort::TEvents)

// The watcher: waits on the device, hands each completed wait to the port's thread and blocks
// until it has been dispatched. A failing wait ends it and tells the port.
class TComThread : public QThread {
    Q_OBJECT
public:
    TComThread(TComPort* port, SerialDevice* device, quint32 eventMask);
    ~TComThread() override;

    quint32 eventMask() const { return m_mask; }
    bool hasEnded() const { return m_ended.load(); }

protected:
    void run() override;

private:
    friend class TComPort;
    // Port side (GUI thread).
    bool takeHandOver(quint32& received);
    void releaseWatcher();
    void waitForActivity(int ms) { m_wake.tryAcquire(1, ms); }

    TComPort* m_port;
    SerialDevice* m_device;
    const quint32 m_mask;
    quint64 m_generation = 0; // the port's generation it was started in
    std::atomic<quint32> m_received{0};
    std::atomic<bool> m_pending{false}; // a hand-over is queued and not yet taken
    std::atomic<bool> m_holding{false}; // the watcher waits for the end of a dispatch
    std::atomic<bool> m_ended{false};
    QSemaphore m_done; // released when a dispatch has run
    QSemaphore m_wake; // released when the watcher queued a hand-over or ended
};
