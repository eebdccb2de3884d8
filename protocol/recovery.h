#pragma once

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

class QLockFile;

// What a recovery copy holds, judged by its bytes. The program writes every line as
// 11 cells each followed by a TAB, and ends it with CR LF:
// - Complete: every line so;
// - Cut: so up to a last line that lacks its end (the copy was cut short): the lines
//   before it are usable, the cut one is not;
// - Damaged: anything else (NUL bytes, lines of another form, nothing usable, a copy
//   that cannot be read).
enum class RecoveryCopyState { Complete, Cut, Damaged };
// usable: the bytes of the complete lines (all of them when Complete).
RecoveryCopyState checkRecoveryCopy(const QByteArray& bytes, QByteArray* usable);
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
// - "recovery-defekt-yyyy-MM-dd-hh-mm-ss.txt", a copy found damaged or cut short at
//   start-up, moved aside so that it is neither offered again nor lost.
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

    // False when the copy could not be written (the one before stays as it was).
    bool writeCopy(const ResultsTable& table);
    // Writes the table as a dated copy beside the copy (also while another instance
    // owns the store: the name is new). Returns its path, empty on failure.
    QString keepDatedCopy(const ResultsTable& table, const QDateTime& now) const;
    // Reads the usable lines of the copy into out (left untouched when Damaged).
    RecoveryCopyState readCopy(ProtocolTextContent* out) const;
    // Moves the copy aside as "recovery-defekt-<now>.txt"; returns its path, empty on failure.
    QString setCopyAside(const QDateTime& now);
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
