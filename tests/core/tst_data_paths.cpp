#include "app/data_check.h"
#include "platform/data_paths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// Where the program finds its data (build tree, installed prefix, moved
// prefix) and the report of what it finds there.
class TestDataPaths : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString make(const QString& relative)
    {
        const QString path = m_dir.filePath(relative);
        QDir().mkpath(path);
        return QDir::cleanPath(path);
    }

private Q_SLOTS:
    void dataDirFor_data();
    void dataDirFor();
    void reportStates_data();
    void reportStates();
    void shippedItemsAreFoundInTheBuildTree();
};

void TestDataPaths::dataDirFor_data()
{
    QTest::addColumn<QStringList>("folders"); // created under the temporary folder
    QTest::addColumn<QString>("exeDir");
    QTest::addColumn<QString>("installed"); // absolute data folder, relative to the temporary folder
    QTest::addColumn<QString>("expected");

    QTest::newRow("build tree: data beside the program")
        << QStringList{"build/bin/data", "build/share/ackerklassik"} << "build/bin"
        << "usr/share/ackerklassik"
        << "build/bin/data";
    QTest::newRow("installed under /usr") << QStringList{"usr/bin", "usr/share/ackerklassik"} << "usr/bin"
                                          << "usr/share/ackerklassik"
                                          << "usr/share/ackerklassik";
    QTest::newRow("moved prefix: relative lookup wins")
        << QStringList{"opt/ak/bin", "opt/ak/share/ackerklassik", "usr/share/ackerklassik"} << "opt/ak/bin"
        << "usr/share/ackerklassik"
        << "opt/ak/share/ackerklassik";
    QTest::newRow("program alone: the configured install folder")
        << QStringList{"elsewhere", "usr/share/ackerklassik"} << "elsewhere"
        << "usr/share/ackerklassik"
        << "usr/share/ackerklassik";
    QTest::newRow("nothing there: where an install would put it") << QStringList{"usr/bin"} << "usr/bin"
                                                                  << "usr/share/ackerklassik"
                                                                  << "usr/share/ackerklassik";
    QTest::newRow("a file named data is no folder") << QStringList{"x/bin", "x/share/ackerklassik"} << "x/bin"
                                                    << ""
                                                    << "x/share/ackerklassik";
}

void TestDataPaths::dataDirFor()
{
    QFETCH(QStringList, folders);
    QFETCH(QString, exeDir);
    QFETCH(QString, installed);
    QFETCH(QString, expected);
    QVERIFY(m_dir.isValid());
    QDir(m_dir.path()).removeRecursively();
    QDir().mkpath(m_dir.path());
    for (const QString& f : folders)
        make(f);
    if (QTest::currentDataTag() == QByteArray("a file named data is no folder")) {
        QFile f(m_dir.filePath(QStringLiteral("x/bin/data")));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    const QString installedDir = installed.isEmpty() ? QString() : m_dir.filePath(installed);
    QCOMPARE(
        DataPaths::dataDirFor(m_dir.filePath(exeDir), QStringLiteral("../share/ackerklassik"), installedDir),
        QDir::cleanPath(m_dir.filePath(expected)));
}

void TestDataPaths::reportStates_data()
{
    QTest::addColumn<QString>("kind"); // "dir", "file", "empty", "missing", "folder-as-file"
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("found");
    QTest::newRow("folder there") << "dir"
                                  << "vorhanden" << true;
    QTest::newRow("file there") << "file"
                                << "vorhanden, 4 Bytes" << true;
    QTest::newRow("empty file still counts") << "empty"
                                             << "vorhanden, 0 Bytes" << true;
    QTest::newRow("file missing") << "missing"
                                  << "fehlt" << false;
    QTest::newRow("folder where a file belongs") << "folder-as-file"
                                                 << "nicht lesbar" << false;
    QTest::newRow("folder missing") << "missing-dir"
                                    << "fehlt" << false;
}

void TestDataPaths::reportStates()
{
    QFETCH(QString, kind);
    QFETCH(QString, state);
    QFETCH(bool, found);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("item"));
    DataItem item{QStringLiteral("Gong TIMER"), path,
                  kind == QLatin1String("dir") || kind == QLatin1String("missing-dir")};
    if (kind == QLatin1String("dir") || kind == QLatin1String("folder-as-file")) {
        QVERIFY(QDir().mkpath(path));
    } else if (kind == QLatin1String("file") || kind == QLatin1String("empty")) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (kind == QLatin1String("file"))
            f.write("RIFF");
    }
    // A second item that is always there, so one bad item alone decides.
    const DataItem good{QStringLiteral("Datenordner"), dir.path(), true};
    bool all = !found;
    const QStringList lines = dataCheckReport({good, item}, &all);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0), QStringLiteral("Datenordner: %1: vorhanden").arg(dir.path()));
    QCOMPARE(lines.at(1), QStringLiteral("Gong TIMER: %1: %2").arg(path, state));
    QCOMPARE(all, found);
}

void TestDataPaths::shippedItemsAreFoundInTheBuildTree()
{
    // The tests run from the build tree's bin folder with the data folder beside them.
    const QList<DataItem> items = shippedDataItems();
    QCOMPARE(items.size(), 6);
    const QString dataDir = QCoreApplication::applicationDirPath() + QStringLiteral("/data");
    QCOMPARE(items.first().path, dataDir);
    for (const DataItem& item : items)
        QVERIFY2(item.path.startsWith(dataDir), qPrintable(item.path));
    bool all = false;
    const QStringList lines = dataCheckReport(items, &all);
    QVERIFY2(all, qPrintable(lines.join(QLatin1Char('\n'))));
    QVERIFY(lines.at(1).endsWith(QLatin1String("Bytes")));
}

QTEST_GUILESS_MAIN(TestDataPaths)
#include "tst_data_paths.moc"
