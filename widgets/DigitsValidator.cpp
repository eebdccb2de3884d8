#include "widgets/DigitsValidator.h"

DigitsValidator::DigitsValidator(QObject* parent, const QString& extra) : QValidator(parent), m_extra(extra)
{
}

QValidator::State DigitsValidator::validate(QString& input, int& pos) const
{
    input = keepTypable(input, m_extra, &pos);
    return Acceptable;
}

QString DigitsValidator::keepTypable(const QString& text, const QString& extra, int* cursor)
{
    QString kept;
    kept.reserve(text.size());
    int newCursor = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || extra.contains(c)) {
            kept.append(c);
            if (cursor && i < *cursor)
                ++newCursor;
        }
    }
    if (cursor)
        *cursor = newCursor;
    return kept;
}
