#pragma once

#include "app/race_clock.h"
#include "barriers/light_barriers.h"
#include "platform/colour.h"
#include "settings/settings_store.h"

#include <QString>
#include <QStringList>

#include <functional>

// The pin pairs of a barrier's line (0 DSR, 1 CTS, 2 RLSD), from the barriers' LineSuffix table.
inline QString lineSuffix(int line)
{
    return (line >= 0 && line < 3) ? QLatin1String(LineSuffix[line]) : QString();
}

// The clock's share of the settings: countdown, penalty rule, phases, arming, gong, palette.
RaceSettings raceSettingsOf(const AppSettings& s);

// What the settings dialog hands back on "OK".
struct DialogValues {
    int portEntryIndex = 0; // 0 = "Kein"
    QString portEntryText;
    QString adapterId; // identity of the chosen port's adapter, "" when it has none
    int alg1 = 0;
    bool autoFrei = false;
    int timer = 60;
    double pktSek = 0.1;
    double sekInPachka = 0.1;
    int elz1 = 45;
    Rgb colours[5] = {0, 0, 0, 0, 0};
    QString sound[3];
    LiveSettings live; // the live results group
};

// The main window's side of applying the dialog; called in the order of applyDialogValues.
class ApplyTarget {
public:
    virtual ~ApplyTarget() = default;
    // ColourState := 2, row 1's lit colour := C2, RecolourDigits.
    virtual void recolourTimerColour() = 0;
    // bTimer and mTimer follow.
    virtual void setTimerButtonVisible(bool visible) = 0;
    virtual bool clockRunning() const = 0;
    // Zeros in row 2, then row 1 with the countdown start value (or zeros without a countdown).
    virtual void showIdleDisplay() = 0;
    virtual void closePort() = 0;
    // True when the port is open; a failure shows the barriers closed.
    virtual bool openPort(quint8 port) = 0;
    virtual void enableBarrierIndicators() = 0;
    virtual void comPortOpen(quint8 port) = 0;
    virtual void setStartBarrierArmed(bool armed) = 0;
    virtual void focusLeftPanel() = 0;
};

// "Kein", then for every available port n up to the highest: "COMn /4,6", "COMn /7,8", "COMn /1,4".
// Bits 0-15 of availablePorts mark ports 1-16, bits 16-31 hold the highest one. Where note gives
// a text for a port (the adapter's name), its entries carry it: "COM5 /7,8  (FTDI FT232R ...)".
QStringList portEntries(quint32 availablePorts, const std::function<QString(int port)>& note = {});

// The index of "COM<port><suffix of line>" in entries (with or without a note), ignoring letter
// case; 0 ("Kein") when absent.
int portEntryFor(quint8 port, quint8 line, const QStringList& entries);

// Port from the 4th character (and the 5th when it is a digit), line from the suffix (1 " /7,8",
// 2 " /1,4", else 0). False, with port 0, when the 4th character is not a digit.
bool parsePortEntry(const QString& text, quint8* port, quint8* line);

// Applies the dialog's values to the settings and the main window in the fixed order of "OK".
void applyDialogValues(const DialogValues& values, AppSettings& settings, ApplyTarget& target);
