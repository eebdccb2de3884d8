#include "platform/data_paths.h"
#include "protocol/ProtocolCommands.h"
#include "protocol/protocol_text.h"
#include "protocol/recovery.h"
#include "results/results_table.h"

#include <QSysInfo>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

namespace {

class FakeHost : public ProtocolHost {
public:
    QWidget window;
    ResultsTable table;
    bool answer = false;
    QStringList questions;
    QStringList calls; // host commands in the order they ran
    QStringList errors;
    QStringList startList;
    QList<QUrl> opened;
    QStringList printed;
    QVector<int> widths{45, 200, 150, 120, 50, 43, 66, 66, 46, 46, 38};

    QWidget* hostWindow() override { return &window; }
    ResultsTable& resultsTable() override { return table; }
    bool askYesNo(const QString& question) override
    {
        questions << question;
        return answer;
    }
    void rankResults() override { calls << "rank"; }
    void formResize() override { calls << "resize"; }
    void nextCompetitor() override { calls << "next"; }
    void updateProtocolButtons() override { calls << "buttons"; }
    void setStartList(const QStringList& entries) override
    {
        calls << "startList";
        startList = entries;
    }
    QString eventTitle() const override { return QStringLiteral("Treffen"); }
    QVector<int> columnWidths() const override { return widths; }
    void showError(const QString& text) override { errors << text; }
    bool openUrl(const QUrl& url) override
    {
        opened << url;
        return true;
    }
    bool printHtmlFile(const QString& path) override
    {
        printed << path;
        return true;
    }
};

void fill(ResultsTable& t)
{
    t.setRow(1, {"7", "Max Bauer", "", "Lanz", "1955", "2", "0,00", "1:23,45", "0", "2", "1"});
    t.appendRow({"3", "Eva", "Tom", "Deutz", "1949", "-", "EL", "EL", "-", "EL", "EL"});
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QDateTime kNow(QDate(2007, 6, 7), QTime(9, 5));

} // namespace

class TestProtocolCommands : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_oldCurrent;

    // Answers the file dialog with the given name and kind, and keeps the request.
    void answerDialog(ProtocolCommands& commands, const QString& path, int kind,
                      FileDialogRequest* seen = nullptr)
    {
        commands.setFileDialogHook([=](const FileDialogRequest& request) {
            if (seen)
                *seen = request;
            return FileDialogAnswer{path, kind};
        });
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_oldCurrent = QDir::currentPath();
    }
    void cleanup() { QDir::setCurrent(m_oldCurrent); }

    void saveOffersTheKindsAndDefaultName()
    {
        FakeHost host;
        fill(host.table);
        ProtocolCommands commands(host);
        commands.setClock([] { return kNow; });
        commands.setStartFolder(m_dir.path());
        commands.setFiltInd(4);
        FileDialogRequest seen;
        answerDialog(commands, QString(), 0, &seen);
        commands.sbSaveClick();
        QVERIFY(seen.save);
        QCOMPARE(seen.fileName, QStringLiteral("2007-06-07-09-05"));
        QCOMPARE(seen.folder, m_dir.path());
        QCOMPARE(seen.filterIndex, 3);
        QCOMPARE(seen.filters, QStringList({"Textdatei (*.txt)", "MS Excel (*.xlsx)", "MS Word (*.docx)",
                                            "Webseite (*.html)"}));
        QCOMPARE(commands.filtInd(), 4); // cancelled: nothing changes
        QVERIFY(host.errors.isEmpty());
    }

