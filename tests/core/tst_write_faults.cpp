// Every writer of the program under a failing file system: a full disk (a file-size
// limit, and a small tmpfs that is filled up), a read-only folder, a folder that is
// gone or is a file, a target that is a folder or read-only. A failed write reports
// the full path, leaves the folder byte for byte as it was (old file, no temporary
// file) and a later write succeeds. Also the rights a written file gets.
#include "fault_injection.h"
#include "protocol/docx_writer.h"
#include "protocol/office_open.h"
#include "protocol/protocol_html.h"
#include "protocol/protocol_text.h"
#include "protocol/recovery.h"
#include "protocol/xlsx_reader.h"
#include "protocol/xlsx_writer.h"
#include "results/results_table.h"
#include "settings/settings_store.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <sys/stat.h>

using namespace FaultInjection;

namespace {

enum class Writer { Text, Workbook, Document, WebPage, RecoveryCopy, DatedCopy, Settings };
enum class Fault {
    SizeLimit,    // 128 bytes: room for a lock file, not for any of the files written
    SizeOneShort, // one byte less than the file to be written
    SmallTmpfs,
    ReadOnlyFolder,
    FolderVanished,
    FolderIsFile,
    TargetIsFolder,
    ReadOnlyTarget
};

const QLocale kGerman(QLocale::German, QLocale::Germany);
const QDateTime kNow(QDate(2024, 5, 4), QTime(10, 11, 12));

const ResultsTable& sampleTable()
{
    static ResultsTable t;
    if (t.holdsResults())
        return t;
    t.setRow(1, {"7", "Max Bauer", " ", "Lanz", "1955", "2", "0,00", "1:23,45", "0", "2", "1"});
    t.appendRow({"12", "Jörg Öhler", "Änne", "Fendt", "1961", "4", "0,00", "1:31,02", "0", "4", "2"});
    return t;
}

QVector<int> allShown()
{
    return QVector<int>(ResultsTable::ColumnCount, 60);
}

AppSettings sampleSettings()
{
    AppSettings s;
    s.port[0] = 3;
    s.line[0] = 1;
    s.timer = 45;
    s.zeile1 = QStringLiteral("Pflügen am Hang");
    s.protocolFolder = QStringLiteral("/srv/läufe");
    return s;
}

QString fileName(Writer w)
{
    switch (w) {
    case Writer::Text:
        return QStringLiteral("protokoll.txt");
    case Writer::Workbook:
        return QStringLiteral("protokoll.xlsx");
    case Writer::Document:
        return QStringLiteral("protokoll.docx");
    case Writer::WebPage:
        return QStringLiteral("protokoll.html");
    case Writer::RecoveryCopy:
        return QStringLiteral("recovery.txt");
    case Writer::DatedCopy:
        return QStringLiteral("recovery-2024-05-04-10-11-12.txt");
    case Writer::Settings:
        return QStringLiteral("Acker Klassik.conf");
    }
    return QString();
}

// The writers that tell the operator what went wrong (the others are silent by design).
bool reportsError(Writer w)
{
    return w == Writer::Text || w == Writer::Workbook || w == Writer::Document || w == Writer::WebPage;
}

// One writer of the program, writing into one folder.
class WriterRig {
public:
    WriterRig(Writer writer, const QString& folder) : m_writer(writer), m_folder(folder)
    {
        if (writer == Writer::RecoveryCopy || writer == Writer::DatedCopy) {
            m_store = std::make_unique<RecoveryStore>(folder);
            m_store->sessionStarted();
        }
    }

    // The file an earlier run left there (a dated copy is never replaced: its
    // writer picks the next free name beside it).
    QByteArray oldBytes() const
    {
        if (m_writer != Writer::Settings)
            return QByteArray("ALT vorher\r\n");
        return QByteArray("[General]\nTimer=30\nZeile1=Alter Titel\n");
    }

    bool write(const QString& target, QString* error)
    {
        error->clear();
        const ResultsTable& t = sampleTable();
        switch (m_writer) {
        case Writer::Text:
            return SaveProtocolText(target, t, error);
        case Writer::Workbook:
            return SaveProtocolSheet(target, t, allShown(), QStringLiteral("Furchenlauf"), kGerman, error);
        case Writer::Document:
            return ExportToWordFile(wordTemplatePath(), target, t, error);
        case Writer::WebPage:
            return SaveProtocolHtml(target, t, allShown(), QStringLiteral("Acker Klassik"),
                                    QStringLiteral("Furchenlauf"), error);
        case Writer::RecoveryCopy:
            m_store->writeCopy(t);
            return fileBytes(m_store->copyPath()) == protocolTextBytes(t);
        case Writer::DatedCopy:
            m_datedPath = m_store->keepDatedCopy(t, kNow);
            return !m_datedPath.isEmpty();
        case Writer::Settings: {
            QSettings store(target, QSettings::IniFormat);
            return saveSettings(store, sampleSettings());
        }
        }
        return false;
    }

