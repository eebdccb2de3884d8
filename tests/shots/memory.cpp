// Peak resident size of the program with a protocol of n lines loaded and ranked:
//   /usr/bin/time -v build/bin/akmemory 10000    (QT_QPA_PLATFORM=offscreen)
#include "app/FMain.h"
#include "fake_clock_parts.h"
#include "protocol/protocol_text.h"
#include "results/results_table.h"
#include "test_deps.h"

#include <QApplication>
#include <QTemporaryDir>

#include <sys/resource.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int n = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    FakeTickSource ticks;
    FakeGong gong;
    TFormMain w(testDeps(&ticks, &gong));
    w.createCompanionWindows();
    w.show();

    // A protocol file as the program writes it, read back through the loader.
    ResultsTable source;
    for (int i = 1; i <= n; ++i) {
        const QStringList row{QString::number(i), QStringLiteral("Fahrer %1").arg(i), QStringLiteral("Beifahrer %1").arg(i),
                              QStringLiteral("Marke %1").arg(i % 37), QString::number(1900 + i % 120),
                              QString::number(i % 9), QStringLiteral("1:%1,%2").arg(10 + i % 50).arg(i % 100, 2, 10, QLatin1Char('0')),
                              QStringLiteral("%1,%2").arg(20 + i % 40).arg(i % 100, 2, 10, QLatin1Char('0')),
                              QStringLiteral("0"), QString::number(i % 9), QString()};
        if (i == 1)
            source.setRow(1, row);
        else
            source.appendRow(row);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("protokoll.txt"));
    QString error;
    if (!SaveProtocolText(path, source, &error))
        return 1;
    ProtocolTextContent content;
    if (!LoadProtocolText(path, &content, &error))
        return 1;
    applyProtocolText(w.resultsTable(), content);
    w.setStartList(content.startList);
    w.RankResults();
    w.FormResize();
    QApplication::processEvents();
    w.grab();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%d rows loaded and ranked; peak resident size %.1f MB\n", w.resultsTable().dataRowCount(),
                usage.ru_maxrss / 1024.0);
    return 0;
}
