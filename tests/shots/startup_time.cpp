// Time from process start to the main window shown, in ms:
//   QT_QPA_PLATFORM=offscreen build/bin/akstartup      (or under xvfb-run with xcb)
#include "app/FMain.h"
#include "fake_clock_parts.h"
#include "test_deps.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <time.h>
#include <unistd.h>

namespace {
// Process start from /proc/self/stat (field 22, clock ticks since boot) against CLOCK_BOOTTIME.
double msSinceProcessStart()
{
    QFile f(QStringLiteral("/proc/self/stat"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = f.readAll();
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble();
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    const double nowMs = ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
    return nowMs - startTicks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    SystemTickSource ticks;
    FakeGong gong;
    TFormMain w(testDeps(&ticks, &gong));
    w.createCompanionWindows();
    w.show();
    QTimer::singleShot(0, &app, [] {
        std::printf("%.0f ms from process start to the main window shown\n", msSinceProcessStart());
        QApplication::quit();
    });
    return QApplication::exec();
}
