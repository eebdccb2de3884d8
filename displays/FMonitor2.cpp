#include "displays/FMonitor2.h"

#include "displays/Udigit.h"
#include "displays/qt_colour.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>

using namespace displaycolour;

namespace {

constexpr Rgb black = rgb(0, 0, 0);
constexpr Rgb dim = rgb(64, 64, 64);
constexpr Rgb yellow = rgb(255, 255, 0);
constexpr Rgb lime = rgb(0, 255, 0);
constexpr Rgb white = rgb(255, 255, 255);

QFont boldFont(const QString& family, int pixels)
{
    QFont f(family);
    f.setBold(true);
    f.setPixelSize(qMax(1, pixels));
    return f;
}

QWidget* blackPanel(QWidget* parent, const QString& name)
{
    auto* w = new QWidget(parent);
    w->setObjectName(name);
    setBackground(w, black);
    return w;
}

// Line box of the signs' face as fractions of its size, measured on the face the
// machine substitutes.
FontRatios colonFontRatios()
{
    constexpr int size = 1000;
    const QFontMetricsF fm(boldFont(QStringLiteral("Times New Roman"), size));
    FontRatios r;
    if (fm.ascent() > 0 && fm.descent() >= 0) {
        r.ascent = fm.ascent() / size;
        r.descent = fm.descent() / size;
    }
    return r;
}

} // namespace

