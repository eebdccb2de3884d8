#include "main_window_rig.h"

#include "results/SortGrid.h"
#include "results/results_table.h"
#include "widgets/CommandButton.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

// One run by keys: phase one and phase two times in milliseconds, then EINTRAGEN and NÄCHSTER.
void enterRun(TFormMain& w, MainRig& rig, const QString& stNr, const QString& driver, int p1, int p2)
{
    if (!stNr.isEmpty()) {
        auto* cb = w.control<QComboBox>(QStringLiteral("cbStNr"));
        cb->setEditText(stNr);
        w.control<QLineEdit>(QStringLiteral("Reiter"))->setText(driver);
    }
    QTest::keyClick(&w, Qt::Key_F5);
    rig.ticks.advance(quint32(p1));
    QTest::keyClick(&w, Qt::Key_F9);
    rig.ticks.advance(quint32(p2));
    QTest::keyClick(&w, Qt::Key_F9);
    QTest::keyClick(&w, Qt::Key_F10);
}

QStringList column(TFormMain& w, int col)
{
    QStringList c;
    for (int r = 1; r < w.resultsTable().rowCount(); ++r)
        c.append(w.resultsTable().cell(col, r));
    return c;
}

void clickHeader(TFormMain& w, int col, Qt::MouseButton button)
{
    QHeaderView* h = w.sortGrid()->horizontalHeader();
    const QPoint centre(h->sectionViewportPosition(col) + h->sectionSize(col) / 2, h->height() / 2);
    QTest::mouseClick(h->viewport(), button, Qt::NoModifier, centre);
}

} // namespace

