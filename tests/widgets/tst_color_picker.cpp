#include "widgets/ColorPicker.h"

#include <QtTest>

class TestColorPicker : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void entries()
    {
        ColorPicker p;
        QCOMPARE(p.count(), 17);
        for (int i = 0; i < ColorPicker::basicCount; ++i)
            QVERIFY(p.itemText(i).isEmpty());
        QCOMPARE(p.itemText(ColorPicker::otherIndex), QStringLiteral("Other..."));
        QCOMPARE(ColorPicker::basicColour(0), rgb(0, 0, 0));
        QCOMPARE(ColorPicker::basicColour(1), rgb(128, 0, 0));
        QCOMPARE(ColorPicker::basicColour(8), rgb(192, 192, 192));
        QCOMPARE(ColorPicker::basicColour(13), rgb(255, 0, 255));
        QCOMPARE(ColorPicker::basicColour(15), rgb(255, 255, 255));
    }

    void setColour_data()
    {
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<int>("index");
        QTest::newRow("black is basic") << quint32(0) << 0;
        QTest::newRow("yellow C2 default is basic") << quint32(65535) << 11;
        QTest::newRow("lime C3 default is basic") << quint32(65280) << 10;
        QTest::newRow("dark grey C1 default goes to Other") << quint32(4210752) << 16;
        QTest::newRow("bits above 24 are ignored") << quint32(0xFF0000FF) << 9;
    }
    void setColour()
    {
        QFETCH(quint32, colour);
        QFETCH(int, index);
        ColorPicker p;
        p.setColour(rgb(1, 2, 3)); // start from another free colour
        p.setColour(colour);
        QCOMPARE(p.currentIndex(), index);
        QCOMPARE(p.colour(), colour & 0xFFFFFF);
    }

    void otherAsksForAColour_data()
    {
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<int>("asked");
        QTest::addColumn<quint32>("result");
        QTest::newRow("confirmed stores the colour") << true << true << 1 << quint32(rgb(10, 20, 30));
        QTest::newRow("cancelled keeps the old free colour") << true << false << 1 << quint32(rgb(1, 2, 3));
        QTest::newRow("hidden picker never asks") << false << true << 0 << quint32(rgb(1, 2, 3));
    }
    void otherAsksForAColour()
    {
        QFETCH(bool, visible);
        QFETCH(bool, confirmed);
        QFETCH(int, asked);
        QFETCH(quint32, result);
        ColorPicker p;
        p.setColour(rgb(1, 2, 3));
        int calls = 0;
        QColor initial;
        p.setColourDialog([&](const QColor& start, QWidget*) -> std::optional<QColor> {
            ++calls;
            initial = start;
            if (!confirmed)
                return std::nullopt;
            return QColor(10, 20, 30);
        });
        if (visible)
            p.show();
        QSignalSpy changed(&p, &ColorPicker::colourChanged);
        p.setCurrentIndex(ColorPicker::otherIndex);
        Q_EMIT p.activated(ColorPicker::otherIndex); // the user's choice
        QCOMPARE(calls, asked);
        if (asked)
            QCOMPARE(initial, QColor(1, 2, 3));
        QCOMPARE(p.colour(), result);
        QCOMPARE(changed.size(), confirmed && visible ? 1 : 0);
    }

    void programChoiceNeverAsks()
    {
        ColorPicker p;
        p.show();
        int calls = 0;
        p.setColourDialog([&](const QColor&, QWidget*) -> std::optional<QColor> {
            ++calls;
            return QColor(1, 1, 1);
        });
        p.setColour(rgb(7, 7, 7));
        p.setCurrentIndex(ColorPicker::otherIndex);
        QCOMPARE(calls, 0);
    }
};

QTEST_MAIN(TestColorPicker)
#include "tst_color_picker.moc"
