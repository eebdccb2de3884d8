#include "barriers/linux_serial_device.h"

#include "barriers/linux_custom_baud.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <mutex>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace {

void onWake(int) {}

void installWakeHandler()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction sa {};
        sa.sa_handler = onWake;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = 0; // no SA_RESTART: the blocked ioctl must return EINTR
        sigaction(LinuxSerialDevice::wakeSignal(), &sa, nullptr);
    });
}

QString errorText(int code)
{
    return qt_error_string(code);
}

SerialFailure openFailure(int code)
{
    switch (code) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return SerialFailure::Missing;
    case EBUSY:
        return SerialFailure::Busy;
    case EACCES:
    case EPERM:
        return SerialFailure::NoAccess;
    default:
        return SerialFailure::Other;
    }
}


speed_t standardSpeed(int baud)
{
    switch (baud) {
    case 110:
        return B110;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    case 460800:
        return B460800;
    case 921600:
        return B921600;
    default:
        return B0;
    }
}

int tiocmLines(quint32 watchMask)
{
    int lines = 0;
    if (watchMask & SerialEvent::Cts)
        lines |= TIOCM_CTS;
    if (watchMask & SerialEvent::Dsr)
        lines |= TIOCM_DSR;
    if (watchMask & SerialEvent::Rlsd)
        lines |= TIOCM_CD;
    if (watchMask & SerialEvent::Ring)
        lines |= TIOCM_RNG;
    return lines;
}

quint32 eventsOfChangedLines(int changed)
{
    quint32 ev = 0;
    if (changed & TIOCM_CTS)
        ev |= SerialEvent::Cts;
    if (changed & TIOCM_DSR)
        ev |= SerialEvent::Dsr;
    if (changed & TIOCM_CD)
        ev |= SerialEvent::Rlsd;
    if (changed & TIOCM_RNG)
        ev |= SerialEvent::Ring;
    return ev;
}

} // namespace

LinuxSerialDevice::LinuxSerialDevice()
{
    installWakeHandler();
}

LinuxSerialDevice::~LinuxSerialDevice()
{
    close();
}

int LinuxSerialDevice::wakeSignal()
{
    return SIGRTMIN + 5;
}

QString LinuxSerialDevice::open(const QString& path)
{
    close();
    m_failure = SerialFailure::None;
    m_polling = false;
    auto failed = [this](int code) {
        m_failure = openFailure(code);
        return errorText(code);
    };
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty())
        return failed(ENOENT);
    const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failed(errno);
    auto refuse = [fd, &failed](int code) {
        ::close(fd);
        return failed(code);
    };
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode) || !isatty(fd))
        return refuse(ENOTTY);
    if (flock(fd, LOCK_EX | LOCK_NB) != 0)
        return refuse(errno == EWOULDBLOCK ? EBUSY : errno);
#ifdef TIOCGEXCL
    int exclusive = 0;
    if (ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive)
        return refuse(EBUSY); // someone else holds it exclusively; do not take it over
#endif
    if (ioctl(fd, TIOCEXCL) != 0)
        return refuse(errno);
    m_fd = fd;
    m_stop = false;
    return {};
}

