#include "settings/Cfg.h"

#include "barriers/barrier_diagnostics.h"
#include "platform/data_paths.h"
#include "settings/CfgBarrierPanel.h"
#include "settings/CfgLive.h"
#include "widgets/ColorPicker.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

void PortComboBox::showPopup()
{
    if (m_beforePopup)
        m_beforePopup();
    QComboBox::showPopup();
}

namespace {

template <typename W> W* named(W* w, const char* name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

QDoubleSpinBox* decimalField(const char* name, double lowest, QWidget* parent)
{
    auto* s = named(new QDoubleSpinBox(parent), name);
    s->setDecimals(1);
    s->setSingleStep(0.1);
    s->setRange(lowest, 999.0);
    return s;
}

QComboBox* algorithmList(const char* name, QWidget* parent)
{
    auto* c = named(new QComboBox(parent), name);
    c->addItems({QStringLiteral("Ein"), QStringLiteral("Aus")});
    return c;
}

} // namespace

TCfgDialog::TCfgDialog(QWidget* parent, std::function<quint32()> probePorts,
                       std::function<QString(int port)> devicePath,
                       std::function<bool(const QString&)> askYesNo, std::function<bool()> resetSettings,
                       std::function<void(int)> setMonitor)
    : QDialog(parent), m_probePorts(std::move(probePorts)), m_devicePath(std::move(devicePath)),
      m_askYesNo(std::move(askYesNo)), m_resetSettings(std::move(resetSettings)),
      m_setMonitor(std::move(setMonitor))
{
    setObjectName(QStringLiteral("CfgDialog"));
    setWindowTitle(QStringLiteral("Einstellungen"));
    setModal(true);
    m_fileDialog = [](QWidget* p, const QString& startDir) {
        return QFileDialog::getOpenFileName(p, QString(), startDir, QStringLiteral("WAVE files (*.wav)"));
    };

    // Light barrier
    auto* gbLS = named(new QGroupBox(QStringLiteral(" Lichtschranke "), this), "gbLS");
    auto* lsGrid = new QGridLayout(gbLS);
    m_cbPort1 = named(new PortComboBox(gbLS), "cbPort1");
    m_cbPort2 = named(new PortComboBox(gbLS), "cbPort2");
    for (PortComboBox* c : {m_cbPort1, m_cbPort2}) {
        c->setMaxVisibleItems(10);
        c->setToolTip(QStringLiteral("(7+8) START, (1+4) STOPP"));
        c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        c->setBeforePopup([this] { cbPort1DropDown(); });
        connect(c, &QComboBox::currentIndexChanged, this, &TCfgDialog::cbPort1Change);
    }
    m_cbAlg1 = algorithmList("cbAlg1", gbLS);
    m_cbAlg2 = algorithmList("cbAlg2", gbLS);
    m_labDevice = named(new QLabel(gbLS), "LabPortDevice");
    m_labDevice->setMinimumWidth(
        m_labDevice->fontMetrics().horizontalAdvance(QStringLiteral("/dev/ttyUSB00")));
    auto* labPort1 = new QLabel(QStringLiteral("COM-port:"), gbLS);
    labPort1->setBuddy(m_cbPort1);
    lsGrid->addWidget(labPort1, 0, 0);
    lsGrid->addWidget(m_cbPort1, 0, 1);
    lsGrid->addWidget(m_labDevice, 0, 2);
    lsGrid->addWidget(new QLabel(QStringLiteral(" Algorithmus: "), gbLS), 0, 3);
    lsGrid->addWidget(m_cbAlg1, 0, 4);
    // The second row exists for the stop barrier but is not offered.
    auto* labPort2 = named(new QLabel(QStringLiteral("1.Runde:"), gbLS), "LabPort2");
    lsGrid->addWidget(labPort2, 1, 0);
    lsGrid->addWidget(m_cbPort2, 1, 1);
    lsGrid->addWidget(m_cbAlg2, 1, 4);
    for (QWidget* w :
         {static_cast<QWidget*>(labPort2), static_cast<QWidget*>(m_cbPort2), static_cast<QWidget*>(m_cbAlg2)})
        w->hide();
    m_cbLSautoFrei = named(new QCheckBox(QStringLiteral("Automatisch frei "), gbLS), "cbLSautoFrei");
    lsGrid->addWidget(m_cbLSautoFrei, 2, 0, 1, 5);
    m_barrierPanel = named(new CfgBarrierPanel(gbLS), "PanelBarrierLive");
    lsGrid->addWidget(m_barrierPanel, 3, 0, 1, 6);
    lsGrid->setColumnStretch(5, 1);

    // Spin fields and monitor on the left
    auto* fields = new QGridLayout;
    m_seTimer = named(new QSpinBox(this), "seTimer");
    m_seTimer->setRange(0, 9999);
    m_sePktSek = decimalField("sePktSek", 0.0, this);
    m_seSekInPachka = decimalField("seSekInPachka", 0.1, this);
    m_seELZ1 = named(new QSpinBox(this), "seELZ1");
    m_seELZ1->setRange(1, 999);
    const QList<QPair<QString, QWidget*>> rows = {{QStringLiteral("Timer:"), m_seTimer},
                                                  {QStringLiteral("Strafpunkte:"), m_sePktSek},
                                                  {QStringLiteral("Pro Sekunde(n):"), m_seSekInPachka},
                                                  {QStringLiteral("Abweichung (Sek.):"), m_seELZ1}};
    for (int r = 0; r < rows.size(); ++r) {
        auto* l = new QLabel(rows[r].first, this);
        l->setBuddy(rows[r].second);
        fields->addWidget(l, r, 0);
        fields->addWidget(rows[r].second, r, 1);
    }
    m_labMonitor = named(new QLabel(QStringLiteral("Multimonitor:"), this), "LabMonitor");
    m_cbMonitor = named(new QComboBox(this), "cbMonitor");
    m_cbMonitor->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(m_cbMonitor, &QComboBox::currentIndexChanged, this, &TCfgDialog::cbMonitorChange);
    fields->addWidget(m_labMonitor, rows.size(), 0);
    fields->addWidget(m_cbMonitor, rows.size(), 1);
    fields->setRowStretch(rows.size() + 1, 1);

    // Colours on the right, in the order of the display's parts
    auto* gbFarbe = named(new QGroupBox(QStringLiteral("Farben"), this), "gbFarbe");
    auto* colourGrid = new QGridLayout(gbFarbe);
    const struct {
        int index;
        const char* label;
    } colourRows[] = {{0, "Display:"}, {4, "Straf:"}, {2, "Timer:"}, {3, "Zeit:"}, {1, "Ziffern:"}};
    for (int r = 0; r < 5; ++r) {
        const int i = colourRows[r].index;
        m_colour[i] = new ColorPicker(gbFarbe);
        m_colour[i]->setObjectName(QStringLiteral("cbColor%1").arg(i));
        auto* l = new QLabel(QLatin1String(colourRows[r].label), gbFarbe);
        l->setObjectName(QStringLiteral("LabColor%1").arg(i));
        l->setBuddy(m_colour[i]);
        colourGrid->addWidget(l, r, 0);
        colourGrid->addWidget(m_colour[i], r, 1);
    }

    auto* middle = new QHBoxLayout;
    middle->addLayout(fields);
    middle->addWidget(gbFarbe);

    // Gong files
    auto* gbSound = named(new QGroupBox(QStringLiteral(" Gong "), this), "gbSound");
    auto* soundGrid = new QGridLayout(gbSound);
    const char* soundNames[3] = {"sSoundTimer", "sSoundHaltFort", "sSoundEliminieren"};
    const char* soundLabels[3] = {"Timer:", "Anhalten:", "Eliminieren:"};
    for (int tag = 0; tag < 3; ++tag) {
        m_sound[tag] = named(new QLineEdit(gbSound), soundNames[tag]);
        m_sound[tag]->setMinimumWidth(320);
        m_sound[tag]->installEventFilter(this);
        auto* button = new QPushButton(QStringLiteral("..."), gbSound);
        button->setObjectName(QLatin1String(soundNames[tag]) + QStringLiteral("Btn"));
        button->setAutoDefault(false);
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
        connect(button, &QPushButton::clicked, this, [this, tag] { SoundDblClick(tag); });
        auto* l = new QLabel(QLatin1String(soundLabels[tag]), gbSound);
        l->setBuddy(m_sound[tag]);
        soundGrid->addWidget(l, tag, 0);
        soundGrid->addWidget(m_sound[tag], tag, 1);
        soundGrid->addWidget(button, tag, 2);
    }

    // Buttons
    auto* bDefault =
        named(new QPushButton(QStringLiteral("Standard Einstellungen und neu starten"), this), "bDefault");
    QPalette red = bDefault->palette();
    red.setColor(QPalette::ButtonText, Qt::red);
    bDefault->setPalette(red);
    bDefault->setAutoDefault(false);
    connect(bDefault, &QPushButton::clicked, this, &TCfgDialog::bDefaultClick);
    auto* ok = named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = named(new QPushButton(QStringLiteral("Abbrechen"), this), "CancelBtn");
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(bDefault);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* main = new QVBoxLayout(this);
    main->addWidget(gbLS);
    main->addLayout(middle);
    main->addWidget(gbSound);
    m_live = new CfgLiveGroup(this);
    main->addWidget(m_live);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);

