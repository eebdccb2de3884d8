// The settings dialog on a machine with two monitors: the offscreen platform reads its screens from a
// JSON file, which must be in place before the application object exists.
#include "settings/Cfg.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

class TestCfgDialogScreens : public QObject {
    Q_OBJECT

    QList<int> m_monitors;

    std::unique_ptr<TCfgDialog> makeDialog(int monitor)
    {
        auto d = std::make_unique<TCfgDialog>(
            nullptr, [] { return 0u; }, [](int) { return QString(); }, [](const QString&) { return false; },
            [] { return false; }, [this](int m) { m_monitors << m; });
        AppSettings s;
        s.monitor = monitor;
        d->fill(s, 0);
        return d;
    }

private Q_SLOTS:
    void init() { m_monitors.clear(); }

    void twoScreensAreListed()
    {
        QCOMPARE(QGuiApplication::screens().size(), 2);
        auto d = makeDialog(1);
        d->show();
        auto* cb = d->findChild<QComboBox*>(QStringLiteral("cbMonitor"));
        QVERIFY(cb->isEnabled());
        QVERIFY(d->findChild<QLabel*>(QStringLiteral("LabMonitor"))->isEnabled());
        QCOMPARE(cb->count(), 2);
        QCOMPARE(cb->itemText(0), QStringLiteral("0=(0,0)-(1920,1080)"));
        QCOMPARE(cb->itemText(1), QStringLiteral("1=(1920,0)-(1280,1024)"));
        QCOMPARE(cb->currentIndex(), 1);
        QVERIFY(m_monitors.isEmpty()); // filling the list is no choice
    }

    void choiceStaysAfterCancel()
    {
        auto d = makeDialog(0);
        d->show();
        auto* cb = d->findChild<QComboBox*>(QStringLiteral("cbMonitor"));
        cb->setCurrentIndex(1);
        QCOMPARE(m_monitors, QList<int>{1});
        QTest::mouseClick(d->findChild<QWidget*>(QStringLiteral("CancelBtn")), Qt::LeftButton);
        QVERIFY(!d->isVisible());
        QCOMPARE(d->result(), int(QDialog::Rejected));
        QCOMPARE(m_monitors, QList<int>{1});
        // shown again, the list starts from the last choice
        d->show();
        QCOMPARE(cb->currentIndex(), 1);
    }

    void storedIndexBeyondTheScreensSelectsNothing()
    {
        auto d = makeDialog(5);
        d->show();
        QCOMPARE(d->findChild<QComboBox*>(QStringLiteral("cbMonitor"))->currentIndex(), -1);
        QVERIFY(m_monitors.isEmpty());
    }
};

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screens.json"));
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly))
        return 1;
    f.write(R"({"screens": [
        {"name": "Links", "x": 0, "y": 0, "width": 1920, "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
        {"name": "Rechts", "x": 1920, "y": 0, "width": 1280, "height": 1024, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}
    ]})");
    f.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    QApplication app(argc, argv);
    TestCfgDialogScreens test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_cfg_dialog_screens.moc"
