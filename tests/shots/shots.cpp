// Renders the program's windows to PNG files for a look by eye:
//   build/bin/akshots <folder>
#include "app/FMain.h"
#include "fake_clock_parts.h"
#include "test_deps.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>

int main(int argc, char** argv)
{
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
    return 0;
}