    buildPortLists(0);
}

void TCfgDialog::setBarrierFeed(BarrierDiagnostics* feed)
{
    m_barrierFeed = feed;
    m_barrierPanel->setFeed(feed);
}

void TCfgDialog::buildPortLists(quint32 availablePorts)
{
    std::function<QString(int)> note;
    if (m_barrierFeed)
        note = [feed = m_barrierFeed](int port) { return feed->portNote(port); };
    const QStringList entries = portEntries(availablePorts, note);
    for (PortComboBox* c : {m_cbPort1, m_cbPort2}) {
        const QString selected = c->currentText();
        const QSignalBlocker block(c);
        c->clear();
        c->addItems(entries);
        for (int i = 1; i < entries.size(); ++i) {
            quint8 port = 0;
            quint8 line = 0;
            if (!parsePortEntry(entries[i], &port, &line))
                continue;
            if (m_barrierFeed)
                c->setItemData(i, m_barrierFeed->deviceText(port), Qt::ToolTipRole);
            else if (m_devicePath)
                c->setItemData(i, m_devicePath(port), Qt::ToolTipRole);
        }
        const int keep = entries.indexOf(selected);
        c->setCurrentIndex(keep > 0 ? keep : 0);
    }
    cbPort1Change();
}

void TCfgDialog::fill(const AppSettings& s, quint32 availablePorts)
{
    buildPortLists(availablePorts);
    for (int i = 0; i < 5; ++i)
        m_colour[i]->setColour(s.c[i]);
    QStringList entries;
    for (int i = 0; i < m_cbPort1->count(); ++i)
        entries << m_cbPort1->itemText(i);
    {
        const QSignalBlocker b1(m_cbPort1);
        const QSignalBlocker b2(m_cbPort2);
        m_cbPort1->setCurrentIndex(portEntryFor(s.port[0], s.line[0], entries));
        m_cbPort2->setCurrentIndex(portEntryFor(s.port[1], s.line[1], entries));
    }
    cbPort1Change();
    m_cbAlg1->setCurrentIndex(qBound(-1, int(s.alg[0]), 1));
    m_cbAlg2->setCurrentIndex(qBound(-1, int(s.alg[1]), 1));
    m_seTimer->setValue(s.timer);
    m_sePktSek->setValue(s.pktSek / 1000.0);
    m_seSekInPachka->setValue(s.sekPachka / 1000.0);
    m_cbLSautoFrei->setChecked(s.autoFrei);
    m_seELZ1->setValue(s.elz1);
    m_sound[0]->setText(s.sound0);
    m_sound[1]->setText(s.sound1);
    m_sound[2]->setText(s.sound2);
    m_monitor = s.monitor;
    m_live->fill(s.live);
}

