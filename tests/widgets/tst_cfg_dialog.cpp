#include "settings/Cfg.h"
#include "widgets/ColorPicker.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

namespace {

constexpr quint32 ports3 = (3u << 16) | 0x4u;      // only COM3
constexpr quint32 ports3and5 = (5u << 16) | 0x14u; // COM3 and COM5

QString device(int port)
{
    return QStringLiteral("/dev/ttyUSB%1").arg(port - 1);
}

} // namespace

class TestCfgDialog : public QObject {
    Q_OBJECT

    quint32 m_probed = ports3;
    QStringList m_asked;
    bool m_answer = true;
    int m_resets = 0;
    bool m_resetResult = false;
    QList<int> m_monitors;

    std::unique_ptr<TCfgDialog> makeDialog()
    {
        auto d = std::make_unique<TCfgDialog>(
            nullptr, [this] { return m_probed; }, device,
            [this](const QString& q) {
                m_asked << q;
                return m_answer;
            },
            [this] {
                ++m_resets;
                return m_resetResult;
            },
            [this](int m) { m_monitors << m; });
        return d;
    }
    template <typename T> static T* child(QWidget* d, const char* name)
    {
        T* w = d->findChild<T*>(QLatin1String(name));
        if (!w)
            qWarning("missing control %s", name);
        return w;
    }

private Q_SLOTS:
    void init()
    {
        m_probed = ports3;
        m_asked.clear();
        m_answer = true;
        m_resets = 0;
        m_resetResult = false;
        m_monitors.clear();
    }

    void controlsAsDesigned()
    {
        auto d = makeDialog();
        QCOMPARE(d->windowTitle(), QStringLiteral("Einstellungen"));
        auto* timer = child<QSpinBox>(d.get(), "seTimer");
        QCOMPARE(timer->minimum(), 0);
        QCOMPARE(timer->maximum(), 9999);
        auto* elz = child<QSpinBox>(d.get(), "seELZ1");
        QCOMPARE(elz->minimum(), 1);
        QCOMPARE(elz->maximum(), 999);
        auto* pkt = child<QDoubleSpinBox>(d.get(), "sePktSek");
        QCOMPARE(pkt->decimals(), 1);
        QCOMPARE(pkt->singleStep(), 0.1);
        QCOMPARE(pkt->minimum(), 0.0);
        QCOMPARE(pkt->maximum(), 999.0);
        QCOMPARE(child<QDoubleSpinBox>(d.get(), "seSekInPachka")->minimum(), 0.1);
        QCOMPARE(child<QCheckBox>(d.get(), "cbLSautoFrei")->text(), QStringLiteral("Automatisch frei "));
        QVERIFY(child<QPushButton>(d.get(), "OKBtn")->isDefault());
        QCOMPARE(child<QPushButton>(d.get(), "CancelBtn")->text(), QStringLiteral("Abbrechen"));
        QCOMPARE(child<QPushButton>(d.get(), "bDefault")->text(),
                 QStringLiteral("Standard Einstellungen und neu starten"));
        for (const char* name : {"gbLS", "gbFarbe", "gbSound", "cbColor0", "cbColor1", "cbColor2", "cbColor3",
                                 "cbColor4", "sSoundTimer", "sSoundHaltFort", "sSoundEliminieren", "cbAlg1",
                                 "cbPort2", "cbAlg2", "LabMonitor", "cbMonitor"})
            QVERIFY2(d->findChild<QWidget*>(QLatin1String(name)), name);
        d->show();
        QVERIFY(!child<QWidget>(d.get(), "cbPort2")->isVisible());
        QVERIFY(!child<QWidget>(d.get(), "cbAlg2")->isVisible());
    }

