#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// What the status bar's third panel says. Two kinds of notice:
//  - lasting ones, each under a key ("barrier", "live", ...), shown until cleared
//    (a lost light barrier, a web server that could not start);
//  - passing ones (where a file went), shown until their deadline.
// A passing notice covers the lasting ones while it lasts; with neither, the
// panel shows its idle text. Times are ticks of the caller's clock (ms).
class StatusNotices {
public:
    explicit StatusNotices(QString idleText = QString());

    // Sets (or, with an empty text, clears) the lasting notice under a key.
    void setLasting(const QString& key, const QString& text);
    QString lasting(const QString& key) const;
    // Shows a passing notice from now for durationMs.
    void showPassing(const QString& text, qint64 nowMs, qint64 durationMs);

    // The text to show at that time; lasting notices joined in the order they were set.
    QString text(qint64 nowMs) const;
    // Ms until the shown text changes by itself (-1: it does not).
    qint64 msUntilChange(qint64 nowMs) const;

private:
    struct Lasting {
        QString key;
        QString text;
    };
    QString m_idle;
    QVector<Lasting> m_lasting;
    QString m_passing;
    qint64 m_passingUntil = 0;
};
