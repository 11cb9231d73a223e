#include "SheetWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include "XlsxWriterLibrary.h"

#include <cmath>
#include <cstdio>

namespace {

bool isHex(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

// A reader takes "_xHHHH_" in cell text for an escaped character; text that holds such a sequence
// literally gets its underscore escaped ("_x005F_"), so it reads back as written.
QString protectEscapes(const QString& text)
{
    qsizetype at = text.indexOf(QLatin1String("_x"));
    if (at < 0)
        return text;
    QString out;
    qsizetype from = 0;
    for (; at >= 0; at = text.indexOf(QLatin1String("_x"), at + 2)) {
        if (at + 6 < text.size() && text.at(at + 6) == QLatin1Char('_') && isHex(text.at(at + 2)) &&
            isHex(text.at(at + 3)) && isHex(text.at(at + 4)) && isHex(text.at(at + 5))) {
            out += QStringView(text).mid(from, at - from);
            out += QLatin1String("_x005F");
            from = at;
        }
    }
    out += QStringView(text).mid(from);
    return out;
}

} // namespace

struct SheetWriter::Workbook
{
    const XlsxWriterLibrary* lib = nullptr;
    lxw_workbook* book = nullptr;
    lxw_worksheet* sheet = nullptr;
    lxw_format* text = nullptr;
    QByteArray tmpDir;
};

SheetWriter::SheetWriter() = default;

SheetWriter::~SheetWriter()
{
    cancel();
}

QString SheetWriter::sheetNameFor(const QString& name)
{
    QString out;
    for (QChar c : name.trimmed()) {
        if (QStringLiteral("[]:*?/\\").contains(c) || c.unicode() < 0x20)
            out += QLatin1Char('_');
        else
            out += c;
    }
    while (out.startsWith(QLatin1Char('\'')))
        out.remove(0, 1);
    out.truncate(31);
    if (out.size() == 31 && out.at(30).isHighSurrogate())
        out.chop(1);
    while (out.endsWith(QLatin1Char('\'')))
        out.chop(1);
    return out.trimmed().isEmpty() ? QStringLiteral("Sheet1") : out;
}

bool SheetWriter::failed(int lxwError)
{
    const char* why = m_book && m_book->lib ? m_book->lib->lxw_strerror(lxw_error(lxwError)) : "";
    m_error = QStringLiteral("电子表格文件写入错误: %1").arg(QString::fromUtf8(why));
    return false;
}

bool SheetWriter::open(const QString& path, const QString& sheetName)
{
    cancel();
    m_error.clear();
    m_lastRow = -1;
    QString why;
    const XlsxWriterLibrary* lib = XlsxWriterLibrary::get(&why);
    if (!lib) {
        m_error = why;
        return false;
    }
    const QFileInfo target(path);
    m_target = target.absoluteFilePath();
    // Reserve a unique temporary name in the target's folder, so the final rename stays on one disk.
    QTemporaryFile reserve(target.absoluteDir().filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
    reserve.setAutoRemove(false);
    if (!reserve.open()) {
        m_error = QStringLiteral("电子表格文件不能写入: %1").arg(m_target);
        return false;
    }
    m_temp = reserve.fileName();
    reserve.close();

    m_book = std::make_unique<Workbook>();
    m_book->lib = lib;
    m_book->tmpDir = QFile::encodeName(QDir::tempPath());
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = m_book->tmpDir.data();
    options.use_zip64 = LXW_TRUE;
    m_book->book = m_book->lib->workbook_new_opt(QFile::encodeName(m_temp).constData(), &options);
    if (!m_book->book) {
        m_error = QStringLiteral("电子表格文件不能写入: %1").arg(m_target);
        cancel();
        return false;
    }
    const QByteArray name = sheetNameFor(sheetName).toUtf8();
    m_book->sheet = m_book->lib->workbook_add_worksheet(m_book->book, name.constData());
    m_book->text = m_book->lib->workbook_add_format(m_book->book);
    if (!m_book->sheet || !m_book->text) {
        m_error = QStringLiteral("电子表格文件不能写入: %1").arg(m_target);
        cancel();
        return false;
    }
    m_book->lib->format_set_num_format(m_book->text, "@");
    return true;
}

bool SheetWriter::checkCell(int row, int column)
{
    if (!m_book) {
        m_error = QStringLiteral("电子表格文件没有打开");
        return false;
    }
    if (row < 0 || row >= MaxRows || column < 0 || column >= MaxColumns) {
        m_error = QStringLiteral("超出工作表的行数或列数(%1 行, %2 列)").arg(MaxRows).arg(MaxColumns);
        return false;
    }
    if (row < m_lastRow) {
        m_error = QStringLiteral("单元格必须按行的顺序写入");
        return false;
    }
    m_lastRow = row;
    return true;
}

bool SheetWriter::writeText(int row, int column, const QString& text, bool textFormat)
{
    if (!checkCell(row, column))
        return false;
    QString value = text;
    if (value.size() > MaxTextLength) {
        value.truncate(MaxTextLength);
        if (value.back().isHighSurrogate())
            value.chop(1);
    }
    lxw_format* format = textFormat ? m_book->text : nullptr;
    lxw_error rc = LXW_NO_ERROR;
    if (value.isEmpty()) {
        if (format)
            rc = m_book->lib->worksheet_write_blank(m_book->sheet, lxw_row_t(row), lxw_col_t(column), format);
    } else {
        rc = m_book->lib->worksheet_write_string(m_book->sheet, lxw_row_t(row), lxw_col_t(column),
                                                 protectEscapes(value).toUtf8().constData(), format);
    }
    return rc == LXW_NO_ERROR || failed(rc);
}

bool SheetWriter::writeNumber(int row, int column, double value)
{
    if (!checkCell(row, column))
        return false;
    if (!std::isfinite(value))
        return true;
    const lxw_error rc =
        m_book->lib->worksheet_write_number(m_book->sheet, lxw_row_t(row), lxw_col_t(column), value, nullptr);
    return rc == LXW_NO_ERROR || failed(rc);
}

bool SheetWriter::setColumnWidth(int column, double width)
{
    if (!m_book || column < 0 || column >= MaxColumns)
        return false;
    const lxw_error rc =
        m_book->lib->worksheet_set_column(m_book->sheet, lxw_col_t(column), lxw_col_t(column), width, nullptr);
    return rc == LXW_NO_ERROR || failed(rc);
}

bool SheetWriter::commit()
{
    if (!m_book) {
        m_error = QStringLiteral("电子表格文件没有打开");
        return false;
    }
    const lxw_error rc = m_book->lib->workbook_close(m_book->book);
    m_book->book = nullptr;
    if (rc != LXW_NO_ERROR)
        failed(rc);
    m_book.reset();
    if (rc != LXW_NO_ERROR) {
        QFile::remove(m_temp);
        m_temp.clear();
        return false;
    }
    // A file that is replaced keeps its permissions; a new one gets the usual ones.
    const QFileInfo old(m_target);
    const QFileDevice::Permissions permissions = old.exists() ? old.permissions()
                                                              : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                                    QFileDevice::ReadGroup | QFileDevice::ReadOther;
    QFile::setPermissions(m_temp, permissions);
    // rename() replaces the old file in one step: readers see the old workbook or the new one, never half.
    if (std::rename(QFile::encodeName(m_temp).constData(), QFile::encodeName(m_target).constData()) != 0) {
        m_error = QStringLiteral("电子表格文件不能写入: %1").arg(m_target);
        QFile::remove(m_temp);
        m_temp.clear();
        return false;
    }
    m_temp.clear();
    return true;
}

void SheetWriter::cancel()
{
    if (m_book) {
        if (m_book->book) {
            // libxlsxwriter has no discard: finish the temporary file and remove it.
            m_book->lib->workbook_close(m_book->book);
        }
        m_book.reset();
    }
    if (!m_temp.isEmpty()) {
        QFile::remove(m_temp);
        m_temp.clear();
    }
}
