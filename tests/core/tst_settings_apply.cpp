#include "settings/settings_apply.h"

#include <QtTest>

namespace {

// Records every call of the apply step as one word, in order.
class RecordingTarget : public ApplyTarget {
public:
    QStringList calls;
    bool running = false;
    bool openSucceeds = true;

    void recolourTimerColour() override { calls << QStringLiteral("recolour"); }
    void setTimerButtonVisible(bool v) override { calls << QStringLiteral("timer%1").arg(v ? "+" : "-"); }
    bool clockRunning() const override { return running; }
    void showIdleDisplay() override { calls << QStringLiteral("idle"); }
    void closePort() override { calls << QStringLiteral("close"); }
    bool openPort(quint8 port) override
    {
        calls << QStringLiteral("open%1").arg(port);
        return openSucceeds;
    }
    void enableBarrierIndicators() override { calls << QStringLiteral("indicators"); }
    void comPortOpen(quint8 port) override { calls << QStringLiteral("opened%1").arg(port); }
    void setStartBarrierArmed(bool a) override { calls << QStringLiteral("arm%1").arg(a ? "+" : "-"); }
    void focusLeftPanel() override { calls << QStringLiteral("focus"); }
};

// The dialog as "OK" hands it back for a start barrier on COM3 /7,8.
DialogValues workingBarrier()
{
    DialogValues v;
    v.portEntryIndex = 5;
    v.portEntryText = QStringLiteral("COM3 /7,8");
    v.alg1 = 0;
    v.timer = 60;
    v.pktSek = 0.1;
    v.sekInPachka = 0.1;
    v.elz1 = 45;
    return v;
}

AppSettings workingSettings()
{
    AppSettings s;
    s.port[0] = 3;
    s.line[0] = 1;
    return s;
}

} // namespace

