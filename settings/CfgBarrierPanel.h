#pragma once

#include <QWidget>

class BarrierDiagnostics;
class QLabel;
class QListWidget;

// One status line as a lamp: lit green while active, dark while inactive, hollow grey while the
// line cannot be read.
class LineLamp : public QWidget {
    Q_OBJECT
public:
    enum Level { Unknown = -1, Inactive = 0, Active = 1 };
    explicit LineLamp(QWidget* parent = nullptr);
    int level() const { return m_level; }
    void setLevel(int level);
    QSize sizeHint() const override { return {16, 16}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_level = Unknown;
};

// The settings dialog's live view of the barriers, below the port choice: lamps for CTS, DSR
// and DCD of the chosen port, the log of the last signals, and the access notice while the user
// may not open serial devices.
class CfgBarrierPanel : public QWidget {
    Q_OBJECT
public:
    explicit CfgBarrierPanel(QWidget* parent = nullptr);

    void setFeed(BarrierDiagnostics* feed);
    // Shows what the feed holds now (lines, log, notice).
    void refresh();

private:
    void showLines(bool known, quint32 status);
    void showLog();
    void showAccessNote();

    BarrierDiagnostics* m_feed = nullptr;
    LineLamp* m_lamps[3] = {};
    QListWidget* m_log = nullptr;
    QLabel* m_access = nullptr;
};
