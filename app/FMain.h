#pragma once

#include "app/race_clock.h"
#include "app/run_sequence.h"

#include <QAction>
#include <QHash>
#include <QMainWindow>
#include <QPointer>

#include <array>
#include <limits>
#include <memory>

class CommandButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTimer;
class QToolButton;
class TDigit;
class MainClockDisplay;

// What the main window is given from outside: the tick counter and the gong.
// Tests pass fakes; the program entry passes the system's.
struct MainWindowDeps {
    const TickSource* ticks = nullptr;
    GongPlayer* gong = nullptr;
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
    void buildMenu();
    void layoutRegions();
    QAction* addMenuAction(QMenu* menu, const QString& name, const QString& caption, const QKeySequence& key);

    // RunControls
    void setButton(Command cmd, bool enabled, Face face) override;
    void setMenuEnabled(Command cmd, bool enabled) override;
    bool buttonEnabled(Command cmd) const override;
    void setTimerTextRed(bool red) override;
    bool timerButtonVisible() const override;
    void setStopCaption(const QString& caption) override;
    void focusButton(Command cmd) override;
    void enableSettings(bool on) override { EnableSettings(on); }
    void setPunkte1Enabled(bool on) override;
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
};
