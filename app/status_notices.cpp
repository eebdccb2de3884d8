#include "app/status_notices.h"

StatusNotices::StatusNotices(QString idleText) : m_idle(std::move(idleText)) {}

void StatusNotices::setLasting(const QString& key, const QString& text)
{
    for (int i = 0; i < m_lasting.size(); ++i) {
        if (m_lasting[i].key == key) {
            if (text.isEmpty())
                m_lasting.remove(i);
            else
                m_lasting[i].text = text;
            return;
        }
    }
    if (!text.isEmpty())
        m_lasting.append({key, text});
}

QString StatusNotices::lasting(const QString& key) const
{
    for (const Lasting& l : m_lasting)
        if (l.key == key)
            return l.text;
    return QString();
}

void StatusNotices::showPassing(const QString& text, qint64 nowMs, qint64 durationMs)
{
    m_passing = text;
    m_passingUntil = nowMs + qMax<qint64>(0, durationMs);
}

QString StatusNotices::text(qint64 nowMs) const
{
    if (!m_passing.isEmpty() && nowMs < m_passingUntil)
        return m_passing;
    if (m_lasting.isEmpty())
        return m_idle;
    QStringList parts;
    for (const Lasting& l : m_lasting)
        parts << l.text;
    return parts.join(QStringLiteral("  ·  "));
}

qint64 StatusNotices::msUntilChange(qint64 nowMs) const
{
    if (!m_passing.isEmpty() && nowMs < m_passingUntil)
        return m_passingUntil - nowMs;
    return -1;
}
