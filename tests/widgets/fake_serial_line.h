#pragma once

#include "barriers/serial_device.h"

#include <QString>

#include <condition_variable>
#include <memory>
#include <mutex>

// The wiring of one fake serial port, shared by the test and every device the factory makes.
// The test sets the modem lines; each change wakes the device's watcher with the matching events.
class FakeSerialLine {
public:
    explicit FakeSerialLine(const QString& path) : m_path(path) {}

    QString path() const { return m_path; }

    // Sets the modem-status word (ModemLine bits) and reports the changed lines as events.
    void setStatus(quint32 status)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const quint32 changed = m_status ^ status;
        m_status = status;
        quint32 events = 0;
        if (changed & ModemLine::Cts)
            events |= SerialEvent::Cts;
        if (changed & ModemLine::Dsr)
            events |= SerialEvent::Dsr;
        if (changed & ModemLine::Rlsd)
            events |= SerialEvent::Rlsd;
        m_pending |= events;
        m_cv.notify_all();
    }
    quint32 status()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_status;
    }
    int opens()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_opens;
    }
    // Every path any device was asked to open.
    QStringList openedPaths()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_paths;
    }

private:
    friend class FakeSerialDevice;
    QString m_path;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    quint32 m_status = 0;
    quint32 m_pending = 0;
    int m_opens = 0;
    QStringList m_paths;
};

class FakeSerialDevice final : public SerialDevice {
public:
    explicit FakeSerialDevice(std::shared_ptr<FakeSerialLine> line) : m_line(std::move(line)) {}

    QString open(const QString& path) override
    {
        std::lock_guard<std::mutex> lock(m_line->m_mutex);
        m_line->m_paths.append(path);
        if (path != m_line->m_path)
            return QStringLiteral("No such device");
        ++m_line->m_opens;
        m_line->m_pending = 0;
        m_stop = false;
        return QString();
    }
    QString applySettings(const SerialLineSettings&) override { return QString(); }
    WaitResult waitForEvents(quint32 watchMask, quint32& occurred) override
    {
        std::unique_lock<std::mutex> lock(m_line->m_mutex);
        m_line->m_cv.wait(lock, [&] { return m_stop || (m_line->m_pending & watchMask) != 0; });
        if (m_stop)
            return WaitResult::Stopped;
        occurred = m_line->m_pending & watchMask;
        m_line->m_pending &= ~watchMask;
        return WaitResult::Events;
    }
    quint32 modemStatus() override { return m_line->status(); }
    void requestStop() override
    {
        std::lock_guard<std::mutex> lock(m_line->m_mutex);
        m_stop = true;
        m_line->m_cv.notify_all();
    }
    void close() override {}

private:
    std::shared_ptr<FakeSerialLine> m_line;
    bool m_stop = false;
};

// A factory whose devices open only the line's path; every other path fails, so no test ever
// touches a real tty.
inline SerialDeviceFactory fakeSerialFactory(std::shared_ptr<FakeSerialLine> line)
{
    return [line] { return std::unique_ptr<SerialDevice>(new FakeSerialDevice(line)); };
}
