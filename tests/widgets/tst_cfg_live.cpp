// The settings dialog's group "Live-Ergebnisse im Netz": what it shows and what it hands back.
#include "settings/CfgLive.h"

#include <QCheckBox>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QSpinBox>
#include <QtTest>

namespace {
QList<QHostAddress> twoAddresses()
{
    return {QHostAddress(QStringLiteral("192.168.1.20")), QHostAddress(QStringLiteral("10.0.0.5"))};
}
QList<QHostAddress> noAddresses()
{
    return {};
}
} // namespace

class TestCfgLive : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fillAndValues_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("localOnly");
        QTest::newRow("off, default port") << false << 8080 << false;
        QTest::newRow("on, this PC only") << true << 8080 << true;
        QTest::newRow("lowest port 1") << true << 1 << false;
        QTest::newRow("two-digit port 80") << true << 80 << false;
        QTest::newRow("highest port 65535") << true << 65535 << true;
        QTest::newRow("any free port (tests) is kept") << true << 0 << true;
    }

    void fillAndValues()
    {
        QFETCH(bool, enabled);
        QFETCH(int, port);
        QFETCH(bool, localOnly);
        CfgLiveGroup g;
        g.fill(LiveSettings{enabled, port, localOnly});
        QCOMPARE(g.values(), (LiveSettings{enabled, port, localOnly}));
        QCOMPARE(g.findChild<QCheckBox*>(QStringLiteral("cbLive"))->isChecked(), enabled);
        QCOMPARE(g.findChild<QCheckBox*>(QStringLiteral("cbLiveLocal"))->isChecked(), localOnly);
    }

    void addressesFollowTheFields()
    {
        CfgLiveGroup g;
        g.setAddressProvider(twoAddresses);
        g.fill(LiveSettings{true, 8080, false});
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        auto* urls = g.findChild<QLabel*>(QStringLiteral("LabLiveUrls"));
        QCOMPARE(urls->text(), QStringLiteral("http://192.168.1.20:8080/\nhttp://10.0.0.5:8080/"));

        // The port typed in is the port of the addresses.
        auto* spin = g.findChild<QSpinBox*>(QStringLiteral("seLivePort"));
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, QStringLiteral("8090"));
        QCOMPARE(g.shownUrls(), (QStringList{QStringLiteral("http://192.168.1.20:8090/"),
                                             QStringLiteral("http://10.0.0.5:8090/")}));
        QCOMPARE(g.values().port, 8090);

        // "nur dieser PC": only the loopback address.
        auto* local = g.findChild<QCheckBox*>(QStringLiteral("cbLiveLocal"));
        local->setFocus();
        QTest::keyClick(local, Qt::Key_Space);
        QVERIFY(local->isChecked());
        QCOMPARE(urls->text(), QStringLiteral("http://127.0.0.1:8090/"));
    }

    void withoutNetworkThisPcIsShown()
    {
        CfgLiveGroup g;
        g.setAddressProvider([] { return QList<QHostAddress>(); });
        g.fill(LiveSettings{true, 8080, false});
        QCOMPARE(g.shownUrls(), QStringList{QStringLiteral("http://127.0.0.1:8080/")});
    }

    // A QR code of the first address, for a phone to scan from the screen.
    void qrCodeOfTheFirstAddress()
    {
        CfgLiveGroup g;
        g.setAddressProvider(twoAddresses);
        g.fill(LiveSettings{true, 8080, false});
        auto* qr = g.findChild<QLabel*>(QStringLiteral("LabLiveQr"));
        QVERIFY(!qr->pixmap().isNull());
        QCOMPARE(qr->pixmap().width(), qr->pixmap().height());
        QCOMPARE(qr->toolTip(), QStringLiteral("http://192.168.1.20:8080/"));
    }

    // What a phone's camera reads from the code on the screen is the address shown beside it.
    void qrCodeReadsBackAsTheAddress_data()
    {
        QTest::addColumn<bool>("lan");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("url");
        QTest::newRow("first LAN address, default port") << true << 8080 << "http://192.168.1.20:8080/";
        QTest::newRow("two-digit port 80, the web's own: not written") << true << 80 << "http://192.168.1.20/";
        QTest::newRow("highest port 65535") << true << 65535 << "http://192.168.1.20:65535/";
        QTest::newRow("no network: this PC") << false << 1 << "http://127.0.0.1:1/";
    }
    void qrCodeReadsBackAsTheAddress()
    {
        const QString zbar = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
        if (zbar.isEmpty())
            QSKIP("zbarimg (zbar-tools) is not installed");
        QFETCH(bool, lan);
        QFETCH(int, port);
        QFETCH(QString, url);
        CfgLiveGroup g;
        g.setAddressProvider(lan ? twoAddresses : noAddresses);
        g.fill(LiveSettings{true, port, false});
        const QPixmap shown = g.findChild<QLabel*>(QStringLiteral("LabLiveQr"))->pixmap();
        QVERIFY(!shown.isNull());
        QTemporaryDir dir;
        const QString png = dir.filePath(QStringLiteral("qr.png"));
        QVERIFY(shown.toImage().save(png));
        QProcess p;
        p.start(zbar, {QStringLiteral("--raw"), QStringLiteral("-q"), png});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()).trimmed(), url);
        QCOMPARE(g.shownUrls().value(0), url);
    }

    void statusIsAskedWhenShown()
    {
        CfgLiveGroup g;
        int asked = 0;
        g.setStatusProvider([&asked] {
            ++asked;
            return QStringLiteral("Der Webserver läuft.");
        });
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        QCOMPARE(asked, 1);
        QCOMPARE(g.findChild<QLabel*>(QStringLiteral("LabLiveStatus"))->text(),
                 QStringLiteral("Der Webserver läuft."));
    }
};

QTEST_MAIN(TestCfgLive)
#include "tst_cfg_live.moc"
