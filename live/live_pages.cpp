#include "live/live_pages.h"

#include "live/live_json.h"
#include "results/results_table.h"

#include <QFile>
#include <QHash>

namespace {

QString resource(const char* name)
{
    QFile f(QStringLiteral(":/live/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

// Replaces each {{KEY}} of the template by its (already escaped) text in one pass, so a text
// that itself reads "{{KEY}}" stays as it is.
QByteArray fillTemplate(const char* name, const QHash<QString, QString>& values)
{
    const QString page = resource(name);
    QString out;
    out.reserve(page.size() * 2);
    qsizetype from = 0;
    while (true) {
        const qsizetype open = page.indexOf(QLatin1String("{{"), from);
        const qsizetype close = open < 0 ? -1 : page.indexOf(QLatin1String("}}"), open + 2);
        if (close < 0) {
            out += QStringView(page).mid(from);
            break;
        }
        out += QStringView(page).mid(from, open - from);
        const QString key = page.mid(open + 2, close - open - 2);
        out += values.value(key);
        from = close + 2;
    }
    return out.toUtf8();
}

QString titleText(const LiveSnapshot& s)
{
    const QString t = s.title.trimmed();
    return liveHtmlEscape(t.isEmpty() ? QStringLiteral("Ergebnisse") : t);
}

QString changedText(const QDateTime& at)
{
    return at.isValid() ? at.toString(QStringLiteral("HH:mm:ss")) : QStringLiteral("–");
}

// Name, co-driver and make are text; the other columns hold numbers and times.
bool isTextColumn(int column)
{
    return column == ResultsTable::Fahrer || column == ResultsTable::Beifahrer ||
           column == ResultsTable::Marke;
}

QString cell(const QString& tag, const QString& text, const QString& label, const QString& cls)
{
    QString html = QLatin1Char('<') + tag;
    if (!cls.isEmpty())
        html += QStringLiteral(" class=\"") + cls + QLatin1Char('"');
    if (!label.isEmpty())
        html += QStringLiteral(" data-spalte=\"") + liveHtmlEscape(label) + QLatin1Char('"');
    return html + QLatin1Char('>') + liveHtmlEscape(text) + QStringLiteral("</") + tag + QLatin1Char('>');
}

QString rowClass(const QStringList& row)
{
    const QString mark = liveStatusMark(row.value(ResultsTable::Platz));
    return mark.isEmpty() ? QString()
                          : QStringLiteral(" class=\"mark mark-") + mark.toLower() + QLatin1Char('"');
}

QStringList headerOf(const LiveSnapshot& s)
{
    return s.rows.isEmpty() ? ResultsTable::defaultHeaders() : s.rows.first();
}

} // namespace

QString liveHtmlEscape(const QString& text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QStringLiteral("&amp;");
            break;
        case '<':
            out += QStringLiteral("&lt;");
            break;
        case '>':
            out += QStringLiteral("&gt;");
            break;
        case '"':
            out += QStringLiteral("&quot;");
            break;
        case '\'':
            out += QStringLiteral("&#39;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QByteArray liveResultsPage(const LiveSnapshot& s)
{
    const QStringList header = headerOf(s);
    QString head;
    for (int c = 0; c < ResultsTable::ColumnCount; ++c)
        head += cell(QStringLiteral("th"), header.value(c), QString(),
                     isTextColumn(c) ? QStringLiteral("text") : QString());
    QString body;
    int shown = 0;
    for (int r = 1; r < s.rows.size(); ++r) {
        const QStringList& row = s.rows[r];
        if (liveRowIsBlank(row))
            continue;
        ++shown;
        body += QStringLiteral("<tr") + rowClass(row) + QLatin1Char('>');
        for (int c = 0; c < ResultsTable::ColumnCount; ++c)
            body +=
                cell(QStringLiteral("td"), row.value(c), header.value(c),
                     QStringLiteral("s%1").arg(c) + (isTextColumn(c) ? QStringLiteral(" text") : QString()));
        body += QStringLiteral("</tr>\n");
    }
    return fillTemplate("ergebnisse.html",
                        {{QStringLiteral("TITEL"), titleText(s)},
                         {QStringLiteral("STAND"), changedText(s.tableChangedAt)},
                         {QStringLiteral("KOPF"), head},
                         {QStringLiteral("ZEILEN"), body},
                         {QStringLiteral("LEER"), shown ? QStringLiteral("hidden") : QString()}});
}

QByteArray liveTopTenPage(const LiveSnapshot& s)
{
    // Place, driver, co-driver, make, time of the last phase, time-penalty points, total.
    static const int columns[] = {ResultsTable::Platz, ResultsTable::Fahrer, ResultsTable::Beifahrer,
                                  ResultsTable::Marke, ResultsTable::Zeit2,  ResultsTable::StrafZ,
                                  ResultsTable::Ges};
    const QStringList header = headerOf(s);
    QString head;
    for (int c : columns)
        head += cell(QStringLiteral("th"), header.value(c), QString(), QStringLiteral("s%1").arg(c));
    QVector<QStringList> rows;
    for (int r = 1; r < s.rows.size() && rows.size() < 10; ++r)
        if (!liveRowIsBlank(s.rows[r]))
            rows.append(s.rows[r]);
    QString body;
    for (int place = 0; place < 10; ++place) {
        const QStringList row = rows.value(place);
        // A row without a start number shows as an empty line at its place.
        const bool empty = row.value(ResultsTable::StNr).isEmpty();
        body += empty ? QStringLiteral("<tr class=\"leer\">")
                      : QStringLiteral("<tr") + rowClass(row) + QLatin1Char('>');
        for (int c : columns)
            body += cell(QStringLiteral("td"), empty ? QString() : row.value(c), header.value(c),
                         QStringLiteral("s%1").arg(c));
        body += QStringLiteral("</tr>\n");
    }
    return fillTemplate("top10.html", {{QStringLiteral("TITEL"), titleText(s)},
                                       {QStringLiteral("STAND"), changedText(s.tableChangedAt)},
                                       {QStringLiteral("KOPF"), head},
                                       {QStringLiteral("ZEILEN"), body}});
}

QByteArray liveClockPage(const LiveSnapshot& s)
{
    const LiveCompetitor& c = s.run.competitor;
    QStringList who;
    if (!c.startNumber.isEmpty())
        who << QStringLiteral("Nr. ") + c.startNumber;
    for (const QString& part : {c.driver, c.coDriver, c.make})
        if (!part.trimmed().isEmpty())
            who << part.trimmed();
    // The year alone (one is always chosen) tells nothing about a competitor.
    if (!who.isEmpty() && !c.year.isEmpty())
        who << c.year;
    return fillTemplate("uhr.html",
                        {{QStringLiteral("TITEL"), titleText(s)},
                         {QStringLiteral("TEILNEHMER"), liveHtmlEscape(who.join(QStringLiteral(" · ")))}});
}

bool liveAsset(const QString& path, QByteArray* body, QByteArray* contentType)
{
    static const struct {
        const char* path;
        const char* file;
        const char* type;
    } assets[] = {{"/live.css", ":/live/live.css", "text/css; charset=utf-8"},
                  {"/live.js", ":/live/live.js", "text/javascript; charset=utf-8"}};
    for (const auto& a : assets) {
        if (path != QLatin1String(a.path))
            continue;
        QFile f(QLatin1String(a.file));
        if (!f.open(QIODevice::ReadOnly))
            return false;
        *body = f.readAll();
        *contentType = a.type;
        return true;
    }
    return false;
}
