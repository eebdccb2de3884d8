#include "platform/serial_presence.h"

#include <QRegularExpression>

QString SerialPresence::adapterName(const QString& adapterId)
{
    QString name = adapterId;
    // Bus prefix and interface suffix say nothing to the operator.
    static const QRegularExpression bus(QStringLiteral("^(usb|pci|platform)-"));
    static const QRegularExpression suffix(QStringLiteral("(-if[0-9A-Fa-f]+)?(-port[0-9]+)?$"));
    name.remove(bus);
    name.remove(suffix);
    name.replace(QLatin1Char('_'), QLatin1Char(' '));
    return name.simplified();
}
