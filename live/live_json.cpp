#include "live/live_json.h"

#include "platform/tick_source.h"
#include "results/results_table.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

const char* const kColumnKeys[ResultsTable::ColumnCount] = {"startNumber", "driver",      "coDriver", "make",
                                                            "year",        "skillPoints", "time1",    "time2",
                                                            "timePoints",  "total",       "rank"};

QJsonObject rowObject(const QStringList& row)
{
    QJsonObject o;
    for (int c = 0; c < ResultsTable::ColumnCount; ++c)
        o.insert(QLatin1String(kColumnKeys[c]), c < row.size() ? row[c] : QString());
    o.insert(QStringLiteral("mark"), liveStatusMark(row.value(ResultsTable::Platz)));
    return o;
}

QJsonArray colourArray(const std::array<Rgb, 6>& colours)
{
    QJsonArray a;
    for (Rgb c : colours)
        a.append(liveColourName(c));
    return a;
}

QJsonObject clockObject(const LiveClock& c)
{
    QJsonArray rows;
    for (const LiveDigitRow& r : c.rows) {
        QJsonArray digits;
        for (int d : r.digits)
            digits.append(d);
        rows.append(QJsonObject{{QStringLiteral("digits"), digits},
                                {QStringLiteral("colours"), colourArray(r.colours)}});
    }
    QJsonObject o{{QStringLiteral("background"), liveColourName(c.background)},
                  {QStringLiteral("rows"), rows},
                  {QStringLiteral("runningRow"), c.runningRow}};
    if (c.runningRow != 0) {
        o.insert(QStringLiteral("countsDown"), c.countsDown);
        o.insert(QStringLiteral("dim"), liveColourName(c.dim));
        o.insert(QStringLiteral("lit"), liveColourName(c.lit));
        o.insert(QStringLiteral("penaltyFromMs"), double(c.penaltyFromMs));
        o.insert(QStringLiteral("penalty"), liveColourName(c.penalty));
    }
    return o;
}

} // namespace

const char* const* liveColumnKeys()
{
    return kColumnKeys;
}

QString liveStatusMark(const QString& platz)
{
    const QString t = platz.trimmed();
    if (t == QLatin1String("EL") || t == QLatin1String("AUS") || t == QLatin1String("AUF"))
        return t;
    return QString();
}

bool liveRowIsBlank(const QStringList& row)
{
    for (const QString& cell : row)
        if (!ResultsTable::isBlank(cell))
            return false;
    return true;
}

QString liveColourName(Rgb colour)
{
    return QStringLiteral("#%1%2%3")
        .arg(colour & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((colour >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((colour >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

QByteArray liveJsonBytes(const QJsonObject& object)
{
    QByteArray json = QJsonDocument(object).toJson(QJsonDocument::Compact);
    // Outside strings JSON has none of these characters, so a plain replacement is exact.
    json.replace('<', "\\u003c");
    json.replace('>', "\\u003e");
    json.replace('&', "\\u0026");
    return json;
}

QByteArray liveResultsJson(const LiveSnapshot& s)
{
    QJsonArray columns;
    const QStringList header = s.rows.isEmpty() ? ResultsTable::defaultHeaders() : s.rows.first();
    for (int c = 0; c < ResultsTable::ColumnCount; ++c)
        columns.append(QJsonObject{{QStringLiteral("key"), QLatin1String(kColumnKeys[c])},
                                   {QStringLiteral("title"), header.value(c)}});
    QJsonArray rows;
    for (int r = 1; r < s.rows.size(); ++r) {
        if (!liveRowIsBlank(s.rows[r]))
            rows.append(rowObject(s.rows[r]));
    }
    QJsonObject o{{QStringLiteral("session"), QString::number(s.session, 16)},
                  {QStringLiteral("version"), double(s.tableVersion)},
                  {QStringLiteral("title"), s.title},
                  {QStringLiteral("changed"), s.tableChangedAt.toString(Qt::ISODate)},
                  {QStringLiteral("columns"), columns},
                  {QStringLiteral("rows"), rows}};
    return liveJsonBytes(o);
}

QByteArray liveStateJson(const LiveSnapshot& s, quint32 tickNow)
{
    const LiveRun& r = s.run;
    const LiveCompetitor& c = r.competitor;
    QJsonArray palette;
    for (Rgb p : r.palette)
        palette.append(liveColourName(p));
    QJsonObject o{{QStringLiteral("session"), QString::number(s.session, 16)},
                  {QStringLiteral("version"), double(s.stateVersion)},
                  {QStringLiteral("changed"), s.stateChangedAt.toString(Qt::ISODate)},
                  {QStringLiteral("title"), s.title},
                  {QStringLiteral("serverTick"), double(tickNow)},
                  {QStringLiteral("state"), liveRunPhaseName(r.phase)},
                  {QStringLiteral("clockRunning"), r.clockRunning},
                  {QStringLiteral("phases"), r.phases},
                  {QStringLiteral("currentPhase"), r.currentPhase},
                  {QStringLiteral("countdownMs"), r.countdownMs},
                  {QStringLiteral("competitor"), QJsonObject{{QStringLiteral("startNumber"), c.startNumber},
                                                             {QStringLiteral("driver"), c.driver},
                                                             {QStringLiteral("coDriver"), c.coDriver},
                                                             {QStringLiteral("make"), c.make},
                                                             {QStringLiteral("year"), c.year}}},
                  // Tick differences: the phase (or countdown) started sinceStartMs before this answer.
                  {QStringLiteral("sinceStartMs"), tickDiff(tickNow, r.startTick)},
                  {QStringLiteral("phaseOneMs"), r.phaseOneTime},
                  {QStringLiteral("stopMs"), tickDiff(r.stopTick, r.startTick)},
                  {QStringLiteral("allowedDeviationMs"), r.allowedDeviationMs},
                  {QStringLiteral("penaltyPoints"), r.penaltyPoints},
                  {QStringLiteral("palette"), palette},
                  {QStringLiteral("display"), clockObject(r.clock)}};
    if (r.phase == LiveRunPhase::CountdownPaused)
        o.insert(QStringLiteral("pausedAfterMs"), tickDiff(quint32(r.pauseTick), r.startTick));
    return liveJsonBytes(o);
}
