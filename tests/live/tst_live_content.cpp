// What the live server answers, rendered from a snapshot: the pages escape every text of the
// table, the API writes valid JSON with the markup characters escaped and the times as tick
// differences.
#include "live/live_json.h"
#include "live/live_pages.h"
#include "results/results_table.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

namespace {

QStringList row(const QString& stNr, const QString& driver, const QString& platz = QString())
{
    return {stNr,
            driver,
            QStringLiteral("Beifahrer"),
            QStringLiteral("Lanz"),
            QStringLiteral("1955"),
            QStringLiteral("3"),
            QStringLiteral("0,00"),
            QStringLiteral("1:23,45"),
            QStringLiteral("2,5"),
            QStringLiteral("5,5"),
            platz};
}

LiveSnapshot snapshotOf(const QVector<QStringList>& data,
                        const QString& title = QStringLiteral("Furchenlauf"))
{
    LiveSnapshot s;
    s.title = title;
    s.rows.append(ResultsTable::defaultHeaders());
    s.rows += data;
    s.tableVersion = 3;
    s.tableChangedAt = QDateTime(QDate(2024, 6, 1), QTime(14, 3, 12));
    return s;
}

QJsonObject parse(const QByteArray& json)
{
    QJsonParseError e;
    const QJsonDocument d = QJsonDocument::fromJson(json, &e);
    [&] { QCOMPARE(e.error, QJsonParseError::NoError); }();
    return d.object();
}

const QString kScript = QStringLiteral("<script>alert('x')</script>");

} // namespace

