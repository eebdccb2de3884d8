#include "settings/settings_store.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

// Values that differ from every default, so a test can tell read values from kept defaults.
AppSettings stored()
{
    AppSettings s;
    s.port[0] = 3;
    s.port[1] = 4;
    s.port[2] = 5;
    s.line[0] = 1;
    s.line[1] = 2;
    s.line[2] = 1;
    s.alg[0] = 1;
    s.alg[1] = 1;
    s.alg[2] = 1;
    s.timer = 25;
    s.pktSek = 500;
    s.left = 12;
    s.top = 34;
    s.width = 1000;
    s.height = 700;
    s.sound = false;
    s.sound0 = QStringLiteral("/snd/a.wav");
    s.sound1 = QStringLiteral("/snd/b,c.wav");
    s.sound2 = QStringLiteral("/snd/ü.wav");
    s.elz1 = 12;
    s.elz2 = 7;
    s.c[0] = rgb(1, 2, 3);
    s.c[1] = rgb(4, 5, 6);
    s.c[2] = rgb(7, 8, 9);
    s.c[3] = rgb(10, 11, 12);
    s.c[4] = rgb(13, 14, 15);
    s.sekPachka = 2000;
    s.protocolFolder = QStringLiteral("/home/op/Läufe");
    s.port1Adapter = QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    s.monitor = 1;
    s.filtInd = 2;
    s.zeile1 = QStringLiteral("Geschicklichkeit");
    s.phases = 1;
    s.autoFrei = true;
    s.live.enabled = true;
    s.live.port = 8099;
    s.live.localOnly = true;
    return s;
}

using Getter = std::function<QVariant(const AppSettings&)>;

// The reading order, one getter per read.
QList<QPair<QString, Getter>> readingOrder()
{
    QList<QPair<QString, Getter>> r;
    for (int b = 0; b < 3; ++b)
        r.append({QStringLiteral("port byte %1").arg(b + 1),
                  [b](const AppSettings& s) { return int(s.port[b]); }});
    for (int b = 0; b < 3; ++b)
        r.append({QStringLiteral("line byte %1").arg(b + 1),
                  [b](const AppSettings& s) { return int(s.line[b]); }});
    for (int b = 0; b < 3; ++b)
        r.append({QStringLiteral("Alg%1").arg(b + 1), [b](const AppSettings& s) { return s.alg[b]; }});
    r.append({"Timer", [](const AppSettings& s) { return s.timer; }});
    r.append({"PktSek", [](const AppSettings& s) { return s.pktSek; }});
    r.append({"Left", [](const AppSettings& s) { return s.left; }});
    r.append({"Top", [](const AppSettings& s) { return s.top; }});
    r.append({"Width", [](const AppSettings& s) { return s.width; }});
    r.append({"Height", [](const AppSettings& s) { return s.height; }});
    r.append({"Sound", [](const AppSettings& s) { return s.sound; }});
    r.append({"Sound0", [](const AppSettings& s) { return s.sound0; }});
    r.append({"Sound1", [](const AppSettings& s) { return s.sound1; }});
    r.append({"Sound2", [](const AppSettings& s) { return s.sound2; }});
    r.append({"ELZ1", [](const AppSettings& s) { return s.elz1; }});
    r.append({"ELZ2", [](const AppSettings& s) { return s.elz2; }});
    for (int i = 0; i < 5; ++i)
        r.append({QStringLiteral("C%1").arg(i), [i](const AppSettings& s) { return s.c[i]; }});
    r.append({"SekPachka", [](const AppSettings& s) { return s.sekPachka; }});
    r.append({"Monitor", [](const AppSettings& s) { return s.monitor; }});
    r.append({"FiltInd", [](const AppSettings& s) { return s.filtInd; }});
    r.append({"Zeile1", [](const AppSettings& s) { return s.zeile1; }});
    r.append({"Phases", [](const AppSettings& s) { return s.phases; }});
    r.append({"AutoFrei", [](const AppSettings& s) { return s.autoFrei; }});
    return r;
}

} // namespace

