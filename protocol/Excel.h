#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class ResultsTable;
struct lxw_workbook;
struct lxw_worksheet;

// The spreadsheet view export: lines of cells are put into a new workbook, which is
// written to a temporary file and handed to the opener (the desktop's default
// application for .xlsx). The workbook is never saved anywhere else.
class TExcel : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool ExcelNew READ ExcelNew WRITE setExcelNew)
    Q_PROPERTY(bool Horizontal READ Horizontal WRITE setHorizontal)
    Q_PROPERTY(int line READ line WRITE setLine)
public:
    // Opens a finished workbook file for the operator; false if nothing can open it.
    using Opener = std::function<bool(const QString& file)>;

    explicit TExcel(Opener opener, QObject* parent = nullptr);
    ~TExcel() override;

    // Each export makes its own workbook, so a "new instance" changes nothing here.
    bool ExcelNew() const { return m_excelNew; }
    void setExcelNew(bool on) { m_excelNew = on; }
    // true: a line fills a sheet row; false: a sheet column.
    bool Horizontal() const { return m_horizontal; }
    void setHorizontal(bool on) { m_horizontal = on; }
    // The sheet row (or column), from 1, that the next PutLine fills.
    int line() const { return m_line; }
    void setLine(int line) { m_line = line; }
    // The cells of the next line.
    QStringList& cells() { return m_cells; }
    const QStringList& cells() const { return m_cells; }
    void setCells(const QStringList& cells) { m_cells = cells; }

    // Succeeds when there is something to open the workbook with.
    bool Connect();
    // line := 1 and a new, empty workbook in a temporary file.
    bool NewWorkbook();
    // The cells into row (or column) line, as text; then line + 1.
    bool PutLine();
    // Fits the column widths, finishes the workbook file and opens it.
    bool FitColumns();

    // The workbook file (empty before NewWorkbook).
    QString fileName() const { return m_fileName; }
    // Why the last operation failed.
    QString errorString() const { return m_error; }

private:
    bool fail(const QString& text);
    void discardWorkbook();

    Opener m_opener;
    bool m_excelNew = false;
    bool m_horizontal = true;
    int m_line = 1;
    QStringList m_cells;
    lxw_workbook* m_book = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    QVector<double> m_widths; // per sheet column, from 0
    QString m_fileName;
    QString m_error;
};

// The cells of one table row for the spreadsheet: the first comma of each cell
// becomes a full stop ("1:23,45" -> "1:23.45", "1,5,2" -> "1.5,2").
QStringList excelLineCells(const QStringList& row);

// The whole view export: Connect, NewWorkbook, every table row from the header
// down as one line, FitColumns. False (with excel.errorString()) on failure.
bool exportTableToExcel(TExcel& excel, const ResultsTable& table);
