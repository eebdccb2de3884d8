// The other windows: dialogs, help, the maker's link and the spectator windows.
#include "app/FMain.h"

#include "app/main_clock_display.h"
#include "dialogs/DlgYesNo.h"
#include "dialogs/FInfo.h"
#include "displays/FMonitor2.h"
#include "displays/FMonitor3.h"
#include "displays/monitor_layout.h"
#include "platform/data_paths.h"
#include "results/results_table.h"
#include "settings/Cfg.h"
#include "widgets/pictures.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QToolButton>
#include <QUrl>

namespace {
const char* const kMakerPage = "https://www.ruvanta-werk.example/";

// On another monitor than the operator's a spectator window only shows: it
// bypasses the window manager, so it covers exactly that monitor, above the
// rest, and no window manager can hand it the keyboard as it appears (GNOME and
// Weston give a new window the focus and refuse to give it back). On the
// operator's own monitor it is a managed full-screen window, above the
// desktop's panels, that takes the Escape hiding it.
//
// Before placing: out of full screen (moving a window ends it anyway), the
// window-manager flag, and the monitor's screen.
void prepareSpectator(QWidget* window, bool otherMonitor, int monitor)
{
    window->setWindowState(window->windowState() & ~Qt::WindowFullScreen);
    if (window->windowFlags().testFlag(Qt::X11BypassWindowManagerHint) != otherMonitor)
        window->setWindowFlag(Qt::X11BypassWindowManagerHint, otherMonitor);
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (monitor >= 0 && monitor < screens.size())
        window->setScreen(screens.at(monitor));
}

// After placing: full screen on the operator's own monitor.
void finishSpectator(QWidget* window, bool otherMonitor)
{
    if (!otherMonitor)
        window->setWindowState(window->windowState() | Qt::WindowFullScreen);
}
} // namespace

void TFormMain::createCompanionWindows()
{
    if (m_yesNo)
        return;
    createSettingsDialog();
    m_yesNo = new TFDlgYesNo(this);
    m_yesNo->setObjectName(QStringLiteral("FDlgYesNo"));
    m_yesNo->setWindowTitle(QStringLiteral("Acker Klassik"));
    m_monitor3 = new TFormMonitor3(this);
    m_info = new TFormInfo(this);
    m_info->setObjectName(QStringLiteral("FormInfo"));
    m_monitor2 = new TFormMonitor2(referenceMainTimer(), [this] { return m_settings.monitor; }, this);
    bindTimeDisplay();
    m_monitor3->place(monitorGeometry());
}

bool TFormMain::askYesNo(const QString& question)
{
    return m_yesNo && m_yesNo->ask(question);
}

void TFormMain::bindDialogs()
{
    connect(menuAction(QStringLiteral("Info1")), &QAction::triggered, this, &TFormMain::bInfoClick);
    connect(control<QToolButton>(QStringLiteral("bInfo")), &QToolButton::clicked, this, &TFormMain::bInfoClick);
    connect(menuAction(QStringLiteral("Hilfe1")), &QAction::triggered, this, &TFormMain::bHelpClick);
    connect(control<QToolButton>(QStringLiteral("bHelp")), &QToolButton::clicked, this, &TFormMain::bHelpClick);
    connect(menuAction(QStringLiteral("EinstellunGen1")), &QAction::triggered, this, &TFormMain::bCFGClick);
    connect(control<QToolButton>(QStringLiteral("bCFG")), &QToolButton::clicked, this, &TFormMain::bCFGClick);
    connect(menuAction(QStringLiteral("Monitor11")), &QAction::triggered, this, &TFormMain::bMon2Click);
    connect(control<QToolButton>(QStringLiteral("bMon2")), &QToolButton::clicked, this, &TFormMain::bMon2Click);
    connect(menuAction(QStringLiteral("Monitor31")), &QAction::triggered, this, &TFormMain::bMon3Click);
    connect(control<QToolButton>(QStringLiteral("bMon3")), &QToolButton::clicked, this, &TFormMain::bMon3Click);
    connect(menuAction(QStringLiteral("Monitor30")), &QAction::triggered, this, &TFormMain::Monitor30Click);
}

