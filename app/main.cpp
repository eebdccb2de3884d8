#include "app/FMain.h"
#include "app/data_check.h"
#include "platform/platform_choice.h"
#include "platform/qt_gong.h"
#include "platform/tick_source.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <clocale>

#include <cstdio>

namespace {

// With ACKERKLASSIK_CHECK_DATA set: where the shipped data is looked for, and
// the platform in use, on standard error; the program then runs as usual.
void reportDataFiles()
{
    if (qEnvironmentVariableIsEmpty(dataCheckVariable()))
        return;
    bool allFound = false;
    QStringList lines = dataCheckReport(shippedDataItems(), &allFound);
    lines << QStringLiteral("Plattform: %1").arg(QGuiApplication::platformName());
    lines << (allFound ? QStringLiteral("Daten: vollständig") : QStringLiteral("Daten: unvollständig"));
    for (const QString& line : lines)
        std::fprintf(stderr, "ackerklassik: %s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace

int main(int argc, char** argv)
{
    // The platform plugin is chosen when the application object is created.
    const QByteArray platform = PlatformChoice::preferredPlatform(PlatformChoice::currentSession(argc, argv));
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);

    QApplication app(argc, argv);
    // Programs started from here (the manual, exported files) choose their own platform.
    if (!platform.isEmpty())
        qunsetenv("QT_QPA_PLATFORM");
    QApplication::setApplicationName(QStringLiteral("Acker Klassik"));
    QApplication::setOrganizationName(QStringLiteral("Ruvanta-Werk"));
    // Ties the windows to the menu entry (taskbar icon and name).
    QGuiApplication::setDesktopFileName(QStringLiteral("ackerklassik"));
    // Numbers written through the C library (libxlsxwriter, printf) keep the C notation;
    // the program formats regional numbers with QLocale itself.
    std::setlocale(LC_NUMERIC, "C");
    // The program speaks German, so Qt's own dialogs (files, printer) do too.
    QTranslator qtGerman;
    if (qtGerman.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtGerman);
    reportDataFiles();

    SystemTickSource ticks;
    QtGongPlayer gong;
    // The main window first; then, in this order, the settings dialog, the yes/no
    // dialog, the top ten, the information dialog and the time display.
    TFormMain main(MainWindowDeps(&ticks, &gong));
    main.createCompanionWindows();
    main.show();
    main.offerRecovery();
    return QApplication::exec();
}
