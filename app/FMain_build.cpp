// Building the main window's regions and its hidden menu.
#include "app/FMain.h"
#include "app/competitor_entry.h"
#include "app/main_clock_display.h"
#include "app/status_notices.h"
#include "displays/Udigit.h"
#include "displays/monitor_layout.h"
#include "widgets/CommandButton.h"
#include "widgets/DigitsValidator.h"
#include "widgets/ElidedLabel.h"

#include <QComboBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

namespace {

QWidget* panel(QWidget* parent, const QString& name, const QColor& background = QColor())
{
    auto* w = new QWidget(parent);
    w->setObjectName(name);
    if (background.isValid()) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, background);
        w->setPalette(p);
        w->setAutoFillBackground(true);
    }
    return w;
}

QLabel* label(QWidget* parent, const QString& name, const QString& text, const QFont& font, const QRect& r)
{
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setFont(font);
    l->setGeometry(r);
    return l;
}

QFont arial(int px, bool bold = true)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
}

QToolButton* speedButton(QWidget* parent, const QString& name, const QString& hint, const QRect& r)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setAutoRaise(true);
    b->setGeometry(r);
    b->setIconSize(QSize(r.width() - 6, r.height() - 6));
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

CommandButton* commandButton(QWidget* parent, const QString& name, const QString& caption,
                             const QString& hint, const QRect& r)
{
    auto* b = new CommandButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setGeometry(r);
    b->setFont(arial(14));
    b->setTextColour(Qt::white);
    return b;
}

} // namespace

void TFormMain::buildTopBar(QWidget* p)
{
    QFont bold16 = arial(16);
    p->setFont(bold16);
    speedButton(p, QStringLiteral("bHelp"), QStringLiteral("[F1] Hilfe"), {2, 1, 38, 36});
    speedButton(p, QStringLiteral("bCFG"), QStringLiteral("[F2] Einstellungen"), {40, 1, 38, 36});
    speedButton(p, QStringLiteral("bInfo"), QStringLiteral("[F3] Information"), {78, 1, 38, 36});

    // The maker's logo: two halves, each over a black shadow copy 2 px right, 1 px down.
    const QFont logo = arial(27);
    auto* l7 = label(p, QStringLiteral("Label7"), QStringLiteral("Ruv"), logo, {132, 3, 60, 32});
    auto* l8 = label(p, QStringLiteral("Label8"), QStringLiteral("Ruv"), logo, {130, 2, 60, 32});
    auto* l4 = label(p, QStringLiteral("Label4"), QStringLiteral("anta"), logo, {186, 3, 70, 32});
    auto* l5 = label(p, QStringLiteral("Label5"), QStringLiteral("anta"), logo, {184, 2, 70, 32});
    const auto colour = [](QLabel* l, const QColor& c) {
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, c);
        l->setPalette(pal);
    };
    colour(l7, Qt::black);
    colour(l4, Qt::black);
    colour(l8, QColor(255, 0, 0));
    colour(l5, QColor(0, 128, 0));
    l8->setCursor(Qt::PointingHandCursor);
    l5->setCursor(Qt::PointingHandCursor);
    l8->setAttribute(Qt::WA_Hover);
    l5->setAttribute(Qt::WA_Hover);
    l8->installEventFilter(this);
    l5->installEventFilter(this);
    auto* de = label(p, QStringLiteral("LabDE"), QString(), logo, {258, 7, 36, 24});
    de->setCursor(Qt::PointingHandCursor);
    de->installEventFilter(this);

    auto* ls = label(p, QStringLiteral("LabLS"), QStringLiteral("LS:"), arial(16), {0, 9, 34, 20});
    ls->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_panelDate = new QLabel(QStringLiteral("00:00"), p);
    m_panelDate->setObjectName(QStringLiteral("PanelDate"));
    m_panelDate->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_panelDate->setAlignment(Qt::AlignCenter);
    m_panelDate->setFont(arial(24, false));
    m_panelDate->setAutoFillBackground(true);
    QPalette dp = m_panelDate->palette();
    dp.setColor(QPalette::Window, Qt::black);
    dp.setColor(QPalette::WindowText, QColor(192, 192, 192));
    m_panelDate->setPalette(dp);
}

