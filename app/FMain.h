#pragma once

#include "app/race_clock.h"
#include "app/run_sequence.h"
#include "barriers/serial_device.h"
#include "platform/serial_presence.h"

#include "live/live_service.h"
#include "results/sort_order.h"
#include "settings/settings_store.h"

#include <QAction>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QHash>
#include <QImage>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <limits>
#include <memory>

class CommandButton;
class KeyRepeatGuard;
class QKeyEvent;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPrinter;
class QTimer;
class QToolButton;
class TDigit;
class MainClockDisplay;
class ResultsTable;
class TCfgDialog;
class TFDlgYesNo;
class TFormInfo;
class TSortGrid;
class TFormMonitor2;
class TFormMonitor3;
class QUrl;
class QImage;
class BarrierCommands;
class BarrierConnection;
class BarrierDiagnostics;
class BarrierIndicator;
class LightBarriers;
class PortTable;
class TComPort;
class ProtocolCommands;
class ProtocolHost;
class RecoveryStore;
class StatusNotices;

// What the main window is given from outside: the tick counter and the gong.
// Tests pass fakes; the program entry passes the system's.
struct MainWindowDeps {
    MainWindowDeps(const TickSource* t, GongPlayer* g) : ticks(t), gong(g) {}
    const TickSource* ticks = nullptr;
    GongPlayer* gong = nullptr;
    // The serial devices and the port-number table; empty: the Linux tty devices.
    SerialDeviceFactory serialFactory;
    const PortTable* portTable = nullptr;
    // Presence and hot-plug of serial devices; empty: the system's with the Linux tty devices,
    // or one that knows nothing when the serial devices are replaced.
    SerialPresence* serialPresence = nullptr;
    // Folder of the crash-recovery copy; empty: the per-user data folder.
    QString recoveryFolder;
};

// The main window: timing display, run commands, competitor entry, results
// table and protocol toolbar, with a hidden menu carrying the keyboard shortcuts.
class TFormMain : public QMainWindow, private RunControls, private ClockHost {
    Q_OBJECT
public:
    explicit TFormMain(const MainWindowDeps& deps, QWidget* parent = nullptr);
    ~TFormMain() override;

    RaceClock& clock() { return *m_clock; }
    RunSequence& sequence() { return *m_sequence; }

    // A control or menu item by its name.
    template <typename T> T* control(const QString& name) const { return findChild<T*>(name); }
    QAction* menuAction(const QString& name) const { return m_actions.value(name); }

    // Start-up steps run by the constructor; the window is "started" once they
    // passed the reading of the settings and the set-up of the file dialogs.
    bool started() const { return m_tag == 0; }

    // Creates the other windows, once, in the program entry's order: settings
    // dialog, yes/no dialog, top ten, information dialog, time display.
    void createCompanionWindows();
    TFDlgYesNo* yesNoDialog() const { return m_yesNo; }
    TCfgDialog* settingsDialog() const { return m_cfg; }
    TFormInfo* infoDialog() const { return m_info; }
    ResultsTable& resultsTable() { return *m_table; }
    TSortGrid* sortGrid() const { return m_grid; }
    AppSettings& settings() { return m_settings; }
    quint32 availablePorts() const { return m_availablePorts; }

    // Asks through the yes/no dialog; true only for "Ja".
    bool askYesNo(const QString& question);

    // Settings.
    void bCFGClick();
    void setTimerButtonVisible(bool visible);
    void recolourTimerColour();
    void focusLeftPanel();
    bool resetSettingsAndQuit();

    // Light barriers.
    quint32 probeSerialPorts();
    QString serialDevicePath(int port) const;
    void closeBarrierPort();
    bool openBarrierPort(quint8 port);
    void EnableBarrierIndicators();
    void ComPortOpen(quint8 port);
    void armBarrier(Barrier barrier, bool armed) { setBarrierArmed(barrier, armed); }
    TComPort* comPort() const { return m_comPort; }
    LightBarriers* lightBarriers() const { return m_barriers; }
    BarrierConnection* barrierConnection() const { return m_barrierConnection; }
    BarrierDiagnostics* barrierDiagnostics() const { return m_barrierDiagnostics; }
    // Looks at the ports again for the settings dialog (the held port stays offered) and
    // returns the port word.
    quint32 barrierPortsForDialog();

