#pragma once

#include "settings/settings_store.h"

#include <QGroupBox>
#include <QHostAddress>

#include <functional>

class QCheckBox;
class QLabel;
class QSpinBox;

// The settings dialog's group "Live-Ergebnisse im Netz": switch, port, "nur dieser PC", the
// addresses the pages will have and a QR code of the first one for a phone to scan.
class CfgLiveGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit CfgLiveGroup(QWidget* parent = nullptr);

    void fill(const LiveSettings& settings);
    LiveSettings values() const;

    // What the program says of its server (running, or why not), asked when the group is shown.
    void setStatusProvider(std::function<QString()> provider) { m_status = std::move(provider); }
    // The PC's LAN addresses; replaced by tests.
    void setAddressProvider(std::function<QList<QHostAddress>()> provider);

    QStringList shownUrls() const { return m_urls; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void updateAddresses();

    std::function<QString()> m_status;
    std::function<QList<QHostAddress>()> m_addresses;
    QStringList m_urls;
    int m_fillPort = 8080; // a port outside the field's range (0 in tests) is kept as it was
    QCheckBox* m_cbOn = nullptr;
    QSpinBox* m_sePort = nullptr;
    QCheckBox* m_cbLocal = nullptr;
    QLabel* m_labUrls = nullptr;
    QLabel* m_labQr = nullptr;
    QLabel* m_labStatus = nullptr;
};
