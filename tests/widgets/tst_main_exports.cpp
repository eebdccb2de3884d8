// The view exports (document and workbook opened for the operator) and the status
// bar notice that names where every saved or exported file went.
#include "main_window_rig.h"

#include "ooxml_fixture.h"
#include "platform/data_paths.h"
#include "platform/file_mode.h"
#include "protocol/ProtocolCommands.h"
#include "protocol/xlsx_reader.h"
#include "results/results_table.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QUrl>

namespace {

const QDateTime kNow(QDate(2026, 5, 1), QTime(14, 30));
const QString kIdle = QStringLiteral("Zeitmessung für Geschicklichkeitsfahren");

void fillTable(TFormMain& w)
{
    ResultsTable& t = w.resultsTable();
    t.setRow(1, {"7", "Hans-Peter Obermüller", "Eva Bauer", "Lanz Bulldog D 2806", "1952", "2", "1:02,34",
                 "1:04,50", "0,5", "2,5", ""});
    t.appendRow({"3", "Sepp Maier", "", "Fendt", "1949", "1", "58,00", "59,10", "0", "1", ""});
    w.RankResults();
    w.UpdateProtocolButtons();
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Recorder {
    QStringList opened;
    QStringList errors;
    bool openResult = true;
    void attach(TFormMain& w)
    {
        w.setUrlOpener([this](const QUrl& u) {
            opened << u.toLocalFile();
            return openResult;
        });
        w.setErrorHook([this](const QString& e) { errors << e; });
    }
};

} // namespace

class TestMainExports : public QObject {
    Q_OBJECT
    IsolatedSettings m_settings;
    QTemporaryDir m_workDir;
    QString m_oldCwd;

    QString documents() const { return m_workDir.filePath(QStringLiteral("Dokumente")); }

    std::unique_ptr<TFormMain> window(MainRig& rig, Recorder& rec)
    {
        auto w = rig.make();
        w->setExportFolder(documents());
        w->setExportClock([] { return kNow; });
        rec.attach(*w);
        fillTable(*w);
        return w;
    }

    void click(TFormMain& w, const char* button)
    {
        QTest::mouseClick(w.control<QToolButton>(QString::fromLatin1(button)), Qt::LeftButton);
    }

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
        QDir(documents()).removeRecursively();
    }

    void documentTwiceInOneMinute()
    {
        MainRig rig;
        Recorder rec;
        auto w = window(rig, rec);
        click(*w, "sbWord");
        const QString first = QDir(documents()).filePath(QStringLiteral("2026-05-01-14-30.docx"));
        QVERIFY2(rec.errors.isEmpty(), qPrintable(rec.errors.join('\n')));
        QCOMPARE(rec.opened, QStringList{first});
        QCOMPARE(w->statusNoticeText(), QStringLiteral("Gespeichert: ") + first);
        const QByteArray firstBytes = readAll(first);

        // Title and date above the table.
        const QByteArray xml = OoxmlFixture::readPart(first, QStringLiteral("word/document.xml"));
        const int title = int(xml.indexOf("Furchenlauf"));
        const int date =
            int(xml.indexOf("Stand: " + QLocale().toString(kNow.date(), QLocale::ShortFormat).toUtf8()));
        QVERIFY(title > 0 && date > title && date < xml.indexOf("<w:tbl>"));
        // Readable by others as a new file is under the user's mask.
        QCOMPARE(QFileInfo(first).permissions() &
                     ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
                 FileMode::forNewFile() &
                     ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser));