    // "" when what was written reads back as what was meant.
    QString checkWritten(const QString& target) const
    {
        const ResultsTable& t = sampleTable();
        switch (m_writer) {
        case Writer::Text:
        case Writer::RecoveryCopy:
            return fileBytes(target) == protocolTextBytes(t) ? QString() : QStringLiteral("text differs");
        case Writer::DatedCopy:
            return fileBytes(m_datedPath) == protocolTextBytes(t) ? QString()
                                                                  : QStringLiteral("copy differs");
        case Writer::WebPage:
            return fileBytes(target) == protocolHtmlBytes(t, allShown(), QStringLiteral("Acker Klassik"),
                                                          QStringLiteral("Furchenlauf"))
                       ? QString()
                       : QStringLiteral("page differs");
        case Writer::Workbook: {
            QVector<QStringList> rows;
            QString error;
            if (!readFirstSheet(target, &rows, &error, QLatin1Char(',')))
                return error;
            return rows.size() == 3 && rows[2].value(1) == QStringLiteral("Jörg Öhler")
                       ? QString()
                       : QStringLiteral("workbook differs");
        }
        case Writer::Document: {
            OfficeOpen::ZipPackage pkg;
            QByteArray xml;
            QString error;
            if (!pkg.open(target, &error) || !pkg.read(QStringLiteral("word/document.xml"), &xml, &error))
                return error;
            return xml.contains("Jörg Öhler") ? QString() : QStringLiteral("document lacks the table");
        }
        case Writer::Settings: {
            QSettings store(target, QSettings::IniFormat);
            AppSettings s;
            loadSettings(store, s);
            return s == sampleSettings() ? QString() : QStringLiteral("settings differ");
        }
        }
        return QStringLiteral("?");
    }

private:
    Writer m_writer;
    QString m_folder;
    std::unique_ptr<RecoveryStore> m_store;
    QString m_datedPath;
};

// Every entry below folder with its bytes (folders as "<dir>").
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> out;
    for (const QString& name : entriesOf(folder)) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).isDir()) {
            out.insert(name, "<dir>");
            for (const QString& inner : entriesOf(path))
                out.insert(name + QLatin1Char('/') + inner, fileBytes(QDir(path).filePath(inner)));
        } else {
            out.insert(name, fileBytes(path));
        }
    }
    return out;
}

QString describe(const QMap<QString, QByteArray>& files)
{
    QStringList parts;
    for (auto it = files.begin(); it != files.end(); ++it)
        parts << QStringLiteral("%1 (%2 bytes)").arg(it.key()).arg(it.value().size());
    return parts.join(QStringLiteral(", "));
}

