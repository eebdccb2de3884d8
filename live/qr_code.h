#pragma once

#include <QByteArray>
#include <QVector>

// A QR code as a square of dark and light modules (libqrencode, error correction level M).
struct QrMatrix {
    int size = 0;       // modules per side; 0 when the text could not be encoded
    QVector<bool> dark; // row by row
    bool at(int x, int y) const { return dark.at(y * size + x); }
    bool isNull() const { return size == 0; }
};

QrMatrix encodeQr(const QByteArray& text);
