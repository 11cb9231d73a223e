#include "SheetReader.h"

#include "CsvSource.h"
#include "SheetSource.h"
#include "XlsSource.h"
#include "XlsxSource.h"

#include <QFile>
#include <QFileInfo>

#include <atomic>

namespace {

// Enough for a sheet of a million rows of ordinary width; a part inflating beyond it is refused.
std::atomic<qint64> g_inflateLimit{qint64(2) * 1024 * 1024 * 1024};

bool isBlank(const QString& text)
{
    for (QChar c : text) {
        if (!c.isSpace())
            return false;
    }
    return true;
}

// Index of the last cell that holds anything, -1 for an empty row.
int lastFilled(const QStringList& cells)
{
    for (qsizetype i = cells.size() - 1; i >= 0; --i) {
        if (!cells.at(i).isEmpty())
            return int(i);
    }
    return -1;
}

QString generatedHeading(int column)
{
    return QStringLiteral("F%1").arg(column + 1);
}

} // namespace

struct SheetReader::Pending
{
    RawRow row;
    bool wantInfo = false;
};

SheetReader::SheetReader() : m_pending(std::make_unique<Pending>()) {}

SheetReader::~SheetReader() = default;

qint64 SheetReader::inflateLimit()
{
    return g_inflateLimit.load();
}

void SheetReader::setInflateLimit(qint64 bytes)
{
    g_inflateLimit.store(bytes);
}

qint64 SheetReader::inflateFirstSheet(const QString& path, QString* error)
{
    return XlsxSource::inflateFirstSheet(path, error);
}

SheetReader::Format SheetReader::detect(const QString& path, QString* error)
{
    QString dummy;
    QString& why = error ? *error : dummy;
    QFile f(path);
    const QFileInfo fi(path);
    if (!fi.isFile() || !f.open(QIODevice::ReadOnly)) {
        why = SheetMessage::cannotOpen(path);
        return Format::Unknown;
    }
    if (f.size() == 0) {
        why = SheetMessage::empty();
        return Format::Unknown;
    }
    const QByteArray head = f.read(8);
    if (head.startsWith("PK\x03\x04"))
        return Format::Xlsx;
    if (head == QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
        return Format::Xls;
    const QString suffix = fi.suffix().toLower();
    if (suffix == QLatin1String("csv") || suffix == QLatin1String("txt"))
        return Format::Csv;
    if (head.startsWith("PK"))
        why = SheetMessage::damaged(QStringLiteral("不是完整的 zip 文件包"));
    else if (suffix == QLatin1String("xlsx") || suffix == QLatin1String("xls"))
        why = SheetMessage::damaged(QStringLiteral("文件开头不是电子表格格式"));
    else
        why = SheetMessage::foreign();
    return Format::Unknown;
}

bool SheetReader::open(const QString& path)
{
    return openSource(path, false);
}

bool SheetReader::openGrid(const QString& path)
{
    return openSource(path, true);
}

void SheetReader::close()
{
    m_source.reset();
    m_format = Format::Unknown;
    m_headings.clear();
    m_columns = 0;
    m_atEnd = true;
    m_hasPending = false;
    m_lastRow = -1;
    m_firstDataRow = 0;
}

QString SheetReader::sheetName() const
{
    return m_source ? m_source->sheetName() : QString();
}

qint64 SheetReader::rowCountHint() const
{
    if (!m_source)
        return -1;
    const qint64 declared = m_source->declaredRows();
    if (declared < 0)
        return -1;
    return qMax<qint64>(0, declared - m_firstDataRow);
}

bool SheetReader::fetch()
{
    m_pending->row.cells.clear();
    m_pending->row.info.clear();
    QString error;
    if (m_source->nextRow(&m_pending->row, m_pending->wantInfo, &error)) {
        m_hasPending = true;
        return true;
    }
    m_hasPending = false;
    m_atEnd = true;
    m_error = error;
    return false;
}

void SheetReader::extendColumns(int count)
{
    if (count <= m_columns)
        return;
    if (!m_grid) {
        for (int c = m_columns; c < count; ++c)
            m_headings.append(generatedHeading(c));
    }
    m_columns = count;
}

bool SheetReader::openSource(const QString& path, bool grid)
{
    close();
    m_error.clear();
    m_grid = grid;
    m_format = detect(path, &m_error);
    switch (m_format) {
    case Format::Xlsx:
        m_source = std::make_unique<XlsxSource>();
        break;
    case Format::Xls:
        m_source = std::make_unique<XlsSource>();
        break;
    case Format::Csv:
        m_source = std::make_unique<CsvSource>();
        break;
    case Format::Unknown:
        return false;
    }
    if (!m_source->open(path, &m_error)) {
        m_source.reset();
        m_format = Format::Unknown;
        return false;
    }
    m_atEnd = false;
    m_pending->wantInfo = true;
    if (grid) {
        m_columns = m_source->declaredColumns();
        return true;
    }
    // The first row that holds anything gives the headings.
    for (;;) {
        if (!fetch()) {
            if (!m_error.isEmpty()) {
                m_source.reset();
                m_format = Format::Unknown;
                return false;
            }
            return true; // an empty sheet: no headings, no rows
        }
        const QStringList& cells = m_pending->row.cells;
        bool any = false;
        for (const QString& c : cells) {
            if (!isBlank(c)) {
                any = true;
                break;
            }
        }
        if (any)
            break;
    }
    const RawRow& heading = m_pending->row;
    const int width = qMax(lastFilled(heading.cells) + 1, m_source->declaredColumns());
    for (int c = 0; c < width; ++c) {
        const QString text = c < heading.cells.size() ? heading.cells.at(c).trimmed() : QString();
        m_headings.append(text.isEmpty() ? generatedHeading(c) : text);
    }
    m_columns = width;
    m_lastRow = heading.index;
    m_firstDataRow = heading.index + 1;
    m_hasPending = false;
    return true;
}

bool SheetReader::readRow(QStringList* cells, QList<CellInfo>* info)
{
    if (!m_source || (m_atEnd && !m_hasPending))
        return false;
    m_pending->wantInfo = info != nullptr;
    if (!m_hasPending && !fetch())
        return false;
    const qint64 expected = m_lastRow + 1;
    cells->clear();
    if (info)
        info->clear();
    if (m_pending->row.index > expected) {
        // A row the file leaves out is an empty row.
        m_lastRow = expected;
        cells->resize(m_columns);
        if (info)
            info->resize(m_columns);
        return true;
    }
    RawRow& row = m_pending->row;
    m_hasPending = false;
    m_lastRow = qMax(expected, row.index);
    extendColumns(lastFilled(row.cells) + 1);
    // Swapping hands the caller's previous list back to the source to fill again.
    cells->swap(row.cells);
    cells->resize(m_columns);
    if (info) {
        info->swap(row.info);
        info->resize(m_columns);
    }
    return true;
}
