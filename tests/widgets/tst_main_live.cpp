// The main window with the live results server: off unless switched on, every change of the
// table and of the run reaches an open page at once, the address and a failed start show in
// the status bar, and timing goes on whatever the server does.
#include "http_client.h"
#include "main_window_rig.h"
#include "sse_client.h"

#include "dialogs/DlgYesNo.h"
#include "protocol/ProtocolCommands.h"
#include "results/SortGrid.h"
#include "results/results_table.h"
#include "settings/Cfg.h"
#include "settings/CfgLive.h"
#include "widgets/CommandButton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QToolButton>

#include <algorithm>
#include <vector>

namespace {

// A port nobody listens on right now.
quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// Switches the server on for this PC only, on a free port.
void switchOn(TFormMain& w)
{
    w.settings().live = LiveSettings{true, 0, true};
    w.applyLiveSettings();
}

QString lastState(const SseClient& c)
{
    const SseClient::Event* e = c.last("state");
    return e ? e->json().value(QStringLiteral("state")).toString() : QString();
}

QJsonArray lastRows(const SseClient& c)
{
    const SseClient::Event* e = c.last("results");
    return e ? e->json().value(QStringLiteral("rows")).toArray() : QJsonArray();
}

void trigger(TFormMain& w, const char* action)
{
    w.menuAction(QString::fromLatin1(action))->trigger();
}

} // namespace

class TestMainLive : public QObject {
    Q_OBJECT
    QTemporaryDir m_settings;

private Q_SLOTS:
    void initTestCase() { isolateSettings(m_settings); }
    void init() { clearStoredSettings(); }

    void offUntilSwitchedOn()
    {
        MainRig rig;
        auto w = rig.make();
        QVERIFY(!w->liveService()->running());
        QVERIFY(w->liveUrls().isEmpty());
        QVERIFY(w->liveQrImage().isNull());
        QVERIFY(!w->statusNoticeText().contains(QStringLiteral("Live")));
        QCOMPARE(w->liveStatusText(), QStringLiteral("Aus."));
        QVERIFY(w->printFooterCaption().isEmpty());
    }

    void storedSettingsStartTheServer()
    {
        const quint16 port = freePort();
        storeSetting("LiveEnabled", 1);
        storeSetting("LivePort", port);
        storeSetting("LiveLocalOnly", 1);
        MainRig rig;
        auto w = rig.make();
        QVERIFY(w->liveService()->running());
        QCOMPARE(w->liveService()->port(), port);
        const QString url = QStringLiteral("http://127.0.0.1:%1/").arg(port);
        QCOMPARE(w->liveUrls(), QStringList{url});
        QCOMPARE(w->statusNoticeText(), QStringLiteral("Live-Ergebnisse: ") + url);
        // The printout's footer names the address (with its QR code) while the pages are up.
        QCOMPARE(w->printFooterCaption(), QStringLiteral("Live-Ergebnisse: ") + url);
        const HttpAnswer a = httpGet(port, "/api/results.json");
        QCOMPARE(a.status, 200);
        QVERIFY(a.body.contains("\"title\":\"Furchenlauf\""));
        const QImage qr = w->liveQrImage(4);
        QVERIFY(!qr.isNull());
        QCOMPARE(qr.width(), qr.height());
        QCOMPARE(qr.pixel(1, 1), qRgb(255, 255, 255)); // the light border scanners need
    }

    // A laptop that joins the event's network after the start shows the new address by itself,
    // and goes back to this PC's address when the network is gone.
    void addressesFollowTheNetwork()
    {
        QList<QHostAddress> lan;
        MainRig rig;
        auto w = rig.make();
        w->setLiveAddressProvider([&lan] { return lan; });
        w->settings().live = LiveSettings{true, 0, false};
        w->applyLiveSettings();
        QVERIFY(w->liveService()->running());
        const QString port = QString::number(w->liveService()->port());
        const QString local = QStringLiteral("http://127.0.0.1:%1/").arg(port);
        const QString joined = QStringLiteral("http://192.168.1.20:%1/").arg(port);
        QCOMPARE(w->statusNoticeText(), QStringLiteral("Live-Ergebnisse: ") + local);

        lan = {QHostAddress(QStringLiteral("192.168.1.20"))};
        w->refreshLiveAddresses();
        QCOMPARE(w->statusNoticeText(), QStringLiteral("Live-Ergebnisse: ") + joined);
        QCOMPARE(w->printFooterCaption(), QStringLiteral("Live-Ergebnisse: ") + joined);

        lan.clear();
        w->refreshLiveAddresses();
        QCOMPARE(w->statusNoticeText(), QStringLiteral("Live-Ergebnisse: ") + local);
        QCOMPARE(w->printFooterCaption(), QStringLiteral("Live-Ergebnisse: ") + local);
    }

