// Files the program reads back that were damaged behind its back: a settings file
// that cannot be read, is cut short or holds binary bytes gives the defaults (and is
// replaced by a complete one at the next save); a recovery copy cut short gives its
// complete lines only, a binary one nothing.
#include "fault_injection.h"
#include "protocol/protocol_text.h"
#include "protocol/recovery.h"
#include "results/results_table.h"
#include "settings/settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace FaultInjection;

namespace {

// A settings file as the program writes it, with values that differ from the defaults.
QByteArray writtenSettings()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.conf"));
    {
        QSettings store(path, QSettings::IniFormat);
        AppSettings s;
        s.port[0] = 4;
        s.timer = 25;
        s.zeile1 = QStringLiteral("Pflügen – Endlauf");
        saveSettings(store, s);
    }
    return fileBytes(path);
}

enum class Make { Bytes, Folder, NoPermission };

// The text protocol bytes of a table with n results (the header line first).
QByteArray protocolWith(int results, bool umlaut = false)
{
    ResultsTable t;
    for (int i = 1; i <= results; ++i) {
        const QStringList row = {QString::number(i),
                                 umlaut ? QStringLiteral("Jörg Łęcki %1").arg(i)
                                        : QStringLiteral("Fahrer %1").arg(i),
                                 " ",
                                 "Lanz",
                                 "1955",
                                 "2",
                                 "0,00",
                                 "1:23,45",
                                 "0",
                                 "2",
                                 QString::number(i)};
        if (i == 1)
            t.setRow(1, row);
        else
            t.appendRow(row);
    }
    return protocolTextBytes(t);
}

} // namespace

Q_DECLARE_METATYPE(Make)
Q_DECLARE_METATYPE(SettingsFileState)
Q_DECLARE_METATYPE(RecoveryCopyState)

class TestStoredFileFaults : public QObject {
    Q_OBJECT

    // Settings files of every kind; usableToo false: only those that cannot be used.
    static void settingsRows(bool usableToo)
    {
        QTest::addColumn<Make>("make");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<SettingsFileState>("state");
        const QByteArray whole = writtenSettings();
        const qsizetype umlaut = whole.indexOf("\xC3\xBC"); // the ü of "Pflügen"
        QVERIFY(umlaut > 0);
        const qsizetype timer = whole.indexOf("Timer=25");
        if (usableToo) {
            QTest::newRow("as written") << Make::Bytes << whole << SettingsFileState::Readable;
            QTest::newRow("empty") << Make::Bytes << QByteArray() << SettingsFileState::Readable;
            QTest::newRow("one line, CR LF")
                << Make::Bytes << QByteArray("[General]\r\nTimer=5\r\n") << SettingsFileState::Readable;
            QTest::newRow("cut at a line end")
                << Make::Bytes << whole.left(timer) << SettingsFileState::Readable;
        }
        QTest::newRow("cut in the middle of a line")
            << Make::Bytes << whole.left(timer + 7) << SettingsFileState::Damaged;
        QTest::newRow("cut before the last line end")
            << Make::Bytes << whole.left(whole.size() - 1) << SettingsFileState::Damaged;
        QTest::newRow("cut in the middle of a UTF-8 sequence")
            << Make::Bytes << whole.left(umlaut + 1) << SettingsFileState::Damaged;
        QTest::newRow("a broken UTF-8 sequence inside")
            << Make::Bytes << QByteArray(whole).remove(umlaut + 1, 1) << SettingsFileState::Damaged;
        QTest::newRow("a NUL byte inside")
            << Make::Bytes << QByteArray(whole).insert(20, '\0') << SettingsFileState::Damaged;
        QTest::newRow("only NUL bytes")
            << Make::Bytes << QByteArray(4096, '\0') << SettingsFileState::Damaged;
        QTest::newRow("random bytes") << Make::Bytes << randomBytes(700, 18) << SettingsFileState::Damaged;
        QTest::newRow("random bytes ending in a line end") << Make::Bytes << randomBytes(700, 7) + "\n"
                                                           << SettingsFileState::Damaged;
        QTest::newRow("a folder in its place")
            << Make::Folder << QByteArray() << SettingsFileState::Unreadable;
        QTest::newRow("no permission to read")
            << Make::NoPermission << whole << SettingsFileState::Unreadable;
    }

private Q_SLOTS:
    void settingsFileState_data() { settingsRows(true); }
    void settingsFileState()
    {
        QFETCH(Make, make);
        QFETCH(QByteArray, bytes);
        QFETCH(SettingsFileState, state);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Acker Klassik.conf"));
        QVERIFY(make == Make::Folder ? QDir().mkdir(path) : writeBytes(path, bytes));
        if (make == Make::NoPermission)
            QFile::setPermissions(path, QFileDevice::Permissions());
        WithoutAccessOverride asUser;
        QCOMPARE(::settingsFileState(path), state);
    }

