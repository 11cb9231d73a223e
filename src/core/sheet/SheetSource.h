#pragma once

#include "SheetReader.h"

// One row as a file stores it: its index in the sheet (from 0) and its cells from the first column on.
// Trailing cells may be missing; cells of missing rows are not made up.
struct RawRow
{
    qint64 index = 0;
    QStringList cells;
    QList<SheetReader::CellInfo> info; // filled only when asked for
};

// A reader of one file format behind SheetReader.
class SheetSource
{
public:
    virtual ~SheetSource() = default;
    // False with a message fit for the user.
    virtual bool open(const QString& path, QString* error) = 0;
    virtual QString sheetName() const = 0;
    // Columns and rows the file declares for the sheet (0 and -1 when it does not say).
    virtual int declaredColumns() const { return 0; }
    virtual qint64 declaredRows() const { return -1; }
    // The next stored row. False at the end, or on an error when *error is then set.
    virtual bool nextRow(RawRow* row, bool wantInfo, QString* error) = 0;
};

// The reader's messages to the user.
namespace SheetMessage {
inline QString damaged(const QString& detail = QString())
{
    return detail.isEmpty() ? QStringLiteral("文件已损坏,不能读取")
                            : QStringLiteral("文件已损坏,不能读取(%1)").arg(detail);
}
inline QString encrypted()
{
    return QStringLiteral("文件有密码保护,不能读取。请在电子表格程序中取消密码并另存后再读取");
}
inline QString foreign()
{
    return QStringLiteral("不是电子表格文件,只能读取 .xlsx、.xls 和 .csv 文件");
}
inline QString tooLarge()
{
    return QStringLiteral("工作表内容超出读取上限,文件可能已损坏");
}
inline QString empty()
{
    return QStringLiteral("文件是空的");
}
inline QString cannotOpen(const QString& path)
{
    return QStringLiteral("文件不能打开: %1").arg(path);
}
} // namespace SheetMessage
