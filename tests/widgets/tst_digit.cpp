#include "displays/Udigit.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>

namespace {

// Counts paints, to tell synchronous repaints from none.
class CountingDigit : public TDigit {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* e) override
    {
        ++paints;
        TDigit::paintEvent(e);
    }
};

QRgb pixel(TDigit& d, int x, int y)
{
    return d.grab().toImage().pixel(x, y);
}

} // namespace

class TstDigit : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void defaults();
    void defaultLook();
    void overflow_data();
    void overflow();
    void sameValueKeepsDarkPattern();
    void allSegmentsLit();
    void thicknessRejected();
    void setterRepaintsOnlyOnChange();
};

void TstDigit::defaults()
{
    TDigit d;
    QCOMPARE(d.size(), QSize(16, 32));
    QCOMPARE(d.value(), 0);
    QCOMPARE(int(d.valueBinary()), 125);
    QCOMPARE(d.colorOn(), rgb(255, 255, 0));
    QCOMPARE(d.colorOff(), rgb(0, 0, 0));
    QCOMPARE(d.color(), rgb(0, 0, 0));
    QCOMPARE(d.thickness(), 2);
    QCOMPARE(d.separation(), 1);
    QVERIFY(d.testAttribute(Qt::WA_OpaquePaintEvent));
}

void TstDigit::defaultLook()
{
    TDigit d;
    const QImage img = d.grab().toImage();
    // Inside the top bar (lit for 0), the middle bar (dark for 0), and the background corner.
    QCOMPARE(QColor(img.pixel(8, 2)), QColor(255, 255, 0));
    QCOMPARE(QColor(img.pixel(8, 15)), QColor(0, 0, 0));
    QCOMPARE(QColor(img.pixel(0, 0)), QColor(0, 0, 0));
    // Left bar of a 0 is lit, 4 pixels wide.
    QCOMPARE(QColor(img.pixel(2, 9)), QColor(255, 255, 0));
}

void TstDigit::overflow_data()
{
    QTest::addColumn<int>("bad");
    QTest::addRow("ten") << 10;
    QTest::addRow("minus one") << -1;
}

void TstDigit::overflow()
{
    QFETCH(int, bad);
    TDigit d;
    d.setValue(7);
    QSignalSpy spy(&d, &TDigit::OnOverflow);
    d.setValue(bad);
    QCOMPARE(d.value(), 0);
    QCOMPARE(int(d.valueBinary()), 125);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<TDigit*>(), &d);
    // Again while it shows 0: raised again.
    d.setValue(bad);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(d.value(), 0);
}

void TstDigit::sameValueKeepsDarkPattern()
{
    TDigit d;
    d.setValue(3);
    d.setValueBinary(0);
    d.setValue(3);
    QCOMPARE(int(d.valueBinary()), 0);
    QCOMPARE(d.value(), 3);
    d.setValue(4);
    QCOMPARE(int(d.valueBinary()), 90);
}

void TstDigit::allSegmentsLit()
{
    TDigit d;
    d.resize(54, 89);
    d.setThickness(5);
    d.setValueBinary(255);
    const QColor yellow(255, 255, 0);
    QCOMPARE(QColor(pixel(d, 26, 44)), yellow); // middle bar
    QCOMPARE(QColor(pixel(d, 51, 86)), yellow); // corner mark
    d.setValueBinary(127);
    QCOMPARE(QColor(pixel(d, 51, 86)), QColor(0, 0, 0));
}

void TstDigit::thicknessRejected()
{
    TDigit d;
    d.setThickness(9);
    QCOMPARE(d.thickness(), 2);
    d.resize(18, 32);
    d.setThickness(9);
    QCOMPARE(d.thickness(), 9);
}

void TstDigit::setterRepaintsOnlyOnChange()
{
    QWidget top;
    top.resize(100, 100);
    auto* d = new CountingDigit;
    d->setParent(&top);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    d->paints = 0;
    d->setValue(0);
    d->setColorOn(rgb(255, 255, 0));
    d->setColorOff(rgb(0, 0, 0));
    d->setValueBinary(125);
    QCOMPARE(d->paints, 0);
    d->setValue(5);
    QCOMPARE(d->paints, 1); // painted before the setter returned
    d->setColorOn(rgb(0, 255, 0));
    QCOMPARE(d->paints, 2);
    d->setColor(rgb(10, 10, 10));
    QCOMPARE(d->paints, 3);
    // Geometry setters only ask for a paint later.
    d->setSeparation(2);
    d->setThickness(3);
    QCOMPARE(d->paints, 3);
    QTRY_VERIFY(d->paints > 3);
}

QTEST_MAIN(TstDigit)
#include "tst_digit.moc"
