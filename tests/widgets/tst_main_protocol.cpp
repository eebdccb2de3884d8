#include "main_window_rig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QToolButton>
#include <QUrl>

class TestMainProtocol : public QObject {
    Q_OBJECT
    QTemporaryDir m_settingsDir;
    QTemporaryDir m_workDir;
    QString m_oldCwd;

    static void enterRun(TFormMain& w, MainRig& rig)
    {
        QTest::keyClick(&w, Qt::Key_F5);
        rig.ticks.advance(40000);
        QTest::keyClick(&w, Qt::Key_F9);
        rig.ticks.advance(3000);
        QTest::keyClick(&w, Qt::Key_F9);
        QTest::keyClick(&w, Qt::Key_F10);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_settingsDir.isValid());
        QVERIFY(m_workDir.isValid());
        isolateSettings(m_settingsDir);
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
