#pragma once

#include "platform/colour.h"

#include <QString>
#include <QtGlobal>

class QSettings;

// Where the settings live: QSettings(settingsOrganisation(), settingsApplication()) in native format
// (the registry on Windows, ~/.config/Ruvanta-Werk/Acker Klassik.conf on Linux).
inline QString settingsOrganisation()
{
    return QStringLiteral("Ruvanta-Werk");
}
inline QString settingsApplication()
{
    return QStringLiteral("Acker Klassik");
}

// The live results web server: off by default; "nur dieser PC" listens on loopback only.
struct LiveSettings {
    bool enabled = false;
    qint32 port = 8080; // 1..65535 when stored; 0 in memory means any free port
    bool localOnly = false;
    bool operator==(const LiveSettings& o) const
    {
        return enabled == o.enabled && port == o.port && localOnly == o.localOnly;
    }
    bool operator!=(const LiveSettings& o) const { return !(*this == o); }
};

// Every persistent setting with its built-in default. Barrier b (0 = start, 1 = stop, 2 = finish)
// uses port[b] (0 = none), line[b] (0 DSR, 1 CTS, 2 RLSD) and alg[b] (0 "Ein", 1 "Aus").
struct AppSettings {
    AppSettings();

    quint8 port[3] = {0, 0, 0};
    quint8 line[3] = {0, 0, 0};
    qint32 alg[3] = {0, 0, 0};
    qint32 timer = 60;   // countdown, tenths of a second; 0 = no TIMER
    qint32 pktSek = 100; // penalty points per step, thousandths
    qint32 left = 100;   // main window bounds, pixels
    qint32 top = 100;
    qint32 width = 809;
    qint32 height = 551;
    bool sound = true;
    QString sound0;   // timer gong
    QString sound1;   // "Anhalten:"
    QString sound2;   // "Eliminieren:"
    qint32 elz1 = 45; // allowed deviation, seconds
    qint32 elz2 = 33; // carried, unused
    Rgb c[5] = {0, 4210752, 65535, 65280, 255};
    qint32 sekPachka = 100; // penalty step, milliseconds
    qint32 monitor = 0;
    qint32 filtInd = 3;
    QString zeile1 = QStringLiteral("Furchenlauf");
    qint32 phases = 2;
    bool autoFrei = false;

    // Values beyond the classic set. Each is read on its own after the classic ones (a missing or
    // unreadable value keeps its default and never stops the classic reading) and written after them.
    QString protocolFolder; // where protocols were last saved or opened; "" = the Documents folder
    // The start barrier's adapter ("Port1Adapter"): its /dev/serial/by-id name, "" = by COM number
    // only. Where set it decides the device; "Port1" then follows it.
    QString port1Adapter;
    LiveSettings live; // "LiveEnabled", "LivePort", "LiveLocalOnly"

    bool operator==(const AppSettings& o) const;
    bool operator!=(const AppSettings& o) const { return !(*this == o); }
};

// Reads the stored values in their fixed order into `out`, which the caller fills with defaults.
// - No stored value at all: nothing is read. A settings file that is damaged (see
//   settingsFileState) counts as nothing stored: its values could be cut or garbled.
// - An integer or boolean that is missing or not a whole 32-bit number stops the reading: it and every
//   later value keep what `out` held; the values read before stay. Any non-zero number is true.
// - A text that is missing reads as "" and the reading goes on. A text stored as another type stops the
//   reading: "another type" is anything that does not read back as one plain string, i.e. a list
//   (an unquoted comma in the file), a byte array (@ByteArray), any other @Variant, or a native integer
//   of the Windows registry (REG_DWORD).
// "Port1".."Port3" are read twice: first all three for the port byte, then all three for the line byte.
// Returns how many classic values were read before the stop (kSettingsReads = all of them); 0 when nothing
// is stored. The values beyond the classic set are then read each on its own (see AppSettings).
constexpr int kSettingsReads = 32;
int loadSettings(QSettings& store, AppSettings& out);

// Writes every value in the save order; integers and booleans as integers, texts as strings, each
// "PortN" as line * 256 + port. Returns false when the store could not be written.
// A settings file is replaced as a whole, and only by a complete one: the values go to a new file
// beside it, which is read back before it takes the old one's place, so a full disk or a folder that
// may not be written leaves the old file as it was. Keys of the file that this program does not write
// stay (unless the file is damaged).
bool saveSettings(QSettings& store, const AppSettings& in);

// What a settings file holds for the reader, judged by its bytes:
// - Missing: there is none;
// - Unreadable: it cannot be read (no permission, a folder in its place);
// - Damaged: it cannot be one the program wrote: NUL bytes, text that is not UTF-8, or a last line
//   without its line end (a file cut short);
// - Readable: anything else (an empty file included).
enum class SettingsFileState { Missing, Readable, Unreadable, Damaged };
SettingsFileState settingsFileState(const QString& path);

// Whether the store is a file (the INI format, and the native format outside Windows and macOS).
bool isSettingsFile(const QSettings& store);

// Moves a damaged settings file out of the way, to path + ".defekt" (replacing an older one), so that
// the next save writes a new file and the old one stays for a look. Returns the new name, or "" when it
// could not be moved.
QString setDamagedSettingsAside(const QString& path);

// Deletes every stored value. Returns true when there was something and it is gone; false when nothing
// was stored or the deletion failed (then nothing changes).
//
// How the main window uses the three (it keeps its own started mark, an int tag):
//   tag := INT_MAX; AppSettings s; loadSettings(store, s); apply s; ... tag := 0 once started.
//   At exit: if tag == 0, collect the current values into s and saveSettings(store, s).
//   Reset from the dialog: if resetSettings(store) { tag := INT_MAX; end the program at once }.
// The store should be opened with fallbacks off; these functions switch them off themselves so that
// ~/.config/Ruvanta-Werk.conf or /etc/xdg never count as "stored".
bool resetSettings(QSettings& store);