class TestMainResults : public QObject {
    Q_OBJECT
    QTemporaryDir m_settingsDir;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_settingsDir.isValid());
        isolateSettings(m_settingsDir);
    }
    void init() { clearStoredSettings(); }

    void enteredRunIsRankedAndSelected()
    {
        MainRig rig;
        auto w = rig.make();
        enterRun(*w, rig, QStringLiteral("7"), QStringLiteral("Anna"), 40000, 3000);
        ResultsTable& t = w->resultsTable();
        const int r = t.findRow(ResultsTable::StNr, QStringLiteral("7"));
        QVERIFY(r > 0);
        QCOMPARE(t.cell(ResultsTable::Fahrer, r), QStringLiteral("Anna"));
        QCOMPARE(t.cell(ResultsTable::Platz, r), QStringLiteral("1"));
        QCOMPARE(t.currentRow(), r);
        QVERIFY(w->control<QToolButton>(QStringLiteral("sbSave"))->isEnabled());
    }

    void headerClicksSort_data()
    {
        QTest::addColumn<QList<int>>("buttons");
        QTest::addColumn<QStringList>("drivers");
        const QStringList up = {QStringLiteral("Anna"), QStringLiteral("Bert"), QStringLiteral("Carl")};
        const QStringList down = {QStringLiteral("Carl"), QStringLiteral("Bert"), QStringLiteral("Anna")};
        QTest::newRow("left click sorts ascending") << QList<int>{int(Qt::LeftButton)} << up;
        QTest::newRow("second click reverses")
            << QList<int>{int(Qt::LeftButton), int(Qt::LeftButton)} << down;
        QTest::newRow("right click sorts descending") << QList<int>{int(Qt::RightButton)} << down;
    }
    void headerClicksSort()
    {
        QFETCH(QList<int>, buttons);
        QFETCH(QStringList, drivers);
        MainRig rig;
        auto w = rig.make();
        enterRun(*w, rig, QStringLiteral("2"), QStringLiteral("Bert"), 30000, 3000);
        QTest::keyClick(w.get(), Qt::Key_N, Qt::AltModifier);
        enterRun(*w, rig, QStringLiteral("3"), QStringLiteral("Carl"), 50000, 3000);
        QTest::keyClick(w.get(), Qt::Key_N, Qt::AltModifier);
        enterRun(*w, rig, QStringLiteral("1"), QStringLiteral("Anna"), 40000, 3000);
        for (int b : buttons)
            clickHeader(*w, ResultsTable::Fahrer, Qt::MouseButton(b));
        QCOMPARE(column(*w, ResultsTable::Fahrer), drivers);
    }

    void startListNavigation_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("nextClicks");
        QTest::addColumn<QString>("position");
        QTest::addColumn<bool>("backEnabled");
        QTest::addColumn<bool>("forwardEnabled");
        QTest::addColumn<QString>("driver");
        const QStringList three = {QStringLiteral("11\tAnna\tOtto\tLanz\t1950"),
                                   QStringLiteral("12\tBert\tPaul\tFendt\t1960"),
                                   QStringLiteral("13\tCarl\tQuirin\tDeutz\t1970")};
        QTest::newRow("single entry")
            << QStringList{three.first()} << 0 << "1 von 1" << false << false << "Anna";
        QTest::newRow("first of three") << three << 0 << "1 von 3" << false << true << "Anna";
        QTest::newRow("second of three") << three << 1 << "2 von 3" << true << true << "Bert";
        QTest::newRow("last of three") << three << 2 << "3 von 3" << true << false << "Carl";
        QTest::newRow("beyond the last") << three << 3 << "3 von 3" << true << false << "Carl";
    }
    void startListNavigation()
    {
        QFETCH(QStringList, entries);
        QFETCH(int, nextClicks);
        QFETCH(QString, position);
        QFETCH(bool, backEnabled);
        QFETCH(bool, forwardEnabled);
        QFETCH(QString, driver);
        MainRig rig;
        auto w = rig.make();
        w->setStartList(entries);
        auto* next = w->control<QToolButton>(QStringLiteral("sb1p"));
        for (int i = 0; i < nextClicks; ++i)
            QTest::mouseClick(next, Qt::LeftButton);
        QCOMPARE(w->control<QLabel>(QStringLiteral("LabelBase"))->text(), position);
        QCOMPARE(w->control<QToolButton>(QStringLiteral("sb1m"))->isEnabled(), backEnabled);
        QCOMPARE(next->isEnabled(), forwardEnabled);
        QCOMPARE(w->control<QLineEdit>(QStringLiteral("Reiter"))->text(), driver);
    }

    void naechsterMovesToTheNextEntry()
    {
        MainRig rig;
        auto w = rig.make();
        w->setStartList(
            {QStringLiteral("11\tAnna\tOtto\tLanz\t1950"), QStringLiteral("12\tBert\tPaul\tFendt\t1960")});
        enterRun(*w, rig, QString(), QString(), 40000, 3000);
        QCOMPARE(w->resultsTable().cell(ResultsTable::Fahrer, 1), QStringLiteral("Anna"));
        QTest::keyClick(w.get(), Qt::Key_N, Qt::AltModifier);
        QCOMPARE(w->control<QLabel>(QStringLiteral("LabelBase"))->text(), QStringLiteral("2 von 2"));
        QCOMPARE(w->control<QLineEdit>(QStringLiteral("Reiter"))->text(), QStringLiteral("Bert"));
        QCOMPARE(w->control<QLineEdit>(QStringLiteral("eName2"))->text(), QStringLiteral("Paul"));
        QCOMPARE(w->control<QLineEdit>(QStringLiteral("eMarke"))->text(), QStringLiteral("Fendt"));
    }

    void naechsterOnTheLastEntryLeavesTheFieldsEmpty()
    {
        MainRig rig;
        auto w = rig.make();
        w->setStartList({QStringLiteral("11\tAnna\tOtto\tLanz\t1950")});
        enterRun(*w, rig, QString(), QString(), 40000, 3000);
        QTest::keyClick(w.get(), Qt::Key_N, Qt::AltModifier);
        QCOMPARE(w->startNumberText(), QString());
        for (const char* name : {"Reiter", "eName2", "eMarke"})
            QVERIFY2(w->control<QLineEdit>(QString::fromLatin1(name))->text().isEmpty(), name);
        // A run entered now does not replace Anna's row.
        enterRun(*w, rig, QString(), QString(), 41000, 3000);
        QCOMPARE(w->resultsTable().cell(ResultsTable::Fahrer, w->resultsTable().findRow(ResultsTable::StNr,
                                                                                          QStringLiteral("11"))),
                 QStringLiteral("Anna"));
    }

    void absageEntersZeroTimes()
    {
        MainRig rig;
        auto w = rig.make();
        w->control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QStringLiteral("4"));
        QTest::mouseClick(w->control<CommandButton>(QStringLiteral("bAbsage")), Qt::LeftButton);
        ResultsTable& t = w->resultsTable();
        const int r = t.findRow(ResultsTable::StNr, QStringLiteral("4"));
        QVERIFY(r > 0);
        QCOMPARE(t.cell(ResultsTable::Zeit1, r), QStringLiteral("0,00"));
        QCOMPARE(t.cell(ResultsTable::Zeit2, r), QStringLiteral("0,00"));
    }

    void eliminierenMarksTheSelectedRow()
    {
        MainRig rig;
        auto w = rig.make();
        enterRun(*w, rig, QStringLiteral("5"), QStringLiteral("Anna"), 40000, 3000);
        const int r = w->resultsTable().findRow(ResultsTable::StNr, QStringLiteral("5"));
        w->resultsTable().setCurrentRow(r);
        QAction* el = w->sortGrid()->action("Eliminieren1");
        QVERIFY(el);
        QCOMPARE(el->text(), QStringLiteral("Eliminieren"));
        el->trigger();
        const QStringList row =
            w->resultsTable().row(w->resultsTable().findRow(ResultsTable::StNr, QStringLiteral("5")));
        QVERIFY2(row.contains(QStringLiteral("EL")), qPrintable(row.join(QLatin1Char('|'))));
    }

    void doubleClickWithoutStartListDoesNothing()
    {
        MainRig rig;
        auto w = rig.make();
        enterRun(*w, rig, QStringLiteral("5"), QStringLiteral("Anna"), 40000, 3000);
        QTest::keyClick(w.get(), Qt::Key_N, Qt::AltModifier);
        auto* cb = w->control<QComboBox>(QStringLiteral("cbStNr"));
        auto* reiter = w->control<QLineEdit>(QStringLiteral("Reiter"));
        const QString stNr = cb->currentText();
        QTableView* grid = w->sortGrid();
        const QRect cell = grid->visualRect(grid->model()->index(1, ResultsTable::Fahrer));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
        QCOMPARE(cb->currentText(), stNr);
        QCOMPARE(reiter->text(), QString());
    }
};

QTEST_MAIN(TestMainResults)
#include "tst_main_results.moc"