QString LinuxSerialDevice::applySettings(const SerialLineSettings& s)
{
    if (m_fd < 0)
        return errorText(EBADF);
    if (s.baudRate <= 0)
        return errorText(EINVAL);
    termios t{};
    if (tcgetattr(m_fd, &t) != 0)
        return errorText(errno);
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    switch (s.dataBits) {
    case 5:
        t.c_cflag |= CS5;
        break;
    case 6:
        t.c_cflag |= CS6;
        break;
    case 7:
        t.c_cflag |= CS7;
        break;
    default:
        t.c_cflag |= CS8;
        break;
    }
    switch (s.parity) {
    case SerialParity::None:
        break;
    case SerialParity::Odd:
        t.c_cflag |= PARENB | PARODD;
        break;
    case SerialParity::Even:
        t.c_cflag |= PARENB;
        break;
    case SerialParity::Mark:
        t.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case SerialParity::Space:
        t.c_cflag |= PARENB | CMSPAR;
        break;
    }
    // Linux knows no 1.5 stop bits; with 5 data bits the UART sends 1.5 for CSTOPB.
    if (s.stopBits != SerialStopBits::One)
        t.c_cflag |= CSTOPB;
    if (s.flow == SerialFlow::RtsCts)
        t.c_cflag |= CRTSCTS;
    if (s.flow == SerialFlow::XonXoff) {
        t.c_iflag |= IXON | IXOFF;
        t.c_cc[VSTART] = 0x11;
        t.c_cc[VSTOP] = 0x13;
    }
    t.c_cc[VMIN] = 0; // reads return at once
    t.c_cc[VTIME] = 0;
    const speed_t speed = standardSpeed(s.baudRate);
    if (speed != B0) {
        cfsetispeed(&t, speed);
        cfsetospeed(&t, speed);
    }
    if (tcsetattr(m_fd, TCSANOW, &t) != 0)
        return errorText(errno);
    if (speed == B0) {
        if (const int e = setCustomBaudRate(m_fd, s.baudRate))
            return errorText(e);
    }
    // DTR and RTS feed the barrier contacts. A device without modem lines (a pseudo-terminal)
    // refuses here, which makes it unusable for the barriers.
    int dtr = TIOCM_DTR;
    if (ioctl(m_fd, s.dtr ? TIOCMBIS : TIOCMBIC, &dtr) != 0)
        return errorText(errno);
    int rts = TIOCM_RTS;
    if (ioctl(m_fd, s.flow == SerialFlow::RtsCts ? TIOCMBIS : TIOCMBIC, &rts) != 0)
        return errorText(errno);
    // Low latency makes USB adapters report line changes within about 1 ms; optional.
    serial_struct ss{};
    if (ioctl(m_fd, TIOCGSERIAL, &ss) == 0) {
        ss.flags |= ASYNC_LOW_LATENCY;
        ioctl(m_fd, TIOCSSERIAL, &ss);
    }
    // The driver has no queue sizes to set; the write time-outs do not apply as nothing is sent.
    m_haveCounts = readCounts(m_counts);
    if (!m_haveCounts && ioctl(m_fd, TIOCMGET, &m_lastStatus) != 0)
        m_lastStatus = 0;
    return {};
}

bool LinuxSerialDevice::readCounts(Counts& c) const
{
    serial_icounter_struct ic{};
    if (ioctl(m_fd, TIOCGICOUNT, &ic) != 0)
        return false;
    c.cts = ic.cts;
    c.dsr = ic.dsr;
    c.rng = ic.rng;
    c.dcd = ic.dcd;
    return true;
}

bool LinuxSerialDevice::changedSinceLastReport(quint32 watchMask, quint32& events)
{
    events = 0;
    int changed = 0;
    if (m_haveCounts) {
        Counts now;
        if (!readCounts(now))
            return false;
        if (now.cts != m_counts.cts)
            changed |= TIOCM_CTS;
        if (now.dsr != m_counts.dsr)
            changed |= TIOCM_DSR;
        if (now.dcd != m_counts.dcd)
            changed |= TIOCM_CD;
        if (now.rng != m_counts.rng)
            changed |= TIOCM_RNG;
        m_counts = now;
    } else {
        int status = 0;
        if (ioctl(m_fd, TIOCMGET, &status) != 0)
            return false;
        changed = (status ^ m_lastStatus) & (TIOCM_CTS | TIOCM_DSR | TIOCM_CD | TIOCM_RNG);
        m_lastStatus = status;
    }
    events = eventsOfChangedLines(changed) & watchMask;
    return true;
}

WaitFailure classifyWaitFailure(int code)
{
    switch (code) {
    // The driver has no wait for line changes (usb-serial drivers without it answer ENOTTY).
    case EINVAL:
    case ENOTTY:
    case ENOSYS:
    case EOPNOTSUPP:
        return WaitFailure::CannotWait;
    // An unplugged adapter answers EIO (the tty was hung up) or ENODEV.
    case EIO:
    case ENODEV:
    case ENXIO:
    case EBADF:
        return WaitFailure::Gone;
    default:
        return WaitFailure::Other;
    }
}

