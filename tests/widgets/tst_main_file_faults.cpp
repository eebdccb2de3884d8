// The operator's side of a failing file system, through the real main window: a save
// that strikes a full disk, a read-only folder, or a folder removed after the save
// dialog answered; an open of a file removed after the dialog; a damaged settings file
// and a damaged recovery copy at start-up; a recovery copy the disk has no room for.
// Each gives a German message (or the defaults), keeps the table and the old file,
// and the next save works.
#include "fault_injection.h"
#include "main_window_rig.h"

#include "dialogs/DlgYesNo.h"
#include "protocol/ProtocolCommands.h"
#include "protocol/office_open.h"
#include "protocol/protocol_text.h"
#include "protocol/recovery.h"
#include "protocol/xlsx_reader.h"
#include "results/results_table.h"
#include "settings/Cfg.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include <memory>
#include <optional>

using namespace FaultInjection;

namespace {

enum class SaveFault { DiskFull, ReadOnlyFolder, FolderRemoved, FolderIsFile };
enum class SettingsFault { DiskFull, ReadOnlyFolder };
enum class Damage { Bytes, Folder, NoPermission };

// Confirms the settings dialog that opens next with the countdown set to seconds (a dialog
// still open after "OK" is rejected, so a fault cannot hang the test).
void confirmSettingsWithTimer(int seconds)
{
    QTimer::singleShot(0, [seconds] {
        auto* d = qobject_cast<TCfgDialog*>(QApplication::activeModalWidget());
        if (!d)
            return;
        if (auto* timer = d->findChild<QSpinBox*>(QStringLiteral("seTimer")))
            timer->setValue(seconds);
        if (auto* ok = d->findChild<QPushButton*>(QStringLiteral("OKBtn")))
            ok->click();
        if (d->isVisible())
            d->reject();
    });
}

QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> out;
    for (const QString& name : entriesOf(folder))
        out.insert(name, QFileInfo(QDir(folder).filePath(name)).isDir()
                             ? QByteArray("<dir>")
                             : fileBytes(QDir(folder).filePath(name)));
    return out;
}

void enterRun(TFormMain& w, MainRig& rig, const QString& stNr, const QString& driver)
{
    enterRunByKeys(w, rig, stNr, driver);
    QTest::keyClick(&w, Qt::Key_N, Qt::AltModifier);
}

void click(TFormMain& w, const char* name)
{
    QTest::mouseClick(w.control<QToolButton>(QString::fromLatin1(name)), Qt::LeftButton);
}

// The start numbers of the table's data rows, sorted.
QStringList startNumbers(const ResultsTable& t)
{
    QStringList out;
    for (int r = 1; r < t.rowCount(); ++r)
        if (!ResultsTable::isBlank(t.cell(ResultsTable::StNr, r)))
            out << t.cell(ResultsTable::StNr, r);
    out.sort();
    return out;
}

// "" when the file at path holds the table's results as the given kind.
QString checkSaved(int filter, const QString& path, const ResultsTable& t)
{
    switch (filter) {
    case 0:
        return fileBytes(path) == protocolTextBytes(t) ? QString() : QStringLiteral("the text differs");
    case 1: {
        QVector<QStringList> rows;
        QString error;
        if (!readFirstSheet(path, &rows, &error, QLatin1Char(',')))
            return error;
        return rows.size() == t.rowCount() && rows[1].value(1) == t.cell(1, 1)
                   ? QString()
                   : QStringLiteral("workbook differs");
    }
    case 2: {
        OfficeOpen::ZipPackage pkg;
        QByteArray xml;
        QString error;
        if (!pkg.open(path, &error) || !pkg.read(QStringLiteral("word/document.xml"), &xml, &error))
            return error;
        return xml.contains(t.cell(1, 1).toUtf8()) ? QString() : QStringLiteral("document lacks the table");
    }
    default:
        return fileBytes(path).contains(t.cell(1, 1).toLatin1()) ? QString()
                                                                 : QStringLiteral("page lacks the table");
    }
}

} // namespace

Q_DECLARE_METATYPE(SaveFault)
Q_DECLARE_METATYPE(Damage)
Q_DECLARE_METATYPE(SettingsFault)

class TestMainFileFaults : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;

    static QString settingsPath()
    {
        return QSettings(settingsOrganisation(), settingsApplication()).fileName();
    }

