// Renders the program's windows to PNG files for a look by eye, and the set of
// pictures of the operator's manual:
//   build/bin/akshots <folder>
// The manual's pictures land in <folder>/handbuch (scripts/manual_pictures.sh
// copies them into data/help/bilder).
#include "../widgets/two_screens.h"
#include "app/FMain.h"
#include "dialogs/DlgYesNo.h"
#include "dialogs/FInfo.h"
#include "displays/FMonitor2.h"
#include "displays/FMonitor3.h"
#include "fake_clock_parts.h"
#include "protocol/protocol_html.h"
#include "settings/Cfg.h"
#include "test_deps.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QTranslator>
#include <QUrl>

namespace {

struct Entry {
    const char* stNr;
    const char* driver;
    const char* coDriver;
    const char* make;
    const char* year;
    int skillPoints;
    int phase1Ms;
    int phase2Ms;
};

// Ten competitors with long names; some run over the allowed 45 s in phase 2.
const Entry kEntries[10] = {
    {"7", "Hans-Peter Obermüller", "Franziska Obermüller", "Lanz Bulldog D 2806", "1952", 12, 61000, 52000},
    {"3", "Maria Lechner", "Theresia Brandl-Huber", "Hanomag R 16 Standard", "1951", 11, 58200, 104450},
    {"12", "Josef Brandl", "Korbinian Brandl", "Fendt Dieselross F 20 G", "1954", 13, 64300, 50100},
    {"21", "Theo Wimmer", "Anna-Lena Wimmer", "Deutz F1L 514/51", "1956", 9, 59900, 110800},
    {"22", "Lisa Gruber", "Maximilian Gruber", "Porsche Junior 108 L", "1957", 14, 66100, 48000},
    {"23", "Karl Steiner", "Walburga Steiner", "Eicher EKL 15/I", "1955", 15, 70400, 55500},
    {"24", "Resi Huber", "Bartholomäus Huber", "Güldner ADN 9", "1953", 16, 62000, 51000},
    {"25", "Sepp Maier", "Kreszenz Maier", "McCormick D-326", "1958", 17, 63500, 60000},
    {"26", "Franz Ostler", "Eva-Maria Ostler", "Lanz Bulldog HR 8", "1950", 18, 68000, 49000},
    {"27", "Max Bauer", "Michaela Bauer", "Schlüter DS 25", "1959", 19, 71000, 50500},
};

void fill(TFormMain& w, const Entry& e)
{
    w.control<QComboBox>(QStringLiteral("cbStNr"))->setEditText(QString::fromUtf8(e.stNr));
    w.control<QLineEdit>(QStringLiteral("Reiter"))->setText(QString::fromUtf8(e.driver));
    w.control<QLineEdit>(QStringLiteral("eName2"))->setText(QString::fromUtf8(e.coDriver));
    w.control<QLineEdit>(QStringLiteral("eMarke"))->setText(QString::fromUtf8(e.make));
    auto* year = w.control<QComboBox>(QStringLiteral("eGOD"));
    year->setCurrentIndex(year->findText(QString::fromUtf8(e.year)));
    w.control<QLineEdit>(QStringLiteral("ePunkte1"))->setText(QString::number(e.skillPoints));
}

void enter(TFormMain& w, FakeTickSource& ticks, const Entry& e)
{
    fill(w, e);
    w.sequence().mStartClick();
    ticks.advance(e.phase1Ms);
    w.sequence().mStopClick();
    ticks.advance(e.phase2Ms);
    w.clock().ClockTimer(); // the penalty points of phase 2
    w.sequence().mStopClick();
    w.sequence().mEintragenClick();
    w.sequence().bRESETClick();
}

class Shots {
public:
    explicit Shots(const QString& dir) : m_dir(dir) { QDir().mkpath(dir + QStringLiteral("/handbuch")); }
    // A picture for a look, and, if named, a copy for the manual at most 960 pixels wide.
    void save(QWidget* w, const QString& name, const QString& manualName = QString())
    {
        QApplication::processEvents();
        save(w->grab().toImage(), name, manualName);
    }
    void save(const QImage& img, const QString& name, const QString& manualName = QString())
    {
        img.save(m_dir + QLatin1Char('/') + name);
        if (!manualName.isEmpty()) {
            const QImage small = img.width() > 960 ? img.scaledToWidth(960, Qt::SmoothTransformation) : img;
            small.save(m_dir + QStringLiteral("/handbuch/") + manualName);
        }
    }
    QString path(const QString& name) const { return m_dir + QLatin1Char('/') + name; }

private:
    QString m_dir;
};

} // namespace

