#include "ooxml_fixture.h"
#include "protocol/Excel.h"
#include "protocol/export_paths.h"
#include "protocol/xlsx_reader.h"
#include "protocol/xlsx_writer.h"
#include "results/results_table.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void touch(const QString& path)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("old");
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// Where the document and the workbook opened for viewing are written.
class TestViewExports : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void freeName_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no file yet: the default name") << QStringList{} << "2026-05-01-14-30.docx";
        QTest::newRow("second export within the minute")
            << QStringList{"2026-05-01-14-30.docx"} << "2026-05-01-14-30-2.docx";
        QTest::newRow("third export")
            << QStringList{"2026-05-01-14-30.docx", "2026-05-01-14-30-2.docx"} << "2026-05-01-14-30-3.docx";
        QTest::newRow("a gap is filled")
            << QStringList{"2026-05-01-14-30.docx", "2026-05-01-14-30-3.docx"} << "2026-05-01-14-30-2.docx";
        QTest::newRow("another kind does not count")
            << QStringList{"2026-05-01-14-30.xlsx"} << "2026-05-01-14-30.docx";
        QTest::newRow("a folder of that name counts")
            << QStringList{"2026-05-01-14-30.docx/"} << "2026-05-01-14-30-2.docx";
    }
    void freeName()
    {
        QFETCH(QStringList, existing);
        QTemporaryDir dir;
        for (const QString& name : existing) {
            if (name.endsWith(QLatin1Char('/')))
                QVERIFY(QDir(dir.path()).mkdir(name.chopped(1)));
            else
                touch(dir.filePath(name));
        }
        QFETCH(QString, expected);
        QCOMPARE(ExportPaths::freeFileName(dir.path(), QStringLiteral("2026-05-01-14-30"),
                                           QStringLiteral(".docx")),
                 dir.filePath(expected));
    }

    void danglingLinkCountsAsTaken()
    {
        QTemporaryDir dir;
        QVERIFY(
            QFile::link(dir.filePath(QStringLiteral("nowhere/x")), dir.filePath(QStringLiteral("a.docx"))));
        QCOMPARE(ExportPaths::freeFileName(dir.path(), QStringLiteral("a"), QStringLiteral(".docx")),
                 dir.filePath(QStringLiteral("a-2.docx")));
    }

    void allNamesTaken()
    {
        QTemporaryDir dir;
        touch(dir.filePath(QStringLiteral("a.x")));
        for (int n = 2; n <= 999; ++n)
            touch(dir.filePath(QStringLiteral("a-%1.x").arg(n)));
        QCOMPARE(ExportPaths::freeFileName(dir.path(), QStringLiteral("a"), QStringLiteral(".x")), QString());
    }

    void relativeFolderGivesFullPath()
    {
        const QString path =
            ExportPaths::freeFileName(QStringLiteral("."), QStringLiteral("zz-none"), QStringLiteral(".x"));
        QVERIFY(QDir::isAbsolutePath(path));
        QCOMPARE(path, QDir::current().absoluteFilePath(QStringLiteral("zz-none.x")));
    }

    // The view workbook: written by the workbook writer of the save command, into a new
    // file in the folder (made if missing), then opened; a second view gets its own file.
    void workbookViewWritesANewFileAndOpensIt()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Dokumente"));
        ResultsTable table;
        OoxmlFixture::fillSample(table);
        QStringList written;
        QStringList opened;
        const TExcel::Writer writer = [&](const QString& path) {
            written << path;
            QString error;
            return SaveProtocolSheet(path, table, QVector<int>(11, 50), QStringLiteral("Sommerfest"),
                                     QLocale(QLocale::German, QLocale::Germany), &error);
        };
        const TExcel::Opener opener = [&](const QString& file) {
            opened << file;
            return true;
        };
        TExcel first(writer, opener);
        QVERIFY(first.Connect());
        QVERIFY2(first.ShowWorkbook(folder, QStringLiteral("2026-05-01-14-30")),
                 qPrintable(first.errorString()));
        const QString one = QDir(folder).filePath(QStringLiteral("2026-05-01-14-30.xlsx"));
        QCOMPARE(first.fileName(), one);
        const QByteArray firstBytes = contents(one);

        TExcel second(writer, opener);
        QVERIFY(second.ShowWorkbook(folder, QStringLiteral("2026-05-01-14-30")));
        const QString two = QDir(folder).filePath(QStringLiteral("2026-05-01-14-30-2.xlsx"));
        QCOMPARE(written, (QStringList{one, two}));
        QCOMPARE(opened, (QStringList{one, two}));
        QCOMPARE(contents(one), firstBytes);

        // Read back with the program's own reader: the table as it was, Platz included, and the
        // points are numbers in the sheet.
        ResultsTable loaded;
        QString error;
        QVERIFY2(LoadProtocolSheet(two, loaded, &error, QLatin1Char(',')),
                 qPrintable(error));
        QCOMPARE(loaded.rowCount(), table.rowCount());
        for (int r = 0; r < table.rowCount(); ++r)
            QCOMPARE(loaded.row(r), table.row(r));
    }

    void workbookViewFailures()
    {
        QTemporaryDir dir;
        int opened = 0;
        const TExcel::Opener opener = [&](const QString&) {
            ++opened;
            return true;
        };
        // Nothing to open workbooks with: no file, a message.
        TExcel none([](const QString&) { return true; }, nullptr);
        QVERIFY(!none.Connect());
        QVERIFY(!none.ShowWorkbook(dir.path(), QStringLiteral("a")));
        QVERIFY(!none.errorString().isEmpty());

        // The writer failed (and said so itself): nothing opened, no second message.
        TExcel failing([](const QString&) { return false; }, opener);
        QVERIFY(!failing.ShowWorkbook(dir.path(), QStringLiteral("a")));
        QCOMPARE(failing.errorString(), QString());
        QCOMPARE(opened, 0);

        // The folder cannot be made (a file stands in its place): the message names it.
        touch(dir.filePath(QStringLiteral("file")));
        const QString blocked = dir.filePath(QStringLiteral("file/Dokumente"));
        TExcel blockedFolder([](const QString&) { return true; }, opener);
        QVERIFY(!blockedFolder.ShowWorkbook(blocked, QStringLiteral("a")));
        QVERIFY2(blockedFolder.errorString().contains(QDir::toNativeSeparators(blocked)),
                 qPrintable(blockedFolder.errorString()));

        // Written, but nothing opens it: the message names the file's full path.
        TExcel refusing(
            [](const QString& path) {
                touch(path);
                return true;
            },
            [](const QString&) { return false; });
        QVERIFY(!refusing.ShowWorkbook(dir.path(), QStringLiteral("a")));
        QVERIFY(refusing.errorString().contains(
            QDir::toNativeSeparators(dir.filePath(QStringLiteral("a.xlsx")))));
    }
};

QTEST_GUILESS_MAIN(TestViewExports)
#include "tst_view_exports.moc"