void TFormMain::bInfoClick()
{
    if (m_info)
        m_info->exec();
}

void TFormMain::bHelpClick()
{
    const QString help = DataPaths::dataFile(QStringLiteral("help/index.html"));
    openUrl(QUrl::fromLocalFile(help));
}

void TFormMain::ImageDEClick()
{
    openUrl(QUrl(QString::fromLatin1(kMakerPage)));
}

bool TFormMain::openUrl(const QUrl& url)
{
    if (m_urlOpener)
        return m_urlOpener(url);
    return QDesktopServices::openUrl(url);
}

void TFormMain::setPictures()
{
    const struct {
        const char* name;
        Picture picture;
    } buttons[] = {{"bHelp", Picture::Help},       {"bCFG", Picture::Settings},   {"bInfo", Picture::Info},
                   {"sbLoad", Picture::Load},      {"sbSave", Picture::Save},     {"sbWord", Picture::Word},
                   {"sbExcel", Picture::Excel},    {"sbHTML", Picture::Html},     {"sbPrint", Picture::Print},
                   {"sbCLS", Picture::Clear},      {"bMon2", Picture::Monitor2},  {"bMon3", Picture::Monitor3},
                   {"sb1m", Picture::Previous},    {"sb1p", Picture::Next}};
    for (const auto& b : buttons) {
        if (auto* tb = control<QToolButton>(QString::fromLatin1(b.name))) {
            tb->setArrowType(Qt::NoArrow);
            tb->setIcon(QIcon(Pictures::picture(b.picture, devicePixelRatioF())));
        }
    }
    if (auto* de = control<QLabel>(QStringLiteral("LabDE")))
        de->setPixmap(Pictures::picture(Picture::FlagDE, devicePixelRatioF()));
    setWindowIcon(Pictures::applicationIcon());
}

QRect TFormMain::monitorGeometry() const
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    const int n = m_settings.monitor;
    if (n >= 0 && n < screens.size())
        return screens.at(n)->geometry();
    return QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect();
}

void TFormMain::bindTimeDisplay()
{
    using Row = ClockDisplay::Row;
    for (int d = 3; d <= 8; ++d)
        m_display->setDigit(Row::Monitor, d, m_monitor2->digit(d, 1));
    m_display->setLabel(ClockDisplay::Label::MonLabMin, m_monitor2->labMin());
    m_display->setLabel(ClockDisplay::Label::MonLabSec, m_monitor2->labSec());
    m_display->setMonitorPresent(true);
    // The start-up display ran before this window existed: repeat it, so the
    // spectators see the configured colours and countdown length from the start.
    m_clock->startupDisplay();
}

void TFormMain::bMon2Click()
{
    if (!m_monitor2)
        return;
    prepareSpectator(m_monitor2, m_settings.monitor > 0, m_settings.monitor);
    m_monitor2->PlaceTimeDisplay(monitorGeometry());
    finishSpectator(m_monitor2, m_settings.monitor > 0);
    m_monitor2->show();
    m_monitor2->raise();
    if (m_monitor3)
        m_monitor3->hide();
    refreshTopTen();
    if (m_settings.monitor > 0)
        activateWindow();
}

void TFormMain::bMon3Click()
{
    if (!m_monitor3)
        return;
    prepareSpectator(m_monitor3, m_settings.monitor > 0, m_settings.monitor);
    m_monitor3->place(monitorGeometry());
    finishSpectator(m_monitor3, m_settings.monitor > 0);
    m_monitor3->show();
    m_monitor3->raise();
    if (m_monitor2)
        m_monitor2->hide();
    refreshTopTen();
    if (m_settings.monitor > 0)
        activateWindow();
}

void TFormMain::Monitor30Click()
{
    if (m_monitor2)
        m_monitor2->hide();
    if (m_monitor3)
        m_monitor3->hide();
}

void TFormMain::refreshTopTen()
{
    if (m_monitor3 && m_table)
        m_monitor3->RefreshTopTen(m_eFText1->text(), m_table->rows());
}
