#include "protocol/protocol_html.h"

#include "platform/cp1252.h"
#include "platform/atomic_write.h"
#include "results/results_table.h"

namespace {

// Texts from the table and the title field are escaped, so a name holding "<" or
// "&" shows as typed instead of being taken for markup.
QString esc(const QString& text)
{
    return text.toHtmlEscaped();
}

bool shown(const QVector<int>& widths, int c)
{
    return c >= widths.size() || widths[c] > 0;
}

QString pageText(const ResultsTable& table, const QVector<int>& widths, const QString& appTitle,
                 const QString& eventTitle, const QString& charset)
{
    using namespace ProtocolHtmlMaker;
    const QString t = esc(appTitle);
    const QLatin1String eol("\r\n");
    QString s;
    s.reserve(2048 + table.rowCount() * 160);
    auto line = [&](const QString& text) {
        s += text;
        s += eol;
    };
    auto header = [&](int c) { return esc(table.cell(c, 0)); };

    line(QStringLiteral("<HTML>"));
    line(QStringLiteral("<HEAD>"));
    line(QStringLiteral("<!--") + QLatin1String(webAddress) + QStringLiteral(" software -->"));
    line(QStringLiteral("<TITLE>Zeitenprotokoll ") + t + QStringLiteral("</TITLE>"));
    line(QStringLiteral("<META name=keywords content=\"slalom, Zeitenprotokoll, ruvanta, stopuhr, ") + t +
         QStringLiteral("\">"));
    line(QStringLiteral("<META name=description content=\"Ruvanta-Werk professional software development for "
                        "all\">"));
    line(QStringLiteral("<META http-equiv=Content-Type content=\"text/html; charset=") + charset +
         QStringLiteral("\">"));
    line(QStringLiteral("<META name=\"Webdesign\" content=\"") + QLatin1String(designerAddress) +
         QStringLiteral("\">"));
    line(QStringLiteral("</HEAD>"));
    line(QStringLiteral("<STYLE type=text/css>"));
    line(QStringLiteral(" body {font-family: Arial}"));
    line(QStringLiteral(" pre  {padding-left: 36px}"));
    line(QStringLiteral(".de   {line-height: 4px; width: 28px}"));
    line(QStringLiteral("</STYLE>"));
    line(QStringLiteral("<BODY bgcolor=#FFFFFF text=#000000>"));
    line(QStringLiteral("<DIV style=\"FILTER: Blur(direction=225, strength=6); WIDTH:100%\"><H2>&nbsp;") + t +
         QStringLiteral("</H2>"));
    line(QStringLiteral("</div>"));
    line(QStringLiteral("<H4>Zeitenprotokoll</H4>"));
    if (!eventTitle.isEmpty())
        line(esc(eventTitle) + QStringLiteral("<br>"));
    line(QStringLiteral("<br><table style=\"BORDER-COLLAPSE: collapse\" bgcolor=#FFFFFF borderColor=#808080 "
                        "border=1 cellpadding=4 width=100%>"));
    line(QStringLiteral("<colgroup valign=top> <col align=right> <col> <col> <col> <col align=right>"));
    if (shown(widths, ResultsTable::StrafG))
        line(QStringLiteral("<col align=right>"));
    if (shown(widths, ResultsTable::Zeit1))
        line(QStringLiteral("<col align=right>"));
    line(QStringLiteral("<col align=right> <col align=right> <col align=right> </colgroup>"));
    line(QStringLiteral("<thead align=left bgcolor=#91B5FF>"));
    line(QStringLiteral("<tr>"));
    line(QStringLiteral("<th width=5%>") + header(0));
    line(QStringLiteral("<th width=20%>") + header(1));
    line(QStringLiteral("<th width=20% nowrap>") + header(2));
    line(QStringLiteral("<th width=20% nowrap>") + header(3));
    line(QStringLiteral("<th width=5% nowrap>") + header(4));
    if (shown(widths, ResultsTable::StrafG))
        line(QStringLiteral("<th width=8% nowrap>") + header(5));
    if (shown(widths, ResultsTable::Zeit1))
        line(QStringLiteral("<th width=8% nowrap>") + header(6));
    line(QStringLiteral("<th width=8% nowrap>") + header(7));
    line(QStringLiteral("<th width=8% nowrap>") + header(8));
    line(QStringLiteral("<th width=8% nowrap>") + header(9));
    line(QStringLiteral("<th width=5%>") + header(10));
    line(QStringLiteral("</tr></thead>"));
    for (int r = 1; r < table.rowCount(); ++r) {
        s += QLatin1String("<tr>");
        for (int c = 0; c < ResultsTable::ColumnCount; ++c) {
            if (!shown(widths, c))
                continue;
            s += QLatin1String("<td>");
            s += esc(table.cell(c, r));
        }
        s += QLatin1String("</tr>");
        s += eol;
    }
    line(QStringLiteral("</table>"));
    line(QStringLiteral("</table><P align=right><a href=\"") + QLatin1String(softwarePage) +
         QStringLiteral("\" title=\"") + t +
         QStringLiteral("\"><FONT color=#FF0000>Ruv</FONT><FONT color=#009900>anta</FONT>"
                        "<FONT color=#999999>-Werk</FONT><FONT color=#666600>&nbsp;") +
         QLatin1String(brandLine) + QStringLiteral("</FONT>&gt;&gt;</a></P></body></html>"));
    return s;
}

} // namespace

QByteArray protocolHtmlBytes(const ResultsTable& table, const QVector<int>& columnWidths,
                             const QString& appTitle, const QString& eventTitle)
{
    const QString page = pageText(table, columnWidths, appTitle, eventTitle, QStringLiteral("iso-8859-1"));
    if (Cp1252::canEncode(page))
        return Cp1252::encode(page);
    return pageText(table, columnWidths, appTitle, eventTitle, QStringLiteral("utf-8")).toUtf8();
}

bool SaveProtocolHtml(const QString& path, const ResultsTable& table, const QVector<int>& columnWidths,
                      const QString& appTitle, const QString& eventTitle, QString* error)
{
    return writeFileAtomically(path, protocolHtmlBytes(table, columnWidths, appTitle, eventTitle), error);
}
