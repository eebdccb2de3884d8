#include "platform/platform_choice.h"

#include <QtTest>

using PlatformChoice::Session;

// The platform the program asks for before the application starts: XWayland in
// a Wayland session that has one, otherwise Qt's own choice; the user's choice
// always stands.
class TestPlatformChoice : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void preferredPlatform_data();
    void preferredPlatform();
    void platformArgumentIsSeen_data();
    void platformArgumentIsSeen();
};

void TestPlatformChoice::preferredPlatform_data()
{
    QTest::addColumn<QByteArray>("qpa");
    QTest::addColumn<QByteArray>("wayland");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("sessionType");
    QTest::addColumn<bool>("argument");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray xwayland("xcb;wayland");
    QTest::newRow("GNOME on Wayland with XWayland: through XWayland")
        << QByteArray() << QByteArray("wayland-0") << QByteArray(":0") << QByteArray("wayland") << false
        << xwayland;
    QTest::newRow("Wayland socket without session type")
        << QByteArray() << QByteArray("wayland-1") << QByteArray(":1") << QByteArray() << false << xwayland;
    QTest::newRow("session type only, upper case")
        << QByteArray() << QByteArray() << QByteArray(":0") << QByteArray("Wayland") << false << xwayland;
    QTest::newRow("Wayland without XWayland: Qt decides")
        << QByteArray() << QByteArray("wayland-0") << QByteArray() << QByteArray("wayland") << false
        << QByteArray();
    QTest::newRow("X11 session: Qt decides")
        << QByteArray() << QByteArray() << QByteArray(":0") << QByteArray("x11") << false << QByteArray();
    QTest::newRow("no display at all: Qt decides")
        << QByteArray() << QByteArray() << QByteArray() << QByteArray("tty") << false << QByteArray();
    QTest::newRow("user chose wayland: kept")
        << QByteArray("wayland") << QByteArray("wayland-0") << QByteArray(":0") << QByteArray("wayland")
        << false << QByteArray();
    QTest::newRow("user chose offscreen: kept") << QByteArray("offscreen") << QByteArray("wayland-0")
                                                << QByteArray(":0") << QByteArray() << false << QByteArray();
    QTest::newRow("empty QT_QPA_PLATFORM is no choice")
        << QByteArray("  ") << QByteArray("wayland-0") << QByteArray(":0") << QByteArray() << false
        << xwayland;
    QTest::newRow("-platform argument: kept") << QByteArray() << QByteArray("wayland-0") << QByteArray(":0")
                                              << QByteArray("wayland") << true << QByteArray();
}

void TestPlatformChoice::preferredPlatform()
{
    QFETCH(QByteArray, qpa);
    QFETCH(QByteArray, wayland);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, sessionType);
    QFETCH(bool, argument);
    QFETCH(QByteArray, expected);
    Session s;
    s.qpaPlatform = qpa;
    s.waylandDisplay = wayland;
    s.display = display;
    s.sessionType = sessionType;
    s.platformArgument = argument;
    QCOMPARE(PlatformChoice::preferredPlatform(s), expected);
}

void TestPlatformChoice::platformArgumentIsSeen_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("expected");
    QTest::newRow("program name only") << QStringList{"ackerklassik"} << false;
    QTest::newRow("-platform xcb") << QStringList{"ackerklassik", "-platform", "xcb"} << true;
    QTest::newRow("--platform last") << QStringList{"ackerklassik", "-style", "fusion", "--platform"} << true;
    QTest::newRow("program named -platform is not an argument") << QStringList{"-platform"} << false;
    QTest::newRow("other argument") << QStringList{"ackerklassik", "-platformx"} << false;
}

void TestPlatformChoice::platformArgumentIsSeen()
{
    QFETCH(QStringList, args);
    QFETCH(bool, expected);
    QList<QByteArray> bytes;
    std::vector<const char*> argv;
    for (const QString& a : args)
        bytes << a.toLocal8Bit();
    for (const QByteArray& b : bytes)
        argv.push_back(b.constData());
    const Session s = PlatformChoice::currentSession(int(argv.size()), argv.data());
    QCOMPARE(s.platformArgument, expected);
}

QTEST_GUILESS_MAIN(TestPlatformChoice)
#include "tst_platform_choice.moc"