void TFormMain::buildMiddleBand(QWidget* p)
{
    m_panelLeft = panel(p, QStringLiteral("PanelLeft"));
    m_panelLeft->setFocusPolicy(Qt::StrongFocus);
    QWidget* title = panel(m_panelLeft, QStringLiteral("Panel6"));
    title->setGeometry(0, 0, 432, 28);
    label(title, QStringLiteral("LabTitel"), QStringLiteral("Titel:"), arial(13), {4, 4, 40, 20});
    m_eFText1 = new QLineEdit(QStringLiteral("Furchenlauf"), title);
    m_eFText1->setObjectName(QStringLiteral("eFText1"));
    m_eFText1->setGeometry(44, 2, 384, 24);
    m_eFText1->setFont(arial(14));

    QWidget* timer = panel(m_panelLeft, QStringLiteral("PanelTimer"), Qt::black);
    timer->setGeometry(0, 28, 432, 207);
    buildTimerPanel(timer);

    m_panel5 = panel(p, QStringLiteral("Panel5"));
    buildEntryPanel(m_panel5);
}

void TFormMain::buildTimerPanel(QWidget* p)
{
    using Row = ClockDisplay::Row;
    using Label = ClockDisplay::Label;
    m_display->setPanel(p);
    const MainTimerGeometry g = referenceMainTimer();
    QFont colonFont(QStringLiteral("Times New Roman"));
    colonFont.setBold(true);
    colonFont.setPixelSize(g.labMinFontPx);
    QFont colonFont2 = colonFont;
    colonFont2.setPixelSize(g.labMinFontPx / 2);

    // Row 1 takes the reference geometry the time display window scales up;
    // row 2 is the same row at half size, right-aligned under it.
    const auto half = [](const QRect& r) {
        return QRect(216 + (r.x() - 8) / 2, 128 + (r.y() - 8) / 2, (r.width() + 1) / 2, (r.height() + 1) / 2);
    };
    for (int i = 0; i < 6; ++i) {
        auto* d = new TDigit(p);
        d->setObjectName(QStringLiteral("Digit%1").arg(i + 3));
        d->setGeometry(g.digits[size_t(i)]);
        d->setThickness(g.digitThickness[size_t(i)]);
        d->setSeparation(1);
        m_display->setDigit(Row::Main1, i + 3, d);
        auto* d2 = new TDigit(p);
        d2->setObjectName(QStringLiteral("Digit%1a").arg(i + 3));
        d2->setGeometry(half(g.digits[size_t(i)]));
        d2->setThickness(3);
        d2->setSeparation(1);
        m_display->setDigit(Row::Main2, i + 3, d2);
    }
    const auto colon = [&](const QString& name, const QString& text, const QRect& r, const QFont& f,
                           Label id) {
        auto* l = label(p, name, text, f, r);
        l->setAlignment(Qt::AlignCenter);
        l->setAttribute(Qt::WA_TranslucentBackground);
        m_display->setLabel(id, l);
    };
    colon(QStringLiteral("LabMin"), QStringLiteral(":"), g.labMin, colonFont, Label::LabMin);
    colon(QStringLiteral("LabSec"), QStringLiteral(","), g.labSec, colonFont, Label::LabSec);
    colon(QStringLiteral("LabMin2"), QStringLiteral(":"), half(g.labMin), colonFont2, Label::LabMin2);
    colon(QStringLiteral("LabSec2"), QStringLiteral(","), half(g.labSec), colonFont2, Label::LabSec2);

    const QFont caption = arial(g.labSekFontPx, false);
    const auto cap = [&](const QString& name, const QString& text, int x0, int x1, Label id) {
        auto* l = label(p, name, text, caption, {x0, 98, x1 - x0, 22});
        l->setAlignment(Qt::AlignCenter);
        m_display->setLabel(id, l);
    };
    cap(QStringLiteral("Lab_Min"), QStringLiteral("Min."), g.digits[0].left(), g.digits[1].right(),
        Label::Lab_Min);
    cap(QStringLiteral("Lab_sek"), QStringLiteral("Sek."), g.digits[2].left(), g.digits[3].right(),
        Label::Lab_sek);
    cap(QStringLiteral("Lab_100"), QStringLiteral("1/100"), g.digits[4].left(), g.digits[5].right(),
        Label::Lab_100);
}

