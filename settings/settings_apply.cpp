#include "settings/settings_apply.h"

#include <QtGlobal>

#include <cmath>

QStringList portEntries(quint32 availablePorts, const std::function<QString(int port)>& note)
{
    QStringList entries{QStringLiteral("Kein")};
    const int highest = qMin(int(availablePorts >> 16), 16);
    for (int n = 1; n <= highest; ++n) {
        if (!(availablePorts & (1u << (n - 1))))
            continue;
        const QString text = note ? note(n) : QString();
        const QString tail = text.isEmpty() ? QString() : QStringLiteral("  (%1)").arg(text);
        for (int line = 0; line < 3; ++line)
            entries << QStringLiteral("COM%1").arg(n) + lineSuffix(line) + tail;
    }
    return entries;
}

int portEntryFor(quint8 port, quint8 line, const QStringList& entries)
{
    if (port == 0 || line > 2)
        return 0;
    const QString wanted = QStringLiteral("COM%1").arg(port) + lineSuffix(line);
    for (int i = 1; i < entries.size(); ++i) {
        const QString& e = entries.at(i);
        if (e.startsWith(wanted, Qt::CaseInsensitive) &&
            (e.size() == wanted.size() || e.at(wanted.size()) == QLatin1Char(' ')))
            return i;
    }
    return 0;
}

bool parsePortEntry(const QString& text, quint8* port, quint8* line)
{
    *line = 0;
    if (text.contains(QLatin1String(" /7,8")))
        *line = 1;
    else if (text.contains(QLatin1String(" /1,4")))
        *line = 2;

    *port = 0;
    auto digit = [&text](int i) {
        const QChar c = i < text.size() ? text.at(i) : QChar();
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? c.unicode() - '0' : -1;
    };
    if (digit(3) < 0)
        return false;
    int n = digit(3);
    if (digit(4) >= 0)
        n = n * 10 + digit(4);
    *port = quint8(n);
    return true;
}

namespace {

// Thousandths of a decimal field, rounded; values outside the field's range are brought into it.
qint32 thousandths(double value, double lowest, double highest)
{
    if (!std::isfinite(value))
        value = lowest;
    return qint32(std::lround(qBound(lowest, value, highest) * 1000.0));
}

} // namespace

void applyDialogValues(const DialogValues& v, AppSettings& s, ApplyTarget& target)
{
    s.elz1 = qBound(1, v.elz1, 999);
    s.autoFrei = v.autoFrei;

    for (int i = 0; i < 5; ++i)
        s.c[i] = v.colours[i];

    s.pktSek = thousandths(v.pktSek, 0.0, 999.0);
    s.sekPachka = thousandths(v.sekInPachka, 0.1, 999.0);

    target.recolourTimerColour();

    s.timer = qBound(0, v.timer, 9999);
    const bool timerVisible = s.timer > 0;
    target.setTimerButtonVisible(timerVisible);

    if (!target.clockRunning())
        target.showIdleDisplay();

    // The port is always closed and reopened, also when nothing changed.
    target.closePort();
    s.port[0] = 0;
    s.port1Adapter.clear();

    bool opened = false;
    if (v.portEntryIndex > 0) {
        quint8 port = 0;
        quint8 line = 0;
        parsePortEntry(v.portEntryText, &port, &line);
        s.port[0] = port;
        s.line[0] = line;
        s.alg[0] = v.alg1;
        if (port != 0) {
            s.port1Adapter = v.adapterId;
            opened = target.openPort(port);
        }
    }

    // Only a port that opened shows its barriers disarmed (and then armed); one that failed
    // stays shown closed, since no signal of it can arrive.
    target.enableBarrierIndicators();
    if (s.port[0] != 0 && opened)
        target.comPortOpen(s.port[0]);

    // Without a countdown the start barrier is ready at once.
    target.setStartBarrierArmed(!timerVisible);

    s.sound0 = v.sound[0];
    s.sound1 = v.sound[1];
    s.sound2 = v.sound[2];
    s.live = v.live;

    target.focusLeftPanel();
}

RaceSettings raceSettingsOf(const AppSettings& s)
{
    RaceSettings r;
    r.timer = s.timer;
    r.elz1 = s.elz1;
    r.sekPachka = s.sekPachka;
    r.pktSek = s.pktSek;
    r.phases = s.phases;
    r.autoFrei = s.autoFrei;
    r.sound = s.sound;
    r.sound0 = s.sound0;
    for (int i = 0; i < 5; ++i)
        r.palette[i] = s.c[i];
    return r;
}
