#pragma once

#include "barriers/serial_device.h"

#include <QSemaphore>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>

// The modem lines of a fake port, shared by the test and every device its factory creates.
// The test sets the lines; each change becomes one completed device wait in the watcher.
class FakeSerialLine {
public:
    // Sets the status word (ModemLine bits); the lines that changed form one device event.
    void setStatus(quint32 status)
    {
        const quint32 changed = m_status.exchange(status) ^ status;
        quint32 ev = 0;
        if (changed & ModemLine::Cts)
            ev |= SerialEvent::Cts;
        if (changed & ModemLine::Dsr)
            ev |= SerialEvent::Dsr;
        if (changed & ModemLine::Ring)
            ev |= SerialEvent::Ring;
        if (changed & ModemLine::Rlsd)
            ev |= SerialEvent::Rlsd;
        if (ev)
            push({ev, false});
    }
    // Completes the next wait with exactly these SerialEvent bits.
    void pushEvents(quint32 events) { push({events, false}); }
    // The next wait fails (the adapter was unplugged, by default).
    void failNextWait(SerialFailure failure = SerialFailure::Gone) { push({0, true, failure}); }
    quint32 status() const { return m_status.load(); }

    // Blocks until a watcher's wait has returned an event or failed; false after ms.
    bool waitForReturn(int ms = 5000) { return m_returned.tryAcquire(1, ms); }
    // Blocks until a watcher has entered a wait; false after ms.
    bool waitForWaiting(int ms = 5000) { return m_entered.tryAcquire(1, ms); }

    // Result of open() per path; by default every non-empty path opens.
    std::function<QString(const QString&)> openResult = [](const QString& path) {
        return path.isEmpty() ? QStringLiteral("No such file or directory") : QString();
    };
    // Why a refused open failed; by default the device is missing.
    std::function<SerialFailure(const QString&)> openFailure = [](const QString&) {
        return SerialFailure::Missing;
    };
    // The devices cannot wait for line changes and read them every millisecond.
    bool polls = false;
    QString settingsError;
    // Called on the watcher thread just before a wait returns an event.
    std::function<void()> onWaitReturn;

    // Recorded on the GUI thread.
    QStringList openedPaths;
    SerialLineSettings lastSettings;
    int openDevices = 0;
    int closes = 0;

    SerialDeviceFactory factory();

private:
    friend class FakeSerialDevice;
    struct Entry {
        quint32 events;
        bool fail;
        SerialFailure failure = SerialFailure::None;
    };
    void push(Entry e)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_queue.push_back(e);
        }
        m_cv.notify_all();
    }

    std::atomic<quint32> m_status{0};
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<Entry> m_queue;
    QSemaphore m_returned;
    QSemaphore m_entered;
};

class FakeSerialDevice final : public SerialDevice {
public:
    explicit FakeSerialDevice(FakeSerialLine& line) : m_line(line) {}
    ~FakeSerialDevice() override { close(); }

    QString open(const QString& path) override
    {
        m_line.openedPaths << path;
        const QString error = m_line.openResult(path);
        if (error.isEmpty()) {
            m_open = true;
            ++m_line.openDevices;
            m_failure = SerialFailure::None;
        } else {
            m_failure = m_line.openFailure(path);
        }
        return error;
    }
    QString applySettings(const SerialLineSettings& s) override
    {
        m_line.lastSettings = s;
        return m_line.settingsError;
    }
    WaitResult waitForEvents(quint32 watchMask, quint32& occurred) override
    {
        occurred = 0;
        m_line.m_entered.release();
        std::unique_lock<std::mutex> lock(m_line.m_mutex);
        for (;;) {
            m_line.m_cv.wait(lock, [this] { return m_stop.load() || !m_line.m_queue.empty(); });
            if (m_stop.load())
                return WaitResult::Stopped;
            const FakeSerialLine::Entry e = m_line.m_queue.front();
            m_line.m_queue.pop_front();
            if (e.fail) {
                m_failure = e.failure;
                m_line.m_returned.release();
                return WaitResult::Failed;
            }
            if (e.events & watchMask) {
                occurred = e.events & watchMask;
                if (m_line.onWaitReturn)
                    m_line.onWaitReturn();
                m_line.m_returned.release();
                return WaitResult::Events;
            }
        }
    }
    quint32 modemStatus() override { return m_open ? m_line.status() : 0; }
    SerialFailure lastFailure() const override { return m_failure.load(); }
    bool pollsLines() const override { return m_open && m_line.polls; }
    void requestStop() override
    {
        {
            std::lock_guard<std::mutex> lock(m_line.m_mutex);
            m_stop.store(true);
        }
        m_line.m_cv.notify_all();
    }
    void close() override
    {
        if (!m_open)
            return;
        m_open = false;
        --m_line.openDevices;
        ++m_line.closes;
    }

private:
    FakeSerialLine& m_line;
    std::atomic<bool> m_stop{false};
    std::atomic<SerialFailure> m_failure{SerialFailure::None};
    bool m_open = false;
};

inline SerialDeviceFactory FakeSerialLine::factory()
{
    return [this] { return std::make_unique<FakeSerialDevice>(*this); };
}
