#include "Schema.h"

#include "Sql.h"

#include <QSqlError>
#include <QSqlQuery>

namespace Schema {

namespace {

Column text(const QString& name, int width)
{
    return {name, ColumnKind::Text, width};
}
Column date(const QString& name)
{
    return {name, ColumnKind::Date, 0};
}
Column number(const QString& name)
{
    return {name, ColumnKind::Number, 0};
}
Column integer(const QString& name)
{
    return {name, ColumnKind::Integer, 0};
}
Column blob(const QString& name)
{
    return {name, ColumnKind::Blob, 0};
}

QList<Column> audit()
{
    return {text("EDIT_NAME", 20), date("EDIT_DATE"), text("CREATE_NAME", 20), date("CREATE_DATE")};
}

QList<Column> generic(const QString& prefix, bool numberAndNameFirst = true)
{
    QList<Column> c;
    if (numberAndNameFirst) {
        c << text(prefix + "ARCHIVE_ID", 30) << text(prefix + "ARCHIVE_NAME", 180);
    }
    for (int i = 1; i <= 4; ++i)
        c << date(prefix + QStringLiteral("DATE_FIELD%1").arg(i));
    for (int i = 1; i <= 12; ++i)
        c << text(prefix + QStringLiteral("TEXT_FIELD%1").arg(i), i <= 10 ? 50 : 160);
    c << text(prefix + "TEXT_NOTE", 255);
    for (int i = 1; i <= 6; ++i)
        c << number(prefix + QStringLiteral("NUMBER_FIELD%1").arg(i));
    return c;
}

QList<Column> fieldConfig()
{
    return {text("FIELD_NAME", 30),       text("FIELD_DISPLAY_NAME", 20), text("FIELD_TYPE", 10),
            integer("FIELD_WIDTH"),       integer("FIELD_DISPLAY_WIDTH"), text("FIELD_FIND_TYPE", 10),
            text("FIELD_ORDER_TYPE", 10), integer("FIELD_ORDER"),         integer("FIELD_ITERATION")};
}

QList<Table> build()
{
    QList<Table> t;

    t << Table{"QN_ARCHIVE_TYPE_TABLE",
               QList<Column>{text("ARCHIVE_TYPE_ID", 16), integer("ORDER_ID"), text("ARCHIVE_TYPE_NAME", 20),
                             text("PRIOR_ID", 16), text("NOTE", 40)} +
                   audit(),
               {"ARCHIVE_TYPE_ID"},
               {{"PRIOR_ID", "ORDER_ID"}},
               {}};
    t << Table{
        "QN_ARCHIVE_NODE_NAME_TABLE", {integer("ORDER_ID"), text("NODE_NAME", 100), text("NOTE", 80)}, {}, {}, {}};

    QList<Column> master{text("ARCHIVE_RECORD_ID", 16), text("ARCHIVE_TYPE_ID", 16)};
    master += generic("");
    master += audit();
    t << Table{"QN_ARCHIVE_MASTER_TABLE",
               master,
               {"ARCHIVE_RECORD_ID"},
               {{"ARCHIVE_TYPE_ID", "ARCHIVE_ID"}, {"ARCHIVE_ID"}, {"ARCHIVE_NAME"}},
               {}};

    QList<Column> detail{text("ARCHIVE_RECORD_ID", 16), text("DETAIL_ARCHIVE_ID", 30), text("DETAIL_RECORD_ID", 16),
                         text("DETAIL_ARCHIVE_NAME", 180)};
    detail += generic("DETAIL_", false);
    detail += audit();
    t << Table{"QN_ARCHIVE_DETAIL_TABLE",
               detail,
               {"DETAIL_RECORD_ID"},
               {{"ARCHIVE_RECORD_ID", "DETAIL_ARCHIVE_ID"}, {"DETAIL_ARCHIVE_ID"}},
               {}};

    t << Table{"SYS_ARCHIVE_FIELD_TABLE", fieldConfig(), {"FIELD_NAME"}, {}, {}};
    t << Table{"SYS_ARCHIVE_DETAIL_FIELD_TABLE", fieldConfig(), {"FIELD_NAME"}, {}, {}};

    auto pictureIndex = [&](const QString& name, const QString& owner) {
        return Table{name,
                     QList<Column>{text(owner, 16), text("PICTURE_RECORD_ID", 16), text("PICTURE_TITLE_NAME", 255),
                                   integer("PICTURE_ORDER"), text("NOTE", 255)} +
                         audit(),
                     {"PICTURE_RECORD_ID"},
                     {{owner, "PICTURE_ORDER"}},
                     {}};
    };
    auto fileIndex = [&](const QString& name, const QString& owner) {
        return Table{name,
                     QList<Column>{text("FILE_RECORD_ID", 16), text(owner, 16), text("FILE_TITLE_NAME", 255),
                                   integer("FILE_ORDER"), text("NOTE", 255)} +
                         audit(),
                     {"FILE_RECORD_ID"},
                     {{owner, "FILE_ORDER"}},
                     {}};
    };
    t << pictureIndex("QN_MARCHIVE_MASTER_PICTURE_TABLE", "ARCHIVE_RECORD_ID");
    t << pictureIndex("QN_DARCHIVE_MASTER_PICTURE_TABLE", "DETAIL_RECORD_ID");
    t << Table{"QN_DARCHIVE_DETAIL_PICTURE_TABLE", {text("PICTURE_RECORD_ID", 16)}, {}, {{"PICTURE_RECORD_ID"}}, {}};
    t << fileIndex("QN_MARCHIVE_MASTER_FILE_TABLE", "ARCHIVE_RECORD_ID");
    t << fileIndex("QN_DARCHIVE_MASTER_FILE_TABLE", "DETAIL_RECORD_ID");
    t << Table{"QN_MARCHIVE_DETAIL_FILE_TABLE",
               {text("FILE_RECORD_ID", 16), blob("FILE_SAVE_NAME")},
               {},
               {{"FILE_RECORD_ID"}},
               {}};
    t << Table{"QN_DARCHIVE_DETAIL_FILE_TABLE", {text("FILE_RECORD_ID", 16)}, {}, {{"FILE_RECORD_ID"}}, {}};

    t << Table{"QN_ARCHIVE_LEND_TABLE",
               QList<Column>{text("ARCHIVE_RECORD_ID", 16), text("LEND_ID", 16), date("LEND_DATE"),
                             text("LEND_NAME", 20), date("RETURN_LIMIT_DATE"), date("RETURN_DATE"), text("NOTE", 160)} +
                   audit(),
               {"LEND_ID"},
               {{"ARCHIVE_RECORD_ID", "LEND_DATE"}, {"RETURN_DATE", "RETURN_LIMIT_DATE"}},
               {}};

    for (const auto& [table, col] : valueListTables()) {
        int w = 50;
        if (col.endsWith("TEXT_FIELD11") || col.endsWith("TEXT_FIELD12"))
            w = 160;
        else if (col.endsWith("ARCHIVE_NAME"))
            w = 180;
        else if (col == "LEND_NAME")
            w = 20;
        t << Table{table, {text(col, w)}, {}, {}, {{col}}};
    }

    QList<Column> staging{text("ARCHIVE_ID", 30), text("ARCHIVE_RECORD_ID", 16), text("ARCHIVE_TYPE_ID", 16),
                          text("ARCHIVE_NAME", 180)};
    staging += generic("", false);
    staging += audit();
    t << Table{"QN_TARCHIVE_MASTER_TABLE", staging, {"ARCHIVE_RECORD_ID"}, {{"ARCHIVE_ID"}}, {}};
    for (const char* name : {"QN_INTO_ARCHIVE_FIELD_TABLE", "QN_INTO_ARCHIVE_DETAIL_FIELD_TABLE"})
        t << Table{
            name, {text("TABLE_FIELD_NAME", 30), text("EXCEL_FIELD_NAME", 30), number("FIELD_ORDER")}, {}, {}, {}};
    QList<Column> show;
    for (int i = 1; i <= 12; ++i)
        show << text(QStringLiteral("TEXT_FIELD%1").arg(i), i <= 10 ? 50 : 160);
    show << text("TEXT_NOTE", 255);
    t << Table{"QN_INTO_ARCHIVE_SHOW_TABLE", show, {}, {}, {}};

    // The password column holds a libsodium hash string; the typed password stays limited to 10 characters.
    t << Table{"SYS_USER_TABLE",
               {text("USE_ID", 6), text("USE_NAME", 20), text("USE_PASSWORD", 128), text("SYS_USER", 2),
                text("STOP_RIGHT", 4), text("NOTE", 30), text("CREATE_NAME", 20), date("CREATE_DATE"),
                text("EDIT_NAME", 20), date("EDIT_DATE")},
               {"USE_ID"},
               {},
               {{"USE_NAME"}}};
    t << Table{"SYS_COMPOSE_TABLE", {integer("COMPOSE_ID"), text("COMPOSE_NAME", 40)}, {"COMPOSE_ID"}, {}, {}};
    t << Table{"SYS_PROGRAM_TABLE",
               {integer("COMPOSE_ID"), integer("PROGRAM_ID"), text("PROGRAM_NAME", 80), text("ADD_RIGHT", 2),
                text("BROWSE_RIGHT", 2), text("PRINT_RIGHT", 2), text("VERIFY_RIGHT", 2), text("CURRENCY_RIGHT", 2)},
               {"COMPOSE_ID", "PROGRAM_ID"},
               {},
               {}};
    t << Table{"SYS_RIGHT_TABLE",
               {text("USE_ID", 6), integer("COMPOSE_ID"), integer("PROGRAM_ID"), text("ADD_RIGHT", 2),
                text("EDIT_RIGHT", 2), text("DELETE_RIGHT", 2), text("BROWSE_RIGHT", 2), text("PRINT_RIGHT", 2),
                text("VERIFY_RIGHT", 2), text("CURRENCY_RIGHT", 2)},
               {},
               {},
               {{"USE_ID", "COMPOSE_ID", "PROGRAM_ID"}}};
    t << Table{"SYS_COMPANY_TABLE",
               QList<Column>{text("COMPANY_ID", 6), text("COMPANY_NAME", 40), text("COMPANY_ADDRESS", 50),
                             text("COMPANY_POSTCODE", 10), text("COMPANY_PHONE", 20), text("NOTE", 40)} +
                   audit(),
               {"COMPANY_ID"},
               {},
               {}};
    t << Table{"SYS_ID_TABLE", {text("NAME_ID", 40), text("AUTO_ID", 255)}, {"NAME_ID"}, {}, {}};

    for (const QString& name : layoutTables())
        t << Table{name,
                   {text("USE_ID", 6), text("FORM_NAME", 60), text("DBGRID_NAME", 60), text("FIELD_NAME", 40),
                    integer("FIELD_WIDTH"), integer("FIELD_ORDER")},
                   {},
                   {{"USE_ID", "FORM_NAME", "DBGRID_NAME"}},
                   {}};

    t << Table{"SYS_PRINT_TABLE",
               {text("PRINT_NAME", 80), number("TOP_MARGIN"), number("BUTTOM_MARGIN"), number("LEFT_MARGIN"),
                number("RIGHT_MARGIN")},
               {"PRINT_NAME"},
               {},
               {}};
    t << Table{"SYS_PRINT_NAME_TABLE",
               {text("PRINT_INDEX", 80), text("PRINT_ID", 26), text("PRINT_NAME", 180), text("PRINT_TYPE", 2)},
               {"PRINT_INDEX", "PRINT_ID"},
               {},
               {}};
    t << Table{"SYS_PRINT_DATA_TABLE", {text("PRINT_ID", 26), blob("PRINT_TABLE")}, {"PRINT_ID"}, {}, {}};
    t << Table{"SYS_PRINT_ARCHIVE_MASTER_TABLE", {text("PRINT_ID", 26), blob("PRINT_TABLE")}, {"PRINT_ID"}, {}, {}};
    t << Table{"SYS_BACK_TABLE", {text("BACK_NAME", 80), date("BACK_DATE"), text("NOTE", 255)}, {}, {}, {}};
    return t;
}

QString typeName(ColumnKind k)
{
    switch (k) {
    case ColumnKind::Text:
    case ColumnKind::Date:
        return QStringLiteral("TEXT");
    case ColumnKind::Number:
        return QStringLiteral("REAL");
    case ColumnKind::Integer:
        return QStringLiteral("INTEGER");
    case ColumnKind::Blob:
        return QStringLiteral("BLOB");
    }
    return QStringLiteral("TEXT");
}

} // namespace

QStringList genericColumns()
{
    QStringList c{"ARCHIVE_ID", "ARCHIVE_NAME"};
    for (int i = 1; i <= 4; ++i)
        c << QStringLiteral("DATE_FIELD%1").arg(i);
    for (int i = 1; i <= 12; ++i)
        c << QStringLiteral("TEXT_FIELD%1").arg(i);
    c << "TEXT_NOTE";
    for (int i = 1; i <= 6; ++i)
        c << QStringLiteral("NUMBER_FIELD%1").arg(i);
    return c;
}

QStringList detailGenericColumns()
{
    QStringList c;
    for (const QString& name : genericColumns())
        c << "DETAIL_" + name;
    return c;
}

QList<QPair<QString, QString>> valueListTables()
{
    QList<QPair<QString, QString>> l;
    for (int i = 1; i <= 12; ++i)
        l << qMakePair(QStringLiteral("QN_TEXT_FIELD%1_TABLE").arg(i), QStringLiteral("TEXT_FIELD%1").arg(i));
    for (int i = 1; i <= 12; ++i)
        l << qMakePair(QStringLiteral("QN_DETAIL_TEXT_FIELD%1_TABLE").arg(i),
                       QStringLiteral("DETAIL_TEXT_FIELD%1").arg(i));
    l << qMakePair(QStringLiteral("QN_ARCHIVE_NAME_TABLE"), QStringLiteral("ARCHIVE_NAME"));
    l << qMakePair(QStringLiteral("QN_DETAIL_ARCHIVE_NAME_TABLE"), QStringLiteral("DETAIL_ARCHIVE_NAME"));
    l << qMakePair(QStringLiteral("QN_LEND_NAME_TABLE"), QStringLiteral("LEND_NAME"));
    return l;
}

QStringList layoutTables()
{
    return {"SYS_ARCHIVE_DBGRID_TABLE",
            "SYS_ARCHIVE_DETAIL_TABLE",
            "SYS_ARCHIVE_LEND_TABLE",
            "SYS_QUERY_ARCHIVE_DETAIL_TABLE",
            "SYS_QUERY_ARCHIVE_LEND_TABLE",
            "SYS_SELECT_ARCHIVE_PICTURE_TABLE",
            "SYS_SELECT_ARCHIVE_FILE_TABLE",
            "SYS_SELECT_ARCHIVE_MASTER_FILE_TABLE",
            "SYS_SELECT_ARCHIVE_DETAIL_FILE_TABLE"};
}

const QList<Table>& tables()
{
    static const QList<Table> all = build();
    return all;
}

const Table* table(const QString& name)
{
    for (const Table& t : tables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

const Column* column(const QString& tableName, const QString& columnName)
{
    const Table* t = table(tableName);
    if (!t)
        return nullptr;
    for (const Column& c : t->columns)
        if (c.name.compare(columnName, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

int textWidth(const QString& tableName, const QString& columnName)
{
    const Column* c = column(tableName, columnName);
    return c && c->kind == ColumnKind::Text ? c->width : 0;
}

QString createTableSql(const Table& t)
{
    QStringList defs;
    for (const Column& c : t.columns) {
        QString d = c.name + QLatin1Char(' ') + typeName(c.kind);
        // Widths count GBK bytes; the check runs inside the engine, so no write path can skip it.
        if (c.kind == ColumnKind::Text && c.width > 0)
            d += QStringLiteral(" CHECK (gbk_width(%1) <= %2)").arg(c.name).arg(c.width);
        if (c.kind == ColumnKind::Date)
            d += QStringLiteral(" CHECK (%1 IS NULL OR %1 GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]')")
                     .arg(c.name);
        defs << d;
    }
    if (!t.primaryKey.isEmpty())
        defs << QStringLiteral("PRIMARY KEY (%1)").arg(t.primaryKey.join(QLatin1Char(',')));
    return QStringLiteral("CREATE TABLE %1 (\n  %2\n)").arg(t.name, defs.join(QStringLiteral(",\n  ")));
}

QStringList createIndexSql(const Table& t)
{
    QStringList out;
    int n = 0;
    for (const QStringList& cols : t.indexes)
        out << QStringLiteral("CREATE INDEX IX_%1_%2 ON %1 (%3)").arg(t.name).arg(++n).arg(cols.join(QLatin1Char(',')));
    for (const QStringList& cols : t.uniques)
        out << QStringLiteral("CREATE UNIQUE INDEX UX_%1_%2 ON %1 (%3)")
                   .arg(t.name)
                   .arg(++n)
                   .arg(cols.join(QLatin1Char(',')));
    return out;
}

namespace {

bool exec(QSqlDatabase& db, const QString& sql, QString* error)
{
    QSqlQuery q(db);
    if (!q.exec(sql)) {
        if (error)
            *error = q.lastError().text() + QStringLiteral(" — ") + sql.left(200);
        return false;
    }
    return true;
}

} // namespace

bool insertDeliveredRows(QSqlDatabase db, QString* error)
{
    struct Program
    {
        int group;
        int id;
        const char* name;
        const char* add;
        const char* browse;
        const char* print;
        const char* verify;
        const char* documents;
    };
    static const Program programs[] = {
        {1, 1, "档案类别资料录入编辑", "是", "是", "是", "否", "否"},
        {1, 2, "档案资料录入编辑管理", "是", "是", "是", "否", "是"},
        {1, 3, "档案明细资料查询管理", "否", "是", "是", "否", "是"},
        {1, 4, "档案借阅记录查询管理", "否", "是", "是", "否", "否"},
        {1, 5, "EXCEL资料导入管理", "是", "是", "是", "否", "否"},
        {1, 6, "单位名称录入编辑", "是", "是", "否", "否", "否"},
        {1, 7, "档案借阅管理", "是", "是", "是", "否", "否"},
        {2, 1, "数据备份管理", "否", "是", "否", "否", "否"},
        {2, 2, "过时数据删除", "否", "是", "否", "否", "否"},
    };
    if (!exec(db,
              QStringLiteral("INSERT INTO SYS_COMPOSE_TABLE (COMPOSE_ID, COMPOSE_NAME) VALUES (1, %1), (2, %2)")
                  .arg(Sql::quote(QStringLiteral("档案管理")), Sql::quote(QStringLiteral("系统管理"))),
              error))
        return false;
    for (const Program& p : programs) {
        const QString sql =
            QStringLiteral("INSERT INTO SYS_PROGRAM_TABLE (COMPOSE_ID, PROGRAM_ID, PROGRAM_NAME, ADD_RIGHT, "
                           "BROWSE_RIGHT, PRINT_RIGHT, VERIFY_RIGHT, CURRENCY_RIGHT) VALUES (%1, %2, %3, %4, %5, %6, "
                           "%7, %8)")
                .arg(p.group)
                .arg(p.id)
                .arg(Sql::quote(QString::fromUtf8(p.name)), Sql::quote(QString::fromUtf8(p.add)),
                     Sql::quote(QString::fromUtf8(p.browse)), Sql::quote(QString::fromUtf8(p.print)),
                     Sql::quote(QString::fromUtf8(p.verify)), Sql::quote(QString::fromUtf8(p.documents)));
        if (!exec(db, sql, error))
            return false;
    }
    return true;
}

bool create(QSqlDatabase db, QString* error)
{
    if (!db.transaction()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    for (const Table& t : tables()) {
        if (!exec(db, createTableSql(t), error)) {
            db.rollback();
            return false;
        }
        for (const QString& sql : createIndexSql(t))
            if (!exec(db, sql, error)) {
                db.rollback();
                return false;
            }
    }
    if (!insertDeliveredRows(db, error)) {
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    return true;
}

} // namespace Schema
