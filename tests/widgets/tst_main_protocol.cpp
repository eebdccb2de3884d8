#include "main_window_rig.h"

#include "dialogs/DlgYesNo.h"
#include "displays/FMonitor3.h"
#include "displays/TopTenGrid.h"
#include "protocol/ProtocolCommands.h"
#include "protocol/protocol_text.h"
#include "results/results_table.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QToolButton>
#include <QUrl>

namespace {

// Answers every file dialog with path (empty: cancelled) and keeps the folders they started in.
struct DialogRecorder {
    QStringList folders;
    QString answer;
    int filter = 0;
    void attach(TFormMain& w)
    {
        w.protocolCommands()->setFileDialogHook([this](const FileDialogRequest& request) {
            folders << request.folder;
            return FileDialogAnswer{answer, filter};
        });
    }
};

QString documentsOrHome()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

// A protocol file of one row, start number 99 (Otto), to be opened over the table.
bool saveOttosProtocol(const QString& path)
{
    ResultsTable t;
    t.setRow(1, {"99", "Otto"});
    return SaveProtocolText(path, t, nullptr);
}

} // namespace

class TestMainProtocol : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;
    QTemporaryDir m_workDir;
    QString m_oldCwd;

    static void enterRun(TFormMain& w, MainRig& rig) { timeAndEnterByKeys(w, rig); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_workDir.isValid());
        m_oldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_workDir.path()));
    }
    void cleanupTestCase() { QDir::setCurrent(m_oldCwd); }
    void init()
    {
        clearStoredSettings();
        QFile::remove(htmlPath());
    }

    static QString htmlPath()
    {
        return QDir::current().filePath(
            QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + QStringLiteral(".html"));
    }

    void openAsksBeforeDiscardingUnsavedResults_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Nein keeps the entered run") << false;
        QTest::newRow("Ja opens the file and keeps a dated copy") << true;
    }
    void openAsksBeforeDiscardingUnsavedResults()
    {
        QFETCH(bool, yes);
        const QString other = m_workDir.filePath(QStringLiteral("anderes.txt"));
        QVERIFY(saveOttosProtocol(other));
        MainRig rig;
        auto w = rig.make();
        DialogRecorder dialogs;
        dialogs.answer = other;
        dialogs.attach(*w);
        QStringList errors;
        w->setErrorHook([&errors](const QString& e) { errors.append(e); });
        w->control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QStringLiteral("7"));
        enterRun(*w, rig);
        const auto entered = w->resultsTable().rows();
        QSignalSpy asked(w->yesNoDialog(), &TFDlgYesNo::questionAsked);
        w->yesNoDialog()->setNextAnswers({yes});

        QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbLoad")), Qt::LeftButton);
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked.at(0).at(0).toString(), QStringLiteral("Ungespeicherte Ergebnisse verwerfen?"));
        QCOMPARE(dialogs.folders.size(), yes ? 1 : 0);
        QVERIFY(errors.isEmpty());
        const QStringList copies = QDir(rig.recovery.path()).entryList({"recovery-*.txt"}, QDir::Files);
        if (!yes) {
            QCOMPARE(w->resultsTable().rows(), entered);
            QVERIFY(copies.isEmpty());
            return;
        }
        QCOMPARE(w->resultsTable().cell(ResultsTable::StNr, 1), QStringLiteral("99"));
        // The spectators' top ten shows the opened table, not the run it replaced.
        QStringList shown;
        for (int c = 0; c < 6; ++c)
            shown << w->topTen()->grid()->cellText(1, c);
        QVERIFY2(shown.contains(QStringLiteral("Otto")), qPrintable(shown.join(QLatin1Char('|'))));
        QCOMPARE(copies.size(), 1);
        ProtocolTextContent kept;
        QVERIFY(LoadProtocolText(QDir(rig.recovery.path()).filePath(copies[0]), &kept, nullptr));
        QCOMPARE(kept.rows.size(), 1);
        QCOMPARE(kept.rows[0][ResultsTable::StNr], QStringLiteral("7"));

        // What was just opened is not unsaved: opening again asks nothing.
        QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbLoad")), Qt::LeftButton);
        QCOMPARE(asked.size(), 1);
    }

    // A start barrier may start a run while the open dialog is up: the file chosen then is
    // not opened, so the competitor on course and the start list stay as they are.
    void runStartedWhileTheOpenDialogIsUpKeepsTheProtocol()
    {
        const QString other = m_workDir.filePath(QStringLiteral("startliste.txt"));
        QVERIFY(saveOttosProtocol(other));
        MainRig rig;
        auto w = rig.make();
        w->control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QStringLiteral("7"));
        w->protocolCommands()->setFileDialogHook([&](const FileDialogRequest&) {
            w->menuAction(QStringLiteral("mStart"))->trigger(); // as the start barrier does
            return FileDialogAnswer{other, 0};
        });
        const auto before = w->resultsTable().rows();
        QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbLoad")), Qt::LeftButton);
        QCOMPARE(w->sequence().state(), SequenceState::RunningPhase1);
        QCOMPARE(w->resultsTable().rows(), before);
        QCOMPARE(w->startNumberText(), QStringLiteral("7"));
        QVERIFY(w->statusNoticeText().contains(QStringLiteral("kein Protokoll geöffnet")));
        // The run goes on and is entered for the competitor that started.
        rig.ticks.advance(40000);
        QTest::keyClick(w.get(), Qt::Key_F9);
        rig.ticks.advance(3000);
        QTest::keyClick(w.get(), Qt::Key_F9);
        QTest::keyClick(w.get(), Qt::Key_F10);
        QCOMPARE(w->resultsTable().cell(ResultsTable::StNr, 1), QStringLiteral("7"));
    }

    // Saving never replaces the table, so it is not held back while a run is timed.
    void saveWhileARunIsTimed()
    {
        MainRig rig;
        auto w = rig.make();
        enterRun(*w, rig);
        QTest::mouseClick(w->control<QPushButton>(QStringLiteral("bRESET")), Qt::LeftButton); // NÄCHSTER
        w->control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QStringLiteral("8"));
        const QString path = m_workDir.filePath(QStringLiteral("waehrend-lauf.txt"));
        w->protocolCommands()->setFileDialogHook([&](const FileDialogRequest&) {
            w->menuAction(QStringLiteral("mStart"))->trigger(); // a barrier starts the next run
            return FileDialogAnswer{path, 0};
        });
        QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbSave")), Qt::LeftButton);
        QCOMPARE(w->sequence().state(), SequenceState::RunningPhase1);
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(!w->statusNoticeText().contains(QStringLiteral("kein Protokoll")));
    }

    void savedResultsOpenWithoutQuestion()
    {
        MainRig rig;
        auto w = rig.make();
        DialogRecorder dialogs;
        dialogs.answer = m_workDir.filePath(QStringLiteral("gesichert"));
        dialogs.attach(*w);
        enterRun(*w, rig);
        QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbSave")), Qt::LeftButton);
        QVERIFY(QFileInfo::exists(dialogs.answer + QStringLiteral(".txt")));
        QSignalSpy asked(w->yesNoDialog(), &TFDlgYesNo::questionAsked);
        dialogs.answer.clear(); // cancel the open dialog
        QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbLoad")), Qt::LeftButton);
        QCOMPARE(asked.size(), 0);
        QCOMPARE(dialogs.folders.size(), 2);
    }

    void dialogsStartInTheProtocolFolder_data()
    {
        QTest::addColumn<QString>("stored"); // "" nothing, "gone" a folder that no longer exists, "dir"
        QTest::newRow("no setting: Documents") << "";
        QTest::newRow("a folder that is gone: Documents") << "gone";
        QTest::newRow("the stored folder") << "dir";
    }
    void dialogsStartInTheProtocolFolder()
    {
        QFETCH(QString, stored);
        QTemporaryDir first;
        QTemporaryDir second;
        if (stored == QLatin1String("gone"))
            storeSetting("ProtocolFolder", first.filePath(QStringLiteral("weg")));
        else if (stored == QLatin1String("dir"))
            storeSetting("ProtocolFolder", first.path());
        const QString expected = stored == QLatin1String("dir") ? first.path() : documentsOrHome();
        {
            MainRig rig;
            auto w = rig.make();
            DialogRecorder dialogs;
            dialogs.attach(*w);
            enterRun(*w, rig);
            // Cancelled dialogs change nothing.
            QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbSave")), Qt::LeftButton);
            w->yesNoDialog()->setNextAnswers({true});
            QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbLoad")), Qt::LeftButton);
            QCOMPARE(dialogs.folders, QStringList({expected, expected}));

            // A save elsewhere moves both dialogs there.
            dialogs.answer = second.filePath(QStringLiteral("lauf"));
            QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbSave")), Qt::LeftButton);
            QVERIFY(QFileInfo::exists(second.filePath(QStringLiteral("lauf.txt"))));
            dialogs.answer.clear();
            QTest::mouseClick(w->control<QToolButton>(QStringLiteral("sbLoad")), Qt::LeftButton);
            QCOMPARE(dialogs.folders.last(), second.path());
        }
        // The folder is a setting: written at exit.
        QCOMPARE(storedSetting("ProtocolFolder").toString(), second.path());
    }

    void pageIsWrittenAndHandedOn_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<bool>("printed");
        QTest::newRow("sbHTML opens the page") << "sbHTML" << true << false;
    }
    void pageIsWrittenAndHandedOn()
    {
        QFETCH(QString, button);
        QFETCH(bool, opened);
        QFETCH(bool, printed);
        MainRig rig;
        auto w = rig.make();
        QStringList urls;
        QStringList prints;
        QStringList errors;
        w->setUrlOpener([&urls](const QUrl& u) {
            urls.append(u.toLocalFile());
            return true;
        });
        w->setPrintHook([&prints](const QString& p) {
            prints.append(p);
            return true;
        });
        w->setErrorHook([&errors](const QString& e) { errors.append(e); });
        enterRun(*w, rig);
        auto* b = w->control<QToolButton>(button);
        QVERIFY(b->isEnabled());

        QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join(QLatin1Char('\n'))));
        QVERIFY(QFileInfo::exists(htmlPath()));
        const QString expected = QFileInfo(htmlPath()).absoluteFilePath();
        QCOMPARE(urls, opened ? QStringList{expected} : QStringList{});
        QCOMPARE(prints, printed ? QStringList{expected} : QStringList{});
        QFile f(htmlPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray first = f.readAll();
        f.close();
        QVERIFY(first.contains("Furchenlauf"));

        // A second click after a changed title replaces the page.
        w->control<QLineEdit>(QStringLiteral("eFText1"))->setText(QStringLiteral("Zweiter Lauf"));
        QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray second = f.readAll();
        QVERIFY(second.contains("Zweiter Lauf"));
        QVERIFY(!second.contains("Furchenlauf"));
        QCOMPARE(urls.size() + prints.size(), 2);
    }
};

QTEST_MAIN(TestMainProtocol)
#include "tst_main_protocol.moc"
