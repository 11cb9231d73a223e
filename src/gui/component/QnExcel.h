#pragma once

#include "query/QnQuery.h"
#include "sheet/SheetExport.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class TQnQuery;

// Copies the rows of a list into a workbook (.xlsx) and opens it with the desktop's spreadsheet program:
// heading entries, the column headings (led by "序号" with ID), one row per record, the closing entries.
// The workbook is written into the temporary folder under the report's name; when no program opens it,
// the user is told where it is.
class TQnExcel : public QObject
{
    Q_OBJECT
public:
    explicit TQnExcel(QObject* parent = nullptr);

    // The rows: a query of the screen, or any other row source (the report chooser's data).
    TQnQuery* DataSet() const { return m_query; }
    void setDataSet(TQnQuery* query);
    void setRows(ExportRows* rows) { m_rows = rows; }
    QString ReportName() const { return m_reportName; }
    void setReportName(const QString& name) { m_reportName = name; }
    bool ID() const { return m_id; }
    void setID(bool on) { m_id = on; }

    // Reports its own failures as warnings.
    void ExportToExcel(const TExcelFieldArray& columns, const TExcelFieldArray& headings = {},
                       const TExcelFieldArray& closings = {});
    // The workbook the last export wrote (empty when it wrote none).
    QString lastFile() const { return m_lastFile; }
    // The folder exports go to (the context's TempDir, else the system's temporary folder).
    static QString exportFolder();
    // A file name for a report name: characters a file name cannot hold become "_".
    static QString fileNameFor(const QString& reportName);

private:
    QPointer<TQnQuery> m_query;
    ExportRows* m_rows = nullptr;
    QString m_reportName;
    bool m_id = false;
    QString m_lastFile;
};

// A TQnQuery as export rows: walks its records from the first; the query is left on its last record.
class QnQueryRows : public ExportRows
{
public:
    explicit QnQueryRows(TQnQuery* query) : m_query(query) {}
    bool isOpen() const override;
    int fieldIndex(const QString& name) const override;
    bool first() override;
    bool next() override;
    QString text(int field) const override;

private:
    TQnQuery* m_query;
};