DialogValues TCfgDialog::values() const
{
    DialogValues v;
    v.portEntryIndex = m_cbPort1->currentIndex();
    v.portEntryText = m_cbPort1->currentText();
    if (m_barrierFeed && chosenPort() != 0)
        v.adapterId = m_barrierFeed->adapterId(chosenPort());
    v.alg1 = qMax(0, m_cbAlg1->currentIndex());
    v.autoFrei = m_cbLSautoFrei->isChecked();
    v.timer = m_seTimer->value();
    v.pktSek = m_sePktSek->value();
    v.sekInPachka = m_seSekInPachka->value();
    v.elz1 = m_seELZ1->value();
    for (int i = 0; i < 5; ++i)
        v.colours[i] = m_colour[i]->colour();
    for (int i = 0; i < 3; ++i)
        v.sound[i] = m_sound[i]->text();
    v.live = m_live->values();
    return v;
}

void TCfgDialog::showEvent(QShowEvent* event)
{
    m_cbPort1->setEnabled(true);
    m_cbPort2->setEnabled(true);
    fillMonitors();
    m_barrierPanel->refresh();
    centreOnParent();
    QDialog::showEvent(event);
    if (m_barrierFeed)
        m_barrierFeed->watchLines(chosenPort());
}

void TCfgDialog::hideEvent(QHideEvent* event)
{
    // A port opened only for the lamps is closed before OK opens the barrier port.
    if (m_barrierFeed)
        m_barrierFeed->watchLines(0);
    QDialog::hideEvent(event);
}

