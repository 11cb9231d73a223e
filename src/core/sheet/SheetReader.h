#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class SheetSource;

// Reads the first sheet of a spreadsheet file (.xlsx, .xls, or .csv in UTF-8 or GBK) as text, one row at a
// time: the first row that holds anything gives the headings, every later row comes as exactly
// columnCount() texts. Dates read as YYYY-MM-DD (with " HH:MM:SS" when their format shows a time), numbers
// as a person typed them. A row never holds more than the row being read, so a sheet of any length
// streams. A damaged, encrypted, empty or foreign file gives a message fit for the user, never a crash.
class SheetReader
{
public:
    enum class Format
    {
        Unknown,
        Xlsx,
        Xls,
        Csv
    };
    enum class CellKind : quint8
    {
        Empty,
        Text,
        Number,
        Boolean,
        Date,
        DateTime,
        Time,
        Error
    };
    struct CellInfo
    {
        CellKind kind = CellKind::Empty;
        bool textFormat = false; // the cell carries the text format "@"
    };

    SheetReader();
    ~SheetReader();
    SheetReader(const SheetReader&) = delete;
    SheetReader& operator=(const SheetReader&) = delete;

    // Opens the file and reads its heading row. False with errorString() when the file cannot be read.
    bool open(const QString& path);
    // Opens the file without taking a heading row: rows come from the sheet's first row on, empty rows
    // included, as wide as the widest row so far.
    bool openGrid(const QString& path);
    void close();

    QString errorString() const { return m_error; }
    bool hasError() const { return !m_error.isEmpty(); }
    Format format() const { return m_format; }
    QString sheetName() const;
    // Trimmed; a blank heading is "F" and its column number (F1 for the first column).
    QStringList headings() const { return m_headings; }
    int columnCount() const { return m_columns; }
    // Rows after the heading row as the file declares them; -1 when it does not say.
    qint64 rowCountHint() const;

    // The next row: false at the end of the sheet, or on an error (errorString() then tells which). A
    // cell beyond the headings read so far adds a heading ("F" and its column number).
    bool readRow(QStringList* cells, QList<CellInfo>* info = nullptr);
    // The sheet's row number (from 1) of the row readRow() gave last.
    qint64 sheetRow() const { return m_lastRow + 1; }

    // The format by the file's content (and, for text files, its name). Unknown when it is none we read.
    static Format detect(const QString& path, QString* error = nullptr);

    // Ceiling on the bytes one part of a workbook may inflate to; a larger part is refused as damaged.
    static qint64 inflateLimit();
    static void setInflateLimit(qint64 bytes);
    // Inflates the first sheet's XML of an .xlsx and discards it (the lower bound of reading it, for
    // measurements). The bytes inflated, or -1 with error.
    static qint64 inflateFirstSheet(const QString& path, QString* error);

private:
    bool openSource(const QString& path, bool grid);
    bool fetch(); // reads the next row of the source into m_pending
    void extendColumns(int count);

    std::unique_ptr<SheetSource> m_source;
    Format m_format = Format::Unknown;
    QString m_error;
    QStringList m_headings;
    int m_columns = 0;
    bool m_grid = false;
    bool m_atEnd = true;
    qint64 m_lastRow = -1; // sheet row index (from 0) of the row given last
    qint64 m_firstDataRow = 0;
    bool m_hasPending = false;
    struct Pending;
    std::unique_ptr<Pending> m_pending;
};
