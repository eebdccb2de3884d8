#include "widgets/qr_image.h"

#include "live/qr_code.h"

#include <QPainter>

QImage qrImage(const QString& text, int modulePixels, int quietModules)
{
    const QrMatrix m = encodeQr(text.toUtf8());
    if (m.isNull() || modulePixels < 1 || quietModules < 0)
        return QImage();
    const int side = (m.size + 2 * quietModules) * modulePixels;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    for (int y = 0; y < m.size; ++y)
        for (int x = 0; x < m.size; ++x)
            if (m.at(x, y))
                p.fillRect((x + quietModules) * modulePixels, (y + quietModules) * modulePixels, modulePixels,
                           modulePixels, Qt::black);
    return image;
}
