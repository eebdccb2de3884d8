#pragma once

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

class QLockFile;
class ResultsTable;
struct ProtocolTextContent;

// Crash recovery of the results table.
//
// Two files live in the store's folder:
// - "session.lock", the session marker: a QLockFile held from sessionStarted() to
//   sessionEndedNormally(). It records the process id, program and host name, so a
//   marker left by a program that is still running (a second instance) is told apart
//   from one left by a program that died: only the latter counts as an abnormal end.
//   An instance that finds the marker held by a live instance keeps out of the store
//   and writes no copies, so two instances never overwrite each other's copy.
// - "recovery.txt", the copy: the table in the text protocol format, replaced
//   atomically after every change while the table holds a result, removed when it
//   holds none and when the session ends normally.
// - "recovery-yyyy-MM-dd-hh-mm-ss.txt", dated copies of tables that opening a
//   protocol replaced while they held unsaved results; they stay until the operator
//   removes them, so a wrong answer to that question can be undone.
//
// Start-up order: previousSessionEndedAbnormally() and hasRecoveryCopy() first, then
// sessionStarted(); ProtocolCommands::offerRecovery() does all of it.
class RecoveryStore {
public:
    // folder empty: the per-user application data folder.
    explicit RecoveryStore(const QString& folder = QString());
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    QString folder() const { return m_folder; }
    QString markerPath() const;
    QString copyPath() const;

    // A marker is left by a program that is no longer running. The answer is worked
    // out once and kept, since sessionStarted() replaces the marker.
    bool previousSessionEndedAbnormally() const;
    bool hasRecoveryCopy() const;

    // Takes the marker. False when another running instance holds it; this store
    // then writes nothing.
    bool sessionStarted();
    bool active() const;

    void writeCopy(const ResultsTable& table);
    // Writes the table as a dated copy beside the copy (also while another instance
    // owns the store: the name is new). Returns its path, empty on failure.
    QString keepDatedCopy(const ResultsTable& table, const QDateTime& now) const;
    bool readCopy(ProtocolTextContent* out) const;
    void discardCopy();

    // Removes the copy and the marker.
    void sessionEndedNormally();

    // The program ends on purpose without its normal exit (the settings reset): the
    // copy stays and the next start offers it as after an abnormal end.
    void keepForNextStart();
    QString keepPath() const;

private:
    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    mutable std::optional<bool> m_abnormal;
};
