#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

// Device event bits, as the port component and its watcher exchange them.
namespace SerialEvent {
constexpr quint32 RxChar = 0x0001;
constexpr quint32 RxFlag = 0x0002;
constexpr quint32 TxEmpty = 0x0004;
constexpr quint32 Cts = 0x0008;
constexpr quint32 Dsr = 0x0010;
constexpr quint32 Rlsd = 0x0020;
constexpr quint32 Break = 0x0040;
constexpr quint32 Err = 0x0080;
constexpr quint32 Ring = 0x0100;
} // namespace SerialEvent

// Modem-status bits returned by SerialDevice::modemStatus().
namespace ModemLine {
constexpr quint32 Cts = 0x10;
constexpr quint32 Dsr = 0x20;
constexpr quint32 Ring = 0x40;
constexpr quint32 Rlsd = 0x80;
} // namespace ModemLine

// Why a device could not be opened, or why its wait failed.
enum class SerialFailure {
    None,
    Missing,  // no such device (adapter not plugged in)
    Busy,     // held by another program
    NoAccess, // the user may not open it (not in the group that owns serial devices)
    Gone,     // the device went away while open (adapter unplugged)
    Other
};

enum class SerialParity { None, Odd, Even, Mark, Space };
enum class SerialStopBits { One, OneAndHalf, Two };
enum class SerialFlow { None, RtsCts, XonXoff };

struct SerialLineSettings {
    qint32 baudRate = 9600;
    quint8 dataBits = 8;
    SerialParity parity = SerialParity::None;
    SerialStopBits stopBits = SerialStopBits::One;
    SerialFlow flow = SerialFlow::None;
    bool dtr = true;
    qint32 readBufSize = 2048;
    qint32 writeBufSize = 2048;
};

// One serial port as the port component sees it. open/applySettings/modemStatus/close run on
// the GUI thread, waitForEvents on the watcher thread, requestStop from the GUI thread while
// the watcher may be blocked.
class SerialDevice {
public:
    enum class WaitResult { Events, Stopped, Failed };

    virtual ~SerialDevice() = default;
    // Opens the device exclusively. Returns the system's error text, empty on success.
    virtual QString open(const QString& path) = 0;
    // Programs the line. Returns the system's error text, empty on success.
    virtual QString applySettings(const SerialLineSettings& settings) = 0;
    // Blocks until one of the watched events (SerialEvent bits) occurs or a stop is requested.
    // Failed means the device cannot report anything any more (lastFailure() says why).
    virtual WaitResult waitForEvents(quint32 watchMask, quint32& occurred) = 0;
    // Why the last open() or waitForEvents() failed.
    virtual SerialFailure lastFailure() const { return SerialFailure::Other; }
    // True when the driver cannot wait for line changes and the lines are read every millisecond.
    virtual bool pollsLines() const { return false; }
    // CTS 0x10, DSR 0x20, RING 0x40, RLSD 0x80; 0 when the status cannot be read.
    virtual quint32 modemStatus() = 0;
    // Bytes waiting in the input queue (no data is exchanged by the barriers).
    virtual int inputCount() { return 0; }
    // Makes a blocked or the next waitForEvents return Stopped. Thread-safe, may be repeated.
    virtual void requestStop() = 0;
    // Discards pending input; called by the watcher when it ends.
    virtual void purgeInput() {}
    virtual void close() = 0;
};

using SerialDeviceFactory = std::function<std::unique_ptr<SerialDevice>()>;
