#pragma once

#include "displays/monitor_layout.h"
#include "platform/colour.h"

#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class TDigit;

// Full-screen time display for the spectators: the main window's first clock
// row at monitor size, plus a second row and captions that keep their
// initial look. The race clock feeds the digits through digit(), labMin() and
// labSec(); the window itself takes no input but Escape.
class TFormMonitor2 : public QWidget {
    Q_OBJECT
public:
    // main: the main window's first-row geometry that is copied at scale;
    // monitorSetting: the current "Monitor" setting (index of the screen).
    TFormMonitor2(const MainTimerGeometry& main, std::function<int()> monitorSetting,
                  QWidget* parent = nullptr);

    // Cover the given screen area, derive the scale from its width, lay out.
    void PlaceTimeDisplay(const QRect& screenGeometry);
    // The same on the screen chosen by the "Monitor" setting (the first
    // screen if the setting names none).
    void PlaceTimeDisplay();
    void LayoutTimeDisplay();

    // index 3..8 (tens of minutes .. hundredths), row 1 or 2; nullptr otherwise.
    TDigit* digit(int index, int row) const;
    QLabel* labMin() const { return m_labMin; }
    QLabel* labSec() const { return m_labSec; }
    void setLabMinColour(Rgb c);
    void setLabSecColour(Rgb c);

    double xs() const { return m_xs; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* makeColon(const QString& name, const QString& text, Rgb colour, Qt::Alignment align);

    MainTimerGeometry m_main;
    std::function<int()> m_monitorSetting;
    FontRatios m_colonFont;
    double m_xs = 1.0;
    QWidget* m_panel1 = nullptr;
    QWidget* m_panelTimer = nullptr;
    QLabel* m_panelTitle = nullptr;
    QWidget* m_panelLab1 = nullptr;
    QLabel* m_label1 = nullptr;
    QWidget* m_panelLab2 = nullptr;
    QLabel* m_label2 = nullptr;
    std::array<TDigit*, 6> m_row1{};
    std::array<TDigit*, 6> m_row2{};
    QLabel* m_labMin = nullptr;
    QLabel* m_labSec = nullptr;
    QLabel* m_labMin2 = nullptr;
    QLabel* m_labSec2 = nullptr;
};
