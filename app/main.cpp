#include "app/FMain.h"
#include "platform/qt_gong.h"
#include "platform/tick_source.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Acker Klassik"));
    QApplication::setOrganizationName(QStringLiteral("Ruvanta-Werk"));

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
