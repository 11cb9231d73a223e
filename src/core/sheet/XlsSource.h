#pragma once

#include "SheetSource.h"

// The first worksheet of an Excel 97-2003 workbook (.xls, BIFF), read through FreeXL. The format holds at
// most 65536 rows of 256 columns; FreeXL reads the sheet when the file is opened.
class XlsSource : public SheetSource
{
public:
    XlsSource() = default;
    ~XlsSource() override;

    bool open(const QString& path, QString* error) override;
    QString sheetName() const override { return m_sheetName; }
    int declaredColumns() const override { return int(m_columns); }
    qint64 declaredRows() const override { return m_rows; }
    bool nextRow(RawRow* row, bool wantInfo, QString* error) override;

    // True when the compound file holds an encrypted Office Open XML package (a password-protected .xlsx).
    static bool isEncryptedPackage(const QString& path);

private:
    const void* m_handle = nullptr;
    QString m_sheetName;
    qint64 m_rows = 0;
    unsigned m_columns = 0;
    qint64 m_next = 0;
};