void TCfgDialog::centreOnParent()
{
    QWidget* p = parentWidget();
    if (!p)
        return;
    adjustSize();
    const QRect outer = p->window()->frameGeometry();
    move(outer.center() - QPoint(width() / 2, height() / 2));
}

void TCfgDialog::fillMonitors()
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    const bool several = screens.size() > 1;
    const QSignalBlocker block(m_cbMonitor);
    m_cbMonitor->clear();
    m_cbMonitor->setEnabled(several);
    m_labMonitor->setEnabled(several);
    if (!several) {
        m_cbMonitor->addItem(QStringLiteral("Anfangswert"));
        m_cbMonitor->setCurrentIndex(0);
        return;
    }
    for (int i = 0; i < screens.size(); ++i) {
        const QRect g = screens[i]->geometry();
        m_cbMonitor->addItem(QStringLiteral("%1=(%2,%3)-(%4,%5)")
                                 .arg(i)
                                 .arg(g.left())
                                 .arg(g.top())
                                 .arg(g.width())
                                 .arg(g.height()));
    }
    m_cbMonitor->setCurrentIndex(m_monitor >= 0 && m_monitor < screens.size() ? m_monitor : -1);
}

bool TCfgDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int tag = 0; tag < 3; ++tag) {
            if (watched == m_sound[tag]) {
                SoundDblClick(tag);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

quint8 TCfgDialog::chosenPort() const
{
    quint8 port = 0;
    quint8 line = 0;
    if (m_cbPort1->currentIndex() <= 0 || !parsePortEntry(m_cbPort1->currentText(), &port, &line))
        return 0;
    return port;
}

void TCfgDialog::cbPort1Change()
{
    m_cbAlg1->setEnabled(m_cbPort1->currentIndex() > 0);
    m_cbAlg2->setEnabled(m_cbPort2->currentIndex() > 0);
    const quint8 port = chosenPort();
    QString device;
    if (port != 0)
        device = m_barrierFeed  ? m_barrierFeed->deviceText(port)
                 : m_devicePath ? m_devicePath(port)
                                : QString();
    m_labDevice->setText(device);
    // The lamps follow the chosen port while the dialog is shown.
    if (m_barrierFeed && isVisible())
        m_barrierFeed->watchLines(port);
}

void TCfgDialog::cbPort1DropDown()
{
    // Re-read the ports so that an adapter plugged in after start-up can be chosen.
    if (m_probePorts)
        buildPortLists(m_probePorts());
}

void TCfgDialog::cbMonitorChange(int index)
{
    if (index < 0 || !m_cbMonitor->isEnabled())
        return;
    m_monitor = index;
    if (m_setMonitor)
        m_setMonitor(index);
}

void TCfgDialog::SoundDblClick(int tag)
{
    if (tag < 0 || tag > 2 || !m_fileDialog)
        return;
    const QString file = m_fileDialog(this, DataPaths::dataFile(QStringLiteral("gongs")));
    if (!file.isEmpty())
        m_sound[tag]->setText(file);
}

void TCfgDialog::bDefaultClick()
{
    if (!m_askYesNo || !m_askYesNo(QStringLiteral("Möchten Sie Standard Einstellungen verwenden?")))
        return;
    // The reset ends the program; without stored settings nothing happens and the dialog stays.
    if (m_resetSettings && m_resetSettings())
        reject();
}
