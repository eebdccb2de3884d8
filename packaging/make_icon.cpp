// Renders the program's icon (the picture the windows use) into a freedesktop
// icon theme tree: <folder>/hicolor/<n>x<n>/apps/ackerklassik.png for each size.
#include "widgets/pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: akicon <folder> <size>...\n");
        return 2;
    }
    for (int i = 2; i < args.size(); ++i) {
        bool ok = false;
        const int n = args.at(i).toInt(&ok);
        if (!ok || n <= 0) {
            std::fprintf(stderr, "akicon: bad size %s\n", qPrintable(args.at(i)));
            return 2;
        }
        const QString dir = QStringLiteral("%1/hicolor/%2x%2/apps").arg(args.at(1)).arg(n);
        const QString file = dir + QStringLiteral("/ackerklassik.png");
        const QImage image = Pictures::picture(Picture::AppIcon, QSize(n, n)).toImage();
        if (!QDir().mkpath(dir) || image.size() != QSize(n, n) || !image.save(file, "PNG")) {
            std::fprintf(stderr, "akicon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
