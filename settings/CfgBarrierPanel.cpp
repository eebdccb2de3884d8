#include "settings/CfgBarrierPanel.h"

#include "barriers/barrier_diagnostics.h"
#include "barriers/serial_device.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>

LineLamp::LineLamp(QWidget* parent) : QWidget(parent)
{
    setFixedSize(sizeHint());
    setLevel(Unknown);
}

void LineLamp::setLevel(int level)
{
    m_level = qBound(int(Unknown), level, int(Active));
    setToolTip(m_level == Active     ? QStringLiteral("aktiv")
               : m_level == Inactive ? QStringLiteral("inaktiv")
                                     : QStringLiteral("nicht lesbar"));
    update();
}

void LineLamp::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    switch (m_level) {
    case Active:
        p.setPen(QPen(QColor(0x0A, 0x64, 0x14), 1.2));
        p.setBrush(QColor(0x2E, 0xE0, 0x48));
        break;
    case Inactive:
        p.setPen(QPen(QColor(0x20, 0x30, 0x20), 1.2));
        p.setBrush(QColor(0x3C, 0x50, 0x3C));
        break;
    default:
        p.setPen(QPen(QColor(0x9A, 0x9A, 0x9A), 1.2, Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        break;
    }
    p.drawEllipse(r);
}

CfgBarrierPanel::CfgBarrierPanel(QWidget* parent) : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);

    // The lamps name the pins the contact is wired between, as the port entries do.
    auto* lamps = new QHBoxLayout;
    const char* names[3] = {"LampCTS", "LampDSR", "LampDCD"};
    const char* captions[3] = {"CTS /7,8", "DSR /4,6", "DCD /1,4"};
    for (int i = 0; i < 3; ++i) {
        m_lamps[i] = new LineLamp(this);
        m_lamps[i]->setObjectName(QLatin1String(names[i]));
        auto* caption = new QLabel(QLatin1String(captions[i]), this);
        lamps->addWidget(m_lamps[i]);
        lamps->addWidget(caption);
        lamps->addSpacing(12);
    }
    lamps->addStretch(1);
    auto* labLines = new QLabel(QStringLiteral("Leitungen:"), this);
    grid->addWidget(labLines, 0, 0);
    grid->addLayout(lamps, 0, 1);

    m_log = new QListWidget(this);
    m_log->setObjectName(QStringLiteral("lbSignale"));
    m_log->setSelectionMode(QAbstractItemView::NoSelection);
    m_log->setFocusPolicy(Qt::NoFocus);
    m_log->setFixedHeight(m_log->fontMetrics().height() * 6 + 8);
    m_log->setMinimumWidth(m_log->fontMetrics().horizontalAdvance(
                               QStringLiteral("23:59.59,99  Tick 4294967295  LS Stopp: ohne Wirkung")) +
                           24);
    auto* labLog = new QLabel(QStringLiteral("Signale:"), this);
    labLog->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grid->addWidget(labLog, 1, 0);
    grid->addWidget(m_log, 1, 1);

    m_access = new QLabel(this);
    m_access->setObjectName(QStringLiteral("LabSerialAccess"));
    m_access->setWordWrap(true);
    m_access->setTextInteractionFlags(Qt::TextSelectableByMouse); // the command can be copied
    QPalette pal = m_access->palette();
    pal.setColor(QPalette::WindowText, QColor(0xA0, 0x10, 0x08));
    m_access->setPalette(pal);
    m_access->hide();
    grid->addWidget(m_access, 2, 0, 1, 2);
    grid->setColumnStretch(1, 1);
}

void CfgBarrierPanel::setFeed(BarrierDiagnostics* feed)
{
    if (m_feed)
        disconnect(m_feed, nullptr, this, nullptr);
    m_feed = feed;
    if (feed) {
        connect(feed, &BarrierDiagnostics::linesChanged, this, &CfgBarrierPanel::showLines);
        connect(feed, &BarrierDiagnostics::signalLogChanged, this, &CfgBarrierPanel::showLog);
        connect(feed, &BarrierDiagnostics::accessNoteChanged, this, &CfgBarrierPanel::showAccessNote);
    }
    refresh();
}

void CfgBarrierPanel::refresh()
{
    showLines(m_feed && m_feed->linesKnown(), m_feed ? m_feed->lines() : 0);
    showLog();
    showAccessNote();
}

void CfgBarrierPanel::showLines(bool known, quint32 status)
{
    const quint32 bits[3] = {ModemLine::Cts, ModemLine::Dsr, ModemLine::Rlsd};
    for (int i = 0; i < 3; ++i)
        m_lamps[i]->setLevel(!known               ? LineLamp::Unknown
                             : (status & bits[i]) ? LineLamp::Active
                                                  : LineLamp::Inactive);
}

void CfgBarrierPanel::showLog()
{
    const QStringList entries = m_feed ? m_feed->signalLog() : QStringList();
    m_log->clear();
    m_log->addItems(entries);
    m_log->scrollToBottom();
}

void CfgBarrierPanel::showAccessNote()
{
    const QString note = m_feed ? m_feed->accessNote() : QString();
    m_access->setText(note);
    m_access->setVisible(!note.isEmpty());
}
