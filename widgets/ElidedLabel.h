#pragma once

#include <QLabel>

// A one-line label that shows as much of its text as fits, cutting in the middle, so a
// long path keeps its file name visible. Its size hint never grows with the text, so a
// long path cannot widen the window. The whole text is its tool tip.
class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    void setFullText(const QString& text);
    QString fullText() const { return m_full; }
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showFitted();
    QString m_full;
};