void TFormMain::buildEntryPanel(QWidget* p)
{
    m_bTimer = commandButton(p, QStringLiteral("bTimer"), QStringLiteral("TIMER"), QStringLiteral("[F4]"),
                             {4, 8, 88, 32});
    m_bSTART = commandButton(p, QStringLiteral("bSTART"), QStringLiteral("START"), QStringLiteral("[F5]"),
                             {4, 44, 88, 32});
    m_bSTOP = commandButton(p, QStringLiteral("bSTOP"), QStringLiteral("STOPP1"), QStringLiteral("[F9]"),
                            {4, 80, 88, 32});
    m_bAbsage =
        commandButton(p, QStringLiteral("bAbsage"), QStringLiteral("Absage"), QString(), {0, 4, 68, 25});
    m_bAbsage->setFace(QColor(113, 8, 8));
    m_bAbsage->setHoverTextColour(Qt::yellow);
    m_bAbsage->setFont(arial(12));
    for (CommandButton* b : {m_bTimer, m_bSTART, m_bSTOP})
        b->setActsOnPress(true);
    // TIMER and STOPP are reached by F4 and F9 only; START is also confirmed from the keyboard.
    m_bTimer->setKeyboardActivation(false);
    m_bSTOP->setKeyboardActivation(false);
    m_bSTART->setReturnActivates(true);

    const QFont lf = arial(12);
    const QFont ff = arial(16);
    const int lx = 96, fx = 160;
    label(p, QStringLiteral("LabStNr"), QStringLiteral("StNr:"), lf, {lx, 10, 62, 22});
    m_cbStNr = new QComboBox(p);
    m_cbStNr->setObjectName(QStringLiteral("cbStNr"));
    m_cbStNr->setEditable(true);
    m_cbStNr->setInsertPolicy(QComboBox::NoInsert);
    m_cbStNr->setMaxVisibleItems(10);
    m_cbStNr->setFont(ff);
    m_cbStNr->setGeometry(fx, 6, 58, 28);
    m_cbStNr->lineEdit()->installEventFilter(this);
    m_cbStNr->setValidator(new DigitsValidator(m_cbStNr));
    m_cbStNr->setFocusPolicy(Qt::StrongFocus);
    m_cbStNr->installEventFilter(this);
    m_sb1m = new QToolButton(p);
    m_sb1m->setObjectName(QStringLiteral("sb1m"));
    m_sb1m->setArrowType(Qt::LeftArrow);
    m_sb1m->setGeometry(fx + 59, 7, 20, 26);
    m_labelBase = label(p, QStringLiteral("LabelBase"), QStringLiteral("0 von 0"), arial(10, false),
                        {fx + 79, 7, 42, 26});
    m_labelBase->setAlignment(Qt::AlignCenter);
    m_sb1p = new QToolButton(p);
    m_sb1p->setObjectName(QStringLiteral("sb1p"));
    m_sb1p->setArrowType(Qt::RightArrow);
    m_sb1p->setGeometry(fx + 121, 7, 20, 26);
    m_sb1m->setEnabled(false);
    m_sb1p->setEnabled(false);

    const auto field = [&](const QString& name, const QString& caption, const QString& labelName, int y) {
        label(p, labelName, caption, lf, {lx, y + 3, 62, 22});
        auto* e = new QLineEdit(p);
        e->setObjectName(name);
        e->setFont(ff);
        e->setGeometry(fx, y, 180, 28);
        return e;
    };
    m_reiter = field(QStringLiteral("Reiter"), QStringLiteral("Fahrer:"), QStringLiteral("LabFahrer"), 38);
    m_eName2 =
        field(QStringLiteral("eName2"), QStringLiteral("Beifaher:"), QStringLiteral("LabBeifahrer"), 68);
    m_eMarke = field(QStringLiteral("eMarke"), QStringLiteral("Marke:"), QStringLiteral("LabMarke"), 98);
    label(p, QStringLiteral("LabBaujahr"), QStringLiteral("Baujahr:"), lf, {lx, 131, 62, 22});
    m_eGOD = new QComboBox(p);
    m_eGOD->setObjectName(QStringLiteral("eGOD"));
    m_eGOD->setFont(ff);
    m_eGOD->setGeometry(fx, 128, 80, 28);
    m_eGOD->setFocusPolicy(Qt::StrongFocus);
    m_eGOD->installEventFilter(this);

    label(p, QStringLiteral("LabPunkte1"), QStringLiteral("Geschicklichkeitspunkte:"), lf, {4, 166, 200, 22});
    m_ePunkte1 = new QLineEdit(QStringLiteral("0"), p);
    m_ePunkte1->setObjectName(QStringLiteral("ePunkte1"));
    m_ePunkte1->setFont(ff);
    m_ePunkte1->setGeometry(200, 163, 80, 28);
    m_ePunkte1->installEventFilter(this);
    m_ePunkte1->setValidator(new DigitsValidator(m_ePunkte1));
    label(p, QStringLiteral("LabPunkte2"), QStringLiteral("Zeitstrafpunkte:"), lf, {4, 199, 200, 22});
    m_ePunkte2 = new QLineEdit(QStringLiteral("0"), p);
    m_ePunkte2->setObjectName(QStringLiteral("ePunkte2"));
    m_ePunkte2->setFont(ff);
    m_ePunkte2->setGeometry(200, 196, 80, 28);
    m_ePunkte2->setReadOnly(true);
    m_ePunkte2->installEventFilter(this);

    auto* lsLabel =
        label(p, QStringLiteral("LabLSKontakt"), QStringLiteral("LS-Kontakt:"), lf, {280, 166, 90, 22});
    lsLabel->hide();
    auto* reserve = new QComboBox(p);
    reserve->setObjectName(QStringLiteral("cbRezervLS"));
    reserve->setGeometry(280, 190, 90, 24);
    reserve->setEnabled(false);
    reserve->hide();
}

