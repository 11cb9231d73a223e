#include "XlsSource.h"

#include "CellText.h"

#include <QFile>

#include <freexl.h>

XlsSource::~XlsSource()
{
    if (m_handle)
        freexl_close(m_handle);
}

bool XlsSource::isEncryptedPackage(const QString& path)
{
    // The compound file's directory names its streams in UTF-16; an encrypted package has these two.
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray name = QByteArray("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32);
    QByteArray tail;
    while (!f.atEnd()) {
        const QByteArray chunk = tail + f.read(1 << 20);
        if (chunk.contains(name))
            return true;
        tail = chunk.right(name.size());
    }
    return false;
}

bool XlsSource::open(const QString& path, QString* error)
{
    const int rc = freexl_open(QFile::encodeName(path).constData(), &m_handle);
    if (rc != FREEXL_OK) {
        if (isEncryptedPackage(path))
            *error = SheetMessage::encrypted();
        else if (rc == FREEXL_INSUFFICIENT_MEMORY)
            *error = SheetMessage::tooLarge();
        else
            *error = SheetMessage::damaged(QStringLiteral("Excel 97-2003 文件格式错误 %1").arg(rc));
        return false;
    }
    // FreeXL opens a password-protected workbook without giving a handle.
    unsigned info = 0;
    if (!m_handle ||
        (freexl_get_info(m_handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)) {
        *error = SheetMessage::encrypted();
        return false;
    }
    unsigned sheets = 0;
    if (freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK || sheets == 0) {
        *error = QStringLiteral("文件中没有工作表");
        return false;
    }
    if (freexl_select_active_worksheet(m_handle, 0) != FREEXL_OK) {
        *error = SheetMessage::damaged();
        return false;
    }
    const char* name = nullptr;
    if (freexl_get_worksheet_name(m_handle, 0, &name) == FREEXL_OK && name)
        m_sheetName = QString::fromUtf8(name);
    unsigned rows = 0;
    unsigned short columns = 0;
    if (freexl_worksheet_dimensions(m_handle, &rows, &columns) != FREEXL_OK) {
        *error = SheetMessage::damaged();
        return false;
    }
    m_rows = rows;
    m_columns = columns;
    return true;
}

bool XlsSource::nextRow(RawRow* row, bool wantInfo, QString* error)
{
    using Kind = SheetReader::CellKind;
    if (!m_handle || m_next >= m_rows)
        return false;
    row->index = m_next;
    row->cells.clear();
    row->info.clear();
    for (unsigned short col = 0; col < m_columns; ++col) {
        FreeXL_CellValue v;
        if (freexl_get_cell_value(m_handle, unsigned(m_next), col, &v) != FREEXL_OK) {
            *error = SheetMessage::damaged(QStringLiteral("第 %1 行不能读取").arg(m_next + 1));
            return false;
        }
        QString text;
        Kind kind = Kind::Empty;
        switch (v.type) {
        case FREEXL_CELL_INT:
            text = QString::number(v.value.int_value);
            kind = Kind::Number;
            break;
        case FREEXL_CELL_DOUBLE:
            text = CellText::number(v.value.double_value);
            kind = Kind::Number;
            break;
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
            text = QString::fromUtf8(v.value.text_value);
            kind = Kind::Text;
            break;
        case FREEXL_CELL_DATE:
            text = QString::fromUtf8(v.value.text_value);
            kind = Kind::Date;
            break;
        case FREEXL_CELL_DATETIME:
            text = QString::fromUtf8(v.value.text_value);
            kind = Kind::DateTime;
            break;
        case FREEXL_CELL_TIME:
            text = QString::fromUtf8(v.value.text_value);
            kind = Kind::Time;
            break;
        default:
            break;
        }
        if (text.isEmpty())
            continue;
        if (col >= row->cells.size()) {
            row->cells.resize(col + 1);
            if (wantInfo)
                row->info.resize(col + 1);
        }
        row->cells[col] = text;
        if (wantInfo)
            row->info[col] = {kind, false};
    }
    ++m_next;
    return true;
}
