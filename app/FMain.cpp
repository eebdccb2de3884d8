#include "app/FMain.h"

#include "app/competitor_entry.h"
#include "app/main_clock_display.h"
#include "app/status_notices.h"
#include "displays/Udigit.h"
#include "barriers/light_barriers.h"
#include "barriers/port_table.h"
#include "protocol/ProtocolCommands.h"
#include "protocol/recovery.h"
#include "results/SortGrid.h"
#include "results/results_table.h"
#include "widgets/CommandButton.h"
#include "widgets/CommandKeyGuard.h"
#include "widgets/KeyRepeatGuard.h"

#include <QApplication>
#include <QGuiApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDate>
#include <QDateTime>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPrinter>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

TFormMain::TFormMain(const MainWindowDeps& deps, QWidget* parent)
    : QMainWindow(parent), m_deps(deps), m_display(std::make_unique<MainClockDisplay>())
{
    // 1. Application title and window caption.
    setObjectName(QStringLiteral("FormMain"));
    // (No application display name: the platform would append it to every caption.)
    setWindowTitle(QStringLiteral("Acker Klassik 0.90"));
    setMinimumSize(800, 445);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(11);
    setFont(f);

    m_clock = new RaceClock(*m_deps.ticks, *m_display, *this, this);
    m_clock->setLocale(m_locale);
    m_sequence.reset(new RunSequence(*m_clock, static_cast<RunControls&>(*this), *m_deps.gong));

    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("Central"));
    setCentralWidget(central);
    m_panel1 = new QWidget(central);
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel2 = new QWidget(central);
    m_panel2->setObjectName(QStringLiteral("Panel2"));
    m_panel2->setAutoFillBackground(true);
    QPalette p2 = m_panel2->palette();
    p2.setColor(QPalette::Window, p2.color(QPalette::Dark));
    m_panel2->setPalette(p2);
    m_panel3 = new QWidget(central);
    m_panel3->setObjectName(QStringLiteral("Panel3"));
    buildTopBar(m_panel1);
    buildMiddleBand(m_panel2);
    buildBottomPart(m_panel3);
    buildStatusBar();
    buildMenu();
    buildResultsGrid();
    buildBarriers();
    setPictures();
    bindCommands();
    bindDialogs();
    bindProtocol();
    bindExports();

    // Initial control states: those of the Ready state.
    m_sequence->applyCurrentControls();
    for (const char* name : {"sbCLS", "sbSave", "sbPrint", "bMon2", "sb1m", "sb1p"})
        control<QWidget>(QString::fromLatin1(name))->setEnabled(false);

    // 4. Not started until the settings are read and the dialogs set up.
    m_tag = std::numeric_limits<int>::max();
    readSettings();
    // 5. Years of make, current year selected.
    m_eGOD->addItems(CompetitorEntry::yearList(QDate::currentDate().year()));
    m_eGOD->setCurrentIndex(0);
    // 6./14. Display colours and its idle state.
    // 7./13. File dialogs: built with the protocol commands.
    // 8. Started.
    m_tag = 0;
    // 9. Spectator monitor.
    checkMonitorSetting();
    // 11. TIMER only with a countdown; F4 exactly when TIMER is visible.
    setTimerButtonVisible(m_settings.timer > 0);
    // 12. Serial ports.
    probeSerialPorts();
    // 14. Start-up display.
    m_clock->startupDisplay();
    // 15. The start barrier's port.
    openStartBarrierAtStartUp();
    // 16. Protocol buttons; the table's header texts are in place from its creation.
    updateProtocolButtons();

    // 18. Layout, date and time, pointer onto sbLoad.
    m_timerDate = new QTimer(this);
    m_timerDate->setObjectName(QStringLiteral("TimerDate"));
    m_timerDate->setInterval(5000);
    connect(m_timerDate, &QTimer::timeout, this, &TFormMain::TimerDateTimer);
    m_timerDate->start();
    FormResize();
    TimerDateTimer();
    if (QWidget* load = control<QWidget>(QStringLiteral("sbLoad")))
        QCursor::setPos(load->mapToGlobal(QPoint(16, 16)));
    focusButton(m_bTimer->isHidden() ? Command::Start : Command::Timer);
    // Installed on the application: key events reach it before any shortcut or button.
    m_keyRepeatGuard = new KeyRepeatGuard(
        [this](QObject* receiver, const QKeyEvent& key) { return isGuardedKey(receiver, key); }, this);
    qApp->installEventFilter(m_keyRepeatGuard);
    // A disabled command's Alt key must not type its letter into a name field.
    qApp->installEventFilter(new CommandKeyGuard(this, this));
    // The results grid's viewport gets its real size only when it is first laid out
    // (at show on a real display): the column widths follow it from that first frame.
    m_grid->viewport()->installEventFilter(this);
    setupLive();
}

