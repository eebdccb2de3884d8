#pragma once

#include "barriers/serial_device.h"

#include <pthread.h>

#include <atomic>
#include <functional>

// The serial port on Linux: a tty opened exclusively (flock plus TIOCEXCL), programmed with
// termios, watched with TIOCMIWAIT. The line-change counters (TIOCGICOUNT) tell which lines
// changed, also when a line toggled while the watcher was handing an event over; drivers
// without counters are compared by status word instead.
//
// A blocked TIOCMIWAIT is not woken by close() from another thread. requestStop() sets a flag
// and sends the waiting thread a signal whose handler is installed without SA_RESTART, so the
// ioctl returns EINTR. A signal that arrives just before the ioctl is entered is lost, so the
// caller repeats requestStop() until the watcher has ended.
//
// A driver that rejects TIOCMIWAIT (some USB adapters) is read every millisecond instead
// (pollModemLines), so such adapters still work, at the cost of a wake-up per millisecond.
class LinuxSerialDevice final : public SerialDevice {
public:
    LinuxSerialDevice();
    ~LinuxSerialDevice() override;

    QString open(const QString& path) override;
    QString applySettings(const SerialLineSettings& settings) override;
    WaitResult waitForEvents(quint32 watchMask, quint32& occurred) override;
    quint32 modemStatus() override;
    int inputCount() override;
    void requestStop() override;
    void purgeInput() override;
    void close() override;
    SerialFailure lastFailure() const override { return m_failure.load(); }
    bool pollsLines() const override { return m_polling.load(); }

    // The signal used to wake a blocked watcher.
    static int wakeSignal();

private:
    struct Counts {
        int cts = 0, dsr = 0, rng = 0, dcd = 0;
    };
    bool readCounts(Counts& c) const;
    // The watched lines that changed since the last report; false when the lines cannot be read.
    bool changedSinceLastReport(quint32 watchMask, quint32& events);
    SerialDevice::WaitResult fail(int error);

    int m_fd = -1;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_inWait{false};
    std::atomic<pthread_t> m_waiter{};
    bool m_haveCounts = false;
    Counts m_counts;
    int m_lastStatus = 0;
    std::atomic<SerialFailure> m_failure{SerialFailure::None};
    std::atomic<bool> m_polling{false};
};

// What a failed wait for line changes means: the driver cannot wait (poll the lines instead),
// the adapter is gone (unplugged), or another error.
enum class WaitFailure { CannotWait, Gone, Other };
WaitFailure classifyWaitFailure(int errorCode);

// Reads the lines every millisecond until readChanges reports changed lines (Events), stop is set
// (Stopped) or the lines cannot be read (Failed). The sleep ends early on the wake signal.
// The fallback wait of LinuxSerialDevice; on its own for the latency benchmark.
SerialDevice::WaitResult pollModemLines(const std::atomic<bool>& stop,
                                        const std::function<bool(quint32& events)>& readChanges,
                                        quint32& occurred);
