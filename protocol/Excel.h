#pragma once

#include <QString>

#include <functional>

// The spreadsheet view: the protocol workbook, written by the workbook writer
// to a file of its own in the operator's folder, is handed to the desktop's
// spreadsheet application, which shows it to the operator.
class TExcel {
public:
    // Writes the protocol workbook to path; reports its own failures (true on success).
    using Writer = std::function<bool(const QString& path)>;
    // Opens a finished workbook file for the operator; false if nothing can open it.
    using Opener = std::function<bool(const QString& file)>;

    TExcel(Writer writer, Opener opener);

    // Succeeds when there is something to write and to open the workbook with.
    bool Connect();
    // Writes the workbook as folder/baseName.xlsx, or under the first free name
    // baseName-2.xlsx, baseName-3.xlsx, ... so that no file is replaced, and opens it.
    // False on failure; errorString() is empty when the writer reported it.
    bool ShowWorkbook(const QString& folder, const QString& baseName);

    // The workbook file (empty before ShowWorkbook found a name).
    QString fileName() const { return m_fileName; }
    // Why the last operation failed.
    QString errorString() const { return m_error; }

private:
    bool fail(const QString& text);

    Writer m_writer;
    Opener m_opener;
    QString m_fileName;
    QString m_error;
};
