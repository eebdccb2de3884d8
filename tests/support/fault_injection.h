#pragma once

// Faults of the file system for the writer tests: a file-size limit (a disk that is
// full for anything beyond a few bytes), a read-only folder that stays read-only for
// root as well, and a small tmpfs that a forked child fills up.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace FaultInjection {

// Every file of this process is limited to `bytes` while the object lives: a write
// beyond fails with EFBIG (the signal that would end the process is ignored). Lift it
// before the test compares anything, so the test's own output is never cut.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes)
    {
#ifdef Q_OS_LINUX
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        m_active = ::getrlimit(RLIMIT_FSIZE, &m_saved) == 0;
        if (m_active) {
            rlimit small = m_saved;
            small.rlim_cur = rlim_t(bytes);
            m_active = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
        }
#else
        Q_UNUSED(bytes);
#endif
    }
    ~FileSizeLimit()
    {
        lift();
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool active() const
    {
        return m_active;
    }
    void lift()
    {
#ifdef Q_OS_LINUX
        if (m_active)
            ::setrlimit(RLIMIT_FSIZE, &m_saved);
        if (m_oldHandler != SIG_ERR)
            std::signal(SIGXFSZ, m_oldHandler);
        m_oldHandler = SIG_ERR;
#endif
        m_active = false;
    }

private:
    bool m_active = false;
#ifdef Q_OS_LINUX
    rlimit m_saved{};
    void (*m_oldHandler)(int) = SIG_ERR;
#endif
};

// Root passes by access rights through CAP_DAC_OVERRIDE. While the object lives the
// calling thread goes without it (and without CAP_DAC_READ_SEARCH), so the mode bits
// of files and folders count for this thread as for any user. Capabilities belong to
// the thread: the program's writes under test run on this (the GUI) thread.
class WithoutAccessOverride {
public:
    WithoutAccessOverride()
    {
#ifdef Q_OS_LINUX
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        if (::syscall(SYS_capget, &header, m_saved) != 0)
            return;
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_changed = ::syscall(SYS_capset, &header, lowered) == 0;
#endif
    }
    ~WithoutAccessOverride()
    {
#ifdef Q_OS_LINUX
        if (m_changed) {
            __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
            ::syscall(SYS_capset, &header, m_saved);
        }
#endif
    }
    WithoutAccessOverride(const WithoutAccessOverride&) = delete;
    WithoutAccessOverride& operator=(const WithoutAccessOverride&) = delete;

private:
    bool m_changed = false;
#ifdef Q_OS_LINUX
    __user_cap_data_struct m_saved[2] = {};
#endif
};

// True when a new file cannot be created in folder by this thread (probed, not
// guessed from the user id).
inline bool folderRefusesNewFiles(const QString& folder)
{
    QFile probe(QDir(folder).filePath(QStringLiteral(".probe")));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.close();
        probe.remove();
        return false;
    }
    return true;
}

// A folder made read-only (r-x for everybody) for the object's lifetime, for root too.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder) : m_folder(folder)
    {
        QFile::setPermissions(m_folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                            QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                            QFileDevice::ReadOther | QFileDevice::ExeOther);
        m_refuses = folderRefusesNewFiles(m_folder);
    }
    ~ReadOnlyFolder()
    {
        QFile::setPermissions(m_folder,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    // False when even without the override the folder takes new files (a file system
    // without access rights): the caller skips.
    bool effective() const { return m_refuses; }

private:
    WithoutAccessOverride m_noOverride; // before the probe
    QString m_folder;
    bool m_refuses = false;
};

// The names in folder, hidden ones included (a temporary file left behind shows).
inline QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

inline QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Deterministic bytes of every value, NULs among them.
inline QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray out(size, Qt::Uninitialized);
    for (char& c : out)
        c = char(gen.bounded(256));
    return out;
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() && f.flush();
}

// Fills the file system of folder up with one file; true once a write failed for
// lack of space.
inline bool fillUp(const QString& folder)
{
#ifdef Q_OS_LINUX
    const int fd = ::open(QFile::encodeName(QDir(folder).filePath(QStringLiteral("filler"))).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return false;
    const QByteArray chunk(4096, 'f');
    for (int i = 0; i < 1 << 16; ++i) {
        if (::write(fd, chunk.constData(), size_t(chunk.size())) < 0) {
            const bool full = errno == ENOSPC;
            ::close(fd);
            return full;
        }
    }
    ::close(fd);
#else
    Q_UNUSED(folder);
#endif
    return false;
}

// The outcome of runOnSmallTmpfs: skipped (with the reason in text), or ran and
// text is empty on success, else what went wrong.
struct ChildOutcome {
    bool skipped = false;
    QString text;
};

// Runs check in a forked child that has a fresh tmpfs of kib KiB mounted on folder,
// in a mount namespace of its own (so nothing is mounted outside the child; a user
// namespace stands in for root where the system allows it). check returns "" on
// success or a description of the failure. Call it only while the process runs a
// single thread (core tests).
inline ChildOutcome runOnSmallTmpfs(const QString& folder, int kib, const std::function<QString()>& check)
{
    ChildOutcome outcome;
#ifdef Q_OS_LINUX
    int fds[2];
    if (::pipe(fds) != 0) {
        outcome.skipped = true;
        outcome.text = QStringLiteral("no pipe");
        return outcome;
    }
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        QByteArray report;
        auto writeMap = [](const char* file, const QByteArray& text) {
            const int fd = ::open(file, O_WRONLY);
            if (fd < 0)
                return false;
            const bool ok = ::write(fd, text.constData(), size_t(text.size())) == text.size();
            ::close(fd);
            return ok;
        };
        bool ns = ::unshare(CLONE_NEWNS) == 0;
        if (!ns && ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0) {
            writeMap("/proc/self/setgroups", "deny");
            ns = writeMap("/proc/self/uid_map", QByteArray("0 ") + QByteArray::number(uid) + " 1") &&
                 writeMap("/proc/self/gid_map", QByteArray("0 ") + QByteArray::number(gid) + " 1");
        }
        const QByteArray options = "size=" + QByteArray::number(kib) + "k,mode=0700";
        if (!ns) {
            report = "SKIP:no mount namespace of its own (" + QByteArray(std::strerror(errno)) + ")";
        } else if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                   ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                           options.constData()) != 0) {
            report = "SKIP:cannot mount a tmpfs here (" + QByteArray(std::strerror(errno)) + ")";
        } else {
            report = check().toUtf8();
        }
        qint64 done = 0;
        while (done < report.size()) {
            const ssize_t n = ::write(fds[1], report.constData() + done, size_t(report.size() - done));
            if (n <= 0)
                break;
            done += n;
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        outcome.skipped = true;
        outcome.text = QStringLiteral("cannot fork");
        return outcome;
    }
    QByteArray report;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        report.append(buffer, int(n));
    }
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        outcome.text = QStringLiteral("the child ended abnormally (status %1)").arg(status);
    } else if (report.startsWith("SKIP:")) {
        outcome.skipped = true;
        outcome.text = QString::fromUtf8(report.mid(5));
    } else {
        outcome.text = QString::fromUtf8(report);
    }
#else
    Q_UNUSED(folder);
    Q_UNUSED(kib);
    Q_UNUSED(check);
    outcome.skipped = true;
    outcome.text = QStringLiteral("needs Linux mount namespaces");
#endif
    return outcome;
}

} // namespace FaultInjection