// The whole round for one writer and one fault in folder (which exists and is empty):
// "" when the failed write kept everything and the write after it succeeded.
QString exercise(Writer writer, Fault fault, const QString& folder)
{
    WriterRig rig(writer, folder);
    QDir dir(folder);
    QString target = dir.filePath(fileName(writer));

    // The state before: the old file, or where the target is to go.
    switch (fault) {
    case Fault::FolderVanished:
        dir.mkdir(QStringLiteral("weg"));
        target = dir.filePath(QStringLiteral("weg/") + fileName(writer));
        break;
    case Fault::FolderIsFile:
        writeBytes(dir.filePath(QStringLiteral("kein-ordner")), "x");
        target = dir.filePath(QStringLiteral("kein-ordner/") + fileName(writer));
        break;
    case Fault::TargetIsFolder:
        dir.mkdir(fileName(writer));
        break;
    default:
        if (!writeBytes(target, rig.oldBytes()))
            return QStringLiteral("cannot write the old file");
        break;
    }
    if (fault == Fault::ReadOnlyTarget)
        QFile::setPermissions(target,
                              QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (fault == Fault::SmallTmpfs && !fillUp(folder))
        return QStringLiteral("the tmpfs did not fill up");
    if (fault == Fault::FolderVanished)
        dir.rmdir(QStringLiteral("weg")); // after the dialog, before the write
    const QMap<QString, QByteArray> before = snapshot(folder);

    qint64 limitBytes = 128;
    if (fault == Fault::SizeOneShort) {
        // The size of the file as written where nothing stops it.
        QTemporaryDir scratch;
        WriterRig measure(writer, scratch.path());
        QString ignored;
        const QString measured = scratch.filePath(fileName(writer));
        if (!measure.write(measured, &ignored))
            return QStringLiteral("cannot measure the file: ") + ignored;
        limitBytes = QFileInfo(measured).size() - 1;
    }

    QString error;
    bool ok = false;
    bool blocked = true;
    if (fault == Fault::SizeLimit || fault == Fault::SizeOneShort) {
        FileSizeLimit limit(limitBytes);
        ok = rig.write(target, &error);
    } else if (fault == Fault::ReadOnlyFolder) {
        ReadOnlyFolder readOnly(folder);
        blocked = readOnly.effective();
        ok = rig.write(target, &error);
    } else if (fault == Fault::ReadOnlyTarget) {
        WithoutAccessOverride asUser;
        ok = rig.write(target, &error);
    } else {
        ok = rig.write(target, &error);
    }
    if (!blocked)
        return QStringLiteral("SKIP:this file system lets even a read-only folder take new files");

    if (ok)
        return QStringLiteral("the write reported success");
    if (reportsError(writer)) {
        if (!error.contains(target))
            return QStringLiteral("the message does not name %1: %2").arg(target, error);
        static const QStringList german = {QStringLiteral("Datei"), QStringLiteral("Ordner"),
                                           QStringLiteral("Arbeitsmappe"), QStringLiteral("Datenträger")};
        const QString words = QString(error).remove(target);
        if (std::none_of(german.begin(), german.end(), [&](const QString& w) { return words.contains(w); }))
            return QStringLiteral("not a German message: ") + error;
    }
    const QMap<QString, QByteArray> after = snapshot(folder);
    if (after != before)
        return QStringLiteral("the folder changed: before %1; after %2")
            .arg(describe(before), describe(after));

    // The cause gone, the same write succeeds.
    switch (fault) {
    case Fault::SmallTmpfs:
        QFile::remove(dir.filePath(QStringLiteral("filler")));
        break;
    case Fault::FolderVanished:
        dir.mkdir(QStringLiteral("weg"));
        break;
    case Fault::FolderIsFile:
        QFile::remove(dir.filePath(QStringLiteral("kein-ordner")));
        dir.mkdir(QStringLiteral("kein-ordner"));
        break;
    case Fault::TargetIsFolder:
        dir.rmdir(fileName(writer));
        break;
    case Fault::ReadOnlyTarget:
        QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        break;
    default:
        break;
    }
    if (!rig.write(target, &error))
        return QStringLiteral("the write after the fault failed: ") + error;
    return rig.checkWritten(target);
}

const char* writerName(Writer w)
{
    switch (w) {
    case Writer::Text:
        return "text protocol";
    case Writer::Workbook:
        return "workbook";
    case Writer::Document:
        return "document";
    case Writer::WebPage:
        return "web page";
    case Writer::RecoveryCopy:
        return "recovery copy";
    case Writer::DatedCopy:
        return "dated copy of the old table";
    case Writer::Settings:
        return "settings";
    }
    return "?";
}

const char* faultName(Fault f)
{
    switch (f) {
    case Fault::SizeLimit:
        return "disk full (file-size limit)";
    case Fault::SizeOneShort:
        return "disk full one byte before the end (file-size limit)";
    case Fault::SmallTmpfs:
        return "disk full (small tmpfs)";
    case Fault::ReadOnlyFolder:
        return "read-only folder";
    case Fault::FolderVanished:
        return "folder removed before the write";
    case Fault::FolderIsFile:
        return "folder is a file";
    case Fault::TargetIsFolder:
        return "target is a folder";
    case Fault::ReadOnlyTarget:
        return "target is read-only";
    }
    return "?";
}

mode_t modeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 0777) : 0;
}

} // namespace

Q_DECLARE_METATYPE(Writer)
Q_DECLARE_METATYPE(Fault)

