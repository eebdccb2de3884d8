// Settings: read at start-up, written at exit, edited by the settings dialog.
#include "app/FMain.h"
#include "app/window_placement.h"

#include "protocol/ProtocolCommands.h"
#include "settings/Cfg.h"
#include "settings/CfgLive.h"
#include "settings/settings_apply.h"
#include "settings/settings_store.h"
#include "widgets/CommandButton.h"

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QSettings>
#include <QToolButton>

namespace {

// The main window's side of applying the settings dialog.
class MainApplyTarget final : public ApplyTarget {
public:
    explicit MainApplyTarget(TFormMain& w) : m_w(w) {}
    void recolourTimerColour() override { m_w.recolourTimerColour(); }
    void setTimerButtonVisible(bool visible) override { m_w.setTimerButtonVisible(visible); }
    bool clockRunning() const override { return m_w.clock().running(); }
    void showIdleDisplay() override { m_w.showIdleDisplay(); }
    void closePort() override { m_w.closeBarrierPort(); }
    bool openPort(quint8 port) override { return m_w.openBarrierPort(port); }
    void enableBarrierIndicators() override { m_w.EnableBarrierIndicators(); }
    void comPortOpen(quint8 port) override { m_w.ComPortOpen(port); }
    void setStartBarrierArmed(bool armed) override { m_w.armBarrier(Barrier::Start, armed); }
    void focusLeftPanel() override { m_w.focusLeftPanel(); }

private:
    TFormMain& m_w;
};

} // namespace

void TFormMain::readSettings()
{
    m_settings = AppSettings();
    QString path;
    SettingsFileState state = SettingsFileState::Missing;
    {
        QSettings store(settingsOrganisation(), settingsApplication());
        path = store.fileName();
        if (isSettingsFile(store))
            state = settingsFileState(path);
        loadSettings(store, m_settings);
    }
    // A settings file that cannot be used leaves the defaults; the operator is told until the
    // settings dialog is next confirmed. A damaged one is kept aside, since the exit writes a new one.
    if (state == SettingsFileState::Damaged) {
        const QString aside = setDamagedSettingsAside(path);
        setStatusNotice(
            QStringLiteral("settings"),
            QStringLiteral("Einstellungen beschädigt, es gelten die Standardwerte. Die alte Datei: ") +
                QDir::toNativeSeparators(aside.isEmpty() ? path : aside));
    } else if (state == SettingsFileState::Unreadable) {
        setStatusNotice(QStringLiteral("settings"),
                        QStringLiteral("Einstellungen nicht lesbar, es gelten die Standardwerte: ") +
                            QDir::toNativeSeparators(path));
    }
    placeWindow(storedWindowRect(m_settings.left, m_settings.top, m_settings.width, m_settings.height));
    m_eFText1->setText(m_settings.zeile1);
    m_protocol->setFiltInd(m_settings.filtInd);
    setTimerButtonVisible(m_settings.timer > 0);
    syncRaceSettings();
}

void TFormMain::placeWindow(const QRect& stored)
{
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append(screen->geometry());
    const QScreen* primary = QGuiApplication::primaryScreen();
    setGeometry(
        placeMainWindow(stored, screens, primary ? primary->availableGeometry() : QRect(), minimumSize()));
}

void TFormMain::showIdleDisplay()
{
    // The clock must know the new countdown length before it shows it.
    syncRaceSettings();
    m_clock->showIdleTimes();
}

void TFormMain::syncRaceSettings()
{
    m_clock->settings() = raceSettingsOf(m_settings);
    // The hints show the gong files, as they always did.
    m_panel2->setToolTip(m_settings.sound0);
    m_panel4->setToolTip(m_settings.sound1);
    m_panel5->setToolTip(m_settings.sound2);
}

bool TFormMain::writeSettings()
{
    if (m_tag != 0)
        return true;
    const QRect g = normalGeometry().isValid() ? normalGeometry() : geometry();
    m_settings.left = g.x();
    m_settings.top = g.y();
    m_settings.width = g.width();
    m_settings.height = g.height();
    m_settings.zeile1 = m_eFText1->text();
    m_settings.filtInd = m_protocol->filtInd();
    QSettings store(settingsOrganisation(), settingsApplication());
    return saveSettings(store, m_settings);
}

void TFormMain::checkMonitorSetting()
{
    const int screens = int(QGuiApplication::screens().size());
    if (m_settings.monitor >= screens || m_settings.monitor < 0)
        m_settings.monitor = 0;
    control<QToolButton>(QStringLiteral("bMon2"))->setEnabled(screens > 1);
    control<QToolButton>(QStringLiteral("bMon3"))->setEnabled(screens > 1);
}

void TFormMain::setTimerButtonVisible(bool visible)
{
    m_bTimer->setVisible(visible);
    action(Command::Timer)->setEnabled(visible);
}

void TFormMain::recolourTimerColour()
{
    syncRaceSettings();
    RunState& st = m_clock->state();
    st.ColourState = 2;
    st.RowColours[0].lit = m_settings.c[2];
    m_clock->RecolourDigits();
}

void TFormMain::focusLeftPanel()
{
    m_panelLeft->setFocus(Qt::OtherFocusReason);
}

void TFormMain::createSettingsDialog()
{
    m_cfg = new TCfgDialog(
        this, [this] { return probeSerialPorts(); }, [this](int port) { return serialDevicePath(port); },
        [this](const QString& q) { return askYesNo(q); }, [this] { return resetSettingsAndQuit(); },
        [this](int monitor) { m_settings.monitor = monitor; });
    m_cfg->setObjectName(QStringLiteral("CfgDialog"));
    bindBarrierDialog();
    m_cfg->liveGroup()->setStatusProvider([this] { return liveStatusText(); });
}

void TFormMain::bCFGClick()
{
    if (!m_cfg)
        return;
    m_cfg->fill(m_settings, barrierPortsForDialog());
    if (m_cfg->exec() != QDialog::Accepted) {
        focusLeftPanel();
        return;
    }
    if (!m_sequence->currentControls().settings) {
        // A light barrier started a run while the dialog was open: applying now would
        // reopen the port and re-arm the barriers under the running competitor.
        showPassingNotice(QStringLiteral("Einstellungen nicht übernommen: ein Lauf wurde gestartet."), 15000);
        return;
    }
    MainApplyTarget target(*this);
    applyDialogValues(m_cfg->values(), m_settings, target);
    setStatusNotice(QStringLiteral("settings"), QString());
    syncRaceSettings();
    applyLiveSettings();
    // Written now as well as at exit, so a crash later in the day keeps them. A full disk or a
    // folder that may not be written is said: the values hold only until the program ends.
    if (!writeSettings()) {
        setStatusNotice(QStringLiteral("settings"),
                        QStringLiteral("Einstellungen nicht gespeichert, sie gelten bis zum Programmende: ") +
                            QDir::toNativeSeparators(
                                QSettings(settingsOrganisation(), settingsApplication()).fileName()));
    }
}

bool TFormMain::resetSettingsAndQuit()
{
    QSettings store(settingsOrganisation(), settingsApplication());
    if (!resetSettings(store))
        return false;
    // Not started any more: the exit must not write the settings back.
    m_tag = std::numeric_limits<int>::max();
    m_quitWithoutQuestion = true;
    m_keepRecoveryCopy = true;
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    return true;
}