    // Dialogs, help, the maker's link, spectator windows.
    void bInfoClick();
    void bHelpClick();
    void ImageDEClick();
    void bMon2Click();
    void bMon3Click();
    void Monitor30Click();
    TFormMonitor2* timeDisplay() const { return m_monitor2; }
    TFormMonitor3* topTen() const { return m_monitor3; }
    // Replaces the desktop's opener (tests).
    void setUrlOpener(std::function<bool(const QUrl&)> opener) { m_urlOpener = std::move(opener); }
    bool openUrl(const QUrl& url);

    // Protocol and exports.
    ProtocolCommands* protocolCommands() const { return m_protocol; }
    QString eventTitle() const;
    QVector<int> resultColumnWidthsShown() const;
    void showError(const QString& text);
    // Status bar, third panel: a lasting notice under a key (empty text clears it),
    // or a passing one (where a file went) for some seconds.
    void setStatusNotice(const QString& key, const QString& text);
    void showPassingNotice(const QString& text, int durationMs = 8000);
    QString statusNoticeText() const;
    bool printHtmlFile(const QString& path);
    void Drucker1Click();
    bool ExportToWord(int mode, const QString& path, QString* error);
    void sbWordClick();
    void sbExcelClick();
    // Offers the results of a session that ended abnormally (program entry, after the windows exist).
    void offerRecovery();
    void setErrorHook(std::function<void(const QString&)> hook) { m_errorHook = std::move(hook); }
    void setPrintHook(std::function<bool(const QString&)> hook) { m_printHook = std::move(hook); }

    // Results.
    void RankResults();
    void UpdateProtocolButtons() { updateProtocolButtons(); }

    void FormResize();
    // Replaces the start list (the protocol file's lines after the first); an empty
    // list makes cbStNr a typing field again.
    void setStartList(const QStringList& entries);
    // The text of the start-number field (the whole entry in list mode).
    QString startNumberText() const;
    void TimerDateTimer();
    void bExitClick();
    void EnableSettings(bool on);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Building the regions.
    void buildTopBar(QWidget* panel);
    void buildMiddleBand(QWidget* panel);
    void buildTimerPanel(QWidget* panel);
    void buildEntryPanel(QWidget* panel);
    void buildBottomPart(QWidget* panel);
    void buildStatusBar();
    void showStatusNotices();
    void buildMenu();
    void layoutRegions();
    QAction* addMenuAction(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& key);

    // RunControls
    void applyControls(const RunStateControls& controls) override;
    bool timerButtonVisible() const override;
    void setBarrierArmed(Barrier barrier, bool armed) override;
    void enterResult(qint32 phaseOneTime, qint32 runTime) override;
    void updateProtocolButtons() override;
    void refreshTopTen() override;
    void clearEntryFields() override;
    bool nextEntryEnabled() const override;
    void clickNextEntry() override;
    void resetPointsFields() override;
    void resetBarrierMemory() override;
    void processPendingEvents() override;

    // ClockHost
    void clickStart() override;
    void setPenaltyPointsText(const QString& text) override;

    CommandButton* button(Command cmd) const;
    QAction* action(Command cmd) const;

    // Start-up pieces.
    void readSettings();
    void syncRaceSettings();
    // False when the settings could not be stored (the file as it was stays).
    bool writeSettings();
    void checkMonitorSetting();
    void setPictures();
    void createSettingsDialog();
    QRect monitorGeometry() const;
    void bindTimeDisplay();
    void applyResultColumnWidths();
    static SerialDeviceFactory defaultSerialFactory();
    void buildBarriers();
    void applyBarrierConfig();
    void showBarrierNotices();
    void followBarrierPort(quint8 port, const QString& adapterId);
    void bindBarrierDialog();
    void openStartBarrierAtStartUp();
    void closeBarriersAtExit();
    void bindDialogs();
    void bindCommands();
    void bindProtocol();
    void endRecoverySession();

