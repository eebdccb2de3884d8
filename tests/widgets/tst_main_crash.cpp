// The recovery after a killed program: a child process of this test enters three results and
// kills itself; a new window on the same folder must offer and restore them cell for cell.
#include "main_window_rig.h"

#include "dialogs/DlgYesNo.h"
#include "results/results_table.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>

#include <csignal>

namespace {

const char* const kChildFlag = "--child";

QString tableText(const ResultsTable& t)
{
    QStringList lines;
    for (int r = 1; r < t.rowCount(); ++r) {
        // The protocol text writes an empty field as one blank; blanks count as empty.
        QStringList cells = t.row(r);
        for (QString& c : cells)
            c = c.trimmed();
        lines.append(cells.join(QLatin1Char('|')));
    }
    return lines.join(QLatin1Char('\n'));
}

// The child: three results, the table as it stands written beside the copy, then SIGKILL.
int runChild(int argc, char** argv, const QString& folder)
{
    QApplication app(argc, argv);
    QTemporaryDir settings;
    isolateSettings(settings);
    MainRig rig;
    rig.deps.recoveryFolder = folder;
    auto w = rig.make();
    w->offerRecovery();
    const struct {
        const char* stNr;
        const char* driver;
        quint32 p1;
        quint32 p2;
    } runs[] = {{"3", "Carl", 52000, 4100}, {"1", "Anna", 41230, 5670}, {"2", "Bert", 47000, 3900}};
    for (const auto& run : runs) {
        w->control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QString::fromLatin1(run.stNr));
        w->control<QLineEdit>(QStringLiteral("Reiter"))->setText(QString::fromLatin1(run.driver));
        QTest::keyClick(w.get(), Qt::Key_F5);
        rig.ticks.advance(run.p1);
        QTest::keyClick(w.get(), Qt::Key_F9);
        rig.ticks.advance(run.p2);
        QTest::keyClick(w.get(), Qt::Key_F9);
        QTest::keyClick(w.get(), Qt::Key_F10);
        QTest::keyClick(w.get(), Qt::Key_N, Qt::AltModifier);
    }
    QFile expected(folder + QStringLiteral("/expected.txt"));
    if (!expected.open(QIODevice::WriteOnly))
        return 3;
    expected.write(tableText(w->resultsTable()).toUtf8());
    expected.close();
    ::raise(SIGKILL);
    return 4;
}

} // namespace

class TestMainCrash : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;

private Q_SLOTS:
    void init() { clearStoredSettings(); }

    void killedSessionIsRestored_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("Ja restores the three results") << true;
        QTest::newRow("Nein starts empty") << false;
    }
    void killedSessionIsRestored()
    {
        QFETCH(bool, answer);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(kChildFlag), folder.path()});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QFile expectedFile(folder.filePath(QStringLiteral("expected.txt")));
        QVERIFY(expectedFile.open(QIODevice::ReadOnly));
        const QString expected = QString::fromUtf8(expectedFile.readAll());
        QCOMPARE(expected.count(QLatin1Char('\n')), 2);
        QVERIFY(expected.contains(QStringLiteral("Anna")));

        MainRig rig;
        rig.deps.recoveryFolder = folder.path();
        auto w = rig.make();
        QSignalSpy questions(w->yesNoDialog(), &TFDlgYesNo::questionAsked);
        w->yesNoDialog()->setNextAnswers({answer});
        w->offerRecovery();
        QCOMPARE(questions.count(), 1);
        if (answer) {
            const QStringList want = expected.split(QLatin1Char('\n'));
            const QStringList got = tableText(w->resultsTable()).split(QLatin1Char('\n'));
            QCOMPARE(got.size(), want.size());
            for (int r = 0; r < want.size(); ++r)
                QCOMPARE(got.at(r), want.at(r));
        } else {
            QVERIFY(!w->resultsTable().holdsResults());
        }
        w.reset();

        // A clean end leaves nothing to offer.
        MainRig again;
        again.deps.recoveryFolder = folder.path();
        auto w2 = again.make();
        QSignalSpy none(w2->yesNoDialog(), &TFDlgYesNo::questionAsked);
        w2->offerRecovery();
        QCOMPARE(none.count(), 0);
    }
};

int main(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (qstrcmp(argv[i], kChildFlag) == 0)
            return runChild(argc, argv, QString::fromLocal8Bit(argv[i + 1]));
    QApplication app(argc, argv);
    TestMainCrash test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_main_crash.moc"