class TestSettingsApply : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void portList_data()
    {
        QTest::addColumn<quint32>("available");
        QTest::addColumn<bool>("named");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("no port") << 0u << false << QStringList{"Kein"};
        QTest::newRow("ports 1 and 3")
            << ((3u << 16) | 0x5u) << false << QStringList{"Kein",      "COM1 /4,6", "COM1 /7,8", "COM1 /1,4",
                                                           "COM3 /4,6", "COM3 /7,8", "COM3 /1,4"};
        QTest::newRow("bits above the highest port are not offered")
            << ((1u << 16) | 0x3u) << false << QStringList{"Kein", "COM1 /4,6", "COM1 /7,8", "COM1 /1,4"};
        QTest::newRow("highest beyond 16 stops at 16")
            << ((200u << 16) | 0x8000u) << false
            << QStringList{"Kein", "COM16 /4,6", "COM16 /7,8", "COM16 /1,4"};
        QTest::newRow("adapter names beside the port number, none for port 1")
            << ((12u << 16) | 0x801u) << true
            << QStringList{"Kein",
                           "COM1 /4,6",
                           "COM1 /7,8",
                           "COM1 /1,4",
                           "COM12 /4,6  (Adapter 12)",
                           "COM12 /7,8  (Adapter 12)",
                           "COM12 /1,4  (Adapter 12)"};
    }
    void portList()
    {
        QFETCH(quint32, available);
        QFETCH(bool, named);
        QFETCH(QStringList, entries);
        std::function<QString(int)> note;
        if (named)
            note = [](int port) { return port > 1 ? QStringLiteral("Adapter %1").arg(port) : QString(); };
        QCOMPARE(portEntries(available, note), entries);
    }

    void entryFor_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("index");
        QTest::newRow("COM3 CTS") << 3 << 1 << 5;
        QTest::newRow("COM1 RLSD") << 1 << 2 << 3;
        QTest::newRow("no port shows Kein") << 0 << 1 << 0;
        QTest::newRow("port no longer available shows Kein") << 2 << 0 << 0;
        QTest::newRow("line outside the table shows Kein") << 3 << 7 << 0;
        QTest::newRow("entry with the adapter's name") << 1 << 1 << 2;
    }
    void entryFor()
    {
        QFETCH(int, port);
        QFETCH(int, line);
        QFETCH(int, index);
        QStringList entries = portEntries((3u << 16) | 0x5u);
        entries[5] = entries[5].toLower(); // the comparison ignores letter case
        entries[2] += QStringLiteral("  (FTDI FT232R USB UART A50285BI)");
        entries[1] = QStringLiteral("COM1 /7,8x"); // not an entry of COM1 /7,8: the text goes on
        QCOMPARE(portEntryFor(quint8(port), quint8(line), entries), index);
    }

    void parseEntry_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("line");
        QTest::newRow("COM3 /4,6") << "COM3 /4,6" << true << 3 << 0;
        QTest::newRow("COM12 /7,8 two digits") << "COM12 /7,8" << true << 12 << 1;
        QTest::newRow("COM9 /1,4") << "COM9 /1,4" << true << 9 << 2;
        QTest::newRow("no digit gives no port") << "Kein" << false << 0 << 0;
        QTest::newRow("too short") << "CO" << false << 0 << 0;
    }
    void parseEntry()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, port);
        QFETCH(int, line);
        quint8 p = 99;
        quint8 l = 99;
        QCOMPARE(parsePortEntry(text, &p, &l), ok);
        QCOMPARE(int(p), port);
        QCOMPARE(int(l), line);
    }

    void decimalsBecomeThousandths_data()
    {
        QTest::addColumn<double>("pktSek");
        QTest::addColumn<double>("sekInPachka");
        QTest::addColumn<int>("pkt");
        QTest::addColumn<int>("pachka");
        QTest::newRow("0.5 and 1.0") << 0.5 << 1.0 << 500 << 1000;
        QTest::newRow("0.1 and 0.3 round to the nearest") << 0.1 << 0.3 << 100 << 300;
        QTest::newRow("999.0 upper end") << 999.0 << 999.0 << 999000 << 999000;
        QTest::newRow("out of range is brought into it") << -5.0 << 1e12 << 0 << 999000;
    }
    void decimalsBecomeThousandths()
    {
        QFETCH(double, pktSek);
        QFETCH(double, sekInPachka);
        QFETCH(int, pkt);
        QFETCH(int, pachka);
        DialogValues v = workingBarrier();
        v.pktSek = pktSek;
        v.sekInPachka = sekInPachka;
        AppSettings s = workingSettings();
        RecordingTarget t;
        applyDialogValues(v, s, t);
        QCOMPARE(s.pktSek, pkt);
        QCOMPARE(s.sekPachka, pachka);
    }

    void applyOrder_data()
    {
        QTest::addColumn<int>("entryIndex");
        QTest::addColumn<QString>("entryText");
        QTest::addColumn<int>("timer");
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("alg");

        QTest::newRow("OK unchanged reopens the working barrier")
            << 5 << "COM3 /7,8" << 60 << false << true
            << QStringList{"recolour",   "timer+",  "idle", "close", "open3",
                           "indicators", "opened3", "arm-", "focus"}
            << 3 << 1 << 1;
        QTest::newRow("timer 0 hides TIMER and arms the start barrier")
            << 5 << "COM3 /7,8" << 0 << false << true
            << QStringList{"recolour",   "timer-",  "idle", "close", "open3",
                           "indicators", "opened3", "arm+", "focus"}
            << 3 << 1 << 1;
        // A port that cannot be opened is not shown as opened: its barriers stay closed (grey).
        QTest::newRow("port that fails to open is not shown opened")
            << 5 << "COM3 /7,8" << 0 << false << false
            << QStringList{"recolour", "timer-", "idle", "close", "open3", "indicators", "arm+", "focus"} << 3
            << 1 << 1;
        QTest::newRow("Kein closes the port and keeps line and mode")
            << 0 << "Kein" << 60 << false << true
            << QStringList{"recolour", "timer+", "idle", "close", "indicators", "arm-", "focus"} << 0 << 2
            << 0;
        QTest::newRow("running clock keeps the display")
            << 5 << "COM3 /7,8" << 60 << true << true
            << QStringList{"recolour", "timer+", "close", "open3", "indicators", "opened3", "arm-", "focus"}
            << 3 << 1 << 1;
        QTest::newRow("COM12 /7,8 gives port 12 line 1")
            << 38 << "COM12 /7,8" << 60 << false << true
            << QStringList{"recolour",   "timer+",   "idle", "close", "open12",
                           "indicators", "opened12", "arm-", "focus"}
            << 12 << 1 << 1;
        QTest::newRow("entry with the adapter's name gives its port and line")
            << 5 << "COM3 /1,4  (FTDI FT232R USB UART A50285BI)" << 60 << false << true
            << QStringList{"recolour",   "timer+",  "idle", "close", "open3",
                           "indicators", "opened3", "arm-", "focus"}
            << 3 << 2 << 1;
        QTest::newRow("unreadable entry leaves no port but takes line and mode")
            << 2 << "COMx /1,4" << 60 << false << true
            << QStringList{"recolour", "timer+", "idle", "close", "indicators", "arm-", "focus"} << 0 << 2
            << 1;
    }
    void applyOrder()
    {
        QFETCH(int, entryIndex);
        QFETCH(QString, entryText);
        QFETCH(int, timer);
        QFETCH(bool, running);
        QFETCH(bool, opens);
        QFETCH(QStringList, calls);
        QFETCH(int, port);
        QFETCH(int, line);
        QFETCH(int, alg);

        AppSettings s = workingSettings();
        s.line[0] = 2; // what "Kein" must keep
        s.port[1] = 7;
        s.line[1] = 2;
        s.alg[1] = 1;
        DialogValues v = workingBarrier();
        v.portEntryIndex = entryIndex;
        v.portEntryText = entryText;
        v.timer = timer;
        v.alg1 = 1;
        RecordingTarget t;
        t.running = running;
        t.openSucceeds = opens;

        applyDialogValues(v, s, t);
        QCOMPARE(t.calls, calls);
        QCOMPARE(int(s.port[0]), port);
        QCOMPARE(int(s.line[0]), line);
        QCOMPARE(s.alg[0], alg);
        QCOMPARE(s.timer, timer);
        // the stop barrier is never changed by the dialog
        QCOMPARE(int(s.port[1]), 7);
        QCOMPARE(int(s.line[1]), 2);
        QCOMPARE(s.alg[1], 1);
    }

    void adapterIdentityFollowsThePortChoice_data()
    {
        QTest::addColumn<int>("entryIndex");
        QTest::addColumn<QString>("entryText");
        QTest::addColumn<QString>("adapterId");
        QTest::addColumn<QString>("stored");
        const QString id = QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
        QTest::newRow("adapter chosen: its identity is kept") << 5 << "COM5 /7,8" << id << id;
        QTest::newRow("port without identity (on-board UART) clears it")
            << 2 << "COM1 /7,8" << QString() << QString();
        QTest::newRow("Kein clears it") << 0 << "Kein" << id << QString();
    }
    void adapterIdentityFollowsThePortChoice()
    {
        QFETCH(int, entryIndex);
        QFETCH(QString, entryText);
        QFETCH(QString, adapterId);
        QFETCH(QString, stored);
        AppSettings s = workingSettings();
        s.port1Adapter = QStringLiteral("usb-old-adapter");
        DialogValues v = workingBarrier();
        v.portEntryIndex = entryIndex;
        v.portEntryText = entryText;
        v.adapterId = adapterId;
        RecordingTarget t;
        applyDialogValues(v, s, t);
        QCOMPARE(s.port1Adapter, stored);
    }

    void plainValuesAreTaken()
    {
        DialogValues v = workingBarrier();
        v.autoFrei = true;
        v.elz1 = 12;
        for (int i = 0; i < 5; ++i)
            v.colours[i] = rgb(i, 2 * i, 3 * i);
        v.sound[0] = QStringLiteral("a.wav");
        v.sound[1] = QStringLiteral("b.wav");
        v.sound[2] = QString();
        AppSettings s = workingSettings();
        const AppSettings before = s;
        RecordingTarget t;
        applyDialogValues(v, s, t);
        QVERIFY(s.autoFrei);
        QCOMPARE(s.elz1, 12);
        for (int i = 0; i < 5; ++i)
            QCOMPARE(s.c[i], rgb(i, 2 * i, 3 * i));
        QCOMPARE(s.sound0, QStringLiteral("a.wav"));
        QCOMPARE(s.sound1, QStringLiteral("b.wav"));
        QCOMPARE(s.sound2, QString());
        QCOMPARE(s.monitor, before.monitor);
        QCOMPARE(s.zeile1, before.zeile1);
    }
};

QTEST_GUILESS_MAIN(TestSettingsApply)
#include "tst_settings_apply.moc"