    // Whatever is wrong with the file: the defaults, all of them; the next save writes a
    // complete file where it may (not over a folder or a file it may not write).
    void unusableSettingsGiveTheDefaults_data() { settingsRows(false); }
    void unusableSettingsGiveTheDefaults()
    {
        QFETCH(Make, make);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Acker Klassik.conf"));
        QVERIFY(make == Make::Folder ? QDir().mkdir(path) : writeBytes(path, bytes));
        if (make == Make::NoPermission)
            QFile::setPermissions(path, QFileDevice::WriteOwner);
        AppSettings saved;
        saved.timer = 80;
        saved.zeile1 = QStringLiteral("Neu");
        bool written = false;
        {
            WithoutAccessOverride asUser;
            QSettings store(path, QSettings::IniFormat);
            AppSettings read;
            QCOMPARE(loadSettings(store, read), 0);
            QCOMPARE(read, AppSettings());
            written = saveSettings(store, saved);
        }
        // What cannot be read is not replaced either: a folder, or a file without read access.
        if (make == Make::Folder) {
            QVERIFY(!written);
            QVERIFY(QFileInfo(path).isDir());
            return;
        }
        if (make == Make::NoPermission) {
            QVERIFY(!written);
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            QCOMPARE(fileBytes(path), bytes);
            return;
        }
        QVERIFY(written);
        QCOMPARE(::settingsFileState(path), SettingsFileState::Readable);
        QSettings again(path, QSettings::IniFormat);
        AppSettings read;
        QCOMPARE(loadSettings(again, read), kSettingsReads);
        QCOMPARE(read, saved);
        // Nothing of the damaged file is carried into the new one.
        QTemporaryDir clean;
        QSettings fresh(clean.filePath(QStringLiteral("s.conf")), QSettings::IniFormat);
        QVERIFY(saveSettings(fresh, saved));
        QCOMPARE(again.allKeys(), fresh.allKeys());
    }

    // A file cut exactly at a line end cannot be told from a shorter one: what it holds
    // is read, the reading stops at the first number it lacks.
    void settingsCutAtALineEndReadUpToTheCut()
    {
        const QByteArray whole = writtenSettings();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.conf"));
        QVERIFY(writeBytes(path, whole.left(whole.indexOf("Timer=25"))));
        QSettings store(path, QSettings::IniFormat);
        AppSettings read;
        QVERIFY(loadSettings(store, read) > 0);
        QCOMPARE(read.port[0], quint8(4));
        QCOMPARE(read.timer, AppSettings().timer);
    }

    // A hand-edited escape that stands for half a character is read as it is; saving stores the
    // text as the file can hold it instead of failing every time.
    void settingsWithAHalfCharacterAreStored_data()
    {
        QTest::addColumn<QByteArray>("escape");
        QTest::newRow("first high surrogate") << QByteArray("\\xd800");
        QTest::newRow("last low surrogate") << QByteArray("\\xdfff");
    }
    void settingsWithAHalfCharacterAreStored()
    {
        QFETCH(QByteArray, escape);
        QByteArray bytes = writtenSettings();
        const qsizetype at = bytes.indexOf("Zeile1=") + 7;
        bytes.replace(at, bytes.indexOf('\n', at) - at, escape + "x");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.conf"));
        QVERIFY(writeBytes(path, bytes));
        AppSettings read;
        {
            QSettings store(path, QSettings::IniFormat);
            QCOMPARE(loadSettings(store, read), kSettingsReads);
            QCOMPARE(read.zeile1.size(), 2);
            QVERIFY(read.zeile1.at(0).isSurrogate());
            QVERIFY(saveSettings(store, read));
        }
        QSettings again(path, QSettings::IniFormat);
        AppSettings stored;
        QCOMPARE(loadSettings(again, stored), kSettingsReads);
        QCOMPARE(stored.zeile1, QString::fromUtf8(read.zeile1.toUtf8()));
        QCOMPARE(stored.timer, read.timer);
    }