void TFormMain::bindCommands()
{
    // Buttons invoke their menu items, which do nothing while disabled.
    connect(action(Command::Timer), &QAction::triggered, this, [this] { m_sequence->mTimerClick(); });
    connect(action(Command::Start), &QAction::triggered, this, [this] { m_sequence->mStartClick(); });
    connect(action(Command::Stop), &QAction::triggered, this, [this] { m_sequence->mStopClick(); });
    connect(action(Command::Eintragen), &QAction::triggered, this, [this] { m_sequence->mEintragenClick(); });
    connect(action(Command::Naechster), &QAction::triggered, this, [this] { m_sequence->bRESETClick(); });
    connect(m_bTimer, &CommandButton::mousePressed, action(Command::Timer), &QAction::trigger);
    connect(m_bSTART, &CommandButton::mousePressed, action(Command::Start), &QAction::trigger);
    connect(m_bSTOP, &CommandButton::mousePressed, action(Command::Stop), &QAction::trigger);
    // EINTRAGEN's mouse press calls its handler directly; START and EINTRAGEN also react to the keyboard.
    connect(m_bEINTRAGEN, &CommandButton::mousePressed, this, [this] { m_sequence->mEintragenClick(); });
    connect(m_bSTART, &QPushButton::clicked, this, [this] { m_sequence->mStartClick(); });
    connect(m_bEINTRAGEN, &QPushButton::clicked, this, [this] { m_sequence->mEintragenClick(); });
    connect(m_bRESET, &QPushButton::clicked, this, [this] { m_sequence->bRESETClick(); });
    connect(m_bAbsage, &QPushButton::clicked, this, [this] { m_sequence->bAbsageClick(); });
    connect(menuAction(QStringLiteral("Punkte1")), &QAction::triggered, this, &TFormMain::Punkte1Click);
    connect(menuAction(QStringLiteral("Beenden1")), &QAction::triggered, this, &TFormMain::bExitClick);
    connect(m_sb1m, &QToolButton::clicked, this, [this] { sb1mClick(-1); });
    connect(m_sb1p, &QToolButton::clicked, this, [this] { sb1mClick(+1); });
    connect(m_cbStNr, qOverload<int>(&QComboBox::activated), this, [this] { cbStNrChange(); });
}

bool TFormMain::isGuardedKey(QObject* receiver, const QKeyEvent& key) const
{
    const auto* widget = qobject_cast<const QWidget*>(receiver);
    if (!widget || widget->window() != this)
        return false;
    const int k = key.key();
    // Return, Enter and Space on a focused command button activate it.
    if ((k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Space || k == Qt::Key_Select) &&
        qobject_cast<CommandButton*>(QApplication::focusWidget()))
        return true;
    // A shortcut of the hidden menu that does not repeat (all but Alt+P).
    const QKeySequence pressed(QKeyCombination(key.modifiers() & ~Qt::KeypadModifier, Qt::Key(k)));
    for (const QAction* a : m_actions)
        if (!a->autoRepeat() && !a->shortcut().isEmpty() && a->shortcut() == pressed)
            return true;
    return false;
}