    // Results table.
    void buildResultsGrid();
    void bindResultsMenu();
    void SortGrid1DblClick();
    QString currentStartNumber() const;

    // Competitor entry.
    void cbStNrChange();
    void sb1mClick(int step);
    void Punkte1Click();
    void fillFromSelectedEntry();
    // Makes the results row of that start number current, if there is one.
    void selectCompetitorRow(const QString& startNumber);
    bool eventFilter(QObject* watched, QEvent* event) override;

    MainWindowDeps m_deps;
    int m_tag = std::numeric_limits<int>::max();
    std::unique_ptr<MainClockDisplay> m_display;
    RaceClock* m_clock = nullptr;
    std::unique_ptr<RunSequence> m_sequence;

    QHash<QString, QAction*> m_actions;
    QWidget* m_panel1 = nullptr;
    QWidget* m_panel2 = nullptr;
    QWidget* m_panel3 = nullptr;
    QWidget* m_panelLeft = nullptr;
    QWidget* m_panel5 = nullptr;
    QWidget* m_panel4 = nullptr;
    QWidget* m_gridArea = nullptr;
    QLabel* m_panelDate = nullptr;
    QTimer* m_timerDate = nullptr;
    QLineEdit* m_eFText1 = nullptr;

    CommandButton* m_bTimer = nullptr;
    CommandButton* m_bSTART = nullptr;
    CommandButton* m_bSTOP = nullptr;
    CommandButton* m_bEINTRAGEN = nullptr;
    CommandButton* m_bRESET = nullptr;
    CommandButton* m_bAbsage = nullptr;

    QComboBox* m_cbStNr = nullptr;
    QLineEdit* m_reiter = nullptr;
    QLineEdit* m_eName2 = nullptr;
    QLineEdit* m_eMarke = nullptr;
    QComboBox* m_eGOD = nullptr;
    QToolButton* m_sb1m = nullptr;
    QToolButton* m_sb1p = nullptr;
    QLabel* m_labelBase = nullptr;
    QLineEdit* m_ePunkte1 = nullptr;
    QLineEdit* m_ePunkte2 = nullptr;
    QStringList m_startList;

    std::array<QLabel*, 3> m_statusPanels{};
    std::unique_ptr<StatusNotices> m_notices;
    QTimer* m_noticeTimer = nullptr;
    QElapsedTimer m_noticeClock;

    AppSettings m_settings;
    quint32 m_availablePorts = 0;
    bool m_quitWithoutQuestion = false;
    ResultsTable* m_table = nullptr;
    TSortGrid* m_grid = nullptr;
    SortState m_sortState;
    QLocale m_locale;
    TCfgDialog* m_cfg = nullptr;
    TFDlgYesNo* m_yesNo = nullptr;
    TFormInfo* m_info = nullptr;
    TFormMonitor2* m_monitor2 = nullptr;
    TFormMonitor3* m_monitor3 = nullptr;
    std::function<bool(const QUrl&)> m_urlOpener;
    std::unique_ptr<PortTable> m_portTable;
    TComPort* m_comPort = nullptr;
    LightBarriers* m_barriers = nullptr;
    std::unique_ptr<BarrierCommands> m_barrierCommands;
    std::array<BarrierIndicator*, 3> m_indicators{};
    // Light barriers beyond the port itself: device presence and hot-plug, the connection that
    // keeps the start barrier's port open (lost, reconnect, adapter identity), the dialog's view.
    std::unique_ptr<SerialPresence> m_ownPresence;
    SerialPresence* m_presence = nullptr;
    BarrierConnection* m_barrierConnection = nullptr;
    BarrierDiagnostics* m_barrierDiagnostics = nullptr;
    std::unique_ptr<ProtocolHost> m_protocolHost;
    ProtocolCommands* m_protocol = nullptr;
    std::unique_ptr<RecoveryStore> m_recovery;
    bool m_keepRecoveryCopy = false;
    std::function<void(const QString&)> m_errorHook;
    std::function<bool(const QString&)> m_printHook;