    // Fill, then take the values back unchanged: "OK" without changes reproduces the settings.
    void fillAndUnchangedOk_data()
    {
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("line");
        QTest::addColumn<quint32>("available");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("appliedPort");
        QTest::newRow("working barrier COM3 /7,8") << 3 << 1 << ports3 << "COM3 /7,8" << 3;
        QTest::newRow("port no longer available shows Kein") << 2 << 1 << ports3 << "Kein" << 0;
        QTest::newRow("no port shows Kein") << 0 << 0 << ports3 << "Kein" << 0;
    }
    void fillAndUnchangedOk()
    {
        QFETCH(int, port);
        QFETCH(int, line);
        QFETCH(quint32, available);
        QFETCH(QString, entry);
        QFETCH(int, appliedPort);
        AppSettings s;
        s.port[0] = quint8(port);
        s.line[0] = quint8(line);
        s.alg[0] = 1;
        s.timer = 25;
        s.pktSek = 500;
        s.sekPachka = 1000;
        s.elz1 = 12;
        s.autoFrei = true;
        s.c[1] = rgb(1, 2, 3);
        s.sound1 = QStringLiteral("/x/ding.wav");
        auto d = makeDialog();
        d->fill(s, available);
        auto* cbPort1 = child<QComboBox>(d.get(), "cbPort1");
        QCOMPARE(cbPort1->currentText(), entry);
        QCOMPARE(child<QWidget>(d.get(), "cbAlg1")->isEnabled(), entry != QLatin1String("Kein"));
        QCOMPARE(child<QLineEdit>(d.get(), "sSoundHaltFort")->text(), s.sound1);

        const DialogValues v = d->values();
        QCOMPARE(v.pktSek, 0.5);
        QCOMPARE(v.sekInPachka, 1.0);
        AppSettings applied = s;
        struct : ApplyTarget {
            void recolourTimerColour() override {}
            void setTimerButtonVisible(bool) override {}
            bool clockRunning() const override { return false; }
            void showIdleDisplay() override {}
            void closePort() override {}
            bool openPort(quint8) override { return true; }
            void enableBarrierIndicators() override {}
            void comPortOpen(quint8) override {}
            void setStartBarrierArmed(bool) override {}
            void focusLeftPanel() override {}
        } target;
        applyDialogValues(v, applied, target);
        AppSettings expected = s;
        expected.port[0] = quint8(appliedPort);
        QCOMPARE(applied, expected);
    }

    void portChoiceEnablesModeAndShowsDevice()
    {
        auto d = makeDialog();
        d->fill(AppSettings(), ports3and5);
        auto* cbPort1 = child<QComboBox>(d.get(), "cbPort1");
        auto* label = child<QLabel>(d.get(), "LabPortDevice");
        QCOMPARE(cbPort1->count(), 7);
        QVERIFY(!child<QWidget>(d.get(), "cbAlg1")->isEnabled());
        QCOMPARE(label->text(), QString());
        cbPort1->setCurrentIndex(5); // COM5 /7,8
        QCOMPARE(cbPort1->currentText(), QStringLiteral("COM5 /7,8"));
        QVERIFY(child<QWidget>(d.get(), "cbAlg1")->isEnabled());
        QCOMPARE(label->text(), QStringLiteral("/dev/ttyUSB4"));
        QCOMPARE(cbPort1->itemData(1, Qt::ToolTipRole).toString(), QStringLiteral("/dev/ttyUSB2"));
        cbPort1->setCurrentIndex(0);
        QVERIFY(!child<QWidget>(d.get(), "cbAlg1")->isEnabled());
    }

    void openingThePortListProbesAgain()
    {
        AppSettings s;
        s.port[0] = 3;
        s.line[0] = 2;
        auto d = makeDialog();
        d->fill(s, ports3);
        d->show();
        auto* cbPort1 = child<QComboBox>(d.get(), "cbPort1");
        QCOMPARE(cbPort1->count(), 4);
        m_probed = ports3and5; // an adapter was plugged in
        cbPort1->showPopup();
        cbPort1->hidePopup();
        QCOMPARE(cbPort1->count(), 7);
        QCOMPARE(cbPort1->currentText(), QStringLiteral("COM3 /1,4"));
        QCOMPARE(cbPort1->itemText(6), QStringLiteral("COM5 /1,4"));
    }

    void oneScreenOffersOnlyTheDefault()
    {
        AppSettings s;
        s.monitor = 1;
        auto d = makeDialog();
        d->fill(s, ports3);
        d->show();
        auto* cb = child<QComboBox>(d.get(), "cbMonitor");
        QCOMPARE(cb->count(), 1);
        QCOMPARE(cb->itemText(0), QStringLiteral("Anfangswert"));
        QVERIFY(!cb->isEnabled());
        QVERIFY(!child<QLabel>(d.get(), "LabMonitor")->isEnabled());
        QVERIFY(m_monitors.isEmpty());
    }

