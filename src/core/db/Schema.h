#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The tables of the archive room, their columns, widths, keys and indexes, and the rows delivered with
// an empty database. Only the installation step and the rebuild create tables; the program never alters them.
namespace Schema {

enum class ColumnKind
{
    Text,
    Date,
    Number,
    Integer,
    Blob
};

struct Column
{
    QString name;
    ColumnKind kind = ColumnKind::Text;
    int width = 0; // GBK bytes for text columns; 0 means no limit
};

struct Table
{
    QString name;
    QList<Column> columns;
    QStringList primaryKey;
    QList<QStringList> indexes; // plain indexes, one column list each
    QList<QStringList> uniques; // unique indexes
};

const QList<Table>& tables();
const Table* table(const QString& name); // case-insensitive
const Column* column(const QString& table, const QString& column);
// The GBK byte width of a text column, 0 when it has none or is unknown.
int textWidth(const QString& table, const QString& column);

// The 25 generic column names, without and with the detail prefix.
QStringList genericColumns();
QStringList detailGenericColumns();
// The 27 value-list tables, as (table, column).
QList<QPair<QString, QString>> valueListTables();
// The nine per-user grid layout tables.
QStringList layoutTables();

// Creates every table and index and inserts the delivered rows, in one transaction.
bool create(QSqlDatabase db, QString* error);
// CREATE TABLE text of one table (used by the rebuild as well).
QString createTableSql(const Table& t);
QStringList createIndexSql(const Table& t);
// Inserts the delivered rows (program groups and programs).
bool insertDeliveredRows(QSqlDatabase db, QString* error);

} // namespace Schema
