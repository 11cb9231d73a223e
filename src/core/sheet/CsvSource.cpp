#include "CsvSource.h"

#include "common/Gbk.h"

#include <QFileInfo>

#include <cstring>

namespace {

constexpr qint64 ChunkSize = 1 << 20;

// Validates UTF-8 across chunk boundaries. Overlong forms and surrogates count as invalid.
class Utf8Check
{
public:
    bool feed(const char* data, qint64 size)
    {
        for (qint64 i = 0; i < size; ++i) {
            const auto b = static_cast<unsigned char>(data[i]);
            if (m_need == 0) {
                if (b < 0x80)
                    continue;
                if (b >= 0xC2 && b <= 0xDF) {
                    m_need = 1;
                } else if (b >= 0xE0 && b <= 0xEF) {
                    m_need = 2;
                    m_lower = b == 0xE0 ? 0xA0 : 0x80;
                    m_upper = b == 0xED ? 0x9F : 0xBF;
                    continue;
                } else if (b >= 0xF0 && b <= 0xF4) {
                    m_need = 3;
                    m_lower = b == 0xF0 ? 0x90 : 0x80;
                    m_upper = b == 0xF4 ? 0x8F : 0xBF;
                    continue;
                } else {
                    return false;
                }
                m_lower = 0x80;
                m_upper = 0xBF;
            } else {
                if (b < m_lower || b > m_upper)
                    return false;
                m_lower = 0x80;
                m_upper = 0xBF;
                --m_need;
            }
        }
        return true;
    }
    bool complete() const { return m_need == 0; }

private:
    int m_need = 0;
    unsigned char m_lower = 0x80;
    unsigned char m_upper = 0xBF;
};

} // namespace

bool CsvSource::open(const QString& path, QString* error)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly)) {
        *error = SheetMessage::cannotOpen(path);
        return false;
    }
    m_sheetName = QFileInfo(path).completeBaseName();
    return detectEncoding(error);
}

bool CsvSource::detectEncoding(QString* error)
{
    const QByteArray head = m_file.peek(4);
    qint64 skip = 0;
    if (head.startsWith("\xEF\xBB\xBF")) {
        m_encoding = Encoding::Utf8;
        skip = 3;
    } else if (head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF")) {
        m_encoding = Encoding::Utf16;
    } else {
        // Without a mark the whole file decides: valid UTF-8 throughout, or else GBK. A NUL byte means it is
        // no text at all.
        Utf8Check check;
        bool utf8 = true;
        QByteArray buf(ChunkSize, Qt::Uninitialized);
        for (;;) {
            const qint64 n = m_file.read(buf.data(), buf.size());
            if (n < 0) {
                *error = SheetMessage::cannotOpen(m_file.fileName());
                return false;
            }
            if (n == 0)
                break;
            if (std::memchr(buf.constData(), '\0', size_t(n))) {
                *error = SheetMessage::foreign();
                return false;
            }
            if (utf8 && !check.feed(buf.constData(), n))
                utf8 = false;
        }
        m_encoding = utf8 && check.complete() ? Encoding::Utf8 : Encoding::Gbk;
        m_file.seek(0);
    }
    if (m_encoding == Encoding::Utf8)
        m_decoder = QStringDecoder(QStringDecoder::Utf8);
    else if (m_encoding == Encoding::Utf16)
        m_decoder = QStringDecoder(QStringDecoder::Utf16); // the mark tells the byte order
    m_file.seek(skip);
    return true;
}

