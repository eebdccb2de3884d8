#pragma once

#include <QDateTime>
#include <QLocale>
#include <QObject>
#include <QStringList>
#include <QUrl>
#include <QVector>

#include <functional>

class QWidget;
class RecoveryStore;
class ResultsTable;
struct ProtocolTextContent;

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
    // Writes the text of an open cell editor into the table (before the table is read).
    virtual void commitPendingEdit() {}
    // False while a run is being timed: the competitor on course must not be swapped by a
    // file opened meanwhile (a barrier may start a run while the open dialog is up).
    virtual bool mayReplaceProtocol() const { return true; }
    // A short notice for the operator that does not take the keyboard (status bar).
    virtual void showNotice(const QString& text) { Q_UNUSED(text); }
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
    // Writers of other kinds: true on success, else an error text.
    using FileHook = std::function<bool(const QString& path, QString* error)>;
    using FileDialogHook = std::function<FileDialogAnswer(const FileDialogRequest&)>;

    explicit ProtocolCommands(ProtocolHost& host, QObject* parent = nullptr);

    // The workbook writer (default: SaveProtocolSheet with the host's widths and title)
    // and the document writer (none by default).
    void setSaveSheet(FileHook hook) { m_saveSheet = std::move(hook); }
    void setSaveWord(FileHook hook) { m_saveWord = std::move(hook); }
    // Replaces the system's file dialog (tests).
    void setFileDialogHook(FileDialogHook hook) { m_fileDialog = std::move(hook); }
    void setClock(std::function<QDateTime()> now) { m_now = std::move(now); }
    void setAppTitle(const QString& title) { m_appTitle = title; }
    // The regional notation of points numbers in the table.
    void setLocale(const QLocale& locale) { m_locale = locale; }
    // Where opening a protocol keeps a dated copy of unsaved results it replaces.
    void setRecoveryStore(RecoveryStore* store) { m_recovery = store; }

    // The kind last chosen in the save dialog, 1-based (the setting "FiltInd").
    int filtInd() const { return m_filtInd; }
    void setFiltInd(int index);

    // The folder protocols were last saved in or opened from ("" = none yet). By
    // default kept here; a host that stores it (the setting "ProtocolFolder") hands
    // in how to read and write it.
    QString protocolFolder() const;
    void setProtocolFolder(const QString& folder);
    void setProtocolFolderAccess(std::function<QString()> get, std::function<void(const QString&)> set);
    // Where both file dialogs start: the protocol folder while it exists, else the
    // user's Documents folder.
    QString startFolder() const;

    // The table holds results that differ from those last saved or opened (the
    // order of the rows does not count).
    bool hasUnsavedResults() const;

    static QStringList saveFilters();
    static QStringList openFilters();
    static QString extensionOf(ProtocolKind kind);
    static QString writeErrorText(const QString& path);
    // The kind a file name asks for by its extension (.txt, .xlsx, .docx, .html or
    // .htm, any case); false when it names none of them.
    static bool kindOfName(const QString& path, ProtocolKind* kind);
    // The path and kind a typed name is saved as: a known extension decides the kind
    // whatever the filter shows; any other name gets the filter's extension appended
    // ("lauf" -> "lauf.txt", "Lauf 12.5" -> "Lauf 12.5.txt").
    static QString savePath(const QString& typed, ProtocolKind filterKind, ProtocolKind* kind);

    // The web page of sbHTML and sbPrint: "<program>.html" in the working folder.
    static QString htmlFileName();

    // Writes the table as the given kind; reports a failure to the host.
    bool saveAs(ProtocolKind kind, const QString& path);

    // At start-up, before the session begins: offers the results of a session that
    // ended abnormally, then starts the session and writes the first copy.
    void offerRecovery(RecoveryStore& store);

public Q_SLOTS:
    void sbSaveClick();
    void sbLoadClick();
    void sbCLSClick();
    void sbHTMLClick(int tag);

Q_SIGNALS:
    // A file was written successfully (every kind, the web page of sbHTML included).
    void fileWritten(const QString& path, ProtocolKind kind);
    // The save command wrote the protocol to path.
    void protocolSaved(const QString& path, ProtocolKind kind);
    // The open command replaced the table with the protocol at path.
    void protocolOpened(const QString& path);

private:
    FileDialogAnswer runFileDialog(const FileDialogRequest& request);
    bool readText(const QString& path, ProtocolTextContent* content);
    bool readSheet(const QString& path, QVector<QStringList>* rows);
    // Keeps the table about to be replaced as a dated copy; false when it could not be kept
    // and the operator chose not to open after all.
    bool keepDatedCopy();
    // Remembers the table's results as saved or opened.
    void markSaved();

    ProtocolHost& m_host;
    FileHook m_saveSheet;
    FileHook m_saveWord;
    FileDialogHook m_fileDialog;
    std::function<QDateTime()> m_now;
    QString m_appTitle = QStringLiteral("Acker Klassik");
    QLocale m_locale;
    RecoveryStore* m_recovery = nullptr;
    QString m_folder;
    std::function<QString()> m_getFolder;
    std::function<void(const QString&)> m_setFolder;
    // The data rows last saved or opened, sorted.
    QVector<QStringList> m_savedRows;
    int m_filtInd = 1;
    int m_openIndex = 1;
};
