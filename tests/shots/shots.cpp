// Renders the program's windows to PNG files for a look by eye:
//   build/bin/akshots <folder>
#include "app/FMain.h"
#include "fake_clock_parts.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp");
    QDir().mkpath(dir);
    FakeTickSource ticks(1000);
    FakeGong gong;
    TFormMain w(MainWindowDeps{&ticks, &gong});
    w.show();
    QApplication::processEvents();
    w.grab().save(dir + QStringLiteral("/main-809x551.png"));
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
