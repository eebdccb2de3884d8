#include "app/data_check.h"

#include "platform/data_paths.h"
#include "protocol/docx_writer.h"
#include "settings/settings_store.h"

#include <QFile>
#include <QFileInfo>

QList<DataItem> shippedDataItems()
{
    // The built-in gong choice is the shipped one, whatever the operator has set since.
    const AppSettings defaults;
    return {
        {QStringLiteral("Datenordner"), DataPaths::dataDir(), true},
        {QStringLiteral("Gong TIMER"), defaults.sound0, false},
        {QStringLiteral("Gong Anhalten"), defaults.sound1, false},
        {QStringLiteral("Gong Eliminieren"), defaults.sound2, false},
        {QStringLiteral("Vorlage"), wordTemplatePath(), false},
        {QStringLiteral("Handbuch"), DataPaths::dataFile(QStringLiteral("help/index.html")), false},
    };
}

QStringList dataCheckReport(const QList<DataItem>& items, bool* allFound)
{
    bool all = true;
    QStringList lines;
    for (const DataItem& item : items) {
        QString state;
        const QFileInfo info(item.path);
        if (item.folder) {
            state = info.isDir() ? QStringLiteral("vorhanden") : QStringLiteral("fehlt");
            all = all && info.isDir();
        } else if (!info.exists()) {
            state = QStringLiteral("fehlt");
            all = false;
        } else {
            QFile f(item.path);
            if (info.isFile() && f.open(QIODevice::ReadOnly)) {
                state = QStringLiteral("vorhanden, %1 Bytes").arg(f.size());
            } else {
                state = QStringLiteral("nicht lesbar");
                all = false;
            }
        }
        lines << QStringLiteral("%1: %2: %3").arg(item.what, item.path, state);
    }
    if (allFound)
        *allFound = all;
    return lines;
}