    void damagedSettingsAreSetAside()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.conf"));
        QVERIFY(writeBytes(path, "[General]\nTimer=6"));
        QVERIFY(writeBytes(path + QStringLiteral(".defekt"), "older"));
        QCOMPARE(setDamagedSettingsAside(path), path + QStringLiteral(".defekt"));
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(fileBytes(path + QStringLiteral(".defekt")), QByteArray("[General]\nTimer=6"));
    }

    void recoveryCopyState_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<RecoveryCopyState>("state");
        QTest::addColumn<int>("rows"); // data rows read
        const QByteArray two = protocolWith(2);
        const QByteArray twoUmlaut = protocolWith(2, true);
        const qsizetype lastLine = two.lastIndexOf("\r\n", two.size() - 3) + 2;
        const qsizetype umlaut = twoUmlaut.lastIndexOf("\xC3\xB6"); // ö of the last row
        QVERIFY(twoUmlaut.startsWith("\xEF\xBB\xBF"));              // Ł has no Windows-1252 byte
        QVERIFY(umlaut > 0);
        QTest::newRow("one result") << protocolWith(1) << RecoveryCopyState::Complete << 1;
        QTest::newRow("two results") << two << RecoveryCopyState::Complete << 2;
        QTest::newRow("cut in the middle of the last line")
            << two.left(lastLine + 9) << RecoveryCopyState::Cut << 1;
        QTest::newRow("cut before its CR LF") << two.left(two.size() - 2) << RecoveryCopyState::Cut << 1;
        QTest::newRow("cut between CR and LF") << two.left(two.size() - 1) << RecoveryCopyState::Cut << 1;
        QTest::newRow("cut at a line end (one result fewer)")
            << two.left(lastLine) << RecoveryCopyState::Complete << 1;
        QTest::newRow("header only") << two.left(two.indexOf("\r\n") + 2) << RecoveryCopyState::Damaged << 0;
        QTest::newRow("cut in the header line") << two.left(30) << RecoveryCopyState::Damaged << 0;
        QTest::newRow("empty") << QByteArray() << RecoveryCopyState::Damaged << 0;
        QTest::newRow("NUL bytes (a block lost in a power cut)")
            << two.left(lastLine) + QByteArray(512, '\0') << RecoveryCopyState::Damaged << 0;
        QTest::newRow("random bytes") << randomBytes(2000, 5) << RecoveryCopyState::Damaged << 0;
        QTest::newRow("a line of ten cells")
            << QByteArray(two).remove(lastLine, 2) << RecoveryCopyState::Damaged << 0;
        QTest::newRow("LF line ends")
            << QByteArray(two).replace("\r\n", "\n") << RecoveryCopyState::Damaged << 0;
        QTest::newRow("UTF-8 copy") << twoUmlaut << RecoveryCopyState::Complete << 2;
        QTest::newRow("UTF-8 copy cut in the middle of a sequence")
            << twoUmlaut.left(umlaut + 1) << RecoveryCopyState::Cut << 1;
    }
    void recoveryCopyState()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(RecoveryCopyState, state);
        QFETCH(int, rows);
        QTemporaryDir dir;
        RecoveryStore store(dir.path());
        QVERIFY(writeBytes(store.copyPath(), bytes));
        ProtocolTextContent content;
        QCOMPARE(store.readCopy(&content), state);
        QCOMPARE(int(content.rows.size()), rows);
        for (const QStringList& row : content.rows) {
            QCOMPARE(row.size(), int(ResultsTable::ColumnCount));
            QCOMPARE(row.at(ResultsTable::Zeit2), QStringLiteral("1:23,45"));
        }
    }

    void unreadableRecoveryCopyIsDamaged()
    {
        QTemporaryDir dir;
        RecoveryStore store(dir.path());
        QVERIFY(QDir().mkdir(store.copyPath()));
        ProtocolTextContent content;
        QCOMPARE(store.readCopy(&content), RecoveryCopyState::Damaged);
    }

    void copySetAsideKeepsItsBytes()
    {
        QTemporaryDir dir;
        RecoveryStore store(dir.path());
        const QByteArray bytes = randomBytes(300, 3);
        QVERIFY(writeBytes(store.copyPath(), bytes));
        const QDateTime now(QDate(2024, 6, 1), QTime(9, 5, 7));
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("recovery-defekt-2024-06-01-09-05-07.txt")), "older"));
        const QString aside = store.setCopyAside(now);
        QCOMPARE(aside, dir.filePath(QStringLiteral("recovery-defekt-2024-06-01-09-05-07-2.txt")));
        QCOMPARE(fileBytes(aside), bytes);
        QVERIFY(!store.hasRecoveryCopy());
    }
};

QTEST_GUILESS_MAIN(TestStoredFileFaults)
#include "tst_stored_file_faults.moc"