SerialDevice::WaitResult LinuxSerialDevice::fail(int error)
{
    m_failure = classifyWaitFailure(error) == WaitFailure::Gone ? SerialFailure::Gone : SerialFailure::Other;
    return WaitResult::Failed;
}

SerialDevice::WaitResult LinuxSerialDevice::waitForEvents(quint32 watchMask, quint32& occurred)
{
    occurred = 0;
    if (m_fd < 0)
        return fail(EBADF);
    m_waiter.store(pthread_self());
    m_inWait.store(true);
    struct Leave {
        std::atomic<bool>& flag;
        ~Leave() { flag.store(false); }
    } leave{m_inWait};

    auto readChanges = [this, watchMask](quint32& events) {
        if (changedSinceLastReport(watchMask, events))
            return true;
        fail(errno);
        return false;
    };
    const int lines = tiocmLines(watchMask);
    if (lines == 0) {
        // Nothing to watch: block until the stop signal.
        while (!m_stop.load())
            ppoll(nullptr, 0, nullptr, nullptr);
        return WaitResult::Stopped;
    }
    for (;;) {
        if (m_stop.load())
            return WaitResult::Stopped;
        if (m_polling.load())
            return pollModemLines(m_stop, readChanges, occurred);
        // Changes that happened while the previous event was being handed over.
        quint32 events = 0;
        if (!readChanges(events))
            return WaitResult::Failed;
        if (events) {
            occurred = events;
            return WaitResult::Events;
        }
        if (ioctl(m_fd, TIOCMIWAIT, lines) == 0 || errno == EINTR)
            continue;
        const int error = errno;
        int status = 0;
        if (classifyWaitFailure(error) == WaitFailure::CannotWait && ioctl(m_fd, TIOCMGET, &status) == 0) {
            m_polling = true; // the lines can be read, only not waited for
            continue;
        }
        return fail(error);
    }
}

SerialDevice::WaitResult pollModemLines(const std::atomic<bool>& stop,
                                        const std::function<bool(quint32& events)>& readChanges,
                                        quint32& occurred)
{
    occurred = 0;
    constexpr long periodNs = 1000000;
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    for (;;) {
        if (stop.load())
            return SerialDevice::WaitResult::Stopped;
        quint32 events = 0;
        if (!readChanges(events))
            return SerialDevice::WaitResult::Failed;
        if (events) {
            occurred = events;
            return SerialDevice::WaitResult::Events;
        }
        // Absolute deadlines keep the period at 1 ms; after a delay the next read follows at once.
        next.tv_nsec += periodNs;
        if (next.tv_nsec >= 1000000000L) {
            next.tv_nsec -= 1000000000L;
            ++next.tv_sec;
        }
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        if (now.tv_sec > next.tv_sec || (now.tv_sec == next.tv_sec && now.tv_nsec > next.tv_nsec))
            next = now;
        else
            clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr); // EINTR: the stop signal
    }
}

quint32 LinuxSerialDevice::modemStatus()
{
    int status = 0;
    if (m_fd < 0 || ioctl(m_fd, TIOCMGET, &status) != 0)
        return 0;
    quint32 result = 0;
    if (status & TIOCM_CTS)
        result |= ModemLine::Cts;
    if (status & TIOCM_DSR)
        result |= ModemLine::Dsr;
    if (status & TIOCM_RNG)
        result |= ModemLine::Ring;
    if (status & TIOCM_CD)
        result |= ModemLine::Rlsd;
    return result;
}

int LinuxSerialDevice::inputCount()
{
    int n = 0;
    if (m_fd < 0 || ioctl(m_fd, FIONREAD, &n) != 0)
        return 0;
    return n;
}

void LinuxSerialDevice::requestStop()
{
    m_stop.store(true);
    if (m_inWait.load())
        pthread_kill(m_waiter.load(), wakeSignal());
}

void LinuxSerialDevice::purgeInput()
{
    if (m_fd >= 0)
        tcflush(m_fd, TCIFLUSH);
}

void LinuxSerialDevice::close()
{
    if (m_fd < 0)
        return;
    ioctl(m_fd, TIOCNXCL);
    flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}