    void saveWritesTheChosenKind_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("text, extension appended") << 0 << "lauf"
                                                  << "lauf.txt";
        QTest::newRow("text, own extension kept") << 0 << "lauf.dat"
                                                  << "lauf.dat";
        QTest::newRow("spreadsheet through its hook") << 1 << "lauf"
                                                      << "lauf.xlsx";
        QTest::newRow("word processor through its hook") << 2 << "lauf"
                                                         << "lauf.docx";
        QTest::newRow("web page") << 3 << "lauf"
                                  << "lauf.html";
    }
    void saveWritesTheChosenKind()
    {
        QFETCH(int, kind);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        FakeHost host;
        fill(host.table);
        ProtocolCommands commands(host);
        QStringList hookPaths;
        auto hook = [&hookPaths](const QString& path, QString*) {
            hookPaths << path;
            return true;
        };
        commands.setSaveSheet(hook);
        commands.setSaveWord(hook);
        QTemporaryDir dir;
        answerDialog(commands, dir.filePath(typed), kind);
        commands.sbSaveClick();
        QVERIFY2(host.errors.isEmpty(), qPrintable(host.errors.join('\n')));
        QCOMPARE(commands.filtInd(), kind + 1);
        QCOMPARE(commands.startFolder(), dir.path());
        const QString path = dir.filePath(written);
        if (kind == 1 || kind == 2) {
            QCOMPARE(hookPaths, QStringList{path});
        } else {
            QVERIFY(hookPaths.isEmpty());
            const QByteArray bytes = readAll(path);
            QVERIFY(bytes.contains("Max Bauer"));
            QCOMPARE(bytes.startsWith("<HTML>"), kind == 3);
        }
    }

    void saveFailureIsReported_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("hookError");
        QTest::addColumn<bool>("ownText");
        QTest::newRow("text protocol") << 0 << QString() << false;
        QTest::newRow("web page") << 3 << QString() << false;
        QTest::newRow("spreadsheet with its own text") << 1 << "Tabelle voll" << true;
        QTest::newRow("word processor without a text") << 2 << QString() << false;
    }
    void saveFailureIsReported()
    {
        QFETCH(int, kind);
        QFETCH(QString, hookError);
        QFETCH(bool, ownText);
        FakeHost host;
        fill(host.table);
        ProtocolCommands commands(host);
        auto failing = [hookError](const QString&, QString* error) {
            *error = hookError;
            return false;
        };
        commands.setSaveSheet(failing);
        commands.setSaveWord(failing);
        const QString path = m_dir.filePath("fehlt/lauf" + ProtocolCommands::extensionOf(ProtocolKind(kind)));
        answerDialog(commands, path, kind);
        commands.sbSaveClick();
        QCOMPARE(host.errors, QStringList{ownText ? hookError : "Der Schreibfehler der Datei: " + path});
    }

    void loadTextFillsTableAndStartList()
    {
        const QString path = m_dir.filePath("start.txt");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("St.Nr.\tFahrer\r\n1\tAnna\r\n2;Bert;;Opel\r\n");
        f.close();
        FakeHost host;
        host.table.setCell(0, 0, "Nummer");
        ProtocolCommands commands(host);
        commands.setFiltInd(3);
        FileDialogRequest seen;
        answerDialog(commands, path, 0, &seen);
        commands.sbLoadClick();
        QVERIFY(!seen.save);
        QCOMPARE(seen.filters, QStringList({"Textdatei (*.txt)", "MS Excel (*.xlsx)"}));
        QCOMPARE(host.table.rowCount(), 3);
        QCOMPARE(host.table.cell(0, 0), QStringLiteral("Nummer"));
        QCOMPARE(host.table.row(2).mid(0, 4), QStringList({"2", "Bert", "Opel", ""}));
        QCOMPARE(host.startList, QStringList({"1\tAnna", "2;Bert;;Opel"}));
        QCOMPARE(host.calls, QStringList({"startList", "buttons", "rank", "resize"}));
        QCOMPARE(commands.filtInd(), 1);
    }

    void loadUnreadableFileKeepsTheTable()
    {
        FakeHost host;
        fill(host.table);
        const QVector<QStringList> before = host.table.rows();
        ProtocolCommands commands(host);
        answerDialog(commands, m_dir.filePath("fehlt.txt"), 0);
        commands.sbLoadClick();
        QCOMPARE(host.errors.size(), 1);
        QVERIFY(!host.errors[0].isEmpty());
        QCOMPARE(host.table.rows(), before);
        QVERIFY(host.calls.isEmpty());
    }

    void loadSpreadsheetThroughItsHook()
    {
        FakeHost host;
        ProtocolCommands commands(host);
        QString loaded;
        commands.setLoadSheet([&loaded](const QString& path, QString*) {
            loaded = path;
            return true;
        });
        answerDialog(commands, m_dir.filePath("lauf.xlsx"), 1);
        commands.sbLoadClick();
        QCOMPARE(loaded, m_dir.filePath("lauf.xlsx"));
        QCOMPARE(commands.filtInd(), 2);
        QCOMPARE(host.calls, QStringList({"buttons", "rank", "resize"}));
    }

    void clearAsksFirst_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Nein keeps the table") << false;
        QTest::newRow("Ja clears it") << true;
    }
    void clearAsksFirst()
    {
        QFETCH(bool, yes);
        FakeHost host;
        fill(host.table);
        host.answer = yes;
        ProtocolCommands commands(host);
        commands.sbCLSClick();
        QCOMPARE(host.questions, QStringList{QStringLiteral("Zeitenprotokoll  löschen ?")});
        QCOMPARE(host.table.holdsResults(), !yes);
        QCOMPARE(host.calls, yes ? QStringList({"resize", "next", "buttons"}) : QStringList());
    }

    void webPageLandsInWorkingFolderAndIsOverwritten()
    {
        QVERIFY(QDir::setCurrent(m_dir.path()));
        FakeHost host;
        fill(host.table);
        ProtocolCommands commands(host);
        const QString path = m_dir.filePath(DataPaths::programBaseName() + ".html");

        commands.sbHTMLClick(0);
        QVERIFY(readAll(path).contains("Max Bauer"));
        QCOMPARE(host.opened, QList<QUrl>{QUrl::fromLocalFile(path)});
        QVERIFY(host.printed.isEmpty());

        host.table.setCell(1, 1, "Moritz Bauer");
        commands.sbHTMLClick(1);
        QVERIFY(readAll(path).contains("Moritz Bauer"));
        QCOMPARE(host.printed, QStringList{path});
        QCOMPARE(host.opened.size(), 1);
        QVERIFY(host.errors.isEmpty());
    }

    void webPageWriteFailureOpensNothing()
    {
        QTemporaryDir gone;
        QVERIFY(QDir::setCurrent(gone.path()));
        // An old page of an earlier click must not be shown in place of the new one.
        QVERIFY(gone.remove());
        FakeHost host;
        fill(host.table);
        ProtocolCommands commands(host);
        commands.sbHTMLClick(0);
        commands.sbHTMLClick(1);
        const QString name = DataPaths::programBaseName() + ".html";
        QCOMPARE(host.errors, QStringList({"Der Schreibfehler der Datei: " + name,
                                           "Der Schreibfehler der Datei: " + name}));
        QVERIFY(host.opened.isEmpty());
        QVERIFY(host.printed.isEmpty());
    }

    void recoveryOffer_data()
    {
        QTest::addColumn<bool>("crashed");
        QTest::addColumn<bool>("yes");
        QTest::newRow("normal end: no question") << false << true;
        QTest::newRow("crash, Ja restores") << true << true;
        QTest::newRow("crash, Nein discards the copy") << true << false;
    }
    void recoveryOffer()
    {
        QFETCH(bool, crashed);
        QFETCH(bool, yes);
        QTemporaryDir dir;
        {
            RecoveryStore before(dir.path());
            QVERIFY(before.sessionStarted());
            ResultsTable t;
            fill(t);
            before.writeCopy(t);
        }
        if (crashed) {
            QFile marker(dir.filePath("session.lock"));
            QVERIFY(marker.open(QIODevice::WriteOnly));
            marker.write("99999999\n" + QCoreApplication::applicationName().toUtf8() + "\n" +
                         QSysInfo::machineHostName().toUtf8() + "\n");
        }
        FakeHost host;
        host.answer = yes;
        ProtocolCommands commands(host);
        RecoveryStore store(dir.path());
        commands.offerRecovery(store);
        QVERIFY(store.active());
        const bool restored = crashed && yes;
        QCOMPARE(host.questions.size(), crashed ? 1 : 0);
        if (crashed)
            QCOMPARE(host.questions[0], QStringLiteral("Ergebnisse der letzten Sitzung wiederherstellen?"));
        QCOMPARE(host.table.holdsResults(), restored);
        QCOMPARE(host.calls, restored ? QStringList({"rank", "resize", "buttons"}) : QStringList());
        if (restored)
            QCOMPARE(host.table.cell(1, 2), QStringLiteral("Eva"));
        QCOMPARE(store.hasRecoveryCopy(), restored);
    }
};

QTEST_MAIN(TestProtocolCommands)
#include "tst_protocol_commands.moc"
