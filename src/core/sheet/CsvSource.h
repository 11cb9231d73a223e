#pragma once

#include "SheetSource.h"

#include <QFile>
#include <QStringDecoder>

#include <deque>

// A comma-separated text file as Excel and LibreOffice write it: UTF-8 with or without a byte-order mark,
// UTF-16 with a mark, or else GBK (what a Chinese spreadsheet program writes by default). Fields may be
// quoted; a quoted field may hold commas, doubled quotes and line breaks. A file whose first line has tabs
// and no commas is read as tab-separated.
class CsvSource : public SheetSource
{
public:
    enum class Encoding
    {
        Utf8,
        Utf16,
        Gbk
    };

    CsvSource() = default;

    bool open(const QString& path, QString* error) override;
    QString sheetName() const override { return m_sheetName; }
    bool nextRow(RawRow* row, bool wantInfo, QString* error) override;

    Encoding encoding() const { return m_encoding; }
    // A quoted field longer than this is taken for a quote that was never closed.
    static constexpr qsizetype MaxFieldLength = 1024 * 1024;

private:
    bool detectEncoding(QString* error);
    bool readChunk(QString* error);
    void parse(const QString& text, bool last);
    void endField();
    void endRecord();

    QFile m_file;
    QString m_sheetName;
    Encoding m_encoding = Encoding::Utf8;
    QStringDecoder m_decoder;
    QByteArray m_carry; // bytes after the last line break of the chunk read last (GBK)
    QChar m_separator = QLatin1Char(',');
    bool m_separatorKnown = false;
    bool m_eof = false;
    bool m_failed = false;
    QString m_failure;

    // Parser state.
    QString m_field;
    QStringList m_record;
    bool m_inQuotes = false;
    bool m_quoted = false;     // the current field began with a quote
    bool m_afterQuote = false; // a quote inside a quoted field: the end, or the first of a doubled pair
    bool m_pendingCr = false;
    bool m_recordStarted = false;
    std::deque<QStringList> m_ready;
    qint64 m_index = 0;
};