TFormMain::~TFormMain()
{
    // An edit still open in a cell goes into the table now, while every part of the
    // window is alive (the editor would otherwise commit during the widgets' teardown).
    if (m_grid)
        m_grid->commitOpenEditor();
    // FormDestroy: settings back (only when started), then the serial port closed.
    writeSettings();
    closeBarriersAtExit();
    endRecoverySession();
}

CommandButton* TFormMain::button(Command cmd) const
{
    switch (cmd) {
    case Command::Timer:
        return m_bTimer;
    case Command::Start:
        return m_bSTART;
    case Command::Stop:
        return m_bSTOP;
    case Command::Eintragen:
        return m_bEINTRAGEN;
    case Command::Naechster:
        return m_bRESET;
    case Command::Absage:
        return m_bAbsage;
    }
    return nullptr;
}

QAction* TFormMain::action(Command cmd) const
{
    switch (cmd) {
    case Command::Timer:
        return m_actions.value(QStringLiteral("mTimer"));
    case Command::Start:
        return m_actions.value(QStringLiteral("mStart"));
    case Command::Stop:
        return m_actions.value(QStringLiteral("mStop"));
    case Command::Eintragen:
        return m_actions.value(QStringLiteral("mEintragen"));
    case Command::Naechster:
        return m_actions.value(QStringLiteral("mReset"));
    case Command::Absage:
        return nullptr;
    }
    return nullptr;
}

void TFormMain::setButton(Command cmd, bool enabled, Face face)
{
    CommandButton* b = button(cmd);
    b->setEnabled(enabled);
    switch (face) {
    case Face::Face:
        b->setFace(cmd == Command::Absage ? QColor(113, 8, 8) : QColor());
        break;
    case Face::Green:
        b->setFace(QColor(0, 128, 0));
        break;
    case Face::Red:
        b->setFace(QColor(255, 0, 0));
        break;
    case Face::Yellow:
        b->setFace(QColor(255, 255, 0));
        break;
    case Face::Blue:
        b->setFace(QColor(0, 128, 255));
        break;
    case Face::Black:
        b->setFace(QColor(0, 0, 0));
        break;
    }
    if (QAction* a = action(cmd))
        a->setEnabled(enabled);
    // Every run command sets its buttons: the live pages follow.
    liveStateChanged();
}

void TFormMain::applyControls(const RunStateControls& c)
{
    for (int i = 0; i < kCommandCount; ++i)
        setButton(Command(i), c.buttons[size_t(i)].enabled, c.buttons[size_t(i)].face);
    m_bTimer->setTextColour(c.timerTextRed ? QColor(255, 0, 0) : QColor(0, 0, 0));
    if (c.stopCaption)
        m_bSTOP->setText(*c.stopCaption);
    EnableSettings(c.settings);
    if (QWidget* load = control<QWidget>(QStringLiteral("sbLoad")))
        load->setEnabled(c.load);
    if (c.punkte1)
        menuAction(QStringLiteral("Punkte1"))->setEnabled(*c.punkte1);
    if (c.focus)
        focusButton(*c.focus);
}

bool TFormMain::timerButtonVisible() const
{
    return !m_bTimer->isHidden();
}

void TFormMain::focusButton(Command cmd)
{
    button(cmd)->setFocus(Qt::OtherFocusReason);
}

void TFormMain::EnableSettings(bool on)
{
    if (QWidget* b = control<QWidget>(QStringLiteral("bCFG")))
        b->setEnabled(on);
    if (QAction* a = menuAction(QStringLiteral("EinstellunGen1")))
        a->setEnabled(on);
}

void TFormMain::clearEntryFields()
{
    if (m_cbStNr->isEditable()) {
        m_cbStNr->setEditText(QString());
    } else if (!m_sb1p->isEnabled()) {
        // The last entry was timed: no start number until the operator picks one, so
        // the next EINTRAGEN cannot overwrite that competitor's row by mistake.
        // (With a next entry the list moves on to it right after.)
        m_cbStNr->setCurrentIndex(-1);
        showStartListPosition();
    }
    m_reiter->clear();
    m_eName2->clear();
    m_eMarke->clear();
}

bool TFormMain::nextEntryEnabled() const
{
    return m_sb1p->isEnabled();
}

