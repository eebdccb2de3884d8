// The live pages with sample results, for screenshots and a look in a browser (not a test):
//   QT_QPA_PLATFORM=offscreen build/bin/aklivedemo <port> [ready|phase2|penalty|stopped]
// Runs the real main window offscreen with twelve results and one competitor on course, and
// its live server on the port (whole network) until it is ended.
#include "app/FMain.h"
#include "fake_clock_parts.h"
#include "results/results_table.h"
#include "test_deps.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const quint16 port = argc > 1 ? quint16(QByteArray(argv[1]).toUInt()) : 8080;
    const QByteArray mode = argc > 2 ? QByteArray(argv[2]) : QByteArray("phase2");
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());

    FakeTickSource ticks(1000);
    FakeGong gong;
    TFormMain w(testDeps(&ticks, &gong));
    w.show();

    struct Result {
        const char *stNr, *driver, *coDriver, *make, *year, *skill, *t1, *t2, *timePts, *total, *place;
    };
    const Result results[] = {
        {"12", "Hans-Peter Obermüller", "Anna Obermüller", "Lanz Bulldog D 2806", "1956", "0", "58,31",
         "59,02", "0", "0", "1"},
        {"4", "Josef Huber", "Maria Huber", "Fendt Dieselross F 20", "1952", "1", "1:02,77", "1:01,10", "0",
         "1", "2"},
        {"27", "Franziska Steinberger", "Lukas Steinberger", "Hanomag R 16", "1954", "1", "1:05,40",
         "1:06,93", "0", "1", "3"},
        {"8", "Karl Wimmer", "Sepp Wimmer", "Deutz F1L 514", "1951", "2", "55,12", "57,80", "0", "2", "4"},
        {"31", "Theresa Gruber", "Martin Gruber", "Porsche Junior 108", "1959", "2", "1:10,03", "1:08,44",
         "0", "2", "5"},
        {"19", "Alois Brandstätter", "Georg Brandstätter", "Eicher ED 16", "1953", "1", "1:00,00", "1:47,31",
         "1,3", "2,3", "6"},
        {"2", "Michael Rieger", "Paul Rieger", "McCormick Farmall D-326", "1958", "3", "1:12,50", "1:11,95",
         "0", "3", "7"},
        {"15", "Ursula Hofbauer", "Eva Hofbauer", "Güldner AF 30", "1957", "3", "1:15,21", "1:17,02", "0",
         "3", "8"},
        {"22", "Bernd Lechner", "Tom Lechner", "Schlüter DS 25", "1955", "4", "1:01,90", "1:03,33", "0", "4",
         "9"},
        {"6", "Walter Kienberger", "Heinz Kienberger", "Allgaier A 22", "1950", "5", "1:20,12", "1:19,87",
         "0", "5", "10"},
        {"10", "Stefan Moser", "Lisa Moser", "IHC Farmall F 12 G", "1949", "2", "1:09,41", "1:08,00", "0",
         "2", "AUS"},
        {"33", "Peter <script>Maier</script>", "Jakob Maier", "Kramer KL 11", "1954", "-", "EL", "EL", "-",
         "EL", "EL"},
    };
    ResultsTable& table = w.resultsTable();
    for (const Result& r : results)
        table.appendRow({QString::fromUtf8(r.stNr), QString::fromUtf8(r.driver),
                         QString::fromUtf8(r.coDriver), QString::fromUtf8(r.make), QString::fromUtf8(r.year),
                         QString::fromUtf8(r.skill), QString::fromUtf8(r.t1), QString::fromUtf8(r.t2),
                         QString::fromUtf8(r.timePts), QString::fromUtf8(r.total),
                         QString::fromUtf8(r.place)});
    if (ResultsTable::isBlank(table.cell(ResultsTable::StNr, 1)))
        table.deleteRow(1);

    w.control<QLineEdit>(QStringLiteral("eFText1"))->setText(QStringLiteral("Furchenlauf Oberried 2024"));
    w.control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QStringLiteral("17"));
    w.control<QLineEdit>(QStringLiteral("Reiter"))->setText(QStringLiteral("Johann Pichler"));
    w.control<QLineEdit>(QStringLiteral("eName2"))->setText(QStringLiteral("Rosa Pichler"));
    w.control<QLineEdit>(QStringLiteral("eMarke"))->setText(QStringLiteral("Lanz Bulldog D 1706"));
    auto* year = w.control<QComboBox>(QStringLiteral("eGOD"));
    year->setCurrentIndex(year->findText(QStringLiteral("1955")));

    if (mode != "ready") {
        w.menuAction(QStringLiteral("mStart"))->trigger();
        ticks.advance(61230);
        w.clock().ClockTimer();
        w.menuAction(QStringLiteral("mStop"))->trigger(); // phase 2 from here
        ticks.advance(mode == "penalty" ? 108000 : 38000);
        w.clock().ClockTimer();
        if (mode == "stopped")
            w.menuAction(QStringLiteral("mStop"))->trigger();
    }

    w.settings().live = LiveSettings{true, qint32(port), false};
    w.applyLiveSettings();
    if (!w.liveService()->running()) {
        qWarning("%s", qPrintable(w.liveStatusText()));
        return 1;
    }
    qInfo("%s", qPrintable(w.liveUrls().join(QLatin1Char(' '))));
    return QApplication::exec();
}
