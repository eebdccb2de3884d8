#include "platform/linux_serial_presence.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QRegularExpression>

#include <unistd.h>

namespace {

QString readSmallFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(f.read(4096));
}

} // namespace

LinuxSerialPresence::LinuxSerialPresence(QObject* parent) : LinuxSerialPresence(Roots(), parent) {}

LinuxSerialPresence::LinuxSerialPresence(Roots roots, QObject* parent)
    : SerialPresence(parent), m_roots(std::move(roots))
{
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &SerialPresence::devicesChanged);
}

LinuxSerialPresence::~LinuxSerialPresence() = default;

QString LinuxSerialPresence::byIdFolder() const
{
    return m_roots.dev + QStringLiteral("/serial/by-id");
}

bool LinuxSerialPresence::isConsole(const QString& name) const
{
    static const QRegularExpression space(QStringLiteral("\\s+"));
    const QStringList active = readSmallFile(m_roots.sys + QStringLiteral("/class/tty/console/active"))
                                   .split(space, Qt::SkipEmptyParts);
    if (active.contains(name))
        return true;
    // /proc/consoles: one console per line, its name first.
    const QStringList lines = readSmallFile(m_roots.consoles).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        if (line.section(space, 0, 0, QString::SectionSkipEmpty) == name)
            return true;
    }
    return false;
}

SerialNode LinuxSerialPresence::node(const QString& devicePath) const
{
    SerialNode n;
    const QFileInfo info(devicePath);
    if (devicePath.isEmpty() || !info.exists()) {
        n.kind = SerialNode::Kind::Absent;
        return n;
    }
    const QString canonical = info.canonicalFilePath();
    const QString name = QFileInfo(canonical).fileName();
    if (isConsole(name)) {
        n.kind = SerialNode::Kind::Console;
        return n;
    }
    const QString sysDir = m_roots.sys + QStringLiteral("/class/tty/") + name;
    if (QFileInfo::exists(sysDir)) {
        if (name.startsWith(QLatin1String("ttyS"))) {
            bool ok = false;
            const int type = readSmallFile(sysDir + QStringLiteral("/type")).trimmed().toInt(&ok);
            if (ok)
                n.kind = type == 0 ? SerialNode::Kind::NoUart : SerialNode::Kind::Uart;
        } else if (name.startsWith(QLatin1String("ttyUSB"))) {
            n.kind = SerialNode::Kind::Usb;
        } else if (name.startsWith(QLatin1String("ttyACM"))) {
            n.kind = SerialNode::Kind::Acm;
        }
    }
    n.accessible = ::access(QFile::encodeName(canonical).constData(), R_OK | W_OK) == 0;
    const QFileInfoList links =
        QDir(byIdFolder()).entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& link : links) {
        if (link.canonicalFilePath() == canonical) {
            n.adapterId = link.fileName();
            break;
        }
    }
    return n;
}

QString LinuxSerialPresence::deviceOfAdapter(const QString& adapterId) const
{
    // A stored identity is a plain link name; anything else leads nowhere.
    if (adapterId.isEmpty() || adapterId.contains(QLatin1Char('/')) || adapterId.startsWith(QLatin1Char('.')))
        return QString();
    const QFileInfo link(byIdFolder() + QLatin1Char('/') + adapterId);
    return link.exists() ? link.canonicalFilePath() : QString();
}

void LinuxSerialPresence::watchFolders()
{
    for (const QString& folder : {m_roots.dev, m_roots.dev + QStringLiteral("/serial"), byIdFolder()}) {
        if (QFileInfo::exists(folder) && !m_watcher->directories().contains(folder))
            m_watcher->addPath(folder);
    }
}

void LinuxSerialPresence::setWatching(bool on)
{
    if (on == watching())
        return;
    if (!on) {
        m_watcher.reset();
        m_timer.stop();
        return;
    }
    m_watcher = std::make_unique<QFileSystemWatcher>();
    connect(m_watcher.get(), &QFileSystemWatcher::directoryChanged, this, [this] {
        watchFolders(); // /dev/serial appears with the first adapter
        Q_EMIT devicesChanged();
    });
    watchFolders();
    m_timer.start();
}
