// The competitor entry: start list, fields, skill points.
#include "app/FMain.h"

#include "app/competitor_entry.h"
#include "widgets/DigitsValidator.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolButton>

namespace {

// Draws a start-list entry as its start number only.
class StartNumberDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const bool selected = opt.state & QStyle::State_Selected;
        painter->fillRect(opt.rect, selected ? opt.palette.highlight() : opt.palette.base());
        painter->setPen(selected ? opt.palette.highlightedText().color() : opt.palette.text().color());
        painter->setFont(opt.font);
        painter->drawText(opt.rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                          CompetitorEntry::startNumberOf(index.data().toString()));
    }
};

} // namespace

void TFormMain::setStartList(const QStringList& entries)
{
    m_startList = entries;
    m_cbStNr->clear();
    if (entries.isEmpty()) {
        m_cbStNr->setEditable(true);
        m_cbStNr->setInsertPolicy(QComboBox::NoInsert);
        m_cbStNr->lineEdit()->installEventFilter(this);
        // The typing field is new: it gets the digits-only rule again.
        m_cbStNr->setValidator(new DigitsValidator(m_cbStNr));
        m_cbStNr->setItemDelegate(new QStyledItemDelegate(m_cbStNr));
        showStartListPosition();
        return;
    }
    m_cbStNr->setEditable(false);
    m_cbStNr->setItemDelegate(new StartNumberDelegate(m_cbStNr));
    m_cbStNr->addItems(entries);
    m_cbStNr->setCurrentIndex(0);
    cbStNrChange();
}

QString TFormMain::startNumberText() const
{
    return m_cbStNr->currentText();
}

void TFormMain::cbStNrChange()
{
    const int n = m_cbStNr->isEditable() ? 0 : m_cbStNr->count();
    if (n == 0)
        return;
    showStartListPosition();
    fillFromSelectedEntry();
}

void TFormMain::showStartListPosition()
{
    const int n = m_cbStNr->isEditable() ? 0 : m_cbStNr->count();
    const CompetitorEntry::StartListPosition p =
        CompetitorEntry::startListPosition(m_cbStNr->currentIndex(), n);
    m_sb1m->setEnabled(p.back);
    m_sb1p->setEnabled(p.forward);
    m_labelBase->setText(p.label);
}

void TFormMain::sb1mClick(int step)
{
    if (m_cbStNr->isEditable())
        return;
    const int i = m_cbStNr->currentIndex() + step;
    if (i < 0 || i >= m_cbStNr->count())
        return;
    m_cbStNr->setCurrentIndex(i);
    cbStNrChange();
}

void TFormMain::fillFromSelectedEntry()
{
    if (m_cbStNr->isEditable() || m_cbStNr->currentIndex() < 0)
        return;
    // Also when an entry is chosen by a double click in the table: the arrows and the
    // position must agree with the entry shown, or NÄCHSTER would step from a stale one.
    showStartListPosition();
    const QStringList f = CompetitorEntry::entryFields(m_cbStNr->currentText());
    m_reiter->setText(f.value(1));
    m_eName2->setText(f.value(2));
    m_eMarke->setText(f.value(3));
    m_eGOD->setCurrentIndex(m_eGOD->findText(f.value(4), Qt::MatchExactly));
    selectCompetitorRow(f.value(0));
}

void TFormMain::Punkte1Click()
{
    m_ePunkte1->setText(CompetitorEntry::addOnePoint(m_ePunkte1->text()));
}