TFormMonitor2::TFormMonitor2(const MainTimerGeometry& main, std::function<int()> monitorSetting,
                             QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_main(main),
      m_monitorSetting(std::move(monitorSetting)), m_colonFont(colonFontRatios())
{
    setObjectName(QStringLiteral("FormMonitor2"));
    setWindowTitle(QStringLiteral("Monitor 2"));
    setCursor(Qt::BlankCursor);
    setBackground(this, black);

    m_panel1 = blackPanel(this, QStringLiteral("Panel1"));
    m_panelTimer = blackPanel(m_panel1, QStringLiteral("PanelTimer"));
    m_panelTimer->resize(366, 276);

    m_panelTitle = new QLabel(QStringLiteral("* * *"), m_panelTimer);
    m_panelTitle->setObjectName(QStringLiteral("PanelTitle"));
    m_panelTitle->setAlignment(Qt::AlignCenter);
    m_panelTitle->setFont(boldFont(QStringLiteral("Arial"), 19));
    setBackground(m_panelTitle, black);
    setTextColour(m_panelTitle, white);

    m_panelLab1 = blackPanel(m_panelTimer, QStringLiteral("PanelLab1"));
    m_panelLab1->setFont(boldFont(QStringLiteral("Arial"), 19));
    m_label1 = new QLabel(QStringLiteral(" 1:"), m_panelLab1);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setTextColour(m_label1, lime);

    m_panelLab2 = blackPanel(m_panelTimer, QStringLiteral("PanelLab2"));
    m_panelLab2->setFont(boldFont(QStringLiteral("Arial"), 19));
    m_label2 = new QLabel(QStringLiteral("2:"), m_panelLab2);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setTextColour(m_label2, lime);

    for (int row = 1; row <= 2; ++row) {
        auto& digits = row == 1 ? m_row1 : m_row2;
        for (int i = 0; i < 6; ++i) {
            auto* d = new TDigit(m_panelTimer);
            d->setObjectName(QStringLiteral("Digit%1%2").arg(i + 3).arg(row == 2 ? "a" : ""));
            d->setGeometry(m_main.digits[i]);
            d->setThickness(5);
            d->setSeparation(1);
            d->setColorOn(i < 3 ? dim : yellow);
            digits[i] = d;
        }
    }
    m_labMin = makeColon(QStringLiteral("LabMin"), QStringLiteral(":"), dim, Qt::AlignHCenter | Qt::AlignTop);
    m_labSec = makeColon(QStringLiteral("LabSec"), QStringLiteral(","), yellow, Qt::AlignLeft | Qt::AlignTop);
    m_labMin2 =
        makeColon(QStringLiteral("LabMin2"), QStringLiteral(":"), dim, Qt::AlignHCenter | Qt::AlignTop);
    m_labSec2 =
        makeColon(QStringLiteral("LabSec2"), QStringLiteral(","), yellow, Qt::AlignLeft | Qt::AlignTop);

    PlaceTimeDisplay();
}

QLabel* TFormMonitor2::makeColon(const QString& name, const QString& text, Rgb colour, Qt::Alignment align)
{
    auto* l = new QLabel(text, m_panelTimer);
    l->setObjectName(name);
    l->setFont(boldFont(QStringLiteral("Times New Roman"), 64));
    l->setAlignment(align);
    l->setAttribute(Qt::WA_TranslucentBackground);
    setTextColour(l, colour);
    return l;
}

TDigit* TFormMonitor2::digit(int index, int row) const
{
    if (index < 3 || index > 8 || (row != 1 && row != 2))
        return nullptr;
    return (row == 1 ? m_row1 : m_row2)[index - 3];
}

void TFormMonitor2::setLabMinColour(Rgb c)
{
    setTextColour(m_labMin, c);
}

void TFormMonitor2::setLabSecColour(Rgb c)
{
    setTextColour(m_labSec, c);
}

void TFormMonitor2::PlaceTimeDisplay()
{
    const auto screens = QGuiApplication::screens();
    const int n = m_monitorSetting ? m_monitorSetting() : 0;
    QScreen* screen = (n >= 0 && n < screens.size()) ? screens.at(n) : QGuiApplication::primaryScreen();
    if (screen)
        PlaceTimeDisplay(screen->geometry());
}

void TFormMonitor2::PlaceTimeDisplay(const QRect& screenGeometry)
{
    setGeometry(screenGeometry);
    m_xs = timeDisplayScale(screenGeometry.width(), m_main);
    LayoutTimeDisplay();
}

void TFormMonitor2::LayoutTimeDisplay()
{
    m_panel1->setGeometry(rect());
    m_panelTimer->setGeometry(m_panel1->rect());
    const auto L = layoutTimeDisplay(m_main, width(), height(), m_xs, m_colonFont);

    m_panelLab1->setFont(boldFont(QStringLiteral("Arial"), L.labFontPx));
    m_panelLab2->setFont(boldFont(QStringLiteral("Arial"), L.labFontPx));
    m_panelTitle->setFont(boldFont(QStringLiteral("Arial"), L.titleFontPx));
    m_panelTitle->setGeometry(L.panelTitle);
    m_panelLab1->setGeometry(L.panelLab1);
    m_panelLab2->setGeometry(L.panelLab2);
    m_label1->setGeometry(0, 0, L.panelLab1.width() / 4, L.panelLab1.height());
    m_label2->setGeometry(0, 0, L.panelLab2.width() / 4, L.panelLab2.height());

    for (int row = 1; row <= 2; ++row) {
        const auto& digits = row == 1 ? m_row1 : m_row2;
        const auto& target = row == 1 ? L.row1 : L.row2;
        for (int i = 0; i < 6; ++i) {
            // The new thickness is checked against the scaled size before the row height applies.
            digits[i]->setGeometry(L.digitScaled[i]);
            digits[i]->setThickness(L.digitThickness[i]);
            digits[i]->setGeometry(target[i]);
        }
    }

    const QFont minFont = boldFont(QStringLiteral("Times New Roman"), L.labMinFontPx);
    const QFont secFont = boldFont(QStringLiteral("Times New Roman"), L.labSecFontPx);
    m_labMin->setFont(minFont);
    m_labMin2->setFont(minFont);
    m_labSec->setFont(secFont);
    m_labSec2->setFont(secFont);
    m_labMin->setGeometry(L.labMin);
    m_labSec->setGeometry(L.labSec);
    m_labMin2->setGeometry(L.labMin2);
    m_labSec2->setGeometry(L.labSec2);
    for (QLabel* l : {m_labMin, m_labSec, m_labMin2, m_labSec2})
        l->raise();

    setTextColour(m_label1, lime);
    setTextColour(m_label2, lime);
}

void TFormMonitor2::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayoutTimeDisplay();
}

void TFormMonitor2::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        PlaceTimeDisplay();
}

void TFormMonitor2::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_monitorSetting && m_monitorSetting() == 0) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}
