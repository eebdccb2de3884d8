#pragma once

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QPushButton;

// The yes/no question that guards destructive commands. Created once at start
// and reused; the question stays until the next caller sets a new one.
class TFDlgYesNo : public QDialog {
    Q_OBJECT
public:
    // Modal results, the numbers callers compare with.
    enum Answer { ResultYes = 6, ResultCancel = 2 };

    explicit TFDlgYesNo(QWidget* parent = nullptr);

    // Shows the question modally; true only when the operator answers "Ja".
    bool ask(const QString& question);

    // Test hook: the next calls of ask() take their answers from this queue,
    // in order, without showing the dialog. An empty queue means a person answers.
    void setNextAnswers(const QList<bool>& answers);
    int pendingAnswers() const { return int(m_nextAnswers.size()); }

    QString question() const;

public Q_SLOTS:
    void reject() override;

Q_SIGNALS:
    // Emitted by every ask(), before the answer is known.
    void questionAsked(const QString& question);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_icon = nullptr;
    QLabel* m_label1 = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QList<bool> m_nextAnswers;
};
