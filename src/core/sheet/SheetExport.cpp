#include "SheetExport.h"

#include "CellText.h"
#include "SheetWriter.h"
#include "common/Gbk.h"
#include "common/MessageSink.h"
#include "db/Database.h"

#include <QDate>
#include <QDateTime>
#include <QMap>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

namespace {

const QString NoDataSource = QStringLiteral("没有数据源");
const QString NoReportName = QStringLiteral("没有报表名称");
const QString NoData = QStringLiteral("没有数据");
const QString ExportFailed = QStringLiteral("Excel打开过程发生错误");

// A value the spreadsheet would take for a number when typed: a plain decimal. Anything else (leading
// zeros, exponents, signs, dates) stays text, so codes such as "007" keep their zeros.
bool isPlainNumber(const QString& text, double* value)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    if (i < n && text.at(i) == QLatin1Char('-'))
        ++i;
    const qsizetype intStart = i;
    while (i < n && text.at(i).isDigit() && text.at(i).unicode() < 128)
        ++i;
    const qsizetype intLen = i - intStart;
    if (intLen == 0 || (intLen > 1 && text.at(intStart) == QLatin1Char('0')))
        return false;
    if (i < n && text.at(i) == QLatin1Char('.')) {
        ++i;
        const qsizetype fracStart = i;
        while (i < n && text.at(i).isDigit() && text.at(i).unicode() < 128)
            ++i;
        if (i == fracStart)
            return false;
    }
    if (i != n)
        return false;
    bool ok = false;
    *value = text.toDouble(&ok);
    return ok;
}

// The export writes cells anywhere in its heading and closing areas; the workbook takes them in row order.
class CellArea
{
public:
    void put(int row, int column, const QString& text) { m_cells[row][column] = text; }
    bool isEmpty() const { return m_cells.isEmpty(); }
    template <typename Write> bool writeAll(Write write) const
    {
        for (auto r = m_cells.cbegin(); r != m_cells.cend(); ++r) {
            for (auto c = r->cbegin(); c != r->cend(); ++c) {
                if (!write(r.key(), c.key(), c.value()))
                    return false;
            }
        }
        return true;
    }

private:
    QMap<int, QMap<int, QString>> m_cells;
};

sqlite3* handleOf(const QSqlDatabase& db)
{
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(v.data());
}

// The first keyword of a statement, after blanks, comments and opening parentheses.
QString firstKeyword(const QString& sql)
{
    qsizetype i = 0;
    const qsizetype n = sql.size();
    for (;;) {
        while (i < n && (sql.at(i).isSpace() || sql.at(i) == QLatin1Char('(')))
            ++i;
        if (sql.mid(i, 2) == QLatin1String("--")) {
            const qsizetype eol = sql.indexOf(QLatin1Char('\n'), i);
            i = eol < 0 ? n : eol + 1;
        } else if (sql.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else {
            break;
        }
    }
    qsizetype j = i;
    while (j < n && (sql.at(j).isLetter() || sql.at(j) == QLatin1Char('_')))
        ++j;
    return sql.mid(i, j - i).toUpper();
}

} // namespace

bool SqlQueryRows::isOpen() const
{
    return m_query && m_query->isActive() && m_query->isSelect();
}

int SqlQueryRows::fieldIndex(const QString& name) const
{
    return m_query->record().indexOf(name);
}

bool SqlQueryRows::first()
{
    if (m_query->at() == QSql::BeforeFirstRow)
        return m_query->next();
    return m_query->first();
}

bool SqlQueryRows::next()
{
    return m_query->next();
}

QString SqlQueryRows::text(int field) const
{
    return SheetExport::valueText(m_query->value(field));
}

