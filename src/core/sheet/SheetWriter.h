#pragma once

#include <QString>

#include <memory>

// Writes a workbook of one worksheet (.xlsx) through libxlsxwriter. Rows stream to disk as they are
// written, so cells go in row order (a cell above the current row is refused, not silently lost). The file
// is written under a temporary name beside the target and takes the target's name on commit(), so an
// interrupted export never destroys the previous file.
class SheetWriter
{
public:
    static constexpr int MaxRows = 1048576;
    static constexpr int MaxColumns = 16384;
    static constexpr int MaxTextLength = 32767; // characters a cell holds

    SheetWriter();
    ~SheetWriter(); // cancels an uncommitted workbook
    SheetWriter(const SheetWriter&) = delete;
    SheetWriter& operator=(const SheetWriter&) = delete;

    bool open(const QString& path, const QString& sheetName);
    // Row and column from 0. textFormat gives the cell the number format "@" (text), so the spreadsheet
    // keeps digits as typed. Text beyond MaxTextLength is cut there.
    bool writeText(int row, int column, const QString& text, bool textFormat = false);
    bool writeNumber(int row, int column, double value);
    bool setColumnWidth(int column, double width);
    bool commit();
    void cancel();
    QString errorString() const { return m_error; }

    // A worksheet name the spreadsheet accepts: at most 31 characters, none of []:*?/\, no apostrophe at
    // either end; "Sheet1" for a blank name.
    static QString sheetNameFor(const QString& name);

private:
    bool checkCell(int row, int column);
    bool failed(int lxwError);

    struct Workbook;
    std::unique_ptr<Workbook> m_book;
    QString m_target;
    QString m_temp;
    QString m_error;
    int m_lastRow = -1;
};
