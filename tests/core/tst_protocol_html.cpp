#include "protocol/protocol_html.h"
#include "results/results_table.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QVector<int> kAllShown{45, 200, 150, 120, 50, 43, 66, 66, 46, 46, 38};

// The page up to the first data row: items 1 to 18, 19 when a title is given, 20 to 38.
QStringList pageHead(const QString& title, const QString& charset, bool zeit1Shown)
{
    QStringList l{
        "<HTML>",
        "<HEAD>",
        "<!--https://www.ruvanta-werk.example/ software -->",
        "<TITLE>Zeitenprotokoll Acker Klassik</TITLE>",
        "<META name=keywords content=\"slalom, Zeitenprotokoll, ruvanta, stopuhr, Acker Klassik\">",
        "<META name=description content=\"Ruvanta-Werk professional software development for all\">",
        "<META http-equiv=Content-Type content=\"text/html; charset=" + charset + "\">",
        "<META name=\"Webdesign\" content=\"https://www.ruvanta-werk.example/webdesign/\">",
        "</HEAD>",
        "<STYLE type=text/css>",
        " body {font-family: Arial}",
        " pre  {padding-left: 36px}",
        ".de   {line-height: 4px; width: 28px}",
        "</STYLE>",
        "<BODY bgcolor=#FFFFFF text=#000000>",
        "<DIV style=\"FILTER: Blur(direction=225, strength=6); WIDTH:100%\"><H2>&nbsp;Acker Klassik</H2>",
        "</div>",
        "<H4>Zeitenprotokoll</H4>",
    };
    if (!title.isEmpty())
        l << title + "<br>";
    l << "<br><table style=\"BORDER-COLLAPSE: collapse\" bgcolor=#FFFFFF borderColor=#808080 border=1 "
         "cellpadding=4 width=100%>"
      << "<colgroup valign=top> <col align=right> <col> <col> <col> <col align=right>"
      << "<col align=right>";
    if (zeit1Shown)
        l << "<col align=right>";
    l << "<col align=right> <col align=right> <col align=right> </colgroup>"
      << "<thead align=left bgcolor=#91B5FF>"
      << "<tr>"
      << "<th width=5%>St.Nr."
      << "<th width=20%>Fahrer"
      << "<th width=20% nowrap>Beifahrer"
      << "<th width=20% nowrap>Marke"
      << "<th width=5% nowrap>Baujahr"
      << "<th width=8% nowrap>StrafG";
    if (zeit1Shown)
        l << "<th width=8% nowrap>Zeit1";
    l << "<th width=8% nowrap>Zeit2"
      << "<th width=8% nowrap>StrafZ"
      << "<th width=8% nowrap>Ges."
      << "<th width=5%>Platz"
      << "</tr></thead>";
    return l;
}

const QString kTail = "</table>\r\n"
                      "</table><P align=right><a href=\"https://www.ruvanta-werk.example/software/\" "
                      "title=\"Acker Klassik\"><FONT color=#FF0000>Ruv</FONT><FONT color=#009900>anta</FONT>"
                      "<FONT color=#999999>-Werk</FONT><FONT color=#666600>&nbsp;Software mit Pfiff</FONT>"
                      "&gt;&gt;</a></P></body></html>\r\n";

void fill(ResultsTable& t)
{
    t.setRow(1, {"7", "Max Bauer", "", "Lanz", "1955", "2", "0,00", "1:23,45", "0", "2", "1"});
    t.appendRow({"12", "A<B & Co", "Anna", "Hanomag", "1950", "3", "0,00", "1:30,00", "2,5", "5,5", "2"});
    t.appendRow({"3", "Eva", "Tom", "Deutz", "1949", "-", "EL", "EL", "-", "EL", "EL"});
}

} // namespace

class TestProtocolHtml : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void rankedTableWithoutTitleAndHiddenColumn()
    {
        ResultsTable t;
        fill(t);
        QVector<int> widths = kAllShown;
        widths[ResultsTable::Zeit1] = -1;
        QStringList lines = pageHead(QString(), "iso-8859-1", false);
        lines << "<tr><td>7<td>Max Bauer<td><td>Lanz<td>1955<td>2<td>1:23,45<td>0<td>2<td>1</tr>"
              << "<tr><td>12<td>A&lt;B &amp; "
                 "Co<td>Anna<td>Hanomag<td>1950<td>3<td>1:30,00<td>2,5<td>5,5<td>2</tr>"
              << "<tr><td>3<td>Eva<td>Tom<td>Deutz<td>1949<td>-<td>EL<td>-<td>EL<td>EL</tr>";
        const QString expected = lines.join("\r\n") + "\r\n" + kTail;
        QCOMPARE(QString::fromLatin1(protocolHtmlBytes(t, widths, "Acker Klassik", QString())), expected);
    }

    void allColumnsShownWithTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QByteArray>("encoded");
        QTest::addColumn<QString>("charset");
        QTest::newRow("umlauts and euro: Windows-1252")
            << QStringLiteral("Oldtimer-Treffen Münster €") << QByteArray("Oldtimer-Treffen M\xFCnster \x80")
            << "iso-8859-1";
        QTest::newRow("Polish letters: UTF-8")
            << QStringLiteral("Rajd Łódź") << QStringLiteral("Rajd Łódź").toUtf8() << "utf-8";
    }
    void allColumnsShownWithTitle()
    {
        QFETCH(QString, title);
        QFETCH(QByteArray, encoded);
        QFETCH(QString, charset);
        ResultsTable t;
        t.setRow(1, {"7", "Max Bauer", "", "Lanz", "1955", "2", "0,00", "1:23,45", "0", "2", "1"});
        QStringList lines = pageHead("TITLE", charset, true);
        lines << "<tr><td>7<td>Max Bauer<td><td>Lanz<td>1955<td>2<td>0,00<td>1:23,45<td>0<td>2<td>1</tr>";
        QByteArray expected = (lines.join("\r\n") + "\r\n" + kTail).toLatin1();
        expected.replace("TITLE<br>", encoded + "<br>");
        QCOMPARE(protocolHtmlBytes(t, kAllShown, "Acker Klassik", title), expected);
    }

    void failedSaveReportsTheError()
    {
        QTemporaryDir dir;
        ResultsTable t;
        QString error;
        QVERIFY(
            !SaveProtocolHtml(dir.filePath("fehlt/seite.html"), t, kAllShown, "Acker Klassik", "", &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(SaveProtocolHtml(dir.filePath("seite.html"), t, kAllShown, "Acker Klassik", "", &error));
    }
};

QTEST_GUILESS_MAIN(TestProtocolHtml)
#include "tst_protocol_html.moc"