void TFormMain::clickNextEntry()
{
    m_sb1p->click();
}

void TFormMain::resetPointsFields()
{
    m_ePunkte1->setText(QStringLiteral("0"));
    m_ePunkte2->setText(QStringLiteral("0"));
}

void TFormMain::processPendingEvents()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TFormMain::clickStart()
{
    m_sequence->mStartClick();
}

void TFormMain::setPenaltyPointsText(const QString& text)
{
    m_ePunkte2->setText(text);
}

void TFormMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TFormMain::FormResize()
{
    if (!m_panel1)
        return;
    layoutRegions();
    // The three name fields follow the width of Panel5.
    const int w = qMax(40, m_panel5->width() - m_reiter->x() - 4);
    m_reiter->resize(w, m_reiter->height());
    m_eName2->resize(w, m_eName2->height());
    m_eMarke->resize(w, m_eMarke->height());
    applyResultColumnWidths();
}

void TFormMain::TimerDateTimer()
{
    const QLocale loc;
    const QDateTime now = QDateTime::currentDateTime();
    const QString text = loc.toString(now.date(), QLocale::ShortFormat) + QStringLiteral("   ") +
                         loc.toString(now.time(), QLocale::ShortFormat);
    // 24 px, smaller only where a long regional format would not fit the panel.
    QFont f = m_panelDate->font();
    f.setPixelSize(24);
    while (f.pixelSize() > 10 && QFontMetrics(f).horizontalAdvance(text) > m_panelDate->width() - 8)
        f.setPixelSize(f.pixelSize() - 1);
    m_panelDate->setFont(f);
    m_panelDate->setText(text);
}

void TFormMain::bExitClick()
{
    close();
}

void TFormMain::closeEvent(QCloseEvent* event)
{
    // FormCloseQuery: ask while the clock runs or the table holds a result (an edit
    // still open in a cell counts, so it is never dropped without the question).
    if (m_grid)
        m_grid->commitOpenEditor();
    if (!m_quitWithoutQuestion && (m_clock->running() || (m_table && m_table->holdsResults())) &&
        !askYesNo(QStringLiteral("Beenden?"))) {
        event->ignore();
        return;
    }
    event->accept();
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && m_grid && watched == m_grid->viewport()) {
        applyResultColumnWidths();
        return false;
    }
    // The wheel over the start-number list or the year of make changes them only
    // when the operator has put the focus there, never in passing while scrolling.
    if (event->type() == QEvent::Wheel && (watched == m_cbStNr || watched == m_eGOD) &&
        !static_cast<QWidget*>(watched)->hasFocus()) {
        event->ignore();
        return true;
    }
    const QString name = watched->objectName();
    if (name == QLatin1String("Label8") || name == QLatin1String("Label5") || name == QLatin1String("LabDE")) {
        if (event->type() == QEvent::MouseButtonRelease) {
            ImageDEClick();
            return true;
        }
        if (name != QLatin1String("LabDE") && (event->type() == QEvent::Enter || event->type() == QEvent::Leave)) {
            // Entering a half lightens its shadow; leaving turns it black again.
            const bool enter = event->type() == QEvent::Enter;
            QLabel* shadow = control<QLabel>(name == QLatin1String("Label8") ? QStringLiteral("Label7")
                                                                              : QStringLiteral("Label4"));
            const QColor light = name == QLatin1String("Label8") ? QColor(255, 160, 160) : QColor(160, 255, 160);
            QPalette p = shadow->palette();
            p.setColor(QPalette::WindowText, enter ? light : QColor(Qt::black));
            shadow->setPalette(p);
        }
    }
    if (event->type() == QEvent::KeyPress &&
        (watched == m_ePunkte1 || watched == m_ePunkte2 || watched == m_cbStNr->lineEdit())) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        // Ctrl+V and the like are commands, not typed characters (a paste is kept
        // to digits by the field's validator).
        const bool command = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        if (!command && !text.isEmpty() && text.at(0).isPrint() &&
            !CompetitorEntry::acceptsPointsKey(text.at(0)))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
