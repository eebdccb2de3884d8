#include "protocol/protocol_text.h"
#include "protocol/recovery.h"
#include "results/results_table.h"

#include <QFile>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The marker a program leaves when it dies: a lock file naming a process that no
// longer runs (process ids of Linux stay below 2^22).
void leaveMarkerOfDeadProgram(const QString& path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("99999999\n" + QCoreApplication::applicationName().toUtf8() + "\n" +
            QSysInfo::machineHostName().toUtf8() + "\n");
}

void fill(ResultsTable& t)
{
    t.setRow(1, {"7", "Max Bauer", "", "Lanz", "1955", "2", "0,00", "1:23,45", "0", "2", "1"});
    t.appendRow({"3", "Eva", "Tom", "Deutz", "1949", "-", "EL", "EL", "-", "EL", "EL"});
}

} // namespace

class TestRecovery : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstStartIsNormal()
    {
        QTemporaryDir dir;
        RecoveryStore store(dir.filePath("neu"));
        QVERIFY(!store.previousSessionEndedAbnormally());
        QVERIFY(!store.hasRecoveryCopy());
        QVERIFY(store.sessionStarted());
        QVERIFY(QFile::exists(store.markerPath()));
    }

    void copyFollowsTheTableAndNormalEndRemovesAll()
    {
        QTemporaryDir dir;
        RecoveryStore store(dir.path());
        ResultsTable t;
        store.writeCopy(t);
        QVERIFY2(!store.hasRecoveryCopy(), "no copy before the session started");
        QVERIFY(store.sessionStarted());
        fill(t);
        store.writeCopy(t);
        QVERIFY(store.hasRecoveryCopy());
        ProtocolTextContent content;
        QCOMPARE(store.readCopy(&content), RecoveryCopyState::Complete);
        QCOMPARE(content.rows.size(), 2);
        QCOMPARE(content.rows[1][1], QStringLiteral("Eva"));

        t.clear();
        store.writeCopy(t);
        QVERIFY2(!store.hasRecoveryCopy(), "an empty table leaves nothing to restore");

        fill(t);
        store.writeCopy(t);
        store.sessionEndedNormally();
        QVERIFY(!store.hasRecoveryCopy());
        QVERIFY(!QFile::exists(store.markerPath()));
        QVERIFY(!RecoveryStore(dir.path()).previousSessionEndedAbnormally());
    }

    // The settings reset ends the program at once: its results are offered at the next start.
    void keptCopyIsOfferedAtTheNextStart()
    {
        QTemporaryDir dir;
        {
            RecoveryStore store(dir.path());
            QVERIFY(store.sessionStarted());
            ResultsTable t;
            fill(t);
            store.writeCopy(t);
            store.keepForNextStart();
        }
        RecoveryStore next(dir.path());
        QVERIFY(next.previousSessionEndedAbnormally());
        QVERIFY(next.hasRecoveryCopy());
        QVERIFY(next.sessionStarted());
        QVERIFY(!QFile::exists(next.keepPath()));
        next.sessionEndedNormally();
        QVERIFY(!RecoveryStore(dir.path()).previousSessionEndedAbnormally());
    }

    void markerOfDeadProgramIsAnAbnormalEnd()
    {
        QTemporaryDir dir;
        {
            RecoveryStore crashed(dir.path());
            QVERIFY(crashed.sessionStarted());
            ResultsTable t;
            fill(t);
            crashed.writeCopy(t);
        } // the lock is released here; what a dead program leaves is written below
        leaveMarkerOfDeadProgram(dir.filePath("session.lock"));

        RecoveryStore store(dir.path());
        QVERIFY(store.previousSessionEndedAbnormally());
        QVERIFY(store.hasRecoveryCopy());
        QVERIFY(store.sessionStarted());
        QVERIFY2(store.previousSessionEndedAbnormally(), "the answer stays after the session started");
        ProtocolTextContent content;
        QCOMPARE(store.readCopy(&content), RecoveryCopyState::Complete);
        QCOMPARE(content.rows[0][0], QStringLiteral("7"));
    }

    void markerOfRunningInstanceIsNotACrash()
    {
        QTemporaryDir dir;
        RecoveryStore first(dir.path());
        QVERIFY(first.sessionStarted());
        ResultsTable t;
        fill(t);
        first.writeCopy(t);

        RecoveryStore second(dir.path());
        QVERIFY(!second.previousSessionEndedAbnormally());
        QVERIFY2(!second.sessionStarted(), "the running instance keeps the store");
        t.clear();
        t.setCell(0, 1, QStringLiteral("99"));
        second.writeCopy(t);
        ProtocolTextContent content;
        QCOMPARE(first.readCopy(&content), RecoveryCopyState::Complete);
        QCOMPARE(content.rows[0][0], QStringLiteral("7"));
    }
};

QTEST_GUILESS_MAIN(TestRecovery)
#include "tst_recovery.moc"