void TFormMain::buildBottomPart(QWidget* p)
{
    m_panel4 = panel(p, QStringLiteral("Panel4"));
    const struct {
        const char* name;
        const char* hint;
    } tools[] = {{"sbLoad", "Txt Protokoll öffnen"}, {"sbSave", "Protokoll speichern als.."},
                 {"sbWord", "Datei in MS Word"},     {"sbExcel", "Datei in MS Excel"},
                 {"sbHTML", "Als Webseite"},         {"sbPrint", "Protokoll drucken"},
                 {"sbCLS", "Protokoll  löschen"},    {"bMon2", "TV-Modus Zeit (Alt+2)"},
                 {"bMon3", "TV-Modus Top10 (Alt+1)"}};
    int x = 2;
    for (const auto& t : tools) {
        speedButton(m_panel4, QString::fromLatin1(t.name), QString::fromUtf8(t.hint), {x, 2, 36, 38});
        x += 38;
    }
    control<QToolButton>(QStringLiteral("bMon3"))->hide();
    m_bEINTRAGEN = commandButton(m_panel4, QStringLiteral("bEINTRAGEN"), QStringLiteral("EINTRAGEN"),
                                 QStringLiteral("[F10]"), {x + 4, 5, 141, 32});
    m_bEINTRAGEN->setActsOnPress(true);
    m_bEINTRAGEN->setReturnActivates(true);
    m_bRESET = commandButton(m_panel4, QStringLiteral("bRESET"), QStringLiteral("NÄCHSTER"),
                             QStringLiteral("[Alt+N]"), {x + 149, 5, 124, 32});
    m_bRESET->setReturnActivates(true);
    m_gridArea = panel(p, QStringLiteral("GridArea"));
}

void TFormMain::buildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    const int widths[3] = {50, 200, 0};
    const QString texts[3] = {QString(), QStringLiteral("Ruvanta-Werk Software"),
                              QStringLiteral("Zeitmessung für Geschicklichkeitsfahren")};
    for (int i = 0; i < 3; ++i) {
        // The third panel shows notices such as long paths: cut in the middle, never widening.
        QLabel* l = i == 2 ? new ElidedLabel(bar) : new QLabel(texts[i], bar);
        l->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (widths[i] > 0) {
            l->setFixedWidth(widths[i]);
            l->setAlignment(Qt::AlignCenter);
            bar->addWidget(l);
        } else {
            bar->addWidget(l, 1);
        }
        m_statusPanels[size_t(i)] = l;
    }
    static_cast<ElidedLabel*>(m_statusPanels[2])->setFullText(texts[2]);
    m_notices = std::make_unique<StatusNotices>(texts[2]);
    m_noticeClock.start();
    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setSingleShot(true);
    connect(m_noticeTimer, &QTimer::timeout, this, [this] { showStatusNotices(); });
}

void TFormMain::setStatusNotice(const QString& key, const QString& text)
{
    m_notices->setLasting(key, text);
    showStatusNotices();
}

void TFormMain::showPassingNotice(const QString& text, int durationMs)
{
    m_notices->showPassing(text, m_noticeClock.elapsed(), durationMs);
    showStatusNotices();
}

QString TFormMain::statusNoticeText() const
{
    return m_notices->text(m_noticeClock.elapsed());
}

void TFormMain::showStatusNotices()
{
    const qint64 now = m_noticeClock.elapsed();
    const QString t = m_notices->text(now);
    static_cast<ElidedLabel*>(m_statusPanels[2])->setFullText(t);
    const qint64 next = m_notices->msUntilChange(now);
    if (next >= 0)
        m_noticeTimer->start(int(qMin<qint64>(next + 1, 600000)));
    else
        m_noticeTimer->stop();
}

QAction* TFormMain::addMenuAction(QMenu* menu, const QString& name, const QString& caption,
                                  const QKeySequence& key)
{
    auto* a = new QAction(caption, this);
    a->setObjectName(name);
    if (!key.isEmpty())
        a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
    menu->addAction(a);
    // Added to the window too, so the shortcut fires while the menu bar is hidden.
    addAction(a);
    m_actions.insert(name, a);
    return a;
}

