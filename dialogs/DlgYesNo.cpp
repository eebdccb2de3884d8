#include "dialogs/DlgYesNo.h"

#include "dialogs/dialog_placement.h"
#include "widgets/pictures.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int clientWidth = 320;
constexpr int clientHeight = 118;
constexpr int buttonWidth = 80;
constexpr int buttonHeight = 25;
} // namespace

TFDlgYesNo::TFDlgYesNo(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("FDlgYesNo"));
    setWindowTitle(QGuiApplication::applicationDisplayName());
    setFixedSize(clientWidth, clientHeight);
    setSizeGripEnabled(false);
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(13);
    setFont(f);

    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("Icon"));
    m_icon->setGeometry(14, 18, 32, 32);
    m_icon->setPixmap(Pictures::picture(Picture::Question, devicePixelRatioF()));

    // About three lines of text, centred both ways.
    m_label1 = new QLabel(QStringLiteral("?"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(58, 10, clientWidth - 58 - 14, 58);
    m_label1->setAlignment(Qt::AlignCenter);
    m_label1->setWordWrap(true);
    m_label1->setTextFormat(Qt::PlainText);

    const int buttonTop = clientHeight - buttonHeight - 14;
    m_ok = new QPushButton(QStringLiteral("Ja"), this);
    m_ok->setObjectName(QStringLiteral("OKBtn"));
    m_ok->setGeometry(clientWidth / 2 - buttonWidth - 6, buttonTop, buttonWidth, buttonHeight);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Nein"), this);
    m_cancel->setObjectName(QStringLiteral("CancelBtn"));
    m_cancel->setGeometry(clientWidth / 2 + 6, buttonTop, buttonWidth, buttonHeight);

    connect(m_ok, &QPushButton::clicked, this, [this] { done(ResultYes); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { done(ResultCancel); });
}

bool TFDlgYesNo::ask(const QString& question)
{
    m_label1->setText(question);
    Q_EMIT questionAsked(question);
    if (!m_nextAnswers.isEmpty()) {
        const bool yes = m_nextAnswers.takeFirst();
        setResult(yes ? ResultYes : ResultCancel);
        return yes;
    }
    return exec() == ResultYes;
}

void TFDlgYesNo::setNextAnswers(const QList<bool>& answers)
{
    m_nextAnswers = answers;
}

QString TFDlgYesNo::question() const
{
    return m_label1->text();
}

// Escape and the close box give the same answer as "Nein".
void TFDlgYesNo::reject()
{
    done(ResultCancel);
}

void TFDlgYesNo::showEvent(QShowEvent* event)
{
    centreOnParent(this);
    QDialog::showEvent(event);
    m_ok->setFocus();
}
