#pragma once

#include <QValidator>

// Keeps a digits-only field to what typing could have produced: a pasted or
// dropped text loses every character but the digits 0-9 (and the extra ones
// given), instead of being refused as a whole or taken over unchecked.
class DigitsValidator : public QValidator {
    Q_OBJECT
public:
    explicit DigitsValidator(QObject* parent = nullptr, const QString& extra = QString());

    State validate(QString& input, int& pos) const override;

    // The kept characters of text; cursor (if given) stays behind the same kept character.
    static QString keepTypable(const QString& text, const QString& extra, int* cursor = nullptr);

private:
    QString m_extra;
};
