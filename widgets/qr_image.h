#pragma once

#include <QImage>
#include <QString>

// A QR code of the text as a black-on-white picture: modulePixels per module and a light
// border of quietModules modules, as scanners expect. Null when the text cannot be encoded.
QImage qrImage(const QString& text, int modulePixels, int quietModules = 4);