namespace SheetExport {

bool needsTextFormat(const QString& value)
{
    const int bytes = Gbk::byteLength(value);
    return bytes > 10 || (bytes > 8 && !value.contains(QLatin1Char('.')));
}

QString valueText(const QVariant& value)
{
    if (value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return CellText::number(value.toDouble());
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default:
        return value.toString();
    }
}

bool ExportToXlsx(const QString& path, const QString& reportName, bool id, ExportRows* dataSet,
                  const TExcelFieldArray& columns, const TExcelFieldArray& headings, const TExcelFieldArray& closings,
                  QString* detail)
{
    auto refuse = [&](const QString& message, const QString& why = QString()) {
        if (detail)
            *detail = why.isEmpty() ? message : why;
        ShowWarning(message);
        return false;
    };
    if (!dataSet || !dataSet->isOpen())
        return refuse(NoDataSource);
    if (reportName.trimmed().isEmpty())
        return refuse(NoReportName);
    if (!dataSet->first())
        return refuse(NoData);
    // Every named field must exist before anything is written.
    QList<int> fields;
    for (const TExcelFieldName& c : columns) {
        int index = -1;
        if (!c.FieldName.isEmpty()) {
            index = dataSet->fieldIndex(c.FieldName);
            if (index < 0)
                return refuse(ExportFailed, QStringLiteral("数据中没有字段 %1").arg(c.FieldName));
        }
        fields.append(index);
    }

    SheetWriter writer;
    if (!writer.open(path, reportName))
        return refuse(writer.errorString());
    // Rows and columns count from 1 below, as the layout is described; the writer counts from 0.
    auto put = [&writer](int row, int column, const QString& text) {
        if (text.isEmpty())
            return true;
        double number = 0;
        if (needsTextFormat(text))
            return writer.writeText(row - 1, column - 1, text, true);
        if (isPlainNumber(text, &number))
            return writer.writeNumber(row - 1, column - 1, number);
        return writer.writeText(row - 1, column - 1, text, false);
    };
    auto fail = [&]() {
        const QString why = writer.errorString();
        writer.cancel();
        return refuse(ExportFailed, why);
    };

    // Heading entries; the column headings go below the deepest of them.
    CellArea top;
    int r = 1;
    for (int i = 1; i <= headings.size(); ++i) {
        const TExcelFieldName& h = headings.at(i - 1);
        if (h.FieldName.isEmpty())
            continue;
        if (!h.Caption.isEmpty()) {
            top.put(1, i, h.Caption);
            top.put(2, i, h.FieldName);
            r = 3;
        } else {
            top.put(1, i, h.FieldName);
            r = qMax(r, 2);
        }
    }
    const int shift = id ? 1 : 0;
    if (id)
        top.put(r, 1, QStringLiteral("序号"));
    for (int i = 1; i <= columns.size(); ++i)
        top.put(r, i + shift, columns.at(i - 1).Caption);
    if (!top.writeAll(put))
        return fail();

    int row = r;
    qint64 n = 0;
    do {
        ++row;
        ++n;
        if (id && !writer.writeNumber(row - 1, 0, double(n)))
            return fail();
        for (int i = 1; i <= columns.size(); ++i) {
            const int field = fields.at(i - 1);
            if (field >= 0 && !put(row, i + shift, dataSet->text(field).trimmed()))
                return fail();
        }
    } while (dataSet->next());

    // Closing entries start on the row after the last record, in column 2.
    CellArea bottom;
    const int e = row + 1;
    for (int i = 1; i <= closings.size(); ++i) {
        const TExcelFieldName& c = closings.at(i - 1);
        if (c.FieldName.isEmpty())
            continue;
        if (!c.Caption.isEmpty()) {
            bottom.put(e, i + 1, c.Caption);
            bottom.put(e + 1, i + 1, c.FieldName);
        } else {
            bottom.put(e, i + 1, c.FieldName);
        }
    }
    if (!bottom.writeAll(put))
        return fail();
    if (!writer.commit())
        return refuse(ExportFailed, writer.errorString());
    return true;
}

bool isSingleSelect(const QString& sql, QString* error)
{
    const QSqlDatabase db = Database::db();
    sqlite3* handle = db.isOpen() ? handleOf(db) : nullptr;
    if (!handle) {
        *error = QStringLiteral("数据库没有打开");
        return false;
    }
    const QString keyword = firstKeyword(sql);
    if (keyword != QLatin1String("SELECT") && keyword != QLatin1String("WITH")) {
        *error = QStringLiteral("只能执行一条 SELECT 语句");
        return false;
    }
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &stmt, &tail) != SQLITE_OK) {
        *error = QStringLiteral("SQL 语句错误: %1").arg(QString::fromUtf8(sqlite3_errmsg(handle)));
        sqlite3_finalize(stmt);
        return false;
    }
    const bool readOnly = stmt && sqlite3_stmt_readonly(stmt) && sqlite3_column_count(stmt) > 0;
    sqlite3_finalize(stmt);
    if (!readOnly) {
        *error = QStringLiteral("只能执行一条 SELECT 语句");
        return false;
    }
    // Whatever follows the statement must be blanks and comments only.
    const char* end = text.constData() + text.size();
    while (tail && tail < end) {
        sqlite3_stmt* more = nullptr;
        const char* nextTail = nullptr;
        const int rc = sqlite3_prepare_v2(handle, tail, int(end - tail), &more, &nextTail);
        sqlite3_finalize(more);
        if (rc != SQLITE_OK || more) {
            *error = QStringLiteral("只能执行一条 SELECT 语句");
            return false;
        }
        if (nextTail == tail)
            break;
        tail = nextTail;
    }
    return true;
}

bool exportQuery(const QString& sql, const QString& path, const QString& title, bool rowNumbers, QString* error)
{
    if (!isSingleSelect(sql, error))
        return false;
    QSqlDatabase db = Database::db();
    QSqlQuery guard(db);
    // The connection refuses every change while the export reads.
    guard.exec(QStringLiteral("PRAGMA query_only = ON"));
    bool ok = false;
    {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.exec(sql)) {
            *error = QStringLiteral("SQL 语句错误: %1").arg(query.lastError().text());
        } else {
            TExcelFieldArray columns;
            const QSqlRecord record = query.record();
            for (int i = 0; i < record.count(); ++i)
                columns.append({record.fieldName(i), QString(), record.fieldName(i)});
            SqlQueryRows rows(&query);
            ok = ExportToXlsx(path, title, rowNumbers, &rows, columns, {}, {}, error);
        }
    }
    guard.exec(QStringLiteral("PRAGMA query_only = OFF"));
    return ok;
}

} // namespace SheetExport
