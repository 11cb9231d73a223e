#pragma once

#include "CellText.h"
#include "SheetSource.h"

#include <QByteArray>
#include <QHash>

#include <memory>

class QuaZip;
class ReadAhead;
class QuaZipFile;
class XmlScanner;

// The first worksheet of an Office Open XML workbook: the package's relationships lead to the workbook,
// its first worksheet, the shared strings and the styles (whose number formats tell dates from numbers).
// The worksheet is scanned as it inflates.
class XlsxSource : public SheetSource
{
public:
    XlsxSource();
    ~XlsxSource() override;

    bool open(const QString& path, QString* error) override;
    QString sheetName() const override { return m_sheetName; }
    int declaredColumns() const override { return m_declaredColumns; }
    qint64 declaredRows() const override { return m_declaredRows; }
    bool nextRow(RawRow* row, bool wantInfo, QString* error) override;

    static qint64 inflateFirstSheet(const QString& path, QString* error);

private:
    struct Relationship
    {
        QString type;
        QString target;
    };

    bool openPackage(const QString& path, QString* error);
    bool locateParts(QString* error);
    bool hasEntry(const QString& name);
    bool openEntry(const QString& name, QString* error);
    bool readWholeEntry(const QString& name, qint64 limit, QByteArray* out, QString* error);
    bool readRelationships(const QString& partName, QHash<QString, Relationship>* rels, QString* error);
    bool readWorkbook(QString* sheetRelId, QString* error);
    bool readStyles(QString* error);
    bool readSharedStrings(QString* error);
    qint64 readEntryChunk(char* data, qint64 max);
    // Inflates the open entry on a worker thread ahead of the scanner; stopped by openEntry and on errors.
    void startReadAhead();
    // Stops the worker, so that the stream's error text may be read.
    QString streamError();
    QString damaged(const QString& detail) const;
    bool finishCell(RawRow* row, bool wantInfo, QString* error);

    std::unique_ptr<QuaZip> m_zip;
    std::unique_ptr<QuaZipFile> m_file;
    std::unique_ptr<XmlScanner> m_scanner;
    QString m_workbookPart;
    QString m_sheetPart;
    QString m_stylesPart;
    QString m_stringsPart;
    QString m_sheetName;
    bool m_date1904 = false;
    QList<QString> m_strings;
    QList<CellText::FormatKind> m_xfKinds;
    QList<bool> m_xfText;
    qint64 m_inflated = 0;
    qint64 m_limit = 0;
    QString m_streamError;
    int m_declaredColumns = 0;
    qint64 m_declaredRows = -1;

    // State of the sheet scan.
    bool m_inSheetData = false;
    bool m_sheetDone = false;
    qint64 m_rowIndex = -1;
    int m_col = -1;
    enum class CellType : quint8
    {
        Number,
        Shared,
        Inline,
        Formula,
        Boolean,
        Error,
        Date
    };
    CellType m_cellType = CellType::Number;
    int m_cellStyle = 0;
    QByteArray m_value;
    QString m_inline; // an inline string's text, converted as it comes (escapes undone at the cell's end)

    std::unique_ptr<ReadAhead> m_readAhead; // last: stopped before the entry it reads goes away
};
