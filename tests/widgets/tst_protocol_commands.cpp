#include "platform/data_paths.h"
#include "protocol/ProtocolCommands.h"
#include "protocol/protocol_text.h"
#include "protocol/recovery.h"
#include "protocol/xlsx_writer.h"
#include "results/results_table.h"

#include <QSignalSpy>
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
    QList<bool> nextAnswers; // taken first, then answer
    QStringList notices;
    bool askYesNo(const QString& question) override
    {
        questions << question;
        return nextAnswers.isEmpty() ? answer : nextAnswers.takeFirst();
    }
    void showNotice(const QString& text) override { notices << text; }
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
    void commitPendingEdit() override { calls << "commit"; }
};

// The host commands without the editor commits every command starts with.
QStringList without(QStringList calls, const QString& name = QStringLiteral("commit"))
{
    calls.removeAll(name);
    return calls;
}

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

// A protocol file of one row, start number 99 (Otto), to be opened over the table.
bool saveOttosProtocol(const QString& path)
{
    ResultsTable t;
    t.setRow(1, {"99", "Otto"});
    return SaveProtocolText(path, t, nullptr);
}

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
        commands.setProtocolFolder(m_dir.path());
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
        QCOMPARE(commands.protocolFolder(), m_dir.path());
        QVERIFY(host.errors.isEmpty());
        QCOMPARE(host.calls, QStringList{"commit"}); // an open cell edit is saved too
    }

    void saveWritesTheChosenKind_data()
    {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::addColumn<int>("kind");
        QTest::newRow("text, extension appended") << 0 << "lauf"
                                                  << "lauf.txt" << 0;
        QTest::newRow("a dot without a known extension gets the filter's") << 0 << "Lauf 12.5"
                                                                           << "Lauf 12.5.txt" << 0;
        QTest::newRow("an unknown extension gets the filter's") << 0 << "lauf.dat"
                                                                << "lauf.dat.txt" << 0;
        QTest::newRow("spreadsheet, extension appended") << 1 << "lauf"
                                                         << "lauf.xlsx" << 1;
        QTest::newRow("word processor, extension appended") << 2 << "lauf"
                                                            << "lauf.docx" << 2;
        QTest::newRow("web page, extension appended") << 3 << "lauf"
                                                      << "lauf.html" << 3;
        QTest::newRow(".xlsx typed under the text filter is a workbook") << 0 << "lauf.xlsx"
                                                                         << "lauf.xlsx" << 1;
        QTest::newRow(".TXT typed under the workbook filter is text") << 1 << "lauf.TXT"
                                                                      << "lauf.TXT" << 0;
        QTest::newRow(".docx typed under the web page filter is a document") << 3 << "lauf.docx"
                                                                             << "lauf.docx" << 2;
        QTest::newRow(".html typed under the text filter is a web page") << 0 << "lauf.html"
                                                                         << "lauf.html" << 3;
        QTest::newRow(".htm is a web page too") << 1 << "lauf.htm"
                                                << "lauf.htm" << 3;
    }
    void saveWritesTheChosenKind()
    {
        QFETCH(int, filter);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFETCH(int, kind);
        FakeHost host;
        fill(host.table);
        ProtocolCommands commands(host);
        QStringList sheetPaths;
        QStringList wordPaths;
        commands.setSaveSheet([&sheetPaths](const QString& path, QString*) {
            sheetPaths << path;
            return true;
        });
        commands.setSaveWord([&wordPaths](const QString& path, QString*) {
            wordPaths << path;
            return true;
        });
        QSignalSpy saved(&commands, &ProtocolCommands::protocolSaved);
        QTemporaryDir dir;
        answerDialog(commands, dir.filePath(typed), filter);
        commands.sbSaveClick();
        QVERIFY2(host.errors.isEmpty(), qPrintable(host.errors.join('\n')));
        QCOMPARE(commands.filtInd(), kind + 1); // the next save proposes the kind written
        QCOMPARE(commands.protocolFolder(), dir.path());
        const QString path = dir.filePath(written);
        QCOMPARE(sheetPaths, kind == 1 ? QStringList{path} : QStringList{});
        QCOMPARE(wordPaths, kind == 2 ? QStringList{path} : QStringList{});
        if (kind == 0 || kind == 3) {
            const QByteArray bytes = readAll(path);
            QVERIFY(bytes.contains("Max Bauer"));
            QCOMPARE(bytes.startsWith("<HTML>"), kind == 3);
            QCOMPARE(bytes.startsWith("St.Nr.\t"), kind == 0);
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), kind == 0 || kind == 3 ? 1 : 0);
        QCOMPARE(saved.size(), 1);
        QCOMPARE(saved.at(0).at(0).toString(), path);
    }

    void realWorkbookIsWrittenAndReadBack()
    {
        FakeHost host;
        fill(host.table);
        host.table.setCell(ResultsTable::StrafZ, 1, "2,5");
        host.table.setCell(ResultsTable::Ges, 1, "4,5");
        ProtocolCommands commands(host);
        commands.setLocale(QLocale(QLocale::German, QLocale::Germany));
        QTemporaryDir dir;
        answerDialog(commands, dir.filePath("lauf"), 1);
        commands.sbSaveClick();
        QVERIFY2(host.errors.isEmpty(), qPrintable(host.errors.join('\n')));
        const QVector<QStringList> saved = host.table.rows();

        host.table.clear();
        answerDialog(commands, dir.filePath("lauf.xlsx"), 0); // the name decides, not the filter
        commands.sbLoadClick();
        QVERIFY2(host.errors.isEmpty(), qPrintable(host.errors.join('\n')));
        QCOMPARE(host.table.rows(), saved);
        QCOMPARE(commands.filtInd(), 2);
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
        commands.setProtocolFolder(m_dir.path());
        commands.sbSaveClick();
        QCOMPARE(host.errors, QStringList{ownText ? hookError : "Der Schreibfehler der Datei: " + path});
        QCOMPARE(commands.protocolFolder(), m_dir.path()); // only a saved file moves the folder
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
        QCOMPARE(host.calls, QStringList({"commit", "startList", "buttons", "rank", "resize"}));
        QCOMPARE(commands.filtInd(), 1);
        QCOMPARE(commands.protocolFolder(), m_dir.path());
        QVERIFY(host.questions.isEmpty()); // nothing unsaved to ask about
    }

    void loadUnreadableFileKeepsTheTable()
    {
        FakeHost host;
        fill(host.table);
        const QVector<QStringList> before = host.table.rows();
        ProtocolCommands commands(host);
        answerDialog(commands, m_dir.filePath("fehlt.txt"), 0);
        host.answer = true;
        commands.sbLoadClick();
        QCOMPARE(host.errors, QStringList{"Die Datei gibt es nicht: " + m_dir.filePath("fehlt.txt")});
        QCOMPARE(host.table.rows(), before);
        QCOMPARE(without(host.calls), QStringList());
        QVERIFY(commands.protocolFolder().isEmpty());
    }

    void openKindFollowsTheName_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("filter");
        QTest::addColumn<bool>("sheet");
        QTest::newRow(".txt under the workbook filter is text") << "lauf.txt" << 1 << false;
        QTest::newRow(".xlsx under the text filter is a workbook") << "lauf.xlsx" << 0 << true;
        QTest::newRow("no extension: the workbook filter decides") << "lauf" << 1 << true;
        QTest::newRow("no extension: the text filter decides") << "lauf" << 0 << false;
    }
    void openKindFollowsTheName()
    {
        QFETCH(QString, file);
        QFETCH(int, filter);
        QFETCH(bool, sheet);
        QTemporaryDir dir;
        const QString path = dir.filePath(file);
        ResultsTable source;
        fill(source);
        QVERIFY(sheet ? SaveProtocolSheet(path, source, QVector<int>(11, 50), QString(), QLocale(), nullptr)
                      : SaveProtocolText(path, source, nullptr));
        FakeHost host;
        ProtocolCommands commands(host);
        answerDialog(commands, path, filter);
        commands.sbLoadClick();
        QVERIFY2(host.errors.isEmpty(), qPrintable(host.errors.join('\n')));
        QCOMPARE(host.table.cell(ResultsTable::Fahrer, 2), QStringLiteral("Eva"));
        QCOMPARE(without(host.calls), sheet ? QStringList({"buttons", "rank", "resize"})
                                            : QStringList({"startList", "buttons", "rank", "resize"}));
        QCOMPARE(commands.filtInd(), sheet ? 2 : 1);
    }

    void openAsksBeforeDiscardingUnsavedResults_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("new results, Nein keeps them") << "entered" << false << true << false;
        QTest::newRow("new results, Ja replaces them and keeps a dated copy")
            << "entered" << true << true << true;
        QTest::newRow("saved results: no question") << "saved" << false << false << true;
        QTest::newRow("opened results: no question") << "opened" << false << false << true;
        QTest::newRow("opened, then sorted only: no question") << "sorted" << false << false << true;
        QTest::newRow("opened, then one cell changed: question") << "edited" << false << true << false;
        QTest::newRow("an empty table: no question") << "empty" << false << false << true;
    }
    void openAsksBeforeDiscardingUnsavedResults()
    {
        QFETCH(QString, before);
        QFETCH(bool, yes);
        QFETCH(bool, asked);
        QFETCH(bool, replaced);
        QTemporaryDir dir;
        const QString other = dir.filePath("anderes.txt");
        QVERIFY(saveOttosProtocol(other));
        FakeHost host;
        ProtocolCommands commands(host);
        commands.setClock([] { return kNow; });
        RecoveryStore store(dir.filePath("sicherung"));
        commands.setRecoveryStore(&store);
        if (before == QLatin1String("entered") || before == QLatin1String("saved"))
            fill(host.table);
        if (before == QLatin1String("saved")) {
            answerDialog(commands, dir.filePath("lauf.txt"), 0);
            commands.sbSaveClick();
        } else if (before != QLatin1String("entered") && before != QLatin1String("empty")) {
            const QString path = dir.filePath("lauf.txt");
            ResultsTable file;
            fill(file);
            QVERIFY(SaveProtocolText(path, file, nullptr));
            answerDialog(commands, path, 0);
            commands.sbLoadClick();
            if (before == QLatin1String("sorted"))
                host.table.reorder({2, 1});
            else if (before == QLatin1String("edited"))
                host.table.setCell(ResultsTable::Platz, 1, "AUS");
        }
        QVERIFY(host.questions.isEmpty());
        const QVector<QStringList> old = host.table.rows();
        const bool openerShown = !asked || yes;
        bool dialogShown = false;
        commands.setFileDialogHook([&](const FileDialogRequest&) {
            dialogShown = true;
            return FileDialogAnswer{other, 0};
        });
        host.answer = yes;
        commands.sbLoadClick();
        QCOMPARE(host.questions, asked ? QStringList{"Ungespeicherte Ergebnisse verwerfen?"} : QStringList());
        QCOMPARE(dialogShown, openerShown);
        QCOMPARE(host.table.cell(ResultsTable::StNr, 1) == QLatin1String("99"), replaced);
        if (!replaced)
            QCOMPARE(host.table.rows(), old);
        // The table replaced after Ja is kept as a dated copy beside the recovery copy.
        const QStringList copies = QDir(store.folder()).entryList({"recovery-*.txt"}, QDir::Files);
        QCOMPARE(copies, asked && yes ? QStringList{"recovery-2007-06-07-09-05-00.txt"} : QStringList());
        if (!copies.isEmpty()) {
            ProtocolTextContent kept;
            QVERIFY(LoadProtocolText(QDir(store.folder()).filePath(copies[0]), &kept, nullptr));
            QCOMPARE(kept.rows.size(), old.size() - 1);
            QCOMPARE(kept.rows[1][ResultsTable::Fahrer], old[2][ResultsTable::Fahrer]);
            // A second copy in the same second gets a name of its own.
            QCOMPARE(QFileInfo(store.keepDatedCopy(host.table, kNow)).fileName(),
                     QStringLiteral("recovery-2007-06-07-09-05-00-2.txt"));
        }
        // After the open nothing is unsaved any more.
        QCOMPARE(commands.hasUnsavedResults(), !replaced);
    }

    // Without the dated copy a wrong Ja could not be undone: the operator is told and asked again.
    void openWithoutADatedCopyAsksAgain_data()
    {
        QTest::addColumn<bool>("second");
        QTest::newRow("Ja opens all the same") << true;
        QTest::newRow("Nein keeps the table") << false;
    }
    void openWithoutADatedCopyAsksAgain()
    {
        QFETCH(bool, second);
        QTemporaryDir dir;
        const QString other = dir.filePath("anderes.txt");
        QVERIFY(saveOttosProtocol(other));
        // The recovery folder cannot be made: a file holds its name.
        const QString blocked = dir.filePath("sicherung");
        {
            QFile f(blocked);
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        FakeHost host;
        ProtocolCommands commands(host);
        commands.setClock([] { return kNow; });
        RecoveryStore store(blocked + QStringLiteral("/ordner"));
        commands.setRecoveryStore(&store);
        fill(host.table);
        const QVector<QStringList> old = host.table.rows();
        answerDialog(commands, other, 0);
        host.nextAnswers = {true, second};
        commands.sbLoadClick();
        QCOMPARE(host.questions, (QStringList{"Ungespeicherte Ergebnisse verwerfen?",
                                              "Keine Sicherungskopie möglich. Trotzdem öffnen?"}));
        QCOMPARE(host.notices.size(), 1);
        QVERIFY2(host.notices[0].contains(QDir::toNativeSeparators(blocked)), qPrintable(host.notices[0]));
        if (second)
            QCOMPARE(host.table.cell(ResultsTable::StNr, 1), QStringLiteral("99"));
        else
            QCOMPARE(host.table.rows(), old);
        QCOMPARE(commands.hasUnsavedResults(), !second);
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
        QCOMPARE(without(host.calls), yes ? QStringList({"resize", "next", "buttons"}) : QStringList());
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
        QCOMPARE(commands.hasUnsavedResults(), restored); // restored results were never saved
        if (restored)
            QCOMPARE(host.table.cell(1, 2), QStringLiteral("Eva"));
        QCOMPARE(store.hasRecoveryCopy(), restored);
    }
};

QTEST_MAIN(TestProtocolCommands)
#include "tst_protocol_commands.moc"
