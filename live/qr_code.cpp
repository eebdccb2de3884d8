#include "live/qr_code.h"

#include <qrencode.h>

QrMatrix encodeQr(const QByteArray& text)
{
    QrMatrix m;
    if (text.isEmpty())
        return m;
    QRcode* code = QRcode_encodeString8bit(text.constData(), 0, QR_ECLEVEL_M);
    if (!code)
        return m;
    m.size = code->width;
    m.dark.resize(m.size * m.size);
    for (int i = 0; i < m.size * m.size; ++i)
        m.dark[i] = (code->data[i] & 1) != 0;
    QRcode_free(code);
    return m;
}
