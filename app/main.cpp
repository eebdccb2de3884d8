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
    TFormMain main(MainWindowDeps{&ticks, &gong});
    main.show();
    return QApplication::exec();
}