private Q_SLOTS:
    void init()
    {
        clearStoredSettings();
        QFile::remove(settingsPath() + QStringLiteral(".defekt"));
    }
    // A settings file a test made unreadable, or a folder in its place, goes even when the test failed.
    void cleanup()
    {
        const QString path = settingsPath();
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (QFileInfo(path).isDir())
            QDir(path).removeRecursively();
        else
            QFile::remove(path);
    }

    void failedSaveKeepsTableAndFile_data()
    {
        QTest::addColumn<int>("filter");
        QTest::addColumn<SaveFault>("fault");
        const char* kinds[] = {"text", "workbook", "document", "web page"};
        const std::pair<SaveFault, const char*> faults[] = {
            {SaveFault::DiskFull, "disk full"},
            {SaveFault::ReadOnlyFolder, "read-only folder"},
            {SaveFault::FolderRemoved, "folder removed after the dialog"},
            {SaveFault::FolderIsFile, "folder is a file"}};
        for (int filter = 0; filter < 4; ++filter)
            for (const auto& f : faults)
                QTest::addRow("%s: %s", kinds[filter], f.second) << filter << f.first;
    }
    void failedSaveKeepsTableAndFile()
    {
        QFETCH(int, filter);
        QFETCH(SaveFault, fault);
        QTemporaryDir base;
        const QString folder = base.filePath(QStringLiteral("protokolle"));
        QVERIFY(QDir().mkpath(folder));
        const QString ext = ProtocolCommands::extensionOf(static_cast<ProtocolKind>(filter));
        QString path = QDir(folder).filePath(QStringLiteral("lauf") + ext);
        const QString stick = QDir(folder).filePath(QStringLiteral("stick"));
        if (fault == SaveFault::FolderRemoved) {
            QVERIFY(QDir().mkdir(stick));
            path = QDir(stick).filePath(QStringLiteral("lauf") + ext);
        } else if (fault == SaveFault::FolderIsFile) {
            QVERIFY(writeBytes(stick, "x"));
            path = QDir(stick).filePath(QStringLiteral("lauf") + ext);
        } else {
            QVERIFY(writeBytes(path, "ALT vorher\r\n"));
        }

        MainRig rig;
        auto w = rig.make();
        QStringList errors;
        w->setErrorHook([&errors](const QString& e) { errors.append(e); });
        enterRun(*w, rig, QStringLiteral("7"), QStringLiteral("Max Bauer"));
        enterRun(*w, rig, QStringLiteral("12"), QStringLiteral("Jörg Öhler"));
        const QVector<QStringList> rows = w->resultsTable().rows();
        const QString folderBefore = w->protocolCommands()->protocolFolder();

        // The fault strikes after the dialog answered, before the file is written.
        bool faulty = true;
        std::optional<FileSizeLimit> limit;
        std::unique_ptr<ReadOnlyFolder> readOnly;
        w->protocolCommands()->setFileDialogHook([&](const FileDialogRequest&) {
            if (faulty) {
                if (fault == SaveFault::DiskFull)
                    limit.emplace(128);
                else if (fault == SaveFault::ReadOnlyFolder)
                    readOnly = std::make_unique<ReadOnlyFolder>(folder);
                else if (fault == SaveFault::FolderRemoved)
                    QDir(stick).removeRecursively();
            }
            return FileDialogAnswer{path, filter};
        });
        const QMap<QString, QByteArray> before = snapshot(folder);
        click(*w, "sbSave");
        limit.reset();
        const bool blocked = !readOnly || readOnly->effective();
        readOnly.reset();
        if (!blocked)
            QSKIP("this file system lets even a read-only folder take new files");

        QCOMPARE(errors.size(), 1);
        if (filter == 0 || filter == 3)
            QCOMPARE(errors[0], QStringLiteral("Der Schreibfehler der Datei: ") + path);
        else
            QVERIFY2(errors[0].contains(path), qPrintable(errors[0]));
        QCOMPARE(w->resultsTable().rows(), rows);
        QMap<QString, QByteArray> expected = before;
        if (fault == SaveFault::FolderRemoved)
            expected.remove(QStringLiteral("stick")); // and not made again by the save
        QCOMPARE(snapshot(folder), expected);
        QVERIFY(!w->statusNoticeText().contains(QStringLiteral("Gespeichert")));
        QCOMPARE(w->protocolCommands()->protocolFolder(), folderBefore);

        // The cause gone, the same save succeeds.
        faulty = false;
        if (fault == SaveFault::FolderRemoved) {
            QVERIFY(QDir().mkdir(stick));
        } else if (fault == SaveFault::FolderIsFile) {
            QVERIFY(QFile::remove(stick));
            QVERIFY(QDir().mkdir(stick));
        }
        click(*w, "sbSave");
        QCOMPARE(errors.size(), 1);
        QCOMPARE(checkSaved(filter, path, w->resultsTable()), QString());
        QVERIFY(w->statusNoticeText().contains(QStringLiteral("Gespeichert")));
        QCOMPARE(w->resultsTable().rows(), rows);
    }

    void openOfVanishedFileKeepsTheTable_data()
    {
        QTest::addColumn<int>("filter");
        QTest::newRow("text") << 0;
        QTest::newRow("workbook") << 1;
    }
    void openOfVanishedFileKeepsTheTable()
    {
        QFETCH(int, filter);
        QTemporaryDir dir;
        const QString path =
            dir.filePath(filter == 0 ? QStringLiteral("start.txt") : QStringLiteral("start.xlsx"));
        MainRig rig;
        auto w = rig.make();
        QStringList errors;
        w->setErrorHook([&errors](const QString& e) { errors.append(e); });
        enterRun(*w, rig, QStringLiteral("3"), QStringLiteral("Anna"));
        QVERIFY(w->protocolCommands()->saveAs(static_cast<ProtocolKind>(filter), path));
        const QVector<QStringList> rows = w->resultsTable().rows();
        enterRun(*w, rig, QStringLiteral("4"), QStringLiteral("Bert")); // not saved yet
        const QVector<QStringList> unsaved = w->resultsTable().rows();
        QVERIFY(unsaved != rows);
        w->yesNoDialog()->setNextAnswers({true}); // discard the unsaved result
        w->protocolCommands()->setFileDialogHook([&](const FileDialogRequest&) {
            QFile::remove(path); // removed after the dialog answered
            return FileDialogAnswer{path, filter};
        });
        click(*w, "sbLoad");
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].contains(path) && errors[0].contains(QStringLiteral("Die Datei gibt es nicht")),
                 qPrintable(errors[0]));
        QCOMPARE(w->resultsTable().rows(), unsaved);
    }

    void unusableSettingsAtStartUpGiveTheDefaults_data()
    {
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<int>("cut"); // bytes kept of the file as written; -1: all of it
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("cut in the middle of a line") << Damage::Bytes << -2 << QByteArray();
        QTest::newRow("cut in the middle of a UTF-8 sequence") << Damage::Bytes << -3 << QByteArray();
        QTest::newRow("random bytes") << Damage::Bytes << 0 << randomBytes(900, 11);
        QTest::newRow("NUL bytes") << Damage::Bytes << 0 << QByteArray(900, '\0');
        QTest::newRow("a folder in its place") << Damage::Folder << 0 << QByteArray();
        QTest::newRow("no permission to read") << Damage::NoPermission << -1 << QByteArray();
    }
    void unusableSettingsAtStartUpGiveTheDefaults()
    {
        QFETCH(Damage, damage);
        QFETCH(int, cut);
        QFETCH(QByteArray, bytes);
        const QString path = settingsPath();
        {
            AppSettings mine;
            mine.timer = 25;
            mine.zeile1 = QStringLiteral("Pflügen am Hang");
            QSettings store(settingsOrganisation(), settingsApplication());
            QVERIFY(saveSettings(store, mine));
        }
        const QByteArray whole = fileBytes(path);
        if (cut == -2)
            bytes = whole.left(whole.indexOf("Timer=25") + 7); // "Timer=2"
        else if (cut == -3)
            bytes = whole.left(whole.indexOf("\xC3\xBC") + 1); // inside the ü
        else if (cut == -1)
            bytes = whole;
        QVERIFY(QFile::remove(path));
        QVERIFY(damage == Damage::Folder ? QDir().mkdir(path) : writeBytes(path, bytes));
        if (damage == Damage::NoPermission)
            QFile::setPermissions(path, QFileDevice::WriteOwner);

        {
            WithoutAccessOverride asUser; // the window's whole life, start-up to exit
            MainRig rig;
            auto w = rig.make();
            QCOMPARE(w->settings().timer, AppSettings().timer);
            QCOMPARE(w->eventTitle(), QStringLiteral("Furchenlauf"));
            if (damage == Damage::Bytes) {
                QCOMPARE(w->statusNoticeText(),
                         QStringLiteral(
                             "Einstellungen beschädigt, es gelten die Standardwerte. Die alte Datei: ") +
                             path + QStringLiteral(".defekt"));
                QCOMPARE(fileBytes(path + QStringLiteral(".defekt")), bytes);
            } else {
                QCOMPARE(w->statusNoticeText(),
                         QStringLiteral("Einstellungen nicht lesbar, es gelten die Standardwerte: ") + path);
            }
            w->control<QLineEdit>(QStringLiteral("eFText1"))->setText(QStringLiteral("Neuer Titel"));
        }
        // The exit writes a complete new file, never over what it could not read.
        if (damage == Damage::Folder) {
            QVERIFY(QFileInfo(path).isDir());
        } else if (damage == Damage::NoPermission) {
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            QCOMPARE(fileBytes(path), bytes);
        } else {
            QCOMPARE(settingsFileState(path), SettingsFileState::Readable);
            QCOMPARE(storedSetting("Zeile1").toString(), QStringLiteral("Neuer Titel"));
            QCOMPARE(storedSetting("Timer").toInt(), 60);
        }
    }

    // Settings confirmed while they cannot be stored: they apply, the operator is told, the
    // file keeps what it held; once the fault is gone the next confirmation stores them.
    void settingsNotStoredAreSaid_data()
    {
        QTest::addColumn<SettingsFault>("fault");
        QTest::newRow("disk full (file-size limit)") << SettingsFault::DiskFull;
        QTest::newRow("read-only folder") << SettingsFault::ReadOnlyFolder;
    }
    void settingsNotStoredAreSaid()
    {
        QFETCH(SettingsFault, fault);
        const QString path = settingsPath();
        {
            AppSettings mine;
            mine.timer = 25;
            QSettings store(settingsOrganisation(), settingsApplication());
            QVERIFY(saveSettings(store, mine));
        }
        const QString folder = QFileInfo(path).absolutePath();
        const QMap<QString, QByteArray> before = snapshot(folder);

        MainRig rig;
        auto w = rig.make();
        QCOMPARE(w->settings().timer, 25);
        QVERIFY2(!w->statusNoticeText().contains(QStringLiteral("Einstellungen")),
                 qPrintable(w->statusNoticeText()));
        {
            std::optional<FileSizeLimit> limit;
            std::unique_ptr<ReadOnlyFolder> readOnly;
            if (fault == SettingsFault::DiskFull)
                limit.emplace(128);
            else
                readOnly = std::make_unique<ReadOnlyFolder>(folder);
            if (readOnly && !readOnly->effective())
                QSKIP("this file system lets even a read-only folder take new files");
            confirmSettingsWithTimer(40);
            click(*w, "bCFG");
        }
        QCOMPARE(w->settings().timer, 40);
        const QString said =
            QStringLiteral("Einstellungen nicht gespeichert, sie gelten bis zum Programmende: ") + path;
        QVERIFY2(w->statusNoticeText().contains(said), qPrintable(w->statusNoticeText()));
        QCOMPARE(snapshot(folder), before);

        confirmSettingsWithTimer(50);
        click(*w, "bCFG");
        QCOMPARE(w->settings().timer, 50);
        QVERIFY2(!w->statusNoticeText().contains(QStringLiteral("Einstellungen")),
                 qPrintable(w->statusNoticeText()));
        QCOMPARE(storedSetting("Timer").toInt(), 50);
    }

    void damagedRecoveryCopyAtStartUp_data()
    {
        QTest::addColumn<int>("keep"); // bytes kept of the three-result copy; -1: replaced by bytes
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("restored"); // results restored; -1: nothing offered
        QTest::newRow("cut in the middle of the last line") << -2 << QByteArray() << 2;
        QTest::newRow("cut in the middle of a UTF-8 sequence") << -3 << QByteArray() << 2;
        QTest::newRow("random bytes") << -1 << randomBytes(1500, 23) << -1;
        QTest::newRow("NUL bytes") << -1 << QByteArray(4096, '\0') << -1;
        QTest::newRow("empty") << -1 << QByteArray() << -1;
    }
    void damagedRecoveryCopyAtStartUp()
    {
        QFETCH(int, keep);
        QFETCH(QByteArray, bytes);
        QFETCH(int, restored);
        MainRig rig;
        ResultsTable t;
        t.setRow(1, {"1", "Anna", " ", "Lanz", "1955", "0", "0,00", "1:01,00", "0", "0", "1"});
        t.appendRow({"2", "Bert", " ", "Fendt", "1960", "1", "0,00", "1:02,00", "0", "1", "2"});
        t.appendRow({"3", "Łucja Müller", " ", "Deutz", "1961", "2", "0,00", "1:03,00", "0", "2", "3"});
        const QByteArray whole = protocolTextBytes(t);
        if (keep == -2)
            bytes = whole.left(whole.lastIndexOf("\r\n", whole.size() - 3) + 6);
        else if (keep == -3)
            bytes = whole.left(whole.lastIndexOf("\xC3\xBC") + 1);
        RecoveryStore probe(rig.recovery.path());
        QVERIFY(writeBytes(probe.copyPath(), bytes));
        QVERIFY(writeBytes(probe.keepPath(), QByteArray())); // the last session did not end normally

        auto w = rig.make();
        QStringList errors;
        w->setErrorHook([&errors](const QString& e) { errors.append(e); });
        QSignalSpy questions(w->yesNoDialog(), &TFDlgYesNo::questionAsked);
        w->yesNoDialog()->setNextAnswers({true});
        w->offerRecovery();

        const QStringList aside =
            QDir(rig.recovery.path()).entryList({QStringLiteral("recovery-defekt-*.txt")}, QDir::Files);
        QCOMPARE(aside.size(), 1);
        const QString asidePath = QDir(rig.recovery.path()).filePath(aside[0]);
        QCOMPARE(fileBytes(asidePath), bytes);
        QCOMPARE(errors.size(), 1);
        QVERIFY2(errors[0].endsWith(asidePath), qPrintable(errors[0]));
        if (restored < 0) {
            QVERIFY(errors[0].startsWith(
                QStringLiteral("Die Sicherungskopie der letzten Sitzung ist beschädigt")));
            QCOMPARE(questions.count(), 0);
            QVERIFY(!w->resultsTable().holdsResults());
            QVERIFY(!QFileInfo::exists(probe.copyPath()));
            return;
        }
        QVERIFY(errors[0].startsWith(
            QStringLiteral("Die Sicherungskopie der letzten Sitzung ist unvollständig")));
        QCOMPARE(questions.count(), 1);
        QCOMPARE(startNumbers(w->resultsTable()), QStringList({"1", "2"}));
        // The copy is complete again.
        QCOMPARE(fileBytes(probe.copyPath()), protocolTextBytes(w->resultsTable()));
    }

    // A recovery copy that cannot be written is said in the status bar until one can.
    void recoveryCopyWithoutRoomIsShown()
    {
        MainRig rig;
        auto w = rig.make();
        w->offerRecovery(); // nothing to offer: the session starts
        RecoveryStore probe(rig.recovery.path());
        {
            FileSizeLimit full(64);
            enterRun(*w, rig, QStringLiteral("5"), QStringLiteral("Carl"));
        }
        QCOMPARE(w->statusNoticeText(),
                 QStringLiteral("Sicherungskopie nicht geschrieben: ") + probe.copyPath());
        QVERIFY(!QFileInfo::exists(probe.copyPath()));
        QCOMPARE(entriesOf(rig.recovery.path()), QStringList{QStringLiteral("session.lock")});
        enterRun(*w, rig, QStringLiteral("6"), QStringLiteral("Dora"));
        QVERIFY(!w->statusNoticeText().contains(QStringLiteral("Sicherungskopie")));
        QCOMPARE(fileBytes(probe.copyPath()), protocolTextBytes(w->resultsTable()));
    }
};

QTEST_MAIN(TestMainFileFaults)
#include "tst_main_file_faults.moc"
