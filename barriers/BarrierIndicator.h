#pragma once

#include <QImage>
#include <QWidget>

// The light-barrier indicator of the top bar: a 27 x 27 clickable picture. Index
// 4 * (barrier - 1) + state selects one of twelve pictures (state 0 closed: dark grey with a
// white digit; 1 disarmed: red; 2 armed: green with a white digit; 3 lost: amber, struck
// through).
class BarrierIndicator : public QWidget {
    Q_OBJECT
public:
    static constexpr int PictureSize = 27;
    static constexpr int PictureCount = 12;

    explicit BarrierIndicator(QWidget* parent = nullptr);

    int index() const { return m_index; }
    void setIndex(int index);
    QSize sizeHint() const override { return {PictureSize, PictureSize}; }

    // The picture of one index, drawn on the background colour 0xECE9D8.
    static QImage picture(int index);

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int m_index = 0;
    bool m_pressed = false;
};
