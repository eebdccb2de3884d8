#include "settings/CfgLive.h"

#include "live/live_urls.h"
#include "widgets/qr_image.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QSpinBox>

CfgLiveGroup::CfgLiveGroup(QWidget* parent)
    : QGroupBox(QStringLiteral(" Live-Ergebnisse im Netz "), parent), m_addresses(&liveLanAddresses)
{
    setObjectName(QStringLiteral("gbLive"));
    m_cbOn = new QCheckBox(QStringLiteral("Einschalten"), this);
    m_cbOn->setObjectName(QStringLiteral("cbLive"));
    m_cbOn->setToolTip(QStringLiteral("Ergebnisse, Top 10 und Uhr im Browser jedes Geräts im selben Netz"));
    m_sePort = new QSpinBox(this);
    m_sePort->setObjectName(QStringLiteral("seLivePort"));
    m_sePort->setRange(1, 65535);
    m_sePort->setValue(8080);
    auto* labPort = new QLabel(QStringLiteral("Port:"), this);
    labPort->setBuddy(m_sePort);
    m_cbLocal = new QCheckBox(QStringLiteral("nur dieser PC"), this);
    m_cbLocal->setObjectName(QStringLiteral("cbLiveLocal"));
    m_cbLocal->setToolTip(QStringLiteral("Die Seiten nur auf diesem PC zeigen, nicht im Netz"));
    m_labUrls = new QLabel(this);
    m_labUrls->setObjectName(QStringLiteral("LabLiveUrls"));
    m_labUrls->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_labStatus = new QLabel(this);
    m_labStatus->setObjectName(QStringLiteral("LabLiveStatus"));
    m_labStatus->setWordWrap(true);
    m_labQr = new QLabel(this);
    m_labQr->setObjectName(QStringLiteral("LabLiveQr"));
    m_labQr->setAlignment(Qt::AlignCenter);

    auto* grid = new QGridLayout(this);
    grid->addWidget(m_cbOn, 0, 0);
    grid->addWidget(labPort, 0, 1);
    grid->addWidget(m_sePort, 0, 2);
    grid->addWidget(m_cbLocal, 0, 3);
    grid->addWidget(m_labUrls, 1, 0, 1, 4);
    grid->addWidget(m_labStatus, 2, 0, 1, 4);
    grid->addWidget(m_labQr, 0, 4, 4, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(3, 1);

    connect(m_sePort, &QSpinBox::valueChanged, this, &CfgLiveGroup::updateAddresses);
    connect(m_cbLocal, &QCheckBox::toggled, this, &CfgLiveGroup::updateAddresses);
    updateAddresses();
}

void CfgLiveGroup::setAddressProvider(std::function<QList<QHostAddress>()> provider)
{
    m_addresses = std::move(provider);
    updateAddresses();
}

void CfgLiveGroup::fill(const LiveSettings& s)
{
    m_fillPort = s.port;
    const QSignalBlocker block(m_sePort);
    m_cbOn->setChecked(s.enabled);
    m_sePort->setValue(s.port >= 1 && s.port <= 65535 ? s.port : 8080);
    m_cbLocal->setChecked(s.localOnly);
    updateAddresses();
}

LiveSettings CfgLiveGroup::values() const
{
    LiveSettings s;
    s.enabled = m_cbOn->isChecked();
    const bool portKept = (m_fillPort < 1 || m_fillPort > 65535) && m_sePort->value() == 8080;
    s.port = portKept ? m_fillPort : m_sePort->value();
    s.localOnly = m_cbLocal->isChecked();
    return s;
}

void CfgLiveGroup::showEvent(QShowEvent* event)
{
    if (m_status)
        m_labStatus->setText(m_status());
    updateAddresses();
    QGroupBox::showEvent(event);
}

void CfgLiveGroup::updateAddresses()
{
    const bool local = m_cbLocal->isChecked();
    m_urls = liveUrls(quint16(m_sePort->value()), local,
                      local || !m_addresses ? QList<QHostAddress>() : m_addresses());
    m_labUrls->setText(m_urls.join(QLatin1Char('\n')));
    const QImage qr = qrImage(m_urls.value(0), 3);
    m_labQr->setPixmap(QPixmap::fromImage(qr));
    m_labQr->setToolTip(m_urls.value(0));
}