    // A port in use leaves a German message in the status bar; the program times as usual.
    void portInUseIsShownAndTimingGoesOn()
    {
        QTcpServer other;
        QVERIFY(other.listen(QHostAddress::LocalHost, 0));
        storeSetting("LiveEnabled", 1);
        storeSetting("LivePort", other.serverPort());
        storeSetting("LiveLocalOnly", 1);
        MainRig rig;
        auto w = rig.make();
        QVERIFY(!w->liveService()->running());
        const QString message =
            QStringLiteral("Live-Ergebnisse: Port %1 ist schon belegt – der Webserver läuft nicht.")
                .arg(other.serverPort());
        QCOMPARE(w->statusNoticeText(), message);
        QCOMPARE(w->liveStatusText(), message);
        QTest::keyClick(w.get(), Qt::Key_F5);
        QVERIFY(w->clock().running());
        rig.ticks.advance(2000);
        QTest::keyClick(w.get(), Qt::Key_F9);
        rig.ticks.advance(3000);
        QTest::keyClick(w.get(), Qt::Key_F9);
        QVERIFY(!w->clock().running());
        QTest::keyClick(w.get(), Qt::Key_F10);
        QCOMPARE(w->resultsTable().cell(ResultsTable::Zeit2, 1), QStringLiteral("3,00"));
    }

    // Every run command reaches an open page with the run state it leads to.
    void runCommandsArePushed_data()
    {
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QString>("state");
        QTest::newRow("TIMER") << QStringList{"mTimer"} << "CountdownRunning";
        QTest::newRow("TIMER twice") << QStringList{"mTimer", "mTimer"} << "CountdownPaused";
        QTest::newRow("START") << QStringList{"mStart"} << "RunningPhase1";
        QTest::newRow("STOPP1") << QStringList{"mStart", "mStop"} << "RunningPhase2";
        QTest::newRow("STOPP2") << QStringList{"mStart", "mStop", "mStop"} << "Stopped";
        QTest::newRow("EINTRAGEN") << QStringList{"mStart", "mStop", "mStop", "mEintragen"} << "Entered";
        QTest::newRow("NÄCHSTER") << QStringList{"mStart", "mStop", "mStop", "mEintragen", "mReset"}
                                  << "Ready";
        QTest::newRow("Absage") << QStringList{"bAbsage"} << "Entered";
    }

    void runCommandsArePushed()
    {
        QFETCH(QStringList, commands);
        QFETCH(QString, state);
        MainRig rig;
        auto w = rig.make();
        switchOn(*w);
        SseClient page(w->liveService()->port());
        QTRY_COMPARE(lastState(page), QStringLiteral("Ready"));
        for (const QString& c : commands) {
            const int before = page.count("state");
            rig.ticks.advance(1000);
            if (c == QLatin1String("bAbsage"))
                w->control<CommandButton>(c)->click();
            else
                trigger(*w, c.toLatin1().constData());
            QTRY_COMPARE(page.count("state"), before + 1);
        }
        QCOMPARE(lastState(page), state);
    }