void TFormMain::buildMenu()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* hide = bar->addMenu(QStringLiteral("HideMenu"));
    hide->setObjectName(QStringLiteral("HideMenu1"));
    addMenuAction(hide, QStringLiteral("LockLS2"), QStringLiteral("Lock START2"), {});
    addMenuAction(hide, QStringLiteral("mTimer"), QStringLiteral("&Timer"), Qt::Key_F4);
    addMenuAction(hide, QStringLiteral("mStart"), QStringLiteral("&Start"), Qt::Key_F5);
    addMenuAction(hide, QStringLiteral("LockLS1"), QStringLiteral("Lock START"), Qt::Key_F11);
    addMenuAction(hide, QStringLiteral("LockLS3"), QStringLiteral("Lock STOP"), Qt::Key_F12);
    addMenuAction(hide, QStringLiteral("mStop"), QStringLiteral("Sto&pp"), Qt::Key_F9)->setEnabled(false);
    addMenuAction(hide, QStringLiteral("mEintragen"), QStringLiteral("Eintragen"), Qt::Key_F10)
        ->setEnabled(false);
    addMenuAction(hide, QStringLiteral("mReset"), QStringLiteral("Reset"), QKeySequence(Qt::ALT | Qt::Key_N))
        ->setEnabled(false);
    QAction* sep = hide->addSeparator();
    sep->setObjectName(QStringLiteral("N2"));
    addMenuAction(hide, QStringLiteral("Hilfe1"), QStringLiteral("H&ilfe"), Qt::Key_F1);
    addMenuAction(hide, QStringLiteral("EinstellunGen1"), QStringLiteral("&Einstellungen"), Qt::Key_F2);
    addMenuAction(hide, QStringLiteral("Info1"), QStringLiteral("Info"), Qt::Key_F3);
    addMenuAction(hide, QStringLiteral("Punkte1"), QStringLiteral("Punkte"),
                  QKeySequence(Qt::ALT | Qt::Key_P));
    addMenuAction(hide, QStringLiteral("Drucker1"), QStringLiteral("&Drucker"),
                  QKeySequence(Qt::ALT | Qt::Key_D));
    addMenuAction(hide, QStringLiteral("Beenden1"), QStringLiteral("&Beenden"),
                  QKeySequence(Qt::ALT | Qt::Key_B));
    addMenuAction(hide, QStringLiteral("Monitor11"), QStringLiteral("Monitor2"),
                  QKeySequence(Qt::ALT | Qt::Key_2));
    addMenuAction(hide, QStringLiteral("Monitor31"), QStringLiteral("Monitor3"),
                  QKeySequence(Qt::ALT | Qt::Key_1));
    addMenuAction(hide, QStringLiteral("Monitor30"), QStringLiteral("No Monitor2"),
                  QKeySequence(Qt::ALT | Qt::Key_0));
    // A held key fires its command once: the repeats must not end phase 2 a few
    // milliseconds after phase 1, enter or skip a competitor, or toggle a barrier's
    // arming back and forth. Only Alt+P, one more skill point, repeats.
    for (QAction* a : std::as_const(m_actions))
        a->setAutoRepeat(a->objectName() == QLatin1String("Punkte1"));
    bar->hide();
}

void TFormMain::layoutRegions()
{
    QWidget* c = centralWidget();
    const int w = c->width();
    const int h = c->height();
    m_panel1->setGeometry(0, 0, w, 38);
    m_panel2->setGeometry(0, 38, w, 235);
    m_panel3->setGeometry(0, 273, w, qMax(0, h - 273));
    m_panelLeft->setGeometry(0, 0, 432, 235);
    m_panel5->setGeometry(432, 0, qMax(0, w - 432), 235);
    m_bAbsage->move(qMax(0, m_panel5->width() - 68 - 4), 4);
    m_panel4->setGeometry(0, 0, w, 42);
    m_gridArea->setGeometry(0, 42, w, qMax(0, m_panel3->height() - 42));

    // The top bar: date panel at the far right, the barrier indicators before it.
    m_panelDate->setGeometry(w - 222 - 2, 2, 222, 34);
    int x = w - 222 - 8;
    for (const char* name : {"ImageLS3", "ImageLS2", "ImageLS1"}) {
        if (QWidget* ind = findChild<QWidget*>(QString::fromLatin1(name))) {
            if (!ind->isHidden()) {
                x -= 29;
                ind->move(x, 5);
            }
        }
    }
    if (auto* ls = findChild<QLabel*>(QStringLiteral("LabLS")))
        ls->move(x - 36, 9);
}
