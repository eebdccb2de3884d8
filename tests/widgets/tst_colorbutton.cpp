#include "widgets/ColorButton.h"

#include <QSignalSpy>
#include <QtTest>

class TestColorButton : public QObject {
    Q_OBJECT

    static QColor centreColour(QWidget& w)
    {
        const QImage img = w.grab().toImage();
        // A point left of the centre, away from the caption.
        return QColor(img.pixel(6, img.height() / 2));
    }

private Q_SLOTS:
    void faceColourIsDrawn_data()
    {
        QTest::addColumn<QColor>("face");
        QTest::newRow("green START") << QColor(0, 128, 0);
        QTest::newRow("red STOPP") << QColor(255, 0, 0);
        QTest::newRow("yellow TIMER") << QColor(255, 255, 0);
        QTest::newRow("blue EINTRAGEN") << QColor(0, 128, 255);
    }
    void faceColourIsDrawn()
    {
        QFETCH(QColor, face);
        ColorButton b(QStringLiteral("START"));
        b.resize(88, 32);
        b.setFaceColor(face);
        const QColor seen = centreColour(b);
        // The face has a light gradient; the hue must be the face's.
        QVERIFY2(qAbs(seen.red() - face.red()) < 40 && qAbs(seen.green() - face.green()) < 40 &&
                     qAbs(seen.blue() - face.blue()) < 40,
                 qPrintable(seen.name()));
    }

    void resetReturnsToSystemFace()
    {
        ColorButton b(QStringLiteral("STOPP1"));
        b.resize(88, 32);
        b.setFaceColor(Qt::red);
        b.resetFaceColor();
        QVERIFY(!b.faceColor().isValid());
        const QColor seen = centreColour(b);
        QVERIFY2(!(seen.red() > 200 && seen.green() < 60), "still red");
    }

    void hoverTextColour_data()
    {
        QTest::addColumn<QColor>("hover");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("white text turns yellow under the pointer")
            << QColor(Qt::yellow) << true << QColor(Qt::yellow);
        QTest::newRow("no hover colour keeps the text colour") << QColor() << true << QColor(Qt::white);
        QTest::newRow("disabled button does not light up")
            << QColor(Qt::yellow) << false << QColor(Qt::white);
    }
    void hoverTextColour()
    {
        QFETCH(QColor, hover);
        QFETCH(bool, enabled);
        QFETCH(QColor, expected);
        ColorButton b(QStringLiteral("Absage"));
        b.setFaceColor(QColor(113, 8, 8));
        b.setTextColor(Qt::white);
        b.setHoverTextColor(hover);
        b.setEnabled(enabled);
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(&b, &enter);
        QCOMPARE(b.shownTextColor(), expected);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&b, &leave);
        QCOMPARE(b.shownTextColor(), QColor(Qt::white));
    }

    void mouseDownForEveryButton_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::newRow("left") << Qt::LeftButton;
        QTest::newRow("right") << Qt::RightButton;
        QTest::newRow("middle") << Qt::MiddleButton;
    }
    void mouseDownForEveryButton()
    {
        QFETCH(Qt::MouseButton, button);
        ColorButton b(QStringLiteral("START"));
        b.resize(88, 32);
        QSignalSpy down(&b, &ColorButton::mouseDown);
        QSignalSpy clicked(&b, &QPushButton::clicked);
        QTest::mousePress(&b, button, {}, QPoint(10, 10));
        QCOMPARE(down.count(), 1);
        QCOMPARE(down.at(0).at(0).value<Qt::MouseButton>(), button);
        QCOMPARE(clicked.count(), 0); // acted on press, before any release
        QTest::mouseRelease(&b, button, {}, QPoint(10, 10));
    }

    void commandDisablingItsButtonLeavesItUp()
    {
        ColorButton b(QStringLiteral("START"));
        b.resize(88, 32);
        connect(&b, &ColorButton::mouseDown, &b, [&b] { b.setEnabled(false); });
        QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(!b.isDown());
        QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(!b.isEnabled());
    }

    void screenshot()
    {
        const QString dir = qEnvironmentVariable("AK_SCREENSHOT_DIR");
        if (dir.isEmpty())
            QSKIP("AK_SCREENSHOT_DIR not set");
        QWidget w;
        w.resize(420, 50);
        const struct {
            const char* text;
            QColor face;
            QColor textColour;
        } rows[] = {{"TIMER", QColor(255, 255, 0), Qt::black},
                    {"START", QColor(0, 128, 0), Qt::white},
                    {"STOPP1", QColor(255, 0, 0), Qt::white},
                    {"Absage", QColor(113, 8, 8), Qt::white}};
        int x = 6;
        for (const auto& r : rows) {
            auto* b = new ColorButton(QString::fromLatin1(r.text), &w);
            b->setGeometry(x, 9, 88, 32);
            b->setFaceColor(r.face);
            b->setTextColor(r.textColour);
            QFont f = b->font();
            f.setBold(true);
            b->setFont(f);
            x += 100;
        }
        QVERIFY(w.grab().save(dir + QStringLiteral("/colorbutton.png")));
    }
};

QTEST_MAIN(TestColorButton)
#include "tst_colorbutton.moc"