int main(int argc, char** argv)
{
    // Offscreen runs get the operator's screen and a 1920 x 1080 spectators' screen.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen")
        useTwoOffscreenScreens();
    QApplication app(argc, argv);
    // Qt's own dialogs in German, as the program shows them.
    QTranslator qtGerman;
    if (qtGerman.load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtGerman);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp");
    Shots shots(dir);
    FakeTickSource ticks(1000);
    FakeGong gong;
    TFormMain w(testDeps(&ticks, &gong));
    w.createCompanionWindows();
    w.control<QLineEdit>(QStringLiteral("eFText1"))->setText(QStringLiteral("Oldtimertreffen Sommerfest"));
    w.show();
    // The offscreen platform sends no resize when the window appears: lay it out as a desktop does.
    w.FormResize();
    shots.save(&w, QStringLiteral("main-809x551.png"), QStringLiteral("hauptfenster.png"));

    // The time display as the program starts: the countdown length in the timer colour.
    w.settings().monitor = QGuiApplication::screens().size() > 1 ? 1 : 0;
    w.bMon2Click();
    shots.save(w.timeDisplay(), QStringLiteral("monitor2-start.png"),
               QStringLiteral("zeitanzeige-start.png"));
    w.Monitor30Click();

    for (int i = 0; i < 3; ++i)
        enter(w, ticks, kEntries[i]);
    // The fourth competitor's run, 1:23 into phase 1.
    fill(w, kEntries[3]);
    w.sequence().mStartClick();
    ticks.advance(83456);
    w.clock().ClockTimer();
    shots.save(&w, QStringLiteral("main-running.png"), QStringLiteral("hauptfenster-lauf.png"));
    w.resize(1280, 800);
    shots.save(&w, QStringLiteral("main-1280x800.png"));

    // The spectator windows on the second screen: time display during the run,
    // top ten with ten results.
    w.bMon2Click();
    shots.save(w.timeDisplay(), QStringLiteral("monitor2-running.png"), QStringLiteral("zeitanzeige.png"));
    w.sequence().mStopClick();
    ticks.advance(kEntries[3].phase2Ms);
    w.clock().ClockTimer();
    w.sequence().mStopClick();
    w.sequence().mEintragenClick();
    w.sequence().bRESETClick();
    for (int i = 4; i < 10; ++i)
        enter(w, ticks, kEntries[i]);
    w.bMon3Click();
    shots.save(w.topTen(), QStringLiteral("monitor3-top10.png"), QStringLiteral("top10.png"));
    w.Monitor30Click();

    w.infoDialog()->show();
    shots.save(w.infoDialog(), QStringLiteral("info.png"), QStringLiteral("info.png"));
    w.infoDialog()->hide();
    w.yesNoDialog()->findChild<QLabel*>(QStringLiteral("Label1"))->setText(QStringLiteral("Beenden?"));
    w.yesNoDialog()->show();
    shots.save(w.yesNoDialog(), QStringLiteral("yesno.png"), QStringLiteral("frage.png"));
    w.yesNoDialog()->hide();
    w.settingsDialog()->fill(w.settings(), w.availablePorts());
    w.settingsDialog()->show();
    shots.save(w.settingsDialog(), QStringLiteral("settings.png"), QStringLiteral("einstellungen.png"));
    w.settingsDialog()->hide();
    shots.save(&w, QStringLiteral("main-ten-results.png"), QStringLiteral("hauptfenster-ergebnisse.png"));

    // The printer choice of Alt+D, photographed and closed while it waits for an answer.
    QTimer::singleShot(0, &w, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            shots.save(dialog, QStringLiteral("drucker.png"), QStringLiteral("drucker.png"));
            dialog->close();
        }
    });
    w.Drucker1Click();
    // Where a file went: the workbook for viewing, named in the status bar.
    w.setExportFolder(shots.path(QStringLiteral("Dokumente")));
    w.setUrlOpener([](const QUrl&) { return true; });
    w.sbExcelClick();
    const QImage main = w.grab().toImage();
    const QRect bar = w.statusBar()->geometry();
    shots.save(main.copy(0, bar.top() - 3, 760, main.height() - bar.top() + 3),
               QStringLiteral("statusleiste.png"), QStringLiteral("statusleiste.png"));
    // The printout, through the print command onto a PDF file, and its first page as a picture.
    const QString pdf = shots.path(QStringLiteral("protokoll.pdf"));
    w.printer()->setOutputFileName(pdf);
    w.sbPrintClick();
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (!pdftoppm.isEmpty()) {
        const QString stem = shots.path(QStringLiteral("protokoll-seite"));
        QProcess::execute(pdftoppm, {QStringLiteral("-r"), QStringLiteral("110"), QStringLiteral("-png"),
                                     QStringLiteral("-singlefile"), pdf, stem});
        shots.save(QImage(stem + QStringLiteral(".png")), QStringLiteral("protokoll-seite.png"),
                   QStringLiteral("ausdruck.png"));
    }
    // The web page of that table, for a look in a browser.
    SaveProtocolHtml(shots.path(QStringLiteral("protokoll.html")), w.resultsTable(),
                     w.resultColumnWidthsShown(), QStringLiteral("Acker Klassik"), w.eventTitle(), nullptr);
    return 0;
}
