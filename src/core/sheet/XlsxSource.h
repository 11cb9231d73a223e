#pragma once

#include "CellText.h"
#include "SheetSource.h"

#include <QByteArray>
#include <QHash>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

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
    // A cell as the scan found it: where it stands, its type and style, and its raw text in the batch.
    struct RawCell
    {
        int col = 0;
        CellType type = CellType::Number;
        int style = 0;
        qsizetype offset = 0;
        qsizetype length = 0;
    };
    struct RawRowSpan
    {
        qint64 index = 0;
        int firstCell = 0;
        int cellCount = 0;
    };
    // Rows handed from the scanning thread to the caller's: their cells' raw texts in one block.
    struct RowBatch
    {
        QByteArray bytes;
        std::vector<RawCell> cells;
        std::vector<RawRowSpan> rows;
        bool end = false; // the last batch of the sheet
        QString error;    // why the scan ended early (with end)
    };
    static constexpr size_t RowsPerBatch = 256;
    static constexpr size_t MaxBatches = 4;
    static constexpr qsizetype BatchBytes = 64 * 1024;

    // Reads up to the sheet's data (its declared size comes before it).
    bool scanToSheetData(QString* error);
    // The scanning thread's loop.
    void scanRows();
    bool pushBatch(RowBatch&& batch);
    void stopRowScan();
    bool finishCell(RawRow* row, bool wantInfo, const RawCell& cell, QByteArrayView bytes, QString* error);

    bool m_sheetDone = false;
    // The caller's side of the row hand-over.
    RowBatch m_batch;
    qsizetype m_batchRow = 0;
    std::mutex m_rowMutex;
    std::condition_variable m_rowChanged;
    std::deque<RowBatch> m_batches;
    bool m_rowStop = false;
    std::thread m_rowThread; // stopped first (the destructor), while the scanner and read-ahead still exist

    std::unique_ptr<ReadAhead> m_readAhead; // last: stopped before the entry it reads goes away
};
