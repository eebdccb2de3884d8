#include "protocol/recovery.h"

#include "protocol/atomic_write.h"
#include "protocol/protocol_text.h"
#include "results/results_table.h"

#include <QDir>
#include <QFile>
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

void RecoveryStore::writeCopy(const ResultsTable& table)
{
    if (!active())
        return;
    if (!table.holdsResults()) {
        discardCopy();
        return;
    }
    writeFileAtomically(copyPath(), protocolTextBytes(table), nullptr);
}

QString RecoveryStore::keepDatedCopy(const ResultsTable& table, const QDateTime& now) const
{
    if (!QDir().mkpath(m_folder))
        return QString();
    const QString stem = QStringLiteral("recovery-") + now.toString(QStringLiteral("yyyy-MM-dd-hh-mm-ss"));
    QDir dir(m_folder);
    QString path = dir.filePath(stem + QStringLiteral(".txt"));
    for (int n = 2; QFile::exists(path); ++n)
        path = dir.filePath(stem + QStringLiteral("-%1.txt").arg(n));
    return writeFileAtomically(path, protocolTextBytes(table), nullptr) ? path : QString();
}

bool RecoveryStore::readCopy(ProtocolTextContent* out) const
{
    return LoadProtocolText(copyPath(), out, nullptr);
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
