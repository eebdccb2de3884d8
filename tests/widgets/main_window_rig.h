#pragma once

// What the main-window tests share: isolated settings, fakes and a shown window.
#include "app/FMain.h"
#include "barriers/port_table.h"
#include "fake_clock_parts.h"
#include "fake_serial_device.h"
#include "settings/settings_store.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// Points the native settings at a private folder for the whole test program.
inline void isolateSettings(const QTemporaryDir& dir)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
}

// A member of a main-window test object: the settings stay in a private folder while it lives.
struct IsolatedSettings {
    QTemporaryDir dir;
    IsolatedSettings()
    {
        if (!dir.isValid())
            qFatal("no temporary folder for the settings");
        isolateSettings(dir);
    }
};

inline void clearStoredSettings()
{
    QSettings s(settingsOrganisation(), settingsApplication());
    s.clear();
    s.sync();
}

inline void storeSetting(const char* key, const QVariant& value)
{
    QSettings s(settingsOrganisation(), settingsApplication());
    s.setValue(QLatin1String(key), value);
    s.sync();
}

inline QVariant storedSetting(const char* key)
{
    QSettings s(settingsOrganisation(), settingsApplication());
    return s.value(QLatin1String(key));
}

// The fake port is "COM<port>" at "/fake/tty<port>"; no other port has a device.
struct MainRig {
    explicit MainRig(quint32 startTicks = 1000, int port = 5)
        : ticks(startTicks), line(std::make_shared<FakeSerialLine>()),
          path(QStringLiteral("/fake/tty%1").arg(port)), deps(&ticks, &gong)
    {
        // Only the fake path opens; every other path fails, so no test touches a real tty.
        line->openResult = [p = path](const QString& asked) {
            return asked == p ? QString() : QStringLiteral("No such file or directory");
        };
        table.setDevicePath(port, path);
        deps.serialFactory = line->factory();
        deps.portTable = &table;
        deps.recoveryFolder = recovery.path();
    }
    std::unique_ptr<TFormMain> make(bool companions = true, bool show = true)
    {
        auto w = std::make_unique<TFormMain>(deps);
        if (companions)
            w->createCompanionWindows();
        if (show) {
            w->show();
            w->activateWindow();
            if (!QTest::qWaitForWindowActive(w.get()))
                qWarning("main window not active");
        }
        return w;
    }

    FakeTickSource ticks;
    FakeGong gong;
    std::shared_ptr<FakeSerialLine> line;
    QString path;
    PortTable table;
    QTemporaryDir recovery;
    MainWindowDeps deps;
};

// A complete stored set of settings, as a window writes it at its end (reading stops at the
// first missing value), with the barriers named in `barriers` (1 to 3) on the fake port's CTS
// line: "Port<n>" = line 1 of COM<port>.
inline void storeSettingsWithBarriersOnCts(int port, int barriers)
{
    {
        MainRig rig(1000, port);
        auto w = rig.make(false, false);
    }
    for (int n = 1; n <= barriers; ++n)
        storeSetting(qPrintable(QStringLiteral("Port%1").arg(n)), 1 * 256 + port);
}

// One two-phase run by keys: START (F5), phase 1 and phase 2 of the given lengths, each ended
// by STOPP (F9), then EINTRAGEN (F10).
inline void timeAndEnterByKeys(TFormMain& w, MainRig& rig, quint32 phase1Ms = 40000, quint32 phase2Ms = 3000)
{
    QTest::keyClick(&w, Qt::Key_F5);
    rig.ticks.advance(phase1Ms);
    QTest::keyClick(&w, Qt::Key_F9);
    rig.ticks.advance(phase2Ms);
    QTest::keyClick(&w, Qt::Key_F9);
    QTest::keyClick(&w, Qt::Key_F10);
}

// The same for a competitor typed first: the start number, and the driver unless it is null.
inline void enterRunByKeys(TFormMain& w, MainRig& rig, const QString& stNr, const QString& driver,
                           quint32 phase1Ms = 40000, quint32 phase2Ms = 3000)
{
    w.control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(stNr);
    if (!driver.isNull())
        w.control<QLineEdit>(QStringLiteral("Reiter"))->setText(driver);
    timeAndEnterByKeys(w, rig, phase1Ms, phase2Ms);
}