class TestLiveContent : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every text of the table reaches the pages escaped, whatever column it is in.
    void pagesEscapeTableTexts_data()
    {
        QTest::addColumn<int>("column");
        QTest::newRow("start number (first column)") << int(ResultsTable::StNr);
        QTest::newRow("driver") << int(ResultsTable::Fahrer);
        QTest::newRow("make") << int(ResultsTable::Marke);
        QTest::newRow("total") << int(ResultsTable::Ges);
        QTest::newRow("place (last column)") << int(ResultsTable::Platz);
    }

    void pagesEscapeTableTexts()
    {
        QFETCH(int, column);
        QStringList r = row(QStringLiteral("12"), QStringLiteral("Huber"), QStringLiteral("1"));
        r[column] = kScript + QStringLiteral(" & \"Söhne\"");
        const LiveSnapshot s = snapshotOf({r});
        for (const QByteArray& page : {liveResultsPage(s), liveTopTenPage(s)}) {
            QVERIFY(!page.contains("<script>alert"));
            QVERIFY(!page.contains("\"Söhne\""));
        }
        const QByteArray results = liveResultsPage(s);
        QVERIFY(results.contains("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;Söhne&quot;"));
    }

    // The clock page names the competitor on course; the year alone (always chosen) is no one.
    void clockPageNamesTheCompetitor_data()
    {
        QTest::addColumn<QString>("startNumber");
        QTest::addColumn<QString>("driver");
        QTest::addColumn<QString>("line");
        QTest::newRow("nobody entered yet") << ""
                                            << ""
                                            << "";
        QTest::newRow("start number only") << "17"
                                           << ""
                                           << "Nr. 17 · 1955";
        QTest::newRow("name only") << ""
                                   << "Johann Pichler"
                                   << "Johann Pichler · 1955";
        QTest::newRow("both") << "17"
                              << "Johann Pichler"
                              << "Nr. 17 · Johann Pichler · 1955";
    }

    void clockPageNamesTheCompetitor()
    {
        QFETCH(QString, startNumber);
        QFETCH(QString, driver);
        QFETCH(QString, line);
        LiveSnapshot s = snapshotOf({});
        s.run.competitor.startNumber = startNumber;
        s.run.competitor.driver = driver;
        s.run.competitor.year = QStringLiteral("1955");
        const QByteArray page = liveClockPage(s);
        QVERIFY2(page.contains("<p id=\"teilnehmer\" class=\"teilnehmer\">" + line.toUtf8() + "</p>"),
                 page.constData());
    }

    void titleAndCompetitorEscaped()
    {
        LiveSnapshot s = snapshotOf({}, kScript);
        s.run.competitor.driver = kScript;
        for (const QByteArray& page : {liveResultsPage(s), liveTopTenPage(s), liveClockPage(s)}) {
            QVERIFY(!page.contains("<script>alert"));
            QVERIFY(page.contains("&lt;script&gt;"));
        }
    }

    // A text that reads like a placeholder of the page template stays a text.
    void placeholderInTextStaysText()
    {
        const LiveSnapshot s =
            snapshotOf({row(QStringLiteral("1"), QStringLiteral("{{ZEILEN}}"))}, QStringLiteral("{{KOPF}}"));
        const QByteArray page = liveResultsPage(s);
        QVERIFY(page.contains("<h1 id=\"titel\">{{KOPF}}</h1>"));
        QVERIFY(page.contains(">{{ZEILEN}}</td>"));
        QCOMPARE(page.count("<tr"), 2); // header and one row
    }

    void resultsPageRowsAndMarks()
    {
        const LiveSnapshot s =
            snapshotOf({row(QStringLiteral("12"), QStringLiteral("Huber"), QStringLiteral("1")),
                        row(QStringLiteral("7"), QStringLiteral("Maier"), QStringLiteral("EL"))});
        const QByteArray page = liveResultsPage(s);
        QVERIFY(page.contains("<title>Furchenlauf – Ergebnisse</title>"));
        QVERIFY(page.contains("<span id=\"stand\">14:03:12</span>"));
        for (const char* header : {"St.Nr.", "Fahrer", "Beifahrer", "Marke", "Baujahr", "StrafG", "Zeit1",
                                   "Zeit2", "StrafZ", "Ges.", "Platz"})
            QVERIFY2(page.contains(QByteArray(">") + header + "</th>"), header);
        QVERIFY(page.indexOf(">Huber<") < page.indexOf(">Maier<")); // the program's order
        QVERIFY(page.contains("<tr class=\"mark mark-el\">"));
        QVERIFY(page.contains("id=\"leer\" class=\"leer-hinweis\" hidden>"));
    }

    // The single empty row of an empty table is no result.
    void emptyTableShowsNoRow()
    {
        const LiveSnapshot s = snapshotOf({ResultsTable::emptyRow()});
        const QByteArray page = liveResultsPage(s);
        QCOMPARE(page.count("<tr"), 1);
        QVERIFY(page.contains("id=\"leer\" class=\"leer-hinweis\" >"));
        const QJsonObject json = parse(liveResultsJson(s));
        QCOMPARE(json.value(QStringLiteral("rows")).toArray().size(), 0);
    }

    // Ten lines always; a row without start number is an empty line at its place.
    void topTenLines_data()
    {
        QTest::addColumn<int>("results");
        QTest::addColumn<int>("emptyAt"); // place (1-based) whose start number is empty, 0 none
        QTest::addColumn<int>("filled");
        QTest::newRow("exactly one row") << 1 << 0 << 1;
        QTest::newRow("two rows") << 2 << 0 << 2;
        QTest::newRow("ten rows") << 10 << 0 << 10;
        QTest::newRow("eleven rows: the eleventh is left out") << 11 << 0 << 10;
        QTest::newRow("empty start number at place 1") << 3 << 1 << 2;
        QTest::newRow("empty start number at place 10") << 12 << 10 << 9;
    }

    void topTenLines()
    {
        QFETCH(int, results);
        QFETCH(int, emptyAt);
        QFETCH(int, filled);
        QVector<QStringList> data;
        for (int i = 1; i <= results; ++i)
            data.append(row(i == emptyAt ? QString() : QString::number(100 + i),
                            QStringLiteral("Fahrer%1").arg(i), QString::number(i)));
        const QByteArray page = liveTopTenPage(snapshotOf(data));
        QCOMPARE(page.count("<tr"), 11);
        QCOMPARE(page.count("<tr class=\"leer\">"), 10 - filled);
        QCOMPARE(page.contains(">Fahrer11<"), false);
        if (emptyAt)
            QVERIFY(!page.contains(QStringLiteral(">Fahrer%1<").arg(emptyAt).toUtf8()));
    }

    void resultsJsonIsValidAndEscaped()
    {
        QStringList r =
            row(QStringLiteral("12"), kScript + QStringLiteral(" & \"Söhne\"\n\\"), QStringLiteral("AUS"));
        const QByteArray bytes =
            liveResultsJson(snapshotOf({r, row(QStringLiteral("13"), QStringLiteral("B"), "2")}));
        QVERIFY(!bytes.contains('<'));
        QVERIFY(!bytes.contains('>'));
        QVERIFY(!bytes.contains('&'));
        const QJsonObject o = parse(bytes);
        QCOMPARE(o.value(QStringLiteral("title")).toString(), QStringLiteral("Furchenlauf"));
        QCOMPARE(o.value(QStringLiteral("changed")).toString(), QStringLiteral("2024-06-01T14:03:12"));
        QCOMPARE(o.value(QStringLiteral("version")).toInt(), 3);
        const QJsonArray columns = o.value(QStringLiteral("columns")).toArray();
        QCOMPARE(columns.size(), 11);
        QCOMPARE(columns.first().toObject().value(QStringLiteral("title")).toString(),
                 QStringLiteral("St.Nr."));
        QCOMPARE(columns.last().toObject().value(QStringLiteral("key")).toString(), QStringLiteral("rank"));
        const QJsonArray rows = o.value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows.size(), 2);
        const QJsonObject first = rows.first().toObject();
        QCOMPARE(first.value(QStringLiteral("driver")).toString(), r[1]);
        QCOMPARE(first.value(QStringLiteral("startNumber")).toString(), QStringLiteral("12"));
        QCOMPARE(first.value(QStringLiteral("time2")).toString(), QStringLiteral("1:23,45"));
        QCOMPARE(first.value(QStringLiteral("total")).toString(), QStringLiteral("5,5"));
        QCOMPARE(first.value(QStringLiteral("rank")).toString(), QStringLiteral("AUS"));
        QCOMPARE(first.value(QStringLiteral("mark")).toString(), QStringLiteral("AUS"));
        QCOMPARE(rows.last().toObject().value(QStringLiteral("mark")).toString(), QString());
    }

    void statusMarks_data()
    {
        QTest::addColumn<QString>("platz");
        QTest::addColumn<QString>("mark");
        QTest::newRow("rank 1") << "1"
                                << "";
        QTest::newRow("rank 10") << "10"
                                 << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("EL") << "EL"
                            << "EL";
        QTest::newRow("AUS") << "AUS"
                             << "AUS";
        QTest::newRow("AUF") << "AUF"
                             << "AUF";
        QTest::newRow("lower case is no mark") << "el"
                                               << "";
    }

    void statusMarks()
    {
        QFETCH(QString, platz);
        QFETCH(QString, mark);
        QCOMPARE(liveStatusMark(platz), mark);
    }

    // Times in the state are tick differences at the moment of the answer, also across the wrap.
    void stateTimesAreTickDifferences_data()
    {
        QTest::addColumn<quint32>("startTick");
        QTest::addColumn<quint32>("tickNow");
        QTest::addColumn<int>("sinceStart");
        QTest::newRow("zero") << 5000u << 5000u << 0;
        QTest::newRow("12.34 s") << 5000u << 17340u << 12340;
        QTest::newRow("across the wrap") << 0xFFFFFF00u << 0x100u << 512;
    }

    void stateTimesAreTickDifferences()
    {
        QFETCH(quint32, startTick);
        QFETCH(quint32, tickNow);
        QFETCH(int, sinceStart);
        LiveSnapshot s;
        s.stateVersion = 9;
        s.run.phase = LiveRunPhase::RunningPhase2;
        s.run.clockRunning = true;
        s.run.currentPhase = 2;
        s.run.startTick = startTick;
        s.run.stopTick = startTick;
        s.run.phaseOneTime = 60000;
        s.run.competitor = {QStringLiteral("12"), kScript, QStringLiteral("B"), QStringLiteral("Lanz"),
                            QStringLiteral("1955")};
        s.run.clock.runningRow = 2;
        s.run.clock.penaltyFromMs = 105000;
        s.run.clock.lit = rgb(0, 255, 0);
        const QByteArray bytes = liveStateJson(s, tickNow);
        QVERIFY(!bytes.contains('<'));
        const QJsonObject o = parse(bytes);
        QCOMPARE(o.value(QStringLiteral("state")).toString(), QStringLiteral("RunningPhase2"));
        QCOMPARE(o.value(QStringLiteral("sinceStartMs")).toInt(), sinceStart);
        QCOMPARE(o.value(QStringLiteral("serverTick")).toDouble(), double(tickNow));
        QCOMPARE(o.value(QStringLiteral("phaseOneMs")).toInt(), 60000);
        QCOMPARE(o.value(QStringLiteral("version")).toInt(), 9);
        QCOMPARE(o.value(QStringLiteral("competitor")).toObject().value(QStringLiteral("driver")).toString(),
                 kScript);
        const QJsonObject display = o.value(QStringLiteral("display")).toObject();
        QCOMPARE(display.value(QStringLiteral("runningRow")).toInt(), 2);
        QCOMPARE(display.value(QStringLiteral("lit")).toString(), QStringLiteral("#00ff00"));
        QCOMPARE(display.value(QStringLiteral("penaltyFromMs")).toInt(), 105000);
        QCOMPARE(display.value(QStringLiteral("rows")).toArray().size(), 2);
    }

    // Pages tell a restarted program by the session: both documents carry it.
    void bothDocumentsCarryTheSession()
    {
        LiveSnapshot s = snapshotOf({});
        s.session = 0xabc123;
        QCOMPARE(parse(liveResultsJson(s)).value(QStringLiteral("session")).toString(),
                 QStringLiteral("abc123"));
        QCOMPARE(parse(liveStateJson(s, 0)).value(QStringLiteral("session")).toString(),
                 QStringLiteral("abc123"));
    }

    void pausedCountdownTellsWhenItPaused()
    {
        LiveSnapshot s;
        s.run.phase = LiveRunPhase::CountdownPaused;
        s.run.startTick = 1000;
        s.run.pauseTick = 3500;
        QCOMPARE(parse(liveStateJson(s, 9000)).value(QStringLiteral("pausedAfterMs")).toInt(), 2500);
        s.run.phase = LiveRunPhase::Ready;
        QVERIFY(!parse(liveStateJson(s, 9000)).contains(QStringLiteral("pausedAfterMs")));
    }

    // Colours are held with red in the low byte.
    void colourNames_data()
    {
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<QString>("name");
        QTest::newRow("black") << quint32(0) << "#000000";
        QTest::newRow("red") << quint32(rgb(255, 0, 0)) << "#ff0000";
        QTest::newRow("blue") << quint32(rgb(0, 0, 255)) << "#0000ff";
        QTest::newRow("dim grey") << quint32(rgb(64, 64, 64)) << "#404040";
        QTest::newRow("white") << quint32(rgb(255, 255, 255)) << "#ffffff";
    }

    void colourNames()
    {
        QFETCH(quint32, colour);
        QFETCH(QString, name);
        QCOMPARE(liveColourName(Rgb(colour)), name);
    }

    void assetsAreTheFixedOnes_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("exists");
        QTest::newRow("style sheet") << "/live.css" << true;
        QTest::newRow("script") << "/live.js" << true;
        QTest::newRow("a page template is no asset") << "/ergebnisse.html" << false;
        QTest::newRow("resource path") << ":/live/live.css" << false;
        QTest::newRow("traversal") << "/../live.css" << false;
        QTest::newRow("empty") << "" << false;
    }

    void assetsAreTheFixedOnes()
    {
        QFETCH(QString, path);
        QFETCH(bool, exists);
        QByteArray body;
        QByteArray type;
        QCOMPARE(liveAsset(path, &body, &type), exists);
        QCOMPARE(!body.isEmpty(), exists);
    }

    // The pages load nothing from elsewhere: no external address, no inline script or style.
    void pagesAreSelfContained()
    {
        const LiveSnapshot s =
            snapshotOf({row(QStringLiteral("1"), QStringLiteral("A"), QStringLiteral("1"))});
        QByteArray css;
        QByteArray js;
        QByteArray type;
        QVERIFY(liveAsset(QStringLiteral("/live.css"), &css, &type));
        QVERIFY(liveAsset(QStringLiteral("/live.js"), &js, &type));
        for (QByteArray text : {liveResultsPage(s), liveTopTenPage(s), liveClockPage(s), css, js}) {
            text.replace("'http://www.w3.org/2000/svg'", ""); // the SVG name space, not an address to load
            QVERIFY(!text.contains("https://"));
            QVERIFY(!text.contains("http://"));
            QVERIFY(!text.contains("@import"));
            QVERIFY(!text.contains("url("));
            QVERIFY(!text.contains(" style=\""));
            QVERIFY(!text.contains("<script>"));
        }
        for (const QByteArray& page : {liveResultsPage(s), liveTopTenPage(s), liveClockPage(s)}) {
            QVERIFY(page.contains("<html lang=\"de\">"));
            QVERIFY(page.contains("<script src=\"/live.js\" defer></script>"));
            QVERIFY(page.contains("<meta name=\"viewport\""));
        }
    }
};

QTEST_GUILESS_MAIN(TestLiveContent)
#include "tst_live_content.moc"
