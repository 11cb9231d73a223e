#include "FieldConfig.h"

#include "Database.h"
#include "FunLib.h"
#include "Sql.h"

namespace FieldConfig {

bool writeRow(const QString& table, const Row& r)
{
    return ExecSql(
        QStringLiteral("INSERT OR REPLACE INTO %1 (FIELD_NAME, FIELD_DISPLAY_NAME, FIELD_TYPE, FIELD_WIDTH, "
                       "FIELD_DISPLAY_WIDTH, FIELD_FIND_TYPE, FIELD_ORDER_TYPE, FIELD_ORDER, FIELD_ITERATION) "
                       "VALUES (%2, %3, %4, %5, %6, %7, %8, %9, %10)")
            .arg(Sql::identifier(table), Sql::quote(r.name), Sql::quote(r.caption), Sql::quote(r.type))
            .arg(r.width)
            .arg(r.displayWidth)
            .arg(Sql::quote(r.findType), Sql::quote(r.sortOffered ? QStringLiteral("是") : QStringLiteral("否")))
            .arg(r.order)
            .arg(r.iteration));
}

namespace {

bool writeAll(const QString& table, const QList<Row>& rows)
{
    Transaction tx;
    for (const Row& r : rows)
        if (!writeRow(table, r))
            return false;
    return tx.commit();
}

} // namespace

bool writeArchiveDefaults()
{
    const QString s = QStringLiteral("String");
    return writeAll(QStringLiteral("SYS_ARCHIVE_FIELD_TABLE"),
                    {{"ARCHIVE_ID", "档案编号", s, "T", 30, 20, 1, true, 0},
                     {"ARCHIVE_NAME", "档案名称", s, "T", 180, 60, 2, true, 0},
                     {"DATE_FIELD1", "档案日期", "Date", "D", 0, 10, 5, true, 0},
                     {"TEXT_FIELD1", "保密等级", s, "DT", 50, 20, 6, true, 0},
                     {"TEXT_FIELD2", "存放位置", s, "DT", 50, 20, 7, true, 0},
                     {"TEXT_NOTE", "档案备注", s, "T", 255, 120, 21, true, 0}});
}

bool writeDetailDefaults()
{
    const QString s = QStringLiteral("String");
    return writeAll(QStringLiteral("SYS_ARCHIVE_DETAIL_FIELD_TABLE"),
                    {{"DETAIL_ARCHIVE_ID", "资料编号", s, "T", 30, 20, 1, false, 0},
                     {"DETAIL_ARCHIVE_NAME", "资料名称", s, "T", 180, 60, 2, false, 0},
                     {"DETAIL_TEXT_NOTE", "备注", s, "T", 255, 120, 21, false, 0}});
}

} // namespace FieldConfig
