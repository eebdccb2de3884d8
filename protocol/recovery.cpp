#include "protocol/recovery.h"

#include "platform/atomic_write.h"
#include "protocol/protocol_text.h"
#include "results/results_table.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

RecoveryStore::RecoveryStore(const QString& folder)
    : m_folder(folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) : folder)
{
}

RecoveryStore::~RecoveryStore() = default;

QString RecoveryStore::markerPath() const
{
    return QDir(m_folder).filePath(QStringLiteral("session.lock"));
}

QString RecoveryStore::copyPath() const
{
    return QDir(m_folder).filePath(QStringLiteral("recovery.txt"));
}

bool RecoveryStore::previousSessionEndedAbnormally() const
{
    if (m_abnormal)
        return *m_abnormal;
    if (!active() && QFile::exists(keepPath())) {
        m_abnormal = true;
        return true;
    }
    if (active() || !QFile::exists(markerPath())) {
        m_abnormal = false;
        return false;
    }
    // A marker whose owner is no longer running is stale: probing takes and frees it.
    QLockFile probe(markerPath());
    probe.setStaleLockTime(0);
    const bool stale = probe.tryLock(0);
    if (stale)
        probe.unlock();
    m_abnormal = stale;
    return stale;
}

bool RecoveryStore::hasRecoveryCopy() const
{
    return QFile::exists(copyPath());
}

bool RecoveryStore::sessionStarted()
{
    if (active())
        return true;
    previousSessionEndedAbnormally(); // settle the answer before the marker changes
    QDir().mkpath(m_folder);
    auto lock = std::make_unique<QLockFile>(markerPath());
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    m_lock = std::move(lock);
    QFile::remove(keepPath());
    return true;
}

bool RecoveryStore::active() const
{
    return m_lock && m_lock->isLocked();
}

bool RecoveryStore::writeCopy(const ResultsTable& table)
{
    if (!active())
        return true;
    if (!table.holdsResults()) {
        discardCopy();
        return true;
    }
    return writeFileAtomically(copyPath(), protocolTextBytes(table), nullptr);
}

namespace {

// A free name "<prefix><now>.txt" (or "-2.txt" and on) in folder.
QString freeDatedName(const QString& folder, const QString& prefix, const QDateTime& now)
{
    const QString stem = prefix + now.toString(QStringLiteral("yyyy-MM-dd-hh-mm-ss"));
    const QDir dir(folder);
    QString path = dir.filePath(stem + QStringLiteral(".txt"));
    for (int n = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
        path = dir.filePath(stem + QStringLiteral("-%1.txt").arg(n));
    return path;
}

// A line as the program writes it: 11 cells, each followed by a TAB.
bool isWrittenLine(QByteArrayView line)
{
    return line.endsWith('\t') && line.count('\t') == ResultsTable::ColumnCount && !line.contains('\n') &&
           !line.contains('\r');
}

} // namespace

RecoveryCopyState checkRecoveryCopy(const QByteArray& bytes, QByteArray* usable)
{
    static const QByteArray bom("\xEF\xBB\xBF");
    const qsizetype start = bytes.startsWith(bom) ? bom.size() : 0;
    if (bytes.contains('\0'))
        return RecoveryCopyState::Damaged;
    qsizetype from = start;
    int lines = 0;
    while (from < bytes.size()) {
        const qsizetype end = bytes.indexOf("\r\n", from);
        if (end < 0)
            break;
        if (!isWrittenLine(QByteArrayView(bytes).sliced(from, end - from)))
            return RecoveryCopyState::Damaged;
        ++lines;
        from = end + 2;
    }
    // The header line alone holds no result.
    if (lines < 2)
        return RecoveryCopyState::Damaged;
    if (usable)
        *usable = bytes.left(from);
    return from == bytes.size() ? RecoveryCopyState::Complete : RecoveryCopyState::Cut;
}

QString RecoveryStore::keepDatedCopy(const ResultsTable& table, const QDateTime& now) const
{
    if (!QDir().mkpath(m_folder))
        return QString();
    const QString path = freeDatedName(m_folder, QStringLiteral("recovery-"), now);
    return writeFileAtomically(path, protocolTextBytes(table), nullptr) ? path : QString();
}

RecoveryCopyState RecoveryStore::readCopy(ProtocolTextContent* out) const
{
    QFile file(copyPath());
    if (!file.open(QIODevice::ReadOnly) || file.size() > ProtocolTextLimits::maxBytes)
        return RecoveryCopyState::Damaged;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return RecoveryCopyState::Damaged;
    QByteArray usable;
    const RecoveryCopyState state = checkRecoveryCopy(bytes, &usable);
    if (state == RecoveryCopyState::Damaged || !readProtocolText(usable, out, nullptr))
        return RecoveryCopyState::Damaged;
    return state;
}

QString RecoveryStore::setCopyAside(const QDateTime& now)
{
    const QString path = freeDatedName(m_folder, QStringLiteral("recovery-defekt-"), now);
    return QFile::rename(copyPath(), path) ? path : QString();
}

void RecoveryStore::discardCopy()
{
    QFile::remove(copyPath());
}

QString RecoveryStore::keepPath() const
{
    return QDir(m_folder).filePath(QStringLiteral("offer-at-next-start"));
}

void RecoveryStore::keepForNextStart()
{
    if (!active() || !QFile::exists(copyPath()))
        return;
    QFile keep(keepPath());
    if (keep.open(QIODevice::WriteOnly))
        keep.close();
}

void RecoveryStore::sessionEndedNormally()
{
    discardCopy();
    if (m_lock)
        m_lock->unlock();
    m_lock.reset();
}
