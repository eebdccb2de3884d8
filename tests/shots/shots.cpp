// Renders the program's windows to PNG files for a look by eye:
//   build/bin/akshots <folder>
#include "app/FMain.h"
#include "../widgets/two_screens.h"
#include "dialogs/DlgYesNo.h"
#include "dialogs/FInfo.h"
#include "displays/FMonitor2.h"
#include "displays/FMonitor3.h"
#include "protocol/protocol_html.h"
#include "settings/Cfg.h"
#include "fake_clock_parts.h"
#include "test_deps.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>

int main(int argc, char** argv)
{
    // Offscreen runs get the operator's screen and a 1920 x 1080 spectators' screen.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen")
        useTwoOffscreenScreens();
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp");
    QDir().mkpath(dir);
    FakeTickSource ticks(1000);
    FakeGong gong;
    TFormMain w(testDeps(&ticks, &gong));
    w.createCompanionWindows();
    w.show();
    QApplication::processEvents();
    w.grab().save(dir + QStringLiteral("/main-809x551.png"));
    const char* rows[][4] = {{"7", "Max Bauer", "Eva Bauer", "Lanz"}, {"3", "Hans Huber", "", "Fendt"},
                             {"12", "Sepp Maier", "Anni Maier", "Deutz"}};
    int i = 0;
    for (const auto& r : rows) {
        w.control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QString::fromUtf8(r[0]));
        w.control<QLineEdit>(QStringLiteral("Reiter"))->setText(QString::fromUtf8(r[1]));
        w.control<QLineEdit>(QStringLiteral("eName2"))->setText(QString::fromUtf8(r[2]));
        w.control<QLineEdit>(QStringLiteral("eMarke"))->setText(QString::fromUtf8(r[3]));
        w.control<QLineEdit>(QStringLiteral("ePunkte1"))->setText(QString::number(i % 2 + 1));
        w.sequence().mStartClick();
        ticks.advance(61000 + 3170 * i++);
        w.sequence().mStopClick();
        ticks.advance(52000);
        w.sequence().mStopClick();
        w.sequence().mEintragenClick();
        w.sequence().bRESETClick();
    }
    w.sequence().mStartClick();
    ticks.advance(83456);
    w.clock().ClockTimer();
    QApplication::processEvents();
    w.grab().save(dir + QStringLiteral("/main-running.png"));
    w.resize(1280, 800);
    QApplication::processEvents();
    w.grab().save(dir + QStringLiteral("/main-1280x800.png"));

    // The spectator windows on the second screen: time display during the run,
    // top ten with ten results.
    w.settings().monitor = QGuiApplication::screens().size() > 1 ? 1 : 0;
    w.bMon2Click();
    QApplication::processEvents();
    w.timeDisplay()->grab().save(dir + QStringLiteral("/monitor2-running.png"));
    w.sequence().mStopClick();
    ticks.advance(47000);
    w.sequence().mStopClick();
    w.sequence().mEintragenClick();
    const char* names[] = {"Franz Ostler", "Maria Lechner", "Josef Brandl", "Theo Wimmer", "Lisa Gruber",
                           "Karl Steiner", "Resi Huber"};
    for (const char* n : names) {
        w.sequence().bRESETClick();
        w.control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QString::number(20 + i));
        w.control<QLineEdit>(QStringLiteral("Reiter"))->setText(QString::fromUtf8(n));
        w.control<QLineEdit>(QStringLiteral("eMarke"))->setText(QStringLiteral("Hanomag"));
        w.sequence().mStartClick();
        ticks.advance(58000 + 1370 * i++);
        w.sequence().mStopClick();
        ticks.advance(49000 + 2100 * i);
        w.sequence().mStopClick();
        w.sequence().mEintragenClick();
    }
    w.bMon3Click();
    QApplication::processEvents();
    w.topTen()->grab().save(dir + QStringLiteral("/monitor3-top10.png"));
    w.Monitor30Click();

    w.infoDialog()->show();
    QApplication::processEvents();
    w.infoDialog()->grab().save(dir + QStringLiteral("/info.png"));
    w.infoDialog()->hide();
    w.yesNoDialog()->findChild<QLabel*>(QStringLiteral("Label1"))->setText(QStringLiteral("Beenden?"));
    w.yesNoDialog()->show();
    QApplication::processEvents();
    w.yesNoDialog()->grab().save(dir + QStringLiteral("/yesno.png"));
    w.yesNoDialog()->hide();
    w.settingsDialog()->fill(w.settings(), w.availablePorts());
    w.settingsDialog()->show();
    QApplication::processEvents();
    w.settingsDialog()->grab().save(dir + QStringLiteral("/settings.png"));
    w.settingsDialog()->hide();
    w.grab().save(dir + QStringLiteral("/main-ten-results.png"));
    // The web page of that table, for a look in a browser.
    SaveProtocolHtml(dir + QStringLiteral("/protokoll.html"), w.resultsTable(), w.resultColumnWidthsShown(),
                     QStringLiteral("Acker Klassik"), w.eventTitle(), nullptr);
    return 0;
}