bool CsvSource::readChunk(QString* error)
{
    QByteArray bytes = m_file.read(ChunkSize);
    if (bytes.isEmpty() && !m_file.atEnd()) {
        *error = SheetMessage::cannotOpen(m_file.fileName());
        return false;
    }
    const bool last = m_file.atEnd();
    QString text;
    if (m_encoding == Encoding::Gbk) {
        // A line feed byte never occurs inside a GBK character, so a chunk cut after one decodes whole.
        bytes.prepend(m_carry);
        m_carry.clear();
        if (!last) {
            const qsizetype lf = bytes.lastIndexOf('\n');
            if (lf >= 0) {
                m_carry = bytes.mid(lf + 1);
                bytes.truncate(lf + 1);
            } else {
                m_carry = bytes;
                bytes.clear();
            }
        }
        text = Gbk::decode(bytes);
    } else {
        text = m_decoder.decode(bytes);
    }
    if (!m_separatorKnown) {
        // The first line decides between commas and tabs.
        const qsizetype eol = text.indexOf(QLatin1Char('\n'));
        const QStringView firstLine = eol < 0 ? QStringView(text) : QStringView(text).left(eol);
        if (eol >= 0 || last) {
            if (firstLine.contains(QLatin1Char('\t')) && !firstLine.contains(QLatin1Char(',')))
                m_separator = QLatin1Char('\t');
            m_separatorKnown = true;
        }
    }
    parse(text, last);
    m_eof = last;
    return true;
}

void CsvSource::endField()
{
    m_record.append(m_field);
    m_field.clear();
    m_quoted = false;
    m_afterQuote = false;
    m_recordStarted = true;
}

void CsvSource::endRecord()
{
    endField();
    m_ready.push_back(std::move(m_record));
    m_record = QStringList();
    m_recordStarted = false;
}

void CsvSource::parse(const QString& text, bool last)
{
    const QChar* p = text.constData();
    const QChar* end = p + text.size();
    const QChar sep = m_separator;
    while (p < end) {
        const QChar c = *p++;
        if (m_pendingCr) {
            m_pendingCr = false;
            if (c == QLatin1Char('\n'))
                continue; // CR LF ends one record
        }
        if (m_inQuotes) {
            if (m_afterQuote) {
                m_afterQuote = false;
                if (c == QLatin1Char('"')) {
                    m_field += c;
                    continue;
                }
                m_inQuotes = false; // the quote closed the field; c is read below
            } else if (c == QLatin1Char('"')) {
                m_afterQuote = true;
                continue;
            } else {
                if (c == QLatin1Char('\r')) {
                    // A line break inside a field reads as one line feed, whichever way it was written.
                    m_field += QLatin1Char('\n');
                    m_pendingCr = true;
                } else {
                    m_field += c;
                }
                if (m_field.size() > MaxFieldLength) {
                    m_failed = true;
                    m_failure = QStringLiteral("CSV 文件第 %1 行的引号没有配对").arg(m_index + m_ready.size() + 1);
                    return;
                }
                continue;
            }
        }
        if (c == sep) {
            endField();
        } else if (c == QLatin1Char('\n')) {
            endRecord();
        } else if (c == QLatin1Char('\r')) {
            endRecord();
            m_pendingCr = true;
        } else if (c == QLatin1Char('"') && m_field.isEmpty() && !m_quoted) {
            m_inQuotes = true;
            m_quoted = true;
            m_recordStarted = true;
        } else {
            m_field += c;
            m_recordStarted = true;
        }
    }
    if (last) {
        if (m_inQuotes && m_afterQuote)
            m_inQuotes = false;
        if (m_recordStarted || !m_field.isEmpty())
            endRecord();
    }
}

bool CsvSource::nextRow(RawRow* row, bool wantInfo, QString* error)
{
    while (m_ready.empty()) {
        if (m_failed) {
            *error = m_failure;
            return false;
        }
        if (m_eof || !m_file.isOpen())
            return false;
        if (!readChunk(error))
            return false;
    }
    row->index = m_index++;
    row->cells = std::move(m_ready.front());
    m_ready.pop_front();
    row->info.clear();
    if (wantInfo) {
        row->info.resize(row->cells.size());
        for (qsizetype i = 0; i < row->cells.size(); ++i) {
            if (!row->cells.at(i).isEmpty())
                row->info[i].kind = SheetReader::CellKind::Text;
        }
    }
    return true;
}