class TestWriteFaults : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void failedWriteKeepsEverything_data()
    {
        QTest::addColumn<Writer>("writer");
        QTest::addColumn<Fault>("fault");
        const Writer writers[] = {Writer::Text,         Writer::Workbook,  Writer::Document, Writer::WebPage,
                                  Writer::RecoveryCopy, Writer::DatedCopy, Writer::Settings};
        const Fault faults[] = {Fault::SizeLimit,      Fault::SizeOneShort,  Fault::SmallTmpfs,
                                Fault::ReadOnlyFolder, Fault::FolderIsFile,  Fault::TargetIsFolder,
                                Fault::ReadOnlyTarget, Fault::FolderVanished};
        for (Writer w : writers) {
            for (Fault f : faults) {
                // The dated copy always takes a new name. The recovery store writes into
                // its own folder and creates it again when it is missing, as the settings do.
                if (w == Writer::DatedCopy && (f == Fault::TargetIsFolder || f == Fault::ReadOnlyTarget))
                    continue;
                if ((f == Fault::FolderVanished || f == Fault::FolderIsFile) &&
                    (w == Writer::RecoveryCopy || w == Writer::DatedCopy || w == Writer::Settings))
                    continue;
                QTest::addRow("%s: %s", writerName(w), faultName(f)) << w << f;
            }
        }
    }
    void failedWriteKeepsEverything()
    {
        QFETCH(Writer, writer);
        QFETCH(Fault, fault);
        QTemporaryDir base;
        QVERIFY(base.isValid());
        const QString folder = base.filePath(QStringLiteral("ziel"));
        QVERIFY(QDir().mkpath(folder));
        QString outcome;
        if (fault == Fault::SmallTmpfs) {
            const ChildOutcome child =
                runOnSmallTmpfs(folder, 64, [&] { return exercise(writer, fault, folder); });
            if (child.skipped)
                QSKIP(qPrintable(QStringLiteral("no small tmpfs: ") + child.text));
            outcome = child.text;
        } else {
            outcome = exercise(writer, fault, folder);
        }
        if (outcome.startsWith(QLatin1String("SKIP:")))
            QSKIP(qPrintable(outcome.mid(5)));
        QVERIFY2(outcome.isEmpty(), qPrintable(outcome));
    }

    // A new file: read and write for all less the user's mask; a replaced file keeps
    // the rights it had.
    void writtenFileRights_data()
    {
        QTest::addColumn<Writer>("writer");
        QTest::addColumn<int>("mask");
        QTest::addColumn<int>("oldMode"); // 0: no old file
        QTest::addColumn<int>("mode");
        const Writer writers[] = {Writer::Text,    Writer::Workbook,     Writer::Document,
                                  Writer::WebPage, Writer::RecoveryCopy, Writer::Settings};
        for (Writer w : writers) {
            QTest::addRow("%s: new, mask 022", writerName(w)) << w << 0022 << 0 << 0644;
            QTest::addRow("%s: new, mask 002", writerName(w)) << w << 0002 << 0 << 0664;
            QTest::addRow("%s: new, mask 077", writerName(w)) << w << 0077 << 0 << 0600;
            QTest::addRow("%s: replaces 0600", writerName(w)) << w << 0022 << 0600 << 0600;
            QTest::addRow("%s: replaces 0664", writerName(w)) << w << 0022 << 0664 << 0664;
        }
        QTest::addRow("%s: new, mask 022", writerName(Writer::DatedCopy))
            << Writer::DatedCopy << 0022 << 0 << 0644;
    }
    void writtenFileRights()
    {
        QFETCH(Writer, writer);
        QFETCH(int, mask);
        QFETCH(int, oldMode);
        QTemporaryDir dir;
        WriterRig rig(writer, dir.path());
        const QString target = dir.filePath(fileName(writer));
        if (oldMode) {
            QVERIFY(writeBytes(target, rig.oldBytes()));
            QVERIFY(::chmod(QFile::encodeName(target).constData(), mode_t(oldMode)) == 0);
        }
        const mode_t before = ::umask(mode_t(mask));
        QString error;
        const bool ok = rig.write(target, &error);
        ::umask(before);
        QVERIFY2(ok, qPrintable(error));
        QTEST(int(modeOf(target)), "mode");
        const QStringList hidden = entriesOf(dir.path()).filter(QRegularExpression(QStringLiteral("^\\.")));
        QCOMPARE(hidden, QStringList());
    }

    // Saving over a symbolic link writes the file it points to and keeps the link, as
    // every writer does it.
    void writingThroughALinkKeepsTheLink_data()
    {
        QTest::addColumn<Writer>("writer");
        for (Writer w : {Writer::Text, Writer::Workbook, Writer::Document, Writer::WebPage, Writer::Settings})
            QTest::addRow("%s", writerName(w)) << w;
    }
    void writingThroughALinkKeepsTheLink()
    {
        QFETCH(Writer, writer);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("echt")));
        const QString real = dir.filePath(QStringLiteral("echt/") + fileName(writer));
        const QString link = dir.filePath(fileName(writer));
        WriterRig rig(writer, dir.path());
        QVERIFY(writeBytes(real, rig.oldBytes()));
        QVERIFY(QFile::link(real, link));
        QString error;
        QVERIFY2(rig.write(link, &error), qPrintable(error));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(rig.checkWritten(real), QString());
        QCOMPARE(entriesOf(dir.filePath(QStringLiteral("echt"))), QStringList{fileName(writer)});
    }
};

QTEST_GUILESS_MAIN(TestWriteFaults)
#include "tst_write_faults.moc"
