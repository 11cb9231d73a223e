#pragma once

#include <QList>
#include <QString>
#include <QVariant>

class QSqlQuery;

// One entry of an export's column lists. For a data column FieldName names the data set's field and Caption
// is the column heading (an empty FieldName still gets its heading, but no values). For heading and
// closing entries FieldName holds the text to write and Caption an optional label above it. The second
// text is carried for the callers and not read by the export.
struct TExcelFieldName
{
    QString FieldName;
    QString DisplayName;
    QString Caption;
};
using TExcelFieldArray = QList<TExcelFieldName>;

// What the export needs of a data set.
class ExportRows
{
public:
    virtual ~ExportRows() = default;
    virtual bool isOpen() const = 0;
    // Index of the named field, -1 when the data set has none.
    virtual int fieldIndex(const QString& name) const = 0;
    // Moves to the first record; false when there is none.
    virtual bool first() = 0;
    // Moves to the next record; false after the last.
    virtual bool next() = 0;
    // The current record's value of the field as text.
    virtual QString text(int field) const = 0;
};

// The rows of an executed query (forward-only is fine: it is read once, from the start).
class SqlQueryRows : public ExportRows
{
public:
    explicit SqlQueryRows(QSqlQuery* query) : m_query(query) {}
    bool isOpen() const override;
    int fieldIndex(const QString& name) const override;
    bool first() override;
    bool next() override;
    QString text(int field) const override;

private:
    QSqlQuery* m_query;
};

// The spreadsheet export of a list: heading entries, the column headings (led by "序号" with row numbers),
// one row per record, then the closing entries, written into a workbook of one sheet named after the
// report. Values go in as text; a value that is longer than 10 GBK bytes, or longer than 8 without a
// point, gets the text format so long digit strings such as record numbers stay as written, while a short
// plain number becomes a number.
namespace SheetExport {

// The export's text rule: true when the value must carry the text format "@".
bool needsTextFormat(const QString& value);
// The text of a field value as the export and the lists show it (numbers at 15 significant digits).
QString valueText(const QVariant& value);

// Writes the export to path (under a temporary name, renamed when complete). Every failure is shown as a
// warning with the export's own message and gives false; detail, when given, gets the underlying reason.
bool ExportToXlsx(const QString& path, const QString& reportName, bool id, ExportRows* dataSet,
                  const TExcelFieldArray& columns, const TExcelFieldArray& headings, const TExcelFieldArray& closings,
                  QString* detail = nullptr);

// True when sql is exactly one statement, a SELECT (or WITH … SELECT) that changes nothing, on the
// program's connection.
bool isSingleSelect(const QString& sql, QString* error);
// Runs a single SELECT read-only on the program's connection and exports its rows, the columns headed by
// their names. title names the sheet.
bool exportQuery(const QString& sql, const QString& path, const QString& title, bool rowNumbers, QString* error);

} // namespace SheetExport