        // Within the same minute: a file of its own, the first one untouched.
        click(*w, "sbWord");
        const QString second = QDir(documents()).filePath(QStringLiteral("2026-05-01-14-30-2.docx"));
        QCOMPARE(rec.opened, (QStringList{first, second}));
        QCOMPARE(w->statusNoticeText(), QStringLiteral("Gespeichert: ") + second);
        QCOMPARE(readAll(first), firstBytes);
        QVERIFY(w->control<QToolButton>(QStringLiteral("sbWord"))->isEnabled());
    }

    void workbookForViewing()
    {
        MainRig rig;
        Recorder rec;
        auto w = window(rig, rec);
        click(*w, "sbExcel");
        click(*w, "sbExcel");
        QVERIFY2(rec.errors.isEmpty(), qPrintable(rec.errors.join('\n')));
        const QString first = QDir(documents()).filePath(QStringLiteral("2026-05-01-14-30.xlsx"));
        const QString second = QDir(documents()).filePath(QStringLiteral("2026-05-01-14-30-2.xlsx"));
        QCOMPARE(rec.opened, (QStringList{first, second}));
        QCOMPARE(w->statusNoticeText(), QStringLiteral("Gespeichert: ") + second);
        // The same workbook as the save command writes: read back by the program's reader.
        ResultsTable loaded;
        QString error;
        QVERIFY2(LoadProtocolSheet(first, loaded, &error, QLocale().decimalPoint().at(0)), qPrintable(error));
        QCOMPARE(loaded.rowCount(), w->resultsTable().rowCount());
        for (int r = 0; r < loaded.rowCount(); ++r)
            QCOMPARE(loaded.row(r).mid(0, 10), w->resultsTable().row(r).mid(0, 10));
    }

    void savedFileIsNamed_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("file");
        QTest::newRow("text") << 0 << "lauf.txt";
        QTest::newRow("workbook") << 1 << "lauf.xlsx";
        QTest::newRow("document") << 2 << "lauf.docx";
        QTest::newRow("web page") << 3 << "lauf.html";
    }
    void savedFileIsNamed()
    {
        QFETCH(int, kind);
        QFETCH(QString, file);
        MainRig rig;
        Recorder rec;
        auto w = window(rig, rec);
        QTemporaryDir dir;
        const QString path = dir.filePath(file);
        w->protocolCommands()->setFileDialogHook([&](const FileDialogRequest&) {
            return FileDialogAnswer{path, kind};
        });
        QCOMPARE(w->statusNoticeText(), kIdle);
        click(*w, "sbSave");
        QVERIFY2(rec.errors.isEmpty(), qPrintable(rec.errors.join('\n')));
        QVERIFY(QFileInfo::exists(path));
        QCOMPARE(w->statusNoticeText(), QStringLiteral("Gespeichert: ") + path);
        QVERIFY(rec.opened.isEmpty()); // saving opens nothing
    }

    // A deep folder must not widen the main window through the status bar.
    void longPathKeepsTheWindowSize()
    {
        MainRig rig;
        Recorder rec;
        auto w = window(rig, rec);
        const QSize before = w->size();
        w->setExportFolder(m_workDir.filePath(QString(200, QLatin1Char('y'))));
        click(*w, "sbWord");
        QApplication::processEvents();
        QVERIFY(w->statusNoticeText().startsWith(QStringLiteral("Gespeichert: ")));
        QCOMPARE(w->size(), before);
        // The panel cuts the path in the middle: the start and the file's name stay readable.
        const auto* panel = w->findChild<QLabel*>(QStringLiteral("StatusPanel3"));
        QVERIFY(panel->text().startsWith(QStringLiteral("Gespeichert: ")));
        QVERIFY(panel->text().contains(QStringLiteral("…")));
        QVERIFY(panel->text().endsWith(QStringLiteral(".docx")));
        QCOMPARE(panel->toolTip(), w->statusNoticeText());
    }

    void webPageIsNamed()
    {
        MainRig rig;
        Recorder rec;
        auto w = window(rig, rec);
        click(*w, "sbHTML");
        const QString page =
            QDir::current().absoluteFilePath(DataPaths::programBaseName() + QStringLiteral(".html"));
        QCOMPARE(rec.opened, QStringList{page});
        QCOMPARE(w->statusNoticeText(), QStringLiteral("Gespeichert: ") + page);
    }

    void failuresNameTheFullPath_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("text into a missing folder") << "save";
        QTest::newRow("document: folder cannot be made") << "wordFolder";
        QTest::newRow("document: nothing opens it") << "wordOpen";
        QTest::newRow("workbook: nothing opens it") << "excelOpen";
    }
    void failuresNameTheFullPath()
    {
        QFETCH(QString, what);
        MainRig rig;
        Recorder rec;
        auto w = window(rig, rec);
        QString named;
        if (what == QLatin1String("save")) {
            named = m_workDir.filePath(QStringLiteral("fehlt/lauf.txt"));
            w->protocolCommands()->setFileDialogHook([&](const FileDialogRequest&) {
                return FileDialogAnswer{named, 0};
            });
            click(*w, "sbSave");
            QCOMPARE(rec.errors, QStringList{QStringLiteral("Der Schreibfehler der Datei: ") + named});
        } else if (what == QLatin1String("wordFolder")) {
            QFile blocker(m_workDir.filePath(QStringLiteral("datei")));
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            blocker.close();
            named = m_workDir.filePath(QStringLiteral("datei/Dokumente"));
            w->setExportFolder(named);
            click(*w, "sbWord");
        } else {
            rec.openResult = false;
            const bool word = what == QLatin1String("wordOpen");
            named = QDir(documents())
                        .filePath(QStringLiteral("2026-05-01-14-30") +
                                  (word ? QStringLiteral(".docx") : QStringLiteral(".xlsx")));
            click(*w, word ? "sbWord" : "sbExcel");
            QVERIFY(QFileInfo::exists(named));
            if (word)
                QVERIFY(!w->control<QToolButton>(QStringLiteral("sbWord"))->isEnabled());
        }
        QCOMPARE(rec.errors.size(), 1);
        QVERIFY2(rec.errors.first().contains(named), qPrintable(rec.errors.first()));
    }
};

QTEST_MAIN(TestMainExports)
#include "tst_main_exports.moc"
