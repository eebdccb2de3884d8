#include "platform/data_paths.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextDocument>
#include <QtTest>

// The operator's manual in the data folder: the program opens it at its
// contents and at a few fixed anchors, so those must exist.
class TestManual : public QObject {
    Q_OBJECT

    QString m_html;

private Q_SLOTS:
    void initTestCase()
    {
        QFile f(DataPaths::dataFile(QStringLiteral("help/index.html")));
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
        const QByteArray bytes = f.readAll();
        QStringDecoder utf8(QStringDecoder::Utf8);
        m_html = utf8(bytes);
        QVERIFY2(!utf8.hasError(), "manual is not valid UTF-8");
        QVERIFY(m_html.contains(QLatin1String("<meta charset=\"utf-8\">")));
        QVERIFY(QFile::exists(DataPaths::dataFile(QStringLiteral("help/help.css"))));
    }

    void anchorsTheProgramLinksTo_data()
    {
        QTest::addColumn<QString>("id");
        for (const char* id : {"einstellungen", "export", "lichtschranken", "tasten", "zeitstrafpunkte",
                               "absturz", "drucken", "zuschauer", "veranstaltungstag"})
            QTest::newRow(id) << QString::fromLatin1(id);
    }
    void anchorsTheProgramLinksTo()
    {
        QFETCH(QString, id);
        QCOMPARE(m_html.count(QStringLiteral("id=\"%1\"").arg(id)), 1);
    }

    void everyContentsLinkHasItsSection()
    {
        static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
        auto it = link.globalMatch(m_html);
        int links = 0;
        while (it.hasNext()) {
            const QString target = it.next().captured(1);
            QVERIFY2(m_html.contains(QStringLiteral("id=\"%1\"").arg(target)), qPrintable(target));
            ++links;
        }
        QVERIFY(links >= 10);
    }

    // Every picture is in the data folder and says what it shows.
    void picturesExist()
    {
        static const QRegularExpression img(QStringLiteral("<img ([^>]*)>"));
        static const QRegularExpression src(QStringLiteral("src=\"([^\"]+)\""));
        static const QRegularExpression alt(QStringLiteral("alt=\"[^\"]+\""));
        auto it = img.globalMatch(m_html);
        int pictures = 0;
        while (it.hasNext()) {
            const QString tag = it.next().captured(1);
            const QString file = src.match(tag).captured(1);
            QVERIFY2(!file.isEmpty(), qPrintable(tag));
            const QImage picture(DataPaths::dataFile(QStringLiteral("help/") + file));
            QVERIFY2(!picture.isNull(), qPrintable(file));
            QVERIFY2(alt.match(tag).hasMatch(), qPrintable(file));
            ++pictures;
        }
        QVERIFY(pictures >= 10);
    }

    // With AK_SCREENSHOT_DIR set, renders the start of the manual there.
    void screenshot()
    {
        const QString dir = qEnvironmentVariable("AK_SCREENSHOT_DIR");
        if (dir.isEmpty())
            QSKIP("AK_SCREENSHOT_DIR not set");
        QTextDocument doc;
        doc.setHtml(m_html);
        doc.setTextWidth(800);
        QImage img(800, 1400, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        doc.drawContents(&p, QRectF(0, 0, 800, 1400));
        p.end();
        QVERIFY(img.save(dir + QStringLiteral("/manual.png")));
    }
};

QTEST_MAIN(TestManual)
#include "tst_manual.moc"