class TestSettingsStore : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_path;

    void writeRaw(const QByteArray& text)
    {
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    QByteArray readRaw()
    {
        QFile f(m_path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("Acker Klassik.conf"));
        QFile::remove(m_path);
    }

    void firstStartKeepsDefaults()
    {
        QSettings store(m_path, QSettings::IniFormat);
        AppSettings s;
        QCOMPARE(loadSettings(store, s), 0);
        QCOMPARE(s, AppSettings());
        QCOMPARE(s.port[0], quint8(0));
        QCOMPARE(s.timer, 60);
        QCOMPARE(s.elz1, 45);
        QCOMPARE(s.sekPachka, 100);
        QCOMPARE(s.pktSek, 100);
        QCOMPARE(s.phases, 2);
        QVERIFY(!s.autoFrei);
        QCOMPARE(s.zeile1, QStringLiteral("Furchenlauf"));
        QCOMPARE(s.filtInd, 3);
        QVERIFY(s.sound0.endsWith(QStringLiteral("/gongs/chimes.wav")));
    }

    void roundTripAndSavedFileHoldsEveryValue()
    {
        {
            QSettings store(m_path, QSettings::IniFormat);
            QVERIFY(saveSettings(store, stored()));
        }
        const QByteArray raw = readRaw();
        for (const char* line :
             {"Port1=259", "Port2=516", "Port3=261", "Alg1=1", "Timer=25", "ELZ1=12", "ELZ2=7", "PktSek=500",
              "Sound=0", "AutoFrei=1", "Phases=1", "Monitor=1", "FiltInd=2", "SekPachka=2000", "C0=197121",
              "Left=12", "Top=34", "Width=1000", "Height=700"})
            QVERIFY2(raw.contains(line), line);
        QVERIFY(raw.contains("Port1Adapter=usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"));
        for (const char* line : {"LiveEnabled=1", "LivePort=8099", "LiveLocalOnly=1"})
            QVERIFY2(raw.contains(line), line);
        QSettings store(m_path, QSettings::IniFormat);
        QCOMPARE(store.allKeys().size(), 29 + 5); // the classic values and those beyond
        AppSettings s;
        QCOMPARE(loadSettings(store, s), kSettingsReads);
        QCOMPARE(s, stored());
    }

    void portWordSplitsIntoPortAndLine()
    {
        writeRaw("[General]\nPort1=259\nPort2=0\nPort3=0\n");
        QSettings store(m_path, QSettings::IniFormat);
        AppSettings s;
        QCOMPARE(loadSettings(store, s), 6); // stops at the missing Alg1
        QCOMPARE(s.port[0], quint8(3));
        QCOMPARE(s.line[0], quint8(1));
        QVERIFY(saveSettings(store, s));
        QVERIFY(readRaw().contains("Port1=259"));
    }

    void readingStops_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("raw"); // empty: the key is removed
        QTest::addColumn<int>("reads");

        QTest::newRow("ELZ1 missing keeps ELZ1 and all after") << "ELZ1" << QByteArray() << 19;
        QTest::newRow("Port2 missing stops before the line bytes") << "Port2" << QByteArray() << 1;
        QTest::newRow("text in Timer") << "Timer" << QByteArray("abc") << 9;
        QTest::newRow("fraction in Width") << "Width" << QByteArray("1.5") << 13;
        QTest::newRow("number beyond 32 bits in Monitor") << "Monitor" << QByteArray("4294967296") << 27;
        QTest::newRow("word in boolean Sound") << "Sound" << QByteArray("true") << 15;
        QTest::newRow("list in text Sound1") << "Sound1" << QByteArray("a, b") << 17;
        QTest::newRow("byte array in text Zeile1") << "Zeile1" << QByteArray("@ByteArray(x)") << 29;
        QTest::newRow("AutoFrei missing") << "AutoFrei" << QByteArray() << 31;
        QTest::newRow("negative colour is a number") << "C0" << QByteArray("-1") << kSettingsReads;
        QTest::newRow("unsigned colour is a number") << "C1" << QByteArray("4294967295") << kSettingsReads;
    }
    void readingStops()
    {
        QFETCH(QString, key);
        QFETCH(QByteArray, raw);
        QFETCH(int, reads);
        {
            QSettings store(m_path, QSettings::IniFormat);
            QVERIFY(saveSettings(store, stored()));
        }
        QByteArray text = readRaw();
        const QRegularExpression line(QStringLiteral("\\n%1=[^\\n]*").arg(key));
        QVERIFY(line.match(QString::fromUtf8(text)).hasMatch());
        QString replaced = QString::fromUtf8(text).replace(
            line, raw.isEmpty() ? QString() : QStringLiteral("\n%1=%2").arg(key, QString::fromLatin1(raw)));
        writeRaw(replaced.toUtf8());

        QSettings store(m_path, QSettings::IniFormat);
        AppSettings s;
        QCOMPARE(loadSettings(store, s), reads);
        const AppSettings full = stored();
        const AppSettings defaults;
        const auto order = readingOrder();
        QCOMPARE(order.size(), kSettingsReads);
        for (int i = 0; i < order.size(); ++i) {
            if (i >= reads)
                QVERIFY2(order[i].second(s) == order[i].second(defaults), qPrintable(order[i].first));
            else if (order[i].first != key)
                QVERIFY2(order[i].second(s) == order[i].second(full), qPrintable(order[i].first));
        }
    }

    void missingTextReadsEmptyAndGoesOn()
    {
        writeRaw("[General]\nPort1=0\nPort2=0\nPort3=0\nAlg1=0\nAlg2=0\nAlg3=0\nTimer=0\nPktSek=1\n"
                 "Left=1\nTop=1\nWidth=500\nHeight=400\nSound=7\nSound1=x.wav\nSound2=\nELZ1=9\n");
        QSettings store(m_path, QSettings::IniFormat);
        AppSettings s;
        QCOMPARE(loadSettings(store, s), 20); // stops at the missing ELZ2
        QCOMPARE(s.sound0, QString());
        QCOMPARE(s.sound1, QStringLiteral("x.wav"));
        QCOMPARE(s.sound2, QString());
        QVERIFY(s.sound); // any non-zero number is true
        QCOMPARE(s.elz1, 9);
        QCOMPARE(s.timer, 0);
    }

    // Values beyond the classic set neither stop nor count in the classic reading.
    void extraValuesAreReadOnTheirOwn_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("reads");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("adapter");
        QTest::newRow("classic reading stopped at once, extra still read")
            << QByteArray("[General]\nPort1=x\nProtocolFolder=/a\nPort1Adapter=usb-X_Y_1-if00-port0\n") << 0
            << "/a"
            << "usb-X_Y_1-if00-port0";
        QTest::newRow("extra missing keeps its default")
            << QByteArray("[General]\nPort1=0\n") << 1 << QString() << QString();
        QTest::newRow("extra of another type keeps its default")
            << QByteArray("[General]\nProtocolFolder=a, b\nPort1Adapter=@ByteArray(x)\n") << 0 << QString()
            << QString();
    }

    void extraValuesAreReadOnTheirOwn()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, reads);
        QFETCH(QString, folder);
        QFETCH(QString, adapter);
        writeRaw(file);
        QSettings store(m_path, QSettings::IniFormat);
        AppSettings s;
        QCOMPARE(loadSettings(store, s), reads);
        QCOMPARE(s.protocolFolder, folder);
        QCOMPARE(s.port1Adapter, adapter);
    }

    // The live server's values: each read on its own; a port outside 1..65535 keeps the default.
    void liveValuesAreReadOnTheirOwn_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("localOnly");
        QTest::newRow("none stored: off, 8080, whole network")
            << QByteArray("[General]\nPort1=0\n") << false << 8080 << false;
        QTest::newRow("all three stored")
            << QByteArray("[General]\nLiveEnabled=1\nLivePort=8081\nLiveLocalOnly=1\n") << true << 8081
            << true;
        QTest::newRow("lowest port 1") << QByteArray("[General]\nLivePort=1\n") << false << 1 << false;
        QTest::newRow("two-digit port 80") << QByteArray("[General]\nLivePort=80\n") << false << 80 << false;
        QTest::newRow("highest port 65535")
            << QByteArray("[General]\nLivePort=65535\n") << false << 65535 << false;
        QTest::newRow("port 0 keeps the default")
            << QByteArray("[General]\nLivePort=0\n") << false << 8080 << false;
        QTest::newRow("port 65536 keeps the default")
            << QByteArray("[General]\nLivePort=65536\n") << false << 8080 << false;
        QTest::newRow("negative port keeps the default")
            << QByteArray("[General]\nLivePort=-80\n") << false << 8080 << false;
        QTest::newRow("a word keeps the default, the others still read")
            << QByteArray("[General]\nLiveEnabled=1\nLivePort=acht\nLiveLocalOnly=1\n") << true << 8080
            << true;
        QTest::newRow("classic reading stopped, live values still read")
            << QByteArray("[General]\nPort1=x\nLiveEnabled=1\n") << true << 8080 << false;
    }

    void liveValuesAreReadOnTheirOwn()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, enabled);
        QFETCH(int, port);
        QFETCH(bool, localOnly);
        writeRaw(file);
        QSettings store(m_path, QSettings::IniFormat);
        AppSettings s;
        loadSettings(store, s);
        QCOMPARE(s.live.enabled, enabled);
        QCOMPARE(s.live.port, port);
        QCOMPARE(s.live.localOnly, localOnly);
    }

    // Port 0 (any free port, used by tests) is never stored.
    void liveAnyPortIsNotStored()
    {
        AppSettings s = stored();
        s.live.port = 0;
        {
            QSettings store(m_path, QSettings::IniFormat);
            QVERIFY(saveSettings(store, s));
        }
        QSettings store(m_path, QSettings::IniFormat);
        QVERIFY(!store.contains(QStringLiteral("LivePort")));
        AppSettings back;
        loadSettings(store, back);
        QCOMPARE(back.live.port, 8080);
    }

    void resetOnMissingKeyChangesNothing()
    {
        QSettings store(m_path, QSettings::IniFormat);
        QVERIFY(!resetSettings(store));
        QVERIFY(!QFile::exists(m_path));
    }

    void resetDeletesEverything()
    {
        {
            QSettings store(m_path, QSettings::IniFormat);
            QVERIFY(saveSettings(store, stored()));
        }
        QSettings store(m_path, QSettings::IniFormat);
        QVERIFY(resetSettings(store));
        QSettings again(m_path, QSettings::IniFormat);
        AppSettings s;
        QCOMPARE(loadSettings(again, s), 0);
        QCOMPARE(s, AppSettings());
    }

    void saveToUnwritableStoreFails()
    {
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("ro")));
        const QString dir = m_dir.filePath(QStringLiteral("ro"));
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (QFileInfo(dir).isWritable()) {
            QFile::setPermissions(dir,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            QSKIP("the folder stays writable for this user");
        }
        QSettings store(dir + QStringLiteral("/x.conf"), QSettings::IniFormat);
        const bool saved = saveSettings(store, stored());
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY(!saved);
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settings_store.moc"
