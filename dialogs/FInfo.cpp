#include "dialogs/FInfo.h"

#include "dialogs/dialog_placement.h"
#include "widgets/pictures.h"

#include <QApplication>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

namespace {
constexpr int clientWidth = 259;
constexpr int clientHeight = 340;

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& geometry)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    return label;
}
} // namespace

TFormInfo::TFormInfo(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormInfo"));
    setWindowTitle(QStringLiteral("Information"));
    setFixedSize(clientWidth, clientHeight);
    setSizeGripEnabled(false);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(pal);
    setAutoFillBackground(true);

    const QSize logo = Pictures::size(Picture::Logo);
    m_image1 =
        makeLabel(this, "Image1", QRect((clientWidth - logo.width()) / 2, 16, logo.width(), logo.height()));
    m_image1->setAttribute(Qt::WA_TranslucentBackground);
    m_image1->setPixmap(Pictures::picture(Picture::Logo, devicePixelRatioF()));

    // A sunken panel holds icon, name and version below the logo.
    auto* bevel = new QFrame(this);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bevel->setGeometry(9, 96, clientWidth - 18, 172);

    m_imageIcon = makeLabel(this, "ImageICON", QRect(24, 140, 32, 32));
    const QIcon appIcon = QApplication::windowIcon();
    m_imageIcon->setPixmap(appIcon.isNull() ? Pictures::picture(Picture::AppIcon, devicePixelRatioF())
                                            : appIcon.pixmap(QSize(32, 32), devicePixelRatioF()));

    m_label1 = makeLabel(this, "Label1", QRect(66, 138, 170, 36));
    QFont nameFont(QStringLiteral("Arial"));
    nameFont.setPixelSize(21);
    nameFont.setUnderline(true);
    m_label1->setFont(nameFont);
    QPalette namePal = m_label1->palette();
    namePal.setColor(QPalette::WindowText, QColor(128, 0, 0));
    m_label1->setPalette(namePal);
    m_label1->setText(QStringLiteral("Ackerklassik"));
    m_label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_labelVer = makeLabel(this, "LabelVer", QRect(16, 196, clientWidth - 32, 20));
    QFont verFont = font();
    verFont.setPixelSize(13);
    m_labelVer->setFont(verFont);
    m_labelVer->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_labelVer->setText(QStringLiteral("Version 0.90 (21.05.2007)"));

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("sOK"));
    QFont okFont = m_ok->font();
    okFont.setBold(true);
    m_ok->setFont(okFont);
    m_ok->setGeometry((clientWidth - 113) / 2, clientHeight - 28 - 16, 113, 28);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    // Escape closes the dialog through QDialog::reject.
}

void TFormInfo::showEvent(QShowEvent* event)
{
    centreOnParent(this);
    QDialog::showEvent(event);
    m_ok->setFocus();
}