    // Printing, the view exports and where files went (FMain_print.cpp, FMain_exports.cpp).
public:
    // The printer "Protokoll drucken" prints on: the one chosen with Alt+D, with
    // the page settings chosen there; until then the system's default printer,
    // A4 landscape.
    QPrinter* printer();
    void sbPrintClick();
    // A picture with a caption at the foot of every printed page (for instance a code
    // that leads to the live results); a null image takes it away.
    void setPrintFooter(const QImage& image, const QString& caption);
    QString printFooterCaption() const { return m_printFooterCaption; }
    // Where the view exports are written and the clock that names them (tests).
    void setExportFolder(const QString& folder) { m_exportFolder = folder; }
    void setExportClock(std::function<QDateTime()> now) { m_exportClock = std::move(now); }

private:
    void bindExports();
    QDateTime exportTime() const;
    QString exportDateText() const;
    QString exportFolder() const;
    void fileWrittenNotice(const QString& path);
    std::unique_ptr<QPrinter> m_printer;
    QImage m_printFooterImage;
    QString m_printFooterCaption;
    QString m_exportFolder;
    std::function<QDateTime()> m_exportClock;

    // Event-safe timing and entry: the run states applied whole, held keys, the
    // start-list position, the window's placement and the settings' idle display.
public:
    // The idle display with the settings just applied (the new countdown at once).
    void showIdleDisplay();

private:
    // A command button's enabled state and face; its menu item follows.
    void setButton(Command cmd, bool enabled, Face face);
    void focusButton(Command cmd);
    // Whether a repeat of this key must be swallowed: a non-repeating shortcut of the
    // hidden menu, or Return, Enter or Space on a focused command button.
    bool isGuardedKey(QObject* receiver, const QKeyEvent& key) const;
    // sb1m, sb1p and LabelBase from the selected index.
    void showStartListPosition();
    // The stored bounds, or centred on the primary screen when no screen shows them.
    void placeWindow(const QRect& stored);

    KeyRepeatGuard* m_keyRepeatGuard = nullptr;

    // Live results on the local network (FMain_live.cpp): the window starts, stops and
    // configures the server, hands it a snapshot after every change of the table or the run
    // state, and shows its address.
public:
    LiveService* liveService() const { return m_liveService.get(); }
    // Starts, restarts or stops the server after the settings; a failure goes to the status bar.
    void applyLiveSettings();
    // The addresses of the live pages while the server runs; empty otherwise.
    QStringList liveUrls() const;
    // A QR code of the first address (for the printed protocol's footer); null while off.
    QImage liveQrImage(int modulePixels = 4) const;
    // What the settings dialog says of the server.
    QString liveStatusText() const;
    // Where the LAN addresses come from (tests give their own).
    void setLiveAddressProvider(std::function<QList<QHostAddress>()> provider);
    // A laptop often joins the event's network after the program started: the addresses are
    // looked at again every few seconds while the server runs, and the status bar and the
    // printout's footer follow when they changed.
    void refreshLiveAddresses();

private:
    void setupLive();
    void startOrStopLive();
    void showLiveAddresses();
    // A change of the table or the run state: the snapshot goes out once the current event is handled.
    void liveStateChanged() { scheduleLivePublish(0); }
    void scheduleLivePublish(int delayMs);
    void publishLiveSnapshot();
    std::unique_ptr<LiveService> m_liveService;
    std::unique_ptr<QTimer> m_livePublish; // also the context of the live connections
    std::unique_ptr<QTimer> m_liveAddressCheck;
    std::function<QList<QHostAddress>()> m_liveAddresses;
    QStringList m_liveShownUrls;
    QString m_liveError;
};
