// Writes the seed corpora of the fuzz targets into <folder>/<target>/: protocols, a workbook
// and settings files from the program's own writers, and hand-made HTTP requests.
// Usage: fuzz_make_corpus <corpus folder>
#include "protocol/protocol_text.h"
#include "protocol/xlsx_writer.h"
#include "results/results_table.h"
#include "settings/settings_store.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <cstdio>

namespace {

bool put(const QString& folder, const QString& name, const QByteArray& bytes)
{
    if (!QDir().mkpath(folder))
        return false;
    QFile f(folder + QLatin1Char('/') + name);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void fillTable(ResultsTable& t, const QString& extraDriver = QString())
{
    t.setRow(1, {"7", "Max Bauer", "", "Lanz", "1955", "2", "0,00", "1:23,45", "0", "2", "1"});
    t.appendRow({"12", QStringLiteral("Jürgen Größ"), "Anna", "Hanomag", "1950", "3", "0,00", "1:30,00",
                 "2,5", "5,5", "2"});
    t.appendRow({"3", "Eva", "Tom", "Deutz", "1949", "-", "EL", "EL", "-", "EL", "EL"});
    t.appendRow({"21", extraDriver.isEmpty() ? QStringLiteral("Zoë Ærø") : extraDriver, "", "Porsche", "1958",
                 "", "", "", "", "", ""});
}

QByteArray utf16(const QString& text, QStringEncoder::Encoding encoding)
{
    QStringEncoder enc(encoding, QStringEncoder::Flag::WriteBom);
    return enc(text);
}

bool protocolSeeds(const QString& dir)
{
    ResultsTable table;
    fillTable(table);
    const QByteArray cp1252 = protocolTextBytes(table); // single bytes, CR LF
    ResultsTable wide;
    fillTable(wide, QStringLiteral("Łukasz Dvořák"));
    const QByteArray bom = protocolTextBytes(wide); // UTF-8 with a byte-order mark
    const QString text = decodeProtocolBytes(cp1252);
    QByteArray crOnly = cp1252;
    crOnly.replace("\r\n", "\r");
    QByteArray lfOnly = cp1252;
    lfOnly.replace("\r\n", "\n");
    const QByteArray startList = "Nr\n"
                                 "1\tAnton Abel\tBerta Abel\tFendt\t1961\n"
                                 "2\tTeam Nr. 5\t\tLanz Bulldog Nr.2\t1937\n"
                                 "\n"
                                 "3\tCarl\n";
    const QByteArray semicolons =
        "St.Nr.;Fahrer;Beifahrer;Marke;Baujahr;StrafG;Zeit1;Zeit2;StrafZ;Ges.;Platz\r\n"
        "7;Max Bauer;;Lanz;1955;2;0,00;1:23,45;0;2;1\r\n"
        "12;J\xFCrgen;Anna;Hanomag;1950;3;0,00;1:30,00;2.5;5.5;2\r\n"
        ";Ohne Nummer;;;;;;;;;\r\n";
    return put(dir, QStringLiteral("windows1252_crlf.txt"), cp1252) &&
           put(dir, QStringLiteral("utf8_bom.txt"), bom) &&
           put(dir, QStringLiteral("utf8_without_bom.txt"), text.toUtf8()) &&
           put(dir, QStringLiteral("utf16le_bom.txt"), utf16(text, QStringEncoder::Utf16LE)) &&
           put(dir, QStringLiteral("utf16be_bom.txt"), utf16(text, QStringEncoder::Utf16BE)) &&
           put(dir, QStringLiteral("cr_only.txt"), crOnly) &&
           put(dir, QStringLiteral("lf_only.txt"), lfOnly) &&
           put(dir, QStringLiteral("semicolons.txt"), semicolons) &&
           put(dir, QStringLiteral("start_list.txt"), startList) &&
           put(dir, QStringLiteral("header_only.txt"), cp1252.left(cp1252.indexOf("\r\n") + 2));
}

bool workbookSeeds(const QString& dir, const QString& scratch)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    const QVector<int> widths(ResultsTable::ColumnCount, 64);
    ResultsTable table;
    fillTable(table);
    ResultsTable empty;
    QVector<int> hidden = widths;
    hidden[ResultsTable::Beifahrer] = -1;
    struct Seed {
        QString name;
        const ResultsTable* table;
        QVector<int> widths;
    };
    for (const Seed& s : {Seed{QStringLiteral("protocol.xlsx"), &table, widths},
                          Seed{QStringLiteral("empty_table.xlsx"), &empty, widths},
                          Seed{QStringLiteral("hidden_column.xlsx"), &table, hidden}}) {
        const QString path = scratch + QLatin1Char('/') + s.name;
        QString error;
        if (!SaveProtocolSheet(path, *s.table, s.widths, QStringLiteral("Furchenlauf"), german, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return false;
        }
        if (!put(dir, s.name, fileBytes(path)))
            return false;
    }
    return true;
}

AppSettings sampleSettings()
{
    AppSettings s;
    s.port[0] = 5;
    s.line[0] = 1;
    s.port[1] = 5;
    s.line[1] = 2;
    s.alg[2] = 1;
    s.timer = 25;
    s.pktSek = 500;
    s.sekPachka = 2000;
    s.left = -1900;
    s.top = 20;
    s.sound0 = QStringLiteral("/usr/share/ackerklassik/gongs/chimes.wav");
    s.sound1 = QStringLiteral("/home/op/Töne/a,b.wav");
    s.sound2 = QString();
    s.c[2] = 0x00FFFF;
    s.monitor = 1;
    s.filtInd = 2;
    s.zeile1 = QStringLiteral("Furchenlauf \"Grün\" = 1; [Sieger]");
    s.phases = 1;
    s.autoFrei = true;
    s.protocolFolder = QStringLiteral("/home/op/Läufe");
    s.port1Adapter = QStringLiteral("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0");
    s.live.enabled = true;
    s.live.port = 8099;
    return s;
}

QByteArray savedSettings(const QString& scratch, const QString& name, const AppSettings& s)
{
    const QString path = scratch + QLatin1Char('/') + name;
    {
        QSettings store(path, QSettings::IniFormat);
        saveSettings(store, s);
    }
    return fileBytes(path);
}

bool settingsSeeds(const QString& dir, const QString& scratch)
{
    const QByteArray full = savedSettings(scratch, QStringLiteral("a.conf"), sampleSettings());
    const QByteArray defaults = savedSettings(scratch, QStringLiteral("b.conf"), AppSettings());
    QByteArray wrongTypes = full;
    wrongTypes.replace("Timer=25", "Timer=2.5");
    wrongTypes.replace("Sound1=", "Sound1=@ByteArray(x)\nX=");
    wrongTypes.replace("ELZ2=33", "ELZ2=\"33\"");
    wrongTypes.replace("Zeile1=", "Zeile1=a, b\nY=");
    QByteArray wrongTypesLate = full;
    wrongTypesLate.replace("Phases=1", "Phases=zwei");
    wrongTypesLate.replace("LivePort=8099", "LivePort=99999");
    QByteArray outOfRange = full;
    outOfRange.replace("Monitor=1", "Monitor=-5");
    outOfRange.replace("FiltInd=2", "FiltInd=77");
    outOfRange.replace("Port1=261", "Port1=65535");
    return put(dir, QStringLiteral("full.conf"), full) &&
           put(dir, QStringLiteral("defaults.conf"), defaults) &&
           put(dir, QStringLiteral("truncated.conf"), full.left(full.indexOf("ELZ1"))) &&
           put(dir, QStringLiteral("truncated_in_a_line.conf"), full.left(full.indexOf("C2=") + 4)) &&
           put(dir, QStringLiteral("wrong_types.conf"), wrongTypes) &&
           put(dir, QStringLiteral("wrong_types_late.conf"), wrongTypesLate) &&
           put(dir, QStringLiteral("out_of_range.conf"), outOfRange) &&
           put(dir, QStringLiteral("empty.conf"), QByteArray());
}

bool requestSeeds(const QString& dir)
{
    const QByteArray host = "Host: 127.0.0.1:8080\r\n";
    const QList<QPair<const char*, QByteArray>> seeds = {
        {"get_results.http", "GET / HTTP/1.1\r\n" + host + "Accept: text/html\r\n\r\n"},
        {"get_top10.http", "GET /top10 HTTP/1.1\r\n" + host + "\r\n"},
        {"get_clock.http", "GET /uhr?x=1 HTTP/1.1\r\n" + host + "Connection: close\r\n\r\n"},
        {"get_api.http", "GET /api/results.json HTTP/1.1\r\n" + host +
                             "\r\nGET /api/state.json HTTP/1.1\r\n" + host + "\r\n"},
        {"get_assets.http", "GET /live.css HTTP/1.1\r\n" + host + "\r\nGET /live.js HTTP/1.0\r\n\r\n"},
        {"get_events.http", "GET /api/events HTTP/1.1\r\n" + host + "Accept: text/event-stream\r\n\r\n"},
        {"head.http",
         "HEAD /top10 HTTP/1.1\r\n" + host + "\r\nHEAD /api/events HTTP/1.1\r\n" + host + "\r\n"},
        {"post.http",
         "POST / HTTP/1.1\r\n" + host + "Content-Type: text/plain\r\nContent-Length: 5\r\n\r\nhallo"},
        {"put_delete_options.http", "PUT /x HTTP/1.1\r\n" + host +
                                        "Content-Length: 0\r\n\r\nDELETE / HTTP/1.1\r\n" + host +
                                        "\r\nOPTIONS * HTTP/1.1\r\n" + host + "\r\n"},
        {"long_header.http", "GET / HTTP/1.1\r\n" + host + "Cookie: " + QByteArray(3000, 'a') + "\r\n\r\n"},
        {"many_headers.http",
         [&] {
             QByteArray r = "GET / HTTP/1.1\r\n" + host;
             for (int i = 0; i < 20; ++i)
                 r += "X-Kopf-" + QByteArray::number(i) + ": " + QByteArray::number(i) + "\r\n";
             return r + "\r\n";
         }()},
        {"traversal.http", "GET /../../../../etc/passwd HTTP/1.1\r\n" + host + "\r\n"},
        {"traversal_encoded.http", "GET /%2e%2e/%2e%2e/geheim.txt HTTP/1.1\r\n" + host + "\r\n"},
        {"traversal_asset.http", "GET /live.css/../geheim.txt HTTP/1.1\r\n" + host +
                                     "\r\nGET //geheim.txt HTTP/1.1\r\n" + host + "\r\n"},
        {"absolute_uri.http", "GET http://127.0.0.1/../geheim.txt HTTP/1.1\r\n" + host + "\r\n"},
        {"file_name.http", "GET /geheim.txt HTTP/1.1\r\n" + host + "\r\n"},
        {"upgrade.http", "GET /api/events HTTP/1.1\r\n" + host +
                             "Connection: Upgrade\r\nUpgrade: websocket\r\nSec-WebSocket-Version: 13\r\n"
                             "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n\r\n"},
        {"lf_only.http", "GET /top10 HTTP/1.1\nHost: x\n\n"},
        {"chunked_post.http", "POST /api/state.json HTTP/1.1\r\n" + host +
                                  "Transfer-Encoding: chunked\r\n\r\n5\r\nhallo\r\n0\r\n\r\n"},
        {"http10_keep_alive.http",
         "GET / HTTP/1.0\r\nConnection: keep-alive\r\n\r\nGET /uhr HTTP/1.0\r\n\r\n"},
    };
    for (const auto& s : seeds)
        if (!put(dir, QString::fromLatin1(s.first), s.second))
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_make_corpus <corpus folder>\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir scratch;
    const bool ok = scratch.isValid() && protocolSeeds(root + QStringLiteral("/fuzz_protocol_text")) &&
                    workbookSeeds(root + QStringLiteral("/fuzz_workbook"), scratch.path()) &&
                    settingsSeeds(root + QStringLiteral("/fuzz_settings"), scratch.path()) &&
                    requestSeeds(root + QStringLiteral("/fuzz_live_request"));
    if (!ok) {
        std::fprintf(stderr, "the corpus could not be written\n");
        return 1;
    }
    return 0;
}