    void soundFileChoice_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("field");
        QTest::newRow("button of Timer") << true << 0 << "/a/t.wav"
                                         << "sSoundTimer";
        QTest::newRow("button of Anhalten") << true << 1 << "/a/h.wav"
                                            << "sSoundHaltFort";
        QTest::newRow("double click in Eliminieren") << false << 2 << "/a/e.wav"
                                                     << "sSoundEliminieren";
        QTest::newRow("cancelled keeps the file") << true << 0 << ""
                                                  << "sSoundTimer";
    }
    void soundFileChoice()
    {
        QFETCH(bool, byButton);
        QFETCH(QString, chosen);
        QFETCH(QString, field);
        auto d = makeDialog();
        AppSettings s;
        s.sound0 = s.sound1 = s.sound2 = QStringLiteral("old.wav");
        d->fill(s, 0);
        d->show();
        QString startDir;
        d->setFileDialog([&](QWidget*, const QString& dir) {
            startDir = dir;
            return chosen;
        });
        auto* edit = child<QLineEdit>(d.get(), field.toLatin1().constData());
        if (byButton)
            QTest::mouseClick(
                child<QPushButton>(d.get(), (field + QStringLiteral("Btn")).toLatin1().constData()),
                Qt::LeftButton);
        else
            QTest::mouseDClick(edit, Qt::LeftButton);
        QVERIFY(startDir.endsWith(QStringLiteral("/gongs")));
        QCOMPARE(edit->text(), chosen.isEmpty() ? QStringLiteral("old.wav") : chosen);
    }

    void resetButton_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<int>("resets");
        QTest::addColumn<bool>("stillOpen");
        QTest::newRow("no keeps everything") << false << true << 0 << true;
        QTest::newRow("yes without stored settings stays open") << true << false << 1 << true;
        QTest::newRow("yes with stored settings closes") << true << true << 1 << false;
    }
    void resetButton()
    {
        QFETCH(bool, yes);
        QFETCH(bool, stored);
        QFETCH(int, resets);
        QFETCH(bool, stillOpen);
        m_answer = yes;
        m_resetResult = stored;
        auto d = makeDialog();
        d->show();
        QTest::mouseClick(child<QPushButton>(d.get(), "bDefault"), Qt::LeftButton);
        QCOMPARE(m_asked, QStringList{QStringLiteral("Möchten Sie Standard Einstellungen verwenden?")});
        QCOMPARE(m_resets, resets);
        QCOMPARE(d->isVisible(), stillOpen);
    }

    void colourPickersFollowTheSettings()
    {
        AppSettings s;
        auto d = makeDialog();
        d->fill(s, 0);
        for (int i = 0; i < 5; ++i) {
            auto* p = d->findChild<ColorPicker*>(QStringLiteral("cbColor%1").arg(i));
            QVERIFY(p);
            QCOMPARE(p->colour(), s.c[i]);
        }
        const DialogValues v = d->values();
        for (int i = 0; i < 5; ++i)
            QCOMPARE(v.colours[i], s.c[i]);
    }

    void centredOnItsParentWithFixedSize()
    {
        QWidget main;
        main.setGeometry(200, 150, 809, 551);
        main.show();
        TCfgDialog d(&main, nullptr, nullptr, nullptr, nullptr);
        d.show();
        const QPoint offset = d.geometry().center() - main.geometry().center();
        QVERIFY2(offset.manhattanLength() < 40,
                 qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
        QCOMPARE(d.minimumSize(), d.maximumSize());
    }

    void screenshot()
    {
        AppSettings s;
        s.port[0] = 3;
        s.line[0] = 1;
        auto d = makeDialog();
        d->fill(s, ports3and5);
        d->show();
        const QString out = qEnvironmentVariable("AK_SCREENSHOT_DIR");
        if (out.isEmpty())
            QSKIP("set AK_SCREENSHOT_DIR to keep a picture of the dialog");
        QVERIFY(d->grab().save(out + QStringLiteral("/cfg_dialog.png")));
    }
};

QTEST_MAIN(TestCfgDialog)
#include "tst_cfg_dialog.moc"
