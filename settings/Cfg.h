#pragma once

#include "settings/settings_apply.h"
#include "settings/settings_store.h"

#include <QComboBox>
#include <QDialog>

#include <functional>

class BarrierDiagnostics;
class CfgBarrierPanel;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class ColorPicker;
class CfgLiveGroup;

// A drop-down list that tells its owner just before it opens (to re-read the serial ports).
class PortComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    void setBeforePopup(std::function<void()> f) { m_beforePopup = std::move(f); }
    void showPopup() override;

private:
    std::function<void()> m_beforePopup;
};

// The settings dialog "Einstellungen": edits a copy of the settings; the caller applies values() on OK
// with applyDialogValues. Created once and reused: fill() before each exec().
class TCfgDialog : public QDialog {
    Q_OBJECT
public:
    // Returns the file chosen to open, or "" when cancelled.
    using FileDialog = std::function<QString(QWidget* parent, const QString& startDir)>;

    // probePorts: the port word (bits 0-15 usable ports 1-16, bits 16-31 the highest).
    // devicePath: the device behind a port number, shown beside the port list.
    // askYesNo: the yes/no question; resetSettings: false when nothing was stored (the dialog stays).
    // setMonitor: takes a monitor choice at once, also when the dialog is then cancelled.
    TCfgDialog(QWidget* parent, std::function<quint32()> probePorts,
               std::function<QString(int port)> devicePath, std::function<bool(const QString&)> askYesNo,
               std::function<bool()> resetSettings, std::function<void(int)> setMonitor = {});

    void fill(const AppSettings& settings, quint32 availablePorts);
    DialogValues values() const;

    // Replaces the WAVE file dialog (tests).
    void setFileDialog(FileDialog dialog) { m_fileDialog = std::move(dialog); }
    // The group of the live results server.
    CfgLiveGroup* liveGroup() const { return m_live; }

    // The barriers' live view: adapter names in the port list, lamps, signal log, access notice.
    void setBarrierFeed(BarrierDiagnostics* feed);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPortLists(quint32 availablePorts);
    void cbPort1Change();
    quint8 chosenPort() const;
    void cbPort1DropDown();
    void cbMonitorChange(int index);
    void SoundDblClick(int tag);
    void bDefaultClick();
    void fillMonitors();
    void centreOnParent();

    std::function<quint32()> m_probePorts;
    std::function<QString(int)> m_devicePath;
    std::function<bool(const QString&)> m_askYesNo;
    std::function<bool()> m_resetSettings;
    std::function<void(int)> m_setMonitor;
    FileDialog m_fileDialog;
    int m_monitor = 0;

    PortComboBox* m_cbPort1 = nullptr;
    PortComboBox* m_cbPort2 = nullptr;
    QComboBox* m_cbAlg1 = nullptr;
    QComboBox* m_cbAlg2 = nullptr;
    QLabel* m_labDevice = nullptr;
    CfgBarrierPanel* m_barrierPanel = nullptr;
    BarrierDiagnostics* m_barrierFeed = nullptr;
    QCheckBox* m_cbLSautoFrei = nullptr;
    QSpinBox* m_seTimer = nullptr;
    QDoubleSpinBox* m_sePktSek = nullptr;
    QDoubleSpinBox* m_seSekInPachka = nullptr;
    QSpinBox* m_seELZ1 = nullptr;
    ColorPicker* m_colour[5] = {};
    QComboBox* m_cbMonitor = nullptr;
    QLabel* m_labMonitor = nullptr;
    QLineEdit* m_sound[3] = {}; // by tag: 0 "Timer:", 1 "Anhalten:", 2 "Eliminieren:"
    CfgLiveGroup* m_live = nullptr;
};