    // A run entered reaches an open page within 100 ms, with its row.
    void enteredRunReachesThePageAtOnce()
    {
        MainRig rig;
        auto w = rig.make();
        switchOn(*w);
        SseClient page(w->liveService()->port());
        QTRY_COMPARE(page.count("results"), 1);
        std::vector<double> ms;
        for (int i = 1; i <= 5; ++i) {
            w->control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QString::number(i));
            w->control<QLineEdit>(QStringLiteral("Reiter"))->setText(QStringLiteral("Fahrer %1").arg(i));
            trigger(*w, "mStart");
            rig.ticks.advance(40000 + i * 10);
            trigger(*w, "mStop");
            rig.ticks.advance(41000);
            trigger(*w, "mStop");
            const int before = page.count("results");
            const qint64 sent = page.clock.nsecsElapsed();
            trigger(*w, "mEintragen");
            QTRY_COMPARE(page.count("results"), before + 1);
            ms.push_back(double(page.last("results")->receivedNs - sent) / 1e6);
            QCOMPARE(lastRows(page).size(), i);
            trigger(*w, "mReset");
        }
        std::sort(ms.begin(), ms.end());
        qInfo("EINTRAGEN to the open page: median %.2f ms, slowest %.2f ms", ms[2], ms.back());
        QVERIFY(ms[2] < 100.0);
        const QJsonObject first = lastRows(page).first().toObject();
        QCOMPARE(first.value(QStringLiteral("time1")).toString(), QStringLiteral("40,01"));
        QCOMPARE(first.value(QStringLiteral("rank")).toString(), QStringLiteral("1"));
    }

    // Editing, clearing and loading the protocol reach the page as well.
    void tableCommandsArePushed()
    {
        MainRig rig;
        auto w = rig.make();
        switchOn(*w);
        SseClient page(w->liveService()->port());
        QTRY_COMPARE(page.count("results"), 1);
        w->control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QStringLiteral("7"));
        w->control<QLineEdit>(QStringLiteral("Reiter"))->setText(QStringLiteral("Huber"));
        QTest::keyClick(w.get(), Qt::Key_F5);
        rig.ticks.advance(30000);
        QTest::keyClick(w.get(), Qt::Key_F9);
        rig.ticks.advance(30000);
        QTest::keyClick(w.get(), Qt::Key_F9);
        QTest::keyClick(w.get(), Qt::Key_F10);
        QTRY_COMPARE(lastRows(page).size(), 1);

        // Eliminieren
        w->resultsTable().setCurrentRow(1);
        w->sortGrid()->action("Eliminieren1")->trigger();
        QTRY_COMPARE(lastRows(page).first().toObject().value(QStringLiteral("mark")).toString(),
                     QStringLiteral("EL"));

        // Save, clear, load back.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lauf.txt"));
        w->protocolCommands()->setFileDialogHook([&path](const FileDialogRequest& r) {
            return FileDialogAnswer{path, r.save ? 0 : r.filterIndex};
        });
        w->control<QToolButton>(QStringLiteral("sbSave"))->click();
        QVERIFY(QFile::exists(path));
        w->yesNoDialog()->setNextAnswers({true});
        w->control<QToolButton>(QStringLiteral("sbCLS"))->click();
        QTRY_COMPARE(lastRows(page).size(), 0);
        w->control<QToolButton>(QStringLiteral("sbLoad"))->click();
        QTRY_COMPARE(lastRows(page).size(), 1);
        QCOMPARE(lastRows(page).first().toObject().value(QStringLiteral("driver")).toString(),
                 QStringLiteral("Huber"));
    }

    void typedTitleAndNamesArePushed()
    {
        MainRig rig;
        auto w = rig.make();
        switchOn(*w);
        SseClient page(w->liveService()->port());
        QTRY_COMPARE(page.count("state"), 1);
        auto* title = w->control<QLineEdit>(QStringLiteral("eFText1"));
        title->selectAll();
        QTest::keyClicks(title, QStringLiteral("Pokal"));
        QTRY_COMPARE(page.last("results")->json().value(QStringLiteral("title")).toString(),
                     QStringLiteral("Pokal"));
        QTest::keyClicks(w->control<QLineEdit>(QStringLiteral("Reiter")), QStringLiteral("Maier"));
        QTRY_COMPARE(page.last("state")
                         ->json()
                         .value(QStringLiteral("competitor"))
                         .toObject()
                         .value(QStringLiteral("driver")),
                     QJsonValue(QStringLiteral("Maier")));
    }

    // The clock page gets the digits as the operator sees them; the running row is left to it.
    void clockDigitsAsTheOperatorSeesThem()
    {
        MainRig rig;
        auto w = rig.make();
        switchOn(*w);
        SseClient page(w->liveService()->port());
        QTRY_COMPARE(page.count("state"), 1);
        trigger(*w, "mStart");
        QTRY_COMPARE(lastState(page), QStringLiteral("RunningPhase1"));
        QJsonObject display = page.last("state")->json().value(QStringLiteral("display")).toObject();
        QCOMPARE(display.value(QStringLiteral("runningRow")).toInt(), 1);
        QCOMPARE(display.value(QStringLiteral("countsDown")).toBool(), false);
        QCOMPARE(display.value(QStringLiteral("lit")).toString(),
                 QStringLiteral("#00ff00")); // C3, time colour

        rig.ticks.advance(61230); // 01:01,23
        w->clock().ClockTimer();
        trigger(*w, "mStop");
        QTRY_COMPARE(lastState(page), QStringLiteral("RunningPhase2"));
        const QJsonObject state = page.last("state")->json();
        display = state.value(QStringLiteral("display")).toObject();
        QCOMPARE(display.value(QStringLiteral("runningRow")).toInt(), 2);
        QCOMPARE(display.value(QStringLiteral("penaltyFromMs")).toInt(), 45000 + 61230);
        QCOMPARE(display.value(QStringLiteral("penalty")).toString(), QStringLiteral("#ff0000"));
        QCOMPARE(state.value(QStringLiteral("phaseOneMs")).toInt(), 61230);
        const QJsonObject row1 = display.value(QStringLiteral("rows")).toArray().first().toObject();
        QCOMPARE(row1.value(QStringLiteral("digits")).toArray(), (QJsonArray{0, 1, 0, 1, 2, 3}));
        const QJsonArray colours = row1.value(QStringLiteral("colours")).toArray();
        QCOMPARE(colours.at(0).toString(), QStringLiteral("#404040")); // leading zero: dim
        QCOMPARE(colours.at(1).toString(), QStringLiteral("#00ff00"));
        QCOMPARE(colours.at(5).toString(), QStringLiteral("#00ff00"));
    }

    // The settings dialog switches the server on and off and shows its address.
    void settingsDialogSwitchesTheServer()
    {
        MainRig rig;
        auto w = rig.make();
        const quint16 port = freePort();
        bool shown = false;
        QString status;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<TCfgDialog*>(QApplication::activeModalWidget());
            if (!d)
                return;
            shown = true;
            status = d->findChild<QLabel*>(QStringLiteral("LabLiveStatus"))->text();
            auto* on = d->findChild<QCheckBox*>(QStringLiteral("cbLive"));
            on->setFocus();
            QTest::keyClick(on, Qt::Key_Space);
            d->findChild<QCheckBox*>(QStringLiteral("cbLiveLocal"))->setChecked(true);
            auto* spin = d->findChild<QSpinBox*>(QStringLiteral("seLivePort"));
            spin->setFocus();
            spin->selectAll();
            QTest::keyClicks(spin, QString::number(port));
            QCOMPARE(d->liveGroup()->shownUrls(),
                     QStringList{QStringLiteral("http://127.0.0.1:%1/").arg(port)});
            d->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
        });
        w->bCFGClick();
        QVERIFY(shown);
        QCOMPARE(status, QStringLiteral("Aus."));
        QVERIFY(w->liveService()->running());
        QCOMPARE(w->liveService()->port(), port);
        QCOMPARE(w->settings().live, (LiveSettings{true, port, true}));
        QVERIFY(w->statusNoticeText().contains(QStringLiteral("http://127.0.0.1:%1/").arg(port)));
        QCOMPARE(httpGet(port, "/uhr").status, 200);

        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<TCfgDialog*>(QApplication::activeModalWidget());
            if (!d)
                return;
            status = d->findChild<QLabel*>(QStringLiteral("LabLiveStatus"))->text();
            d->findChild<QCheckBox*>(QStringLiteral("cbLive"))->setChecked(false);
            d->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
        });
        w->bCFGClick();
        QVERIFY(status.startsWith(QStringLiteral("Der Webserver läuft.")));
        QVERIFY(!w->liveService()->running());
        QVERIFY(!w->statusNoticeText().contains(QStringLiteral("Live")));
        QCOMPARE(httpGet(port, "/uhr").status, 0);
    }

    // Cancelling the dialog changes nothing.
    void cancelKeepsTheServer()
    {
        MainRig rig;
        auto w = rig.make();
        switchOn(*w);
        const quint16 port = w->liveService()->port();
        QTimer::singleShot(0, [&] {
            if (auto* d = qobject_cast<TCfgDialog*>(QApplication::activeModalWidget())) {
                d->findChild<QCheckBox*>(QStringLiteral("cbLive"))->setChecked(false);
                d->findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
            }
        });
        w->bCFGClick();
        QVERIFY(w->liveService()->running());
        QCOMPARE(w->liveService()->port(), port);
    }

    // The settings are written back at exit, as the others are.
    void liveSettingsAreWrittenAtExit()
    {
        MainRig rig;
        {
            auto w = rig.make();
            w->settings().live = LiveSettings{true, 8123, true};
        }
        QCOMPARE(storedSetting("LiveEnabled").toInt(), 1);
        QCOMPARE(storedSetting("LivePort").toInt(), 8123);
        QCOMPARE(storedSetting("LiveLocalOnly").toInt(), 1);
    }
};

QTEST_MAIN(TestMainLive)
#include "tst_main_live.moc"
