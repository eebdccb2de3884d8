#include "widgets/pictures.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSet>
#include <QtTest>

// Every picture is drawn in code; these checks catch a picture that draws
// nothing, at the wrong size, or identical to another one.
class TestPictures : public QObject {
    Q_OBJECT

    static int opaquePixels(const QImage& img)
    {
        int n = 0;
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                if (qAlpha(img.pixel(x, y)) > 128)
                    ++n;
            }
        }
        return n;
    }

private Q_SLOTS:
    void drawsAtDesignSize_data()
    {
        QTest::addColumn<Picture>("id");
        QTest::addColumn<QSize>("size");
        const auto list = Pictures::all();
        for (Picture id : list)
            QTest::newRow(qPrintable(Pictures::name(id))) << id << Pictures::size(id);
    }
    void drawsAtDesignSize()
    {
        QFETCH(Picture, id);
        QFETCH(QSize, size);
        const QPixmap pm = Pictures::picture(id);
        QCOMPARE(pm.size(), size);
        const QImage img = pm.toImage();
        // Something visible, and not merely a filled rectangle for the icons.
        QVERIFY2(opaquePixels(img) > size.width() * size.height() / 5, "picture is almost empty");
    }

    void sharpOnHighDensityScreens_data()
    {
        QTest::addColumn<Picture>("id");
        QTest::addColumn<qreal>("dpr");
        QTest::newRow("toolbar icon at 2x") << Picture::Save << 2.0;
        QTest::newRow("logo at 1.5x") << Picture::Logo << 1.5;
        QTest::newRow("flag at 2x") << Picture::FlagDE << 2.0;
        QTest::newRow("zero ratio falls back to 1x") << Picture::Help << 0.0;
    }
    void sharpOnHighDensityScreens()
    {
        QFETCH(Picture, id);
        QFETCH(qreal, dpr);
        const QPixmap pm = Pictures::picture(id, dpr);
        const qreal used = dpr > 0 ? dpr : 1;
        QCOMPARE(pm.size(), Pictures::size(id) * used);
        QCOMPARE(pm.deviceIndependentSize().toSize(), Pictures::size(id));
    }

    void picturesDifferFromEachOther()
    {
        // Two buttons must never show the same picture (a copy-paste slip in the dispatch).
        QSet<QByteArray> seen;
        const auto list = Pictures::all();
        for (Picture id : list) {
            const QImage img = Pictures::picture(id).toImage();
            const QByteArray bytes(reinterpret_cast<const char*>(img.constBits()), int(img.sizeInBytes()));
            QVERIFY2(!seen.contains(bytes), qPrintable(Pictures::name(id)));
            seen.insert(bytes);
        }
    }

    void flagBandsTopToBottom()
    {
        const QImage img = Pictures::picture(Picture::FlagDE).toImage();
        const int x = img.width() / 2;
        QCOMPARE(QColor(img.pixel(x, 4)), QColor(Qt::black));
        QCOMPARE(QColor(img.pixel(x, 12)), QColor(221, 0, 0));
        QCOMPARE(QColor(img.pixel(x, 20)), QColor(255, 206, 0));
    }

    void emptySizeGivesNullPixmap() { QVERIFY(Pictures::picture(Picture::Logo, QSize(0, 10)).isNull()); }

    void applicationIconHasUsualSizes()
    {
        const QIcon icon = Pictures::applicationIcon();
        QVERIFY(!icon.isNull());
        QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
        QVERIFY(icon.availableSizes().contains(QSize(256, 256)));
    }

    // With AK_SCREENSHOT_DIR set, writes a contact sheet of every picture there.
    void contactSheet()
    {
        const QString dir = qEnvironmentVariable("AK_SCREENSHOT_DIR");
        if (dir.isEmpty())
            QSKIP("AK_SCREENSHOT_DIR not set");
        // Flow layout: each picture at 1x, then at 2x shown twice as large, name below.
        const int width = 820;
        QImage sheet(width, 760, QImage::Format_ARGB32);
        sheet.fill(QColor(212, 208, 200));
        QPainter p(&sheet);
        QPoint at(8, 8);
        int lineHeight = 0;
        const auto list = Pictures::all();
        for (Picture id : list) {
            const QPixmap pm = Pictures::picture(id);
            QPixmap big = Pictures::picture(id, 2);
            big.setDevicePixelRatio(1);
            const int w = pm.width() + 6 + big.width() + 16;
            if (at.x() + w > width) {
                at = QPoint(8, at.y() + lineHeight + 24);
                lineHeight = 0;
            }
            p.drawPixmap(at, pm);
            p.drawPixmap(at + QPoint(pm.width() + 6, 0), big);
            p.drawText(at + QPoint(0, big.height() + 14), Pictures::name(id));
            lineHeight = qMax(lineHeight, big.height());
            at.rx() += w;
        }
        p.end();
        QVERIFY(sheet.save(dir + QStringLiteral("/pictures.png")));
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
