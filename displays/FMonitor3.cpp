#include "displays/FMonitor3.h"

#include "displays/TopTenGrid.h"
#include "displays/cell_fit.h"
#include "displays/monitor_layout.h"
#include "displays/qt_colour.h"
#include "displays/top_ten.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>

using namespace displaycolour;

namespace {

QFont arial(int points, bool italic = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setBold(true);
    f.setItalic(italic);
    f.setPointSize(qMax(1, points));
    return f;
}

// The maker's word mark, designed at 124 x 25 and drawn centred, scaled to fit.
class Logo : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        constexpr double designW = 124.0;
        constexpr double designH = 25.0;
        const double scale = qMin(width() / designW, height() / designH);
        if (scale <= 0)
            return;
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate((width() - designW * scale) / 2, (height() - designH * scale) / 2);
        p.scale(scale, scale);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 0, 0));
        p.drawRoundedRect(QRectF(0, 1, 23, 23), 4, 4);
        p.setBrush(QColor(0, 150, 0));
        p.drawEllipse(QRectF(5, 6, 13, 13));
        QFont f(QStringLiteral("Arial"));
        f.setBold(true);
        f.setItalic(true);
        f.setPixelSize(20);
        p.setFont(f);
        const QString first = QStringLiteral("Ruv");
        const qreal firstWidth = QFontMetricsF(f).horizontalAdvance(first);
        p.setPen(QColor(200, 0, 0));
        p.drawText(QPointF(28, 20), first);
        p.setPen(QColor(0, 150, 0));
        p.drawText(QPointF(28 + firstWidth, 20), QStringLiteral("anta"));
    }
};

} // namespace

TFormMonitor3::TFormMonitor3(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("FormMonitor3"));
    setCursor(Qt::BlankCursor);
    setBackground(this, rgb(128, 0, 0));
    setTextColour(this, rgb(255, 255, 255));

    m_title = new QLabel(m_titleText, this);
    m_title->setObjectName(QStringLiteral("LabelTitle"));
    m_title->setAlignment(Qt::AlignCenter);
    setBackground(m_title, rgb(64, 64, 64));
    setTextColour(m_title, rgb(255, 255, 255));

    m_panelDate = new QLabel(QStringLiteral("Top 10  "), this);
    m_panelDate->setObjectName(QStringLiteral("PanelDate"));
    m_panelDate->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setBackground(m_panelDate, rgb(255, 255, 255));
    setTextColour(m_panelDate, rgb(0, 0, 0));
    m_logo = new Logo(m_panelDate);
    m_logo->setObjectName(QStringLiteral("Image1"));

    m_grid = new TopTenGrid(this);
    m_grid->setObjectName(QStringLiteral("SortGrid1"));
    m_grid->setEnabled(false);
    m_grid->setLines(topTenLines({}));

    if (QScreen* screen = QGuiApplication::primaryScreen())
        place(screen->geometry());
}

void TFormMonitor3::place(const QRect& screenGeometry)
{
    setGeometry(screenGeometry);
    layoutTopTenWindow();
}

void TFormMonitor3::layoutTopTenWindow()
{
    const auto L = layoutTopTen(width(), height());
    setFont(arial(L.windowFontPt));
    m_titleFontPt = L.titleFontPt;
    m_title->setGeometry(0, 0, width(), L.titleHeight);
    fitTitle();
    m_panelDate->setFont(arial(L.panelFontPt, true));
    m_panelDate->setGeometry(0, height() - L.panelHeight, width(), L.panelHeight);
    m_logo->setGeometry(0, L.pictureTop, L.pictureWidth, L.pictureHeight);
    m_grid->setFont(arial(L.gridFontPt));
    m_grid->setGeometry(0, L.titleHeight, width(), L.gridHeight);
    m_grid->setRowHeight(L.rowHeight);
    m_grid->setColumnWidths(L.columnWidths);
}

void TFormMonitor3::fitTitle()
{
    // A long event title is drawn smaller, and cut only where half the size is still too wide.
    const TextMeasure measure = [this](const QString& text, int size) {
        return QFontMetricsF(arial(size), m_title).horizontalAdvance(text);
    };
    const CellFit fit =
        fitCellText(m_titleText, m_title->width() - 2 * TopTenGrid::textInset, m_titleFontPt, measure);
    m_title->setFont(arial(fit.size));
    m_title->setText(fit.text);
}

void TFormMonitor3::RefreshTopTen(const QString& title, const QVector<QStringList>& tableRows)
{
    m_titleText = title;
    fitTitle();
    m_grid->setLines(topTenLines(tableRows));
}

void TFormMonitor3::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutTopTenWindow();
}

void TFormMonitor3::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}
