#pragma once

#include "app/race_clock.h"

#include <QHash>
#include <QPointer>

#include <array>

class QLabel;
class QWidget;
class TDigit;

// Binds the race clock's drawing to the digits and labels of the main window
// and, once it exists, of the time display window.
class MainClockDisplay final : public ClockDisplay {
public:
    void setDigit(Row row, int digit, TDigit* widget);
    void setLabel(Label label, QLabel* widget);
    void setPanel(QWidget* panel) { m_panel = panel; }
    void setMonitorPresent(bool present) { m_monitor = present; }
    TDigit* digit(Row row, int digit) const;

    void setDigitValue(Row row, int digit, int value) override;
    void setDigitColorOn(Row row, int digit, Rgb colour) override;
    void setDigitColorOff(Row row, int digit, Rgb colour) override;
    void setDigitBackground(Row row, int digit, Rgb colour) override;
    void setLabelColour(Label label, Rgb colour) override;
    void setPanelBackground(Rgb colour) override;
    bool monitorExists() const override { return m_monitor; }

private:
    std::array<std::array<QPointer<TDigit>, 9>, 3> m_digits{};
    QHash<int, QPointer<QLabel>> m_labels;
    QPointer<QWidget> m_panel;
    bool m_monitor = false;
};
