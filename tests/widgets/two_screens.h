#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>

// Starts the offscreen platform with two screens side by side: 1280x1024 at
// the origin and 1920x1080 to its right. Call before the QApplication exists.
inline void useTwoOffscreenScreens()
{
    const QString path = QDir::temp().filePath(QStringLiteral("ak_two_screens.json"));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        f.write(R"({"synchronousWindowSystemEvents": true, "windowFrameMargins": false, "screens": [
 {"name": "Operator", "x": 0, "y": 0, "width": 1280, "height": 1024,
  "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
 {"name": "Spectators", "x": 1280, "y": 0, "width": 1920, "height": 1080,
  "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        f.close();
    }
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + path.toLocal8Bit());
}

#define AK_TWO_SCREEN_TEST_MAIN(TestObject)                                                                  \
    int main(int argc, char* argv[])                                                                         \
    {                                                                                                        \
        useTwoOffscreenScreens();                                                                            \
        QApplication app(argc, argv);                                                                        \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                             \
        TestObject tc;                                                                                       \
        QTEST_SET_MAIN_SOURCE_PATH                                                                           \
        return QTest::qExec(&tc, argc, argv);                                                                \
    }
