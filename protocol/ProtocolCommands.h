#pragma once

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QUrl>
#include <QVector>

#include <functional>

class QWidget;
class RecoveryStore;
class ResultsTable;

// What the protocol commands need from the main window.
class ProtocolHost {
public:
    virtual ~ProtocolHost() = default;
    virtual QWidget* hostWindow() = 0;
    virtual ResultsTable& resultsTable() = 0;
    virtual bool askYesNo(const QString& question) = 0; // yes/no dialog
    virtual void rankResults() = 0;                     // RankResults
    virtual void formResize() = 0;                      // column widths
    virtual void nextCompetitor() = 0;                  // bRESETClick
    virtual void updateProtocolButtons() = 0;
    virtual void setStartList(const QStringList& entries) = 0; // fills cbStNr, runs cbStNrChange
    virtual QString eventTitle() const = 0;                    // eFText1
    virtual QVector<int> columnWidths() const = 0;             // current view widths
    virtual void showError(const QString& text) = 0;           // error message box
    virtual bool openUrl(const QUrl& url) = 0;                 // desktop opener
    virtual bool printHtmlFile(const QString& path) = 0;       // print dialog + rendering
};

// The file kinds of the save dialog, in its order; the open dialog lists the first two.
enum class ProtocolKind { Text = 0, Sheet, Word, Html };

struct FileDialogRequest {
    bool save = true;
    QString folder;
    QString fileName;
    QStringList filters;
    int filterIndex = 0; // 0-based, preselected
};

struct FileDialogAnswer {
    QString path; // empty: cancelled
    int filterIndex = 0;
};

// The protocol toolbar: save, open, clear, web page and print, and the offer to
// restore the results of a session that ended abnormally.
class ProtocolCommands : public QObject {
    Q_OBJECT
public:
    // Writers and readers of other kinds: true on success, else an error text.
    using FileHook = std::function<bool(const QString& path, QString* error)>;
    using FileDialogHook = std::function<FileDialogAnswer(const FileDialogRequest&)>;

    explicit ProtocolCommands(ProtocolHost& host, QObject* parent = nullptr);

    void setSaveSheet(FileHook hook) { m_saveSheet = std::move(hook); }
    void setLoadSheet(FileHook hook) { m_loadSheet = std::move(hook); }
    void setSaveWord(FileHook hook) { m_saveWord = std::move(hook); }
    // Replaces the system's file dialog (tests).
    void setFileDialogHook(FileDialogHook hook) { m_fileDialog = std::move(hook); }
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }
    void setAppTitle(const QString& title) { m_appTitle = title; }

    // The kind last chosen in the save dialog, 1-based (the setting "FiltInd").
    int filtInd() const { return m_filtInd; }
    void setFiltInd(int index);
    // Where both file dialogs start; follows the folder of the last chosen file.
    QString startFolder() const { return m_startFolder; }
    void setStartFolder(const QString& folder) { m_startFolder = folder; }

    static QStringList saveFilters();
    static QStringList openFilters();
    static QString extensionOf(ProtocolKind kind);
    static QString writeErrorText(const QString& path);

    // The web page of sbHTML and sbPrint: "<program>.html" in the working folder.
    static QString htmlFileName();

    // Writes the table as the given kind; reports a failure to the host.
    bool saveAs(ProtocolKind kind, const QString& path);

    // At start-up, before the session begins: offers the results of a session that
    // ended abnormally, then starts the session and writes the first copy.
    void offerRecovery(RecoveryStore& store);

Q_SIGNALS:
    // A protocol file was written (its full path), for telling the operator where it went.
    void fileWritten(const QString& path);

public Q_SLOTS:
    void sbSaveClick();
    void sbLoadClick();
    void sbCLSClick();
    void sbHTMLClick(int tag);

private:
    FileDialogAnswer runFileDialog(const FileDialogRequest& request);
    bool loadText(const QString& path);

    ProtocolHost& m_host;
    FileHook m_saveSheet;
    FileHook m_loadSheet;
    FileHook m_saveWord;
    FileDialogHook m_fileDialog;
    std::function<QDateTime()> m_now;
    QString m_appTitle = QStringLiteral("Acker Klassik");
    QString m_startFolder;
    int m_filtInd = 1;
    int m_openIndex = 1;
};
