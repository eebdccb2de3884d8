#pragma once

#include <QStringList>
#include <QVector>
#include <QWidget>

class QLabel;
class TopTenGrid;

// Spectators' top ten: the event title, the first ten rows of the results
// table in large type, and a bottom strip with the logo and "Top 10".
class TFormMonitor3 : public QWidget {
    Q_OBJECT
public:
    explicit TFormMonitor3(QWidget* parent = nullptr);

    // Cover the given screen area and lay the window out for it.
    void place(const QRect& screenGeometry);
    // title: the event title; tableRows: the results table including its
    // header row 0, eleven cells a row.
    void RefreshTopTen(const QString& title, const QVector<QStringList>& tableRows);

    TopTenGrid* grid() const { return m_grid; }
    // The event title as refreshed (the title strip may show it smaller or cut).
    QString titleText() const { return m_titleText; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void layoutTopTenWindow();
    void fitTitle();

    QLabel* m_title = nullptr;
    QLabel* m_panelDate = nullptr;
    QWidget* m_logo = nullptr;
    TopTenGrid* m_grid = nullptr;
    QString m_titleText = QStringLiteral("???");
    int m_titleFontPt = 1;
};
