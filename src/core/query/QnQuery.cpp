#include "QnQuery.h"

#include "Numbering.h"
#include "common/AppContext.h"
#include "common/Clock.h"
#include "common/Gbk.h"
#include "common/MessageSink.h"
#include "db/Database.h"
#include "db/EngineError.h"
#include "db/FunLib.h"
#include "db/KeyGenerator.h"
#include "db/Schema.h"
#include "db/Sql.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <cmath>

namespace {

const QString RowIdColumn = QStringLiteral("QN_ROWID_");

QString msgDbError()
{
    return QStringLiteral("数据库操作过程发生错误");
}

struct Token
{
    QString word;  // upper-case word, or the punctuation character
    int end = 0;   // offset just past the token in the statement
    int start = 0; // offset of its first character
};

// The top-level tokens of a statement (nothing inside parentheses, quotes skipped), enough to tell whether it
// reads one table row for row.
QList<Token> topLevelTokens(const QString& sql)
{
    QList<Token> out;
    int depth = 0;
    const int n = int(sql.size());
    for (int i = 0; i < n;) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            int j = i + 1;
            while (j < n) {
                if (sql.at(j) == close) {
                    if (j + 1 < n && sql.at(j + 1) == close && close != QLatin1Char(']')) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            if (depth == 0 && c != QLatin1Char('\''))
                out.append({QStringLiteral("\"ID"), j + 1, i});
            else if (depth == 0)
                out.append({QStringLiteral("'"), j + 1, i});
            i = j + 1;
            continue;
        }
        if (c == QLatin1Char('(')) {
            if (depth == 0)
                out.append({QStringLiteral("("), i + 1, i});
            ++depth;
            ++i;
            continue;
        }
        if (c == QLatin1Char(')')) {
            depth = qMax(0, depth - 1);
            ++i;
            continue;
        }
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.') || c == QLatin1Char('*')) {
            int j = i;
            while (j < n && (sql.at(j).isLetterOrNumber() || sql.at(j) == QLatin1Char('_') ||
                             sql.at(j) == QLatin1Char('.') || sql.at(j) == QLatin1Char('*')))
                ++j;
            if (depth == 0)
                out.append({sql.mid(i, j - i).toUpper(), j, i});
            i = j;
            continue;
        }
        if (depth == 0)
            out.append({QString(c), i + 1, i});
        ++i;
    }
    return out;
}

// For "SELECT ... FROM table [alias] [WHERE ...] [ORDER BY ...] [LIMIT ...]": the table and the offset just
// after SELECT. Anything else (joins, grouping, DISTINCT, compound statements) gives an empty table.
QString singleTable(const QString& sql, int* selectEnd)
{
    const QList<Token> t = topLevelTokens(sql);
    if (t.size() < 4 || t.at(0).word != QLatin1String("SELECT") || t.at(1).word == QLatin1String("DISTINCT") ||
        t.at(1).word == QLatin1String("ALL"))
        return {};
    static const QStringList forbidden{"GROUP", "UNION", "INTERSECT", "EXCEPT", "HAVING", "WINDOW", "JOIN", "VALUES"};
    int from = -1;
    for (int i = 0; i < t.size(); ++i) {
        if (forbidden.contains(t.at(i).word))
            return {};
        if (from < 0 && t.at(i).word == QLatin1String("FROM"))
            from = i;
    }
    if (from < 0 || from + 1 >= t.size())
        return {};
    const QString table = t.at(from + 1).word;
    if (!Sql::isIdentifier(table))
        return {};
    int next = from + 2;
    static const QStringList clauses{"WHERE", "ORDER", "LIMIT", "INDEXED", "NOT"};
    if (next < t.size() && t.at(next).word == QLatin1String("AS"))
        next += 2;
    else if (next < t.size() && Sql::isIdentifier(t.at(next).word) && !clauses.contains(t.at(next).word))
        ++next;
    if (next < t.size() && t.at(next).word != QLatin1String("WHERE") && t.at(next).word != QLatin1String("ORDER") &&
        t.at(next).word != QLatin1String("LIMIT") && t.at(next).word != QLatin1String(";"))
        return {};
    *selectEnd = t.at(0).end;
    return table;
}

// The statement without its closing ORDER BY: counts and sums need no order, and sorting every row of a
// large result only to count it costs more than the count.
QString withoutOrder(const QString& sql)
{
    const QList<Token> t = topLevelTokens(sql);
    int order = -1;
    for (int i = 0; i + 1 < t.size(); ++i)
        if (t.at(i).word == QLatin1String("ORDER") && t.at(i + 1).word == QLatin1String("BY"))
            order = i;
    if (order < 0)
        return sql;
    for (int i = order; i < t.size(); ++i)
        if (t.at(i).word == QLatin1String("LIMIT"))
            return sql; // the order decides which rows there are
    return sql.left(t.at(order).start);
}

QVariant cleaned(const QVariant& v)
{
    return v.isNull() ? QVariant() : v;
}

QString literal(const QString& kind, const QString& value)
{
    if (kind == QLatin1String("N"))
        return Sql::numberOrNull(value);
    if (kind == QLatin1String("D"))
        return Sql::quoteDate(value);
    return Sql::quote(value);
}

QString condition(const QString& column, const QString& kind, const QString& value)
{
    const QString lit = literal(kind, value);
    if (lit == QLatin1String("NULL"))
        return column + QStringLiteral(" IS NULL");
    return column + QStringLiteral(" = ") + lit;
}

QSet<QString>& observedKeys()
{
    static QSet<QString> s;
    return s;
}

} // namespace

TQnQuery::TQnQuery(QObject* parent) : QAbstractTableModel(parent), m_cache(256, 16)
{
    m_cache.setFetch([this](int offset, int limit, QList<Row>* rows) { return fetchRows(offset, limit, rows); });
}

TQnQuery::~TQnQuery() = default;

// ---------------------------------------------------------------- statement and table

void TQnQuery::setSql(const QString& sql)
{
    if (sql == m_sql)
        return;
    if (m_state != Closed)
        CloseQuery();
    m_sql = sql;
}

void TQnQuery::setTableName(const QString& name)
{
    if (name == m_tableName)
        return;
    m_tableName = name;
    setSql(QStringLiteral("SELECT  *  FROM  ") + cleanTable());
}

QString TQnQuery::cleanTable() const
{
    QString t = m_tableName.trimmed();
    if (t.endsWith(QLatin1String(".DB"), Qt::CaseInsensitive))
        t.chop(3);
    return Sql::identifier(t);
}

QStringList TQnQuery::keyColumns() const
{
    if (!m_keyColumns.isEmpty())
        return m_keyColumns;
    if (const Schema::Table* t = Schema::table(cleanTable())) {
        if (!t->primaryKey.isEmpty())
            return t->primaryKey;
        if (!t->uniques.isEmpty())
            return t->uniques.first();
    }
    return {};
}

QString TQnQuery::yearMonth() const
{
    if (!m_yearMonth.isEmpty())
        return m_yearMonth;
    const QString login = m_loginDate.isEmpty() ? AppContext::instance().LoginDate : m_loginDate;
    QDate d = Sql::parseDate(login);
    if (!d.isValid())
        d = Clock::today();
    return d.toString(QStringLiteral("yyyyMM"));
}

void TQnQuery::stampFromContext()
{
    const AppContext& ctx = AppContext::instance();
    m_loginDate = ctx.LoginDate;
    m_yearMonth.clear();
    m_yearMonth = yearMonth();
    m_today = Clock::today().toString(QStringLiteral("yyyyMMdd"));
    m_colorOnFocus = ctx.WindowFocusColor;
    m_sqlType = ctx.SqlType;
}

QString TQnQuery::today() const
{
    return m_today.isEmpty() ? Clock::today().toString(QStringLiteral("yyyyMMdd")) : m_today;
}

// ---------------------------------------------------------------- descriptors

void TQnQuery::SetFieldsData(const TFieldsDataArray& fields)
{
    m_fields = fields;
    mapFields();
    m_sumsValid = false;
    if (m_state != Closed && !m_columns.isEmpty()) {
        emit headerDataChanged(Qt::Horizontal, 0, int(m_columns.size()) - 1);
        emit footersChanged();
    }
}

void TQnQuery::SetCheckData(const TCheckDataArray& checks)
{
    m_checks = checks;
}

void TQnQuery::SetInsertData(const TInsertDataArray& inserts)
{
    m_inserts = inserts;
}

void TQnQuery::SetEditData(const TEditDataArray& edits)
{
    m_edits = edits;
}

const TFieldsData* TQnQuery::fieldAt(int column) const
{
    const int d = column >= 0 && column < m_fieldOf.size() ? m_fieldOf.at(column) : -1;
    return d >= 0 && d < m_fields.size() ? &m_fields.at(d) : nullptr;
}

void TQnQuery::mapFields()
{
    m_fieldOf.clear();
    for (const QString& name : m_columns) {
        int found = -1;
        for (int i = 0; i < m_fields.size() && found < 0; ++i)
            if (m_fields.at(i).fieldName.compare(name, Qt::CaseInsensitive) == 0)
                found = i;
        m_fieldOf << found;
    }
}

const TFieldsData* TQnQuery::fieldData(const QString& column) const
{
    for (const TFieldsData& f : m_fields)
        if (f.fieldName.compare(column, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

void TQnQuery::setSilent(bool on)
{
    if (m_silent == on)
        return;
    m_silent = on;
    emit silentChanged(on);
}

void TQnQuery::setMaster(TQnQuery* master, const QList<TLinkData>& links, const QString& head, const QString& tail)
{
    if (m_master && m_master->m_detail == this)
        m_master->m_detail = nullptr;
    m_master = master;
    m_links = links.mid(0, 11);
    m_linkHead = head;
    m_linkTail = tail;
    if (master)
        master->m_detail = this;
}

// ---------------------------------------------------------------- reading

bool TQnQuery::detectRowId()
{
    QString sql = m_sql.trimmed();
    while (sql.endsWith(QLatin1Char(';')))
        sql = sql.chopped(1).trimmed();
    int selectEnd = 0;
    const QString table = singleTable(sql, &selectEnd);
    const QString target = cleanTable();
    m_hasRowId = !table.isEmpty() && (target.isEmpty() || table.compare(target, Qt::CaseInsensitive) == 0);
    if (m_hasRowId)
        m_select =
            sql.left(selectEnd) + QStringLiteral(" rowid AS ") + RowIdColumn + QLatin1Char(',') + sql.mid(selectEnd);
    else
        m_select =
            QStringLiteral("SELECT NULL AS ") + RowIdColumn + QStringLiteral(", * FROM (") + sql + QStringLiteral(")");
    m_plainSelect = m_hasRowId ? withoutOrder(m_select)
                               : QStringLiteral("SELECT NULL AS ") + RowIdColumn + QStringLiteral(", * FROM (") +
                                     withoutOrder(sql) + QStringLiteral(")");
    return m_hasRowId;
}

QString TQnQuery::exclusion() const
{
    QStringList ids;
    for (const Pinned& p : m_pinned)
        if (p.rowId > 0)
            ids << Sql::number(double(p.rowId));
    for (qint64 id : m_dropped)
        ids << Sql::number(double(id));
    if (ids.isEmpty() || !m_hasRowId)
        return {};
    return QStringLiteral(" WHERE ") + RowIdColumn + QStringLiteral(" NOT IN (") + ids.join(QLatin1Char(',')) +
           QLatin1Char(')');
}

QString TQnQuery::baseSql() const
{
    return QStringLiteral("SELECT * FROM (") + m_select + QLatin1Char(')') + exclusion();
}

bool TQnQuery::fetchRows(int offset, int limit, QList<Row>* rows)
{
    const QString window = QStringLiteral(" LIMIT %1 OFFSET %2").arg(limit).arg(offset);
    const int n = int(m_columns.size()) + 1;
    auto readRow = [n](QSqlQuery& q) {
        Row r;
        r.reserve(n);
        for (int i = 0; i < n; ++i)
            r.append(cleaned(q.value(i)));
        return r;
    };
    QSqlQuery q(Database::db());
    q.setForwardOnly(true);
    if (!m_hasRowId) {
        if (!q.exec(baseSql() + window))
            return false;
        while (q.next())
            rows->append(readRow(q));
        return true;
    }
    // Sort only the row ids (the index often covers them), then read the window's rows by id: a window deep
    // in a large sorted result does not drag every row before it through the sorter.
    if (!q.exec(QStringLiteral("SELECT ") + RowIdColumn + QStringLiteral(" FROM (") + m_select + QLatin1Char(')') +
                exclusion() + window))
        return false;
    QList<qint64> ids;
    QStringList idTexts;
    while (q.next()) {
        ids << q.value(0).toLongLong();
        idTexts << Sql::number(double(ids.last()));
    }
    if (ids.isEmpty())
        return true;
    if (!q.exec(QStringLiteral("SELECT * FROM (") + m_plainSelect + QStringLiteral(") WHERE ") + RowIdColumn +
                QStringLiteral(" IN (") + idTexts.join(QLatin1Char(',')) + QLatin1Char(')')))
        return false;
    QHash<qint64, Row> byId;
    while (q.next()) {
        Row r = readRow(q);
        byId.insert(r.at(0).toLongLong(), std::move(r));
    }
    for (qint64 id : ids) {
        auto it = byId.find(id);
        if (it == byId.end())
            return false; // changed under us: read again later
        rows->append(*it);
    }
    return true;
}

bool TQnQuery::countRows()
{
    QSqlQuery q(Database::db());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM (") + m_plainSelect + QLatin1Char(')') + exclusion()) || !q.next())
        return false;
    m_baseCount = q.value(0).toInt();
    return true;
}

bool TQnQuery::computeBaseSums() const
{
    m_baseSums.clear();
    QStringList names;
    for (const TFieldsData& f : m_fields) {
        if (f.footerKind != QLatin1String("@Sum"))
            continue;
        const QString name = (f.footerField.isEmpty() ? f.fieldName : f.footerField).toUpper();
        if (columnIndex(name) >= 0 && !names.contains(name))
            names << name;
    }
    m_sumsValid = true;
    if (names.isEmpty() || m_state == Closed)
        return true;
    QStringList totals;
    for (const QString& n : names)
        totals << QStringLiteral("TOTAL(") + n + QLatin1Char(')');
    QSqlQuery q(Database::db());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT ") + totals.join(QLatin1Char(',')) + QStringLiteral(" FROM (") + m_plainSelect +
                QLatin1Char(')') + exclusion()) ||
        !q.next())
        return false;
    for (int i = 0; i < names.size(); ++i)
        m_baseSums.insert(names.at(i), q.value(i).toDouble());
    return true;
}

void TQnQuery::rebuildTableColumns()
{
    m_tableColumns.clear();
    const QString table = cleanTable();
    if (table.isEmpty())
        return;
    QSqlQuery q(Database::db());
    if (!q.exec(QStringLiteral("PRAGMA table_info(") + table + QLatin1Char(')')))
        return;
    while (q.next()) {
        TableColumn c;
        c.name = q.value(1).toString();
        const QString declared = q.value(2).toString().toUpper();
        if (const Schema::Column* s = Schema::column(table, c.name)) {
            switch (s->kind) {
            case Schema::ColumnKind::Date:
                c.kind = 'D';
                break;
            case Schema::ColumnKind::Number:
            case Schema::ColumnKind::Integer:
                c.kind = 'N';
                break;
            case Schema::ColumnKind::Blob:
                c.kind = 'B';
                break;
            case Schema::ColumnKind::Text:
                c.kind = 'T';
                break;
            }
            c.width = s->kind == Schema::ColumnKind::Text ? s->width : 0;
        } else if (declared.contains(QLatin1String("INT")) || declared.contains(QLatin1String("REAL")) ||
                   declared.contains(QLatin1String("NUM")) || declared.contains(QLatin1String("FLOA")) ||
                   declared.contains(QLatin1String("DOUB"))) {
            c.kind = 'N';
        } else if (declared.contains(QLatin1String("BLOB"))) {
            c.kind = 'B';
        } else {
            const TFieldsData* f = fieldData(c.name);
            c.kind = f && f->valueKind == QLatin1String("D") ? 'D' : 'T';
        }
        m_tableColumns.append(c);
    }
}

const TQnQuery::TableColumn* TQnQuery::tableColumn(const QString& name) const
{
    for (const TableColumn& c : m_tableColumns)
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

int TQnQuery::pinnedIndex(int row) const
{
    auto it =
        std::lower_bound(m_pinned.cbegin(), m_pinned.cend(), row, [](const Pinned& p, int r) { return p.pos < r; });
    if (it != m_pinned.cend() && it->pos == row)
        return int(it - m_pinned.cbegin());
    return -1;
}

int TQnQuery::baseOffset(int row) const
{
    auto it =
        std::lower_bound(m_pinned.cbegin(), m_pinned.cend(), row, [](const Pinned& p, int r) { return p.pos < r; });
    return row - int(it - m_pinned.cbegin());
}

const TQnQuery::Row* TQnQuery::rowAt(int row) const
{
    if (m_state == Closed || row < 0 || row >= recordCount())
        return nullptr;
    if (isEditing() && row == m_current)
        return &m_buffer;
    const int p = pinnedIndex(row);
    if (p >= 0)
        return &m_pinned.at(p).values;
    return m_cache.row(baseOffset(row));
}

TQnQuery::Row TQnQuery::readRowById(qint64 rowId)
{
    QSqlQuery q(Database::db());
    q.setForwardOnly(true);
    if (!m_hasRowId ||
        !q.exec(QStringLiteral("SELECT * FROM (") + m_plainSelect + QStringLiteral(") WHERE ") + RowIdColumn +
                QStringLiteral(" = ") + Sql::number(double(rowId))) ||
        !q.next())
        return {};
    Row r;
    for (int i = 0; i <= m_columns.size(); ++i)
        r.append(cleaned(q.value(i)));
    return r;
}

TQnQuery::Row TQnQuery::emptyRow() const
{
    return Row(m_columns.size() + 1);
}

QVariant TQnQuery::cell(const Row& r, int column) const
{
    return column + 1 < r.size() ? r.at(column + 1) : QVariant();
}

QString TQnQuery::formatNumber(double value)
{
    if (!std::isfinite(value))
        return {};
    QString s = QString::number(value, 'f', 8);
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

QString TQnQuery::textOf(const QVariant& v) const
{
    if (v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return formatNumber(v.toDouble());
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    default:
        return v.toString();
    }
}

int TQnQuery::columnIndex(const QString& column) const
{
    return m_columnIndex.value(column.toUpper(), -1);
}

int TQnQuery::recordCount() const
{
    return m_state == Closed ? 0 : m_baseCount + int(m_pinned.size());
}

// ---------------------------------------------------------------- life cycle

void TQnQuery::setState(State s)
{
    if (m_state == s)
        return;
    m_state = s;
    emit stateChanged(s);
}

bool TQnQuery::OpenQuery()
{
    if (m_detail)
        m_detail->CloseQuery();
    if (m_state != Closed)
        return true;
    emit aboutToOpen();
    detectRowId();
    QSqlRecord record;
    {
        QSqlQuery q(Database::db());
        q.setForwardOnly(true);
        bool ok = q.exec(QStringLiteral("SELECT * FROM (") + m_select + QStringLiteral(") LIMIT 0"));
        if (!ok && m_hasRowId) { // e.g. a view without rowid: read it as a plain result
            m_hasRowId = false;
            m_select = QStringLiteral("SELECT NULL AS ") + RowIdColumn + QStringLiteral(", * FROM (") + m_sql +
                       QStringLiteral(")");
            m_plainSelect = QStringLiteral("SELECT NULL AS ") + RowIdColumn + QStringLiteral(", * FROM (") +
                            withoutOrder(m_sql) + QStringLiteral(")");
            ok = q.exec(QStringLiteral("SELECT * FROM (") + m_select + QStringLiteral(") LIMIT 0"));
        }
        if (!ok) {
            ShowWarning(msgDbError());
            return false;
        }
        record = q.record();
    }
    beginResetModel();
    m_columns.clear();
    m_columnIndex.clear();
    for (int i = 1; i < record.count(); ++i) {
        m_columns << record.fieldName(i);
        m_columnIndex.insert(record.fieldName(i).toUpper(), i - 1);
    }
    mapFields();
    m_pinned.clear();
    m_dropped.clear();
    m_cache.clear();
    m_sumsValid = false;
    m_baseCount = 0;
    m_state = Browse; // counted below through the model
    const bool counted = countRows();
    if (!counted) {
        m_state = Closed;
        m_columns.clear();
        m_columnIndex.clear();
        endResetModel();
        ShowWarning(msgDbError());
        return false;
    }
    m_current = m_baseCount > 0 ? 0 : -1;
    endResetModel();
    rebuildTableColumns();
    emit stateChanged(Browse);
    emit opened();
    emit currentRowChanged(m_current, -1);
    emit footersChanged();
    detailReopen();
    return true;
}

void TQnQuery::CloseQuery()
{
    if (m_detail)
        m_detail->CloseQuery();
    if (m_state == Closed)
        return;
    beginResetModel();
    resetState();
    endResetModel();
    emit stateChanged(Closed);
    emit closed();
}

void TQnQuery::resetState()
{
    m_state = Closed;
    m_columns.clear();
    m_columnIndex.clear();
    m_fieldOf.clear();
    m_tableColumns.clear();
    m_pinned.clear();
    m_dropped.clear();
    m_cache.clear();
    m_baseCount = 0;
    m_current = -1;
    m_buffer.clear();
    m_old.clear();
    m_sumsValid = false;
    m_baseSums.clear();
}

bool TQnQuery::Refresh()
{
    if (isEditing())
        return false;
    const int keep = m_current;
    CloseQuery();
    if (!OpenQuery())
        return false;
    if (keep > 0)
        setCurrentRow(qMin(keep, recordCount() - 1));
    return true;
}

bool TQnQuery::setCurrentRow(int row)
{
    if (m_state != Browse || row < 0 || row >= recordCount())
        return false;
    if (row == m_current)
        return true;
    if (m_detail && m_detail->isEditing())
        return false; // the detail's record is saved or cancelled first
    const int previous = m_current;
    m_current = row;
    emit currentRowChanged(row, previous);
    detailReopen();
    return true;
}

void TQnQuery::detailReopen()
{
    TQnQuery* d = m_detail;
    if (!d || d->m_linkHead.isEmpty())
        return;
    QStringList conds;
    if (m_state == Closed || m_current < 0) {
        conds << QStringLiteral("1 = 0");
    } else {
        for (const TLinkData& l : d->m_links) {
            const QString col = Sql::identifier(l.detailColumn);
            if (col.isEmpty())
                continue;
            conds << condition(col, l.kind, text(l.masterColumn));
        }
    }
    if (conds.isEmpty())
        conds << QStringLiteral("1 = 1");
    const bool hasWhere = d->m_linkHead.contains(QLatin1String("WHERE"), Qt::CaseInsensitive);
    const QString sql = d->m_linkHead + (hasWhere ? QStringLiteral(" AND ") : QStringLiteral(" WHERE ")) +
                        conds.join(QStringLiteral(" and ")) + d->m_linkTail;
    d->CloseQuery();
    d->m_sql = sql;
    if (m_state != Closed)
        d->OpenQuery();
}

// ---------------------------------------------------------------- fields

QVariant TQnQuery::value(const QString& column) const
{
    const int c = columnIndex(column);
    const Row* r = rowAt(m_current);
    return c < 0 || !r ? QVariant() : cell(*r, c);
}

QString TQnQuery::text(const QString& column) const
{
    return textOf(value(column));
}

bool TQnQuery::setValue(const QString& column, const QVariant& v)
{
    const int c = columnIndex(column);
    if (!isEditing() || c < 0)
        return false;
    const QVariant nv = cleaned(v);
    if (m_buffer.at(c + 1) == nv && m_buffer.at(c + 1).isNull() == nv.isNull())
        return true;
    m_buffer[c + 1] = nv;
    emit dataChanged(index(m_current, c), index(m_current, c));
    emit fieldValueChanged(m_columns.at(c));
    return true;
}

QVariant TQnQuery::valueAt(int row, const QString& column) const
{
    const int c = columnIndex(column);
    const Row* r = rowAt(row);
    return c < 0 || !r ? QVariant() : cell(*r, c);
}

QVariantMap TQnQuery::record() const
{
    QVariantMap out;
    for (const QString& name : m_columns)
        out.insert(name, value(name));
    return out;
}

int TQnQuery::locate(const QString& column, const QVariant& wanted)
{
    const int c = columnIndex(column);
    if (m_state == Closed || c < 0)
        return -1;
    const QString target = textOf(cleaned(wanted));
    for (const Pinned& p : m_pinned)
        if (!(isEditing() && p.pos == m_current) && textOf(cell(p.values, c)) == target)
            return p.pos;
    // The row's place among the result's rows, numbered in the result's own order.
    const QString col = Sql::identifier(m_columns.at(c));
    if (col.isEmpty())
        return -1;
    const QString lit = sqlValue(col, cleaned(wanted));
    QSqlQuery q(Database::db());
    q.setForwardOnly(true);
    const QString numbered = QStringLiteral("SELECT ") + col +
                             QStringLiteral(" AS QN_KEY_, row_number() OVER () AS QN_N_ FROM (") + m_select +
                             QLatin1Char(')') + exclusion();
    if (!q.exec(QStringLiteral("SELECT QN_N_ FROM (") + numbered + QStringLiteral(") WHERE QN_KEY_ ") +
                (lit == QLatin1String("NULL") ? QStringLiteral("IS NULL") : QStringLiteral("= ") + lit) +
                QStringLiteral(" ORDER BY QN_N_ LIMIT 1")) ||
        !q.next())
        return -1;
    int row = q.value(0).toInt() - 1;
    // From a place among the result's rows to a place in the list, which also holds the pinned rows.
    for (const Pinned& p : m_pinned)
        if (p.pos <= row)
            ++row;
    return row < recordCount() ? row : -1;
}

QVariant TQnQuery::oldValue(const QString& column) const
{
    const int c = columnIndex(column);
    return c < 0 || m_old.isEmpty() ? QVariant() : cell(m_old, c);
}

// ---------------------------------------------------------------- commands

void TQnQuery::fail(const QString& message, const QString& column)
{
    if (m_collect) {
        if (!m_collected.contains(message))
            m_collected << message;
    } else {
        ShowWarning(message);
    }
    if (!column.isEmpty())
        FocusColumn(column);
}

void TQnQuery::FocusColumn(const QString& column)
{
    if (!m_silent)
        emit focusColumnRequested(column);
}

bool TQnQuery::AppendRecord()
{
    if (m_state != Browse || (m_detail && m_detail->isEditing()))
        return false;
    if (m_master && m_master->isEmpty()) {
        ShowWarning(QStringLiteral("主数据库页面没有数据纪录，从数据页面不能有新的纪录"));
        return false;
    }
    const int previous = m_current;
    const int pos = recordCount();
    beginInsertRows(QModelIndex(), pos, pos);
    m_pinned.append(Pinned{pos, 0, emptyRow()});
    endInsertRows();
    m_buffer = emptyRow();
    m_old = emptyRow();
    m_accepted.clear();
    m_current = pos;
    m_beforeAppend = previous;
    setState(Insert);
    emit currentRowChanged(pos, previous);
    // A detail row belongs to the master's current row.
    if (m_master)
        for (const TLinkData& l : m_links)
            if (text(l.detailColumn).isEmpty())
                setValue(l.detailColumn, m_master->value(l.masterColumn));
    if (m_fillOnAppend && !FillDefaults()) {
        ShowWarning(QStringLiteral("自动数据生成过程发生错误"));
        CancelRecord();
        return false;
    }
    detailReopen(); // a new master row has no details yet
    emit recordAppended();
    if (!m_silent && !m_activeControl.isEmpty())
        emit focusControlRequested(m_activeControl);
    return true;
}

bool TQnQuery::EditRecord()
{
    if (m_state != Browse || m_current < 0)
        return false;
    const Row* r = rowAt(m_current);
    if (!r)
        return false;
    m_old = *r;
    m_buffer = *r;
    m_accepted.clear();
    for (TCheckData& check : m_checks)
        for (TCheckFieldsData& cf : check.conditions)
            cf.oldValue = text(cf.queryColumn);
    setState(Edit);
    if (m_notEdit) {
        m_notEdit = false;
    } else {
        for (const TEditData& e : m_edits)
            setValue(e.fieldName, e.value);
    }
    emit editStarted();
    if (!m_silent && !m_activeControl.isEmpty())
        emit focusControlRequested(m_activeControl);
    return true;
}

bool TQnQuery::FillDefaults()
{
    for (const TInsertData& d : m_inserts) {
        if (!fillOne(d)) {
            ShowError(QStringLiteral("数据插入错误"));
            return false;
        }
    }
    return true;
}

bool TQnQuery::fillOne(const TInsertData& d)
{
    const QString column = Sql::identifier(d.fieldName);
    if (column.isEmpty() || !hasColumn(column))
        return true; // nothing to fill in this query
    const QString kind = d.kind.toUpper();
    if (kind == QLatin1String("A")) {
        if (d.value.isEmpty()) {
            ShowWarning(d.caption + QStringLiteral("字段需插入的值是空的"));
            return false;
        }
        return setValue(column, d.value);
    }
    if (kind == QLatin1String("L"))
        return setValue(column, d.value == QStringLiteral("是"));
    if (kind == QLatin1String("B")) {
        const QString from = d.value.isEmpty() ? column : d.value;
        if (!d.source || !d.source->isOpen() || !d.source->hasColumn(from)) {
            ShowWarning(d.caption + QStringLiteral("字段需插入的值是空的"));
            return false;
        }
        return setValue(column, d.source->value(from));
    }
    if (!Numbering::isGenerated(kind))
        return true;
    const QString table = cleanTable();
    if (table.isEmpty()) {
        ShowWarning(objectName() + QStringLiteral("必须有一个表名"));
        return false;
    }
    if (kind == QLatin1String("T")) {
        // Keys must stay ahead of the rows already in the table (made by an earlier run).
        const QString seen =
            Database::folder() + QLatin1Char('|') + table + QLatin1Char('|') + column + QLatin1Char('|') + d.prefix;
        if (!observedKeys().contains(seen)) {
            QString sql = QStringLiteral("SELECT MAX(%1) FROM %2").arg(column, table);
            if (!d.prefix.isEmpty())
                sql += QStringLiteral(" WHERE ") + Sql::prefixCondition(column, d.prefix);
            KeyGenerator::observe(LookupText(sql));
            observedKeys().insert(seen);
        }
        return setValue(column, KeyGenerator::next(d.prefix));
    }
    if (kind == QLatin1String("D") && today().isEmpty()) {
        ShowWarning(QStringLiteral("没有Day值"));
        return false;
    }
    const QString period = Numbering::period(kind, yearMonth(), today());
    QSqlQuery q(Database::db());
    q.setForwardOnly(true);
    if (!q.exec(Numbering::maxStatement(table, column, d.prefix, period, d.width, d.condition))) {
        ShowWarning(msgDbError());
        return false;
    }
    const QString highest = q.next() ? textOf(cleaned(q.value(0))) : QString();
    const QString counter = Numbering::nextCounter(highest, d.width, int(period.size()));
    if (counter.isEmpty()) {
        ShowWarning(d.caption + QStringLiteral("字段需插入的值是空的"));
        return false;
    }
    return setValue(column, d.prefix + period + counter);
}

bool TQnQuery::RenumberColumn(const QString& column)
{
    bool any = false;
    for (const TInsertData& d : m_inserts) {
        if (d.fieldName.compare(column, Qt::CaseInsensitive) != 0 || !Numbering::isGenerated(d.kind.toUpper()))
            continue;
        if (!fillOne(d))
            return false;
        any = true;
    }
    return any;
}

bool TQnQuery::validate()
{
    if (!m_silent) {
        for (const TFieldsData& f : m_fields) {
            const int c = columnIndex(f.fieldName);
            if (c < 0)
                continue;
            const QString t = text(f.fieldName).trimmed();
            if (f.required && t.isEmpty() && (!m_controlText || m_controlText(m_columns.at(c)).trimmed().isEmpty())) {
                fail(f.caption + QStringLiteral("必须有一个值"), m_columns.at(c));
                return false;
            }
            if (t.isEmpty())
                continue;
            if (f.valueKind == QLatin1String("N") && !IsNumber(t)) {
                fail(f.caption + QStringLiteral("是错误的数据"), m_columns.at(c));
                return false;
            }
            if (f.valueKind == QLatin1String("D")) {
                const QDate d = Sql::parseDate(t);
                if (!d.isValid()) {
                    fail(f.caption + QStringLiteral("是错误的数据"), m_columns.at(c));
                    return false;
                }
                setValue(m_columns.at(c), Sql::isoDate(d));
            }
        }
    }
    // What the table cannot hold is refused even in silent mode: writing it would lose the value.
    for (const TableColumn& tc : m_tableColumns) {
        const int c = columnIndex(tc.name);
        if (c < 0)
            continue;
        const QVariant v = cell(m_buffer, c);
        const QString t = textOf(v);
        const TFieldsData* f = fieldData(tc.name);
        const QString caption = f && !f->caption.isEmpty() ? f->caption : tc.name;
        if (tc.kind == 'D' && !t.trimmed().isEmpty()) {
            const QDate d = Sql::parseDate(t);
            if (!d.isValid()) {
                fail(caption + QStringLiteral("是错误的数据"), m_columns.at(c));
                return false;
            }
            if (Sql::isoDate(d) != t)
                setValue(m_columns.at(c), Sql::isoDate(d));
        } else if (tc.kind == 'N' && !t.trimmed().isEmpty() && v.typeId() == QMetaType::QString && !IsNumber(t)) {
            fail(caption + QStringLiteral("是错误的数据"), m_columns.at(c));
            return false;
        } else if (tc.kind == 'T' && tc.width > 0 && Gbk::byteLength(t) > tc.width) {
            fail(engineConditionMessage(EngineCondition::ValueTooLarge), m_columns.at(c));
            return false;
        }
    }
    return true;
}

bool TQnQuery::runCheck(TCheckData& check, bool* refused)
{
    *refused = false;
    if (!hasColumn(check.checkedColumn))
        return true;
    QString sql;
    bool failure = false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        QStringList conds;
        bool changed = false;
        for (const TCheckFieldsData& cf : check.conditions.mid(0, 11)) {
            const QString current = cf.queryColumn.isEmpty() ? QString() : text(cf.queryColumn);
            const QString v = cf.fixedValue.isEmpty() ? current : cf.fixedValue;
            if (v.trimmed().isEmpty() && check.skipWhenEmpty)
                return true;
            if (!cf.queryColumn.isEmpty() && current != cf.oldValue)
                changed = true;
            const QString col = Sql::identifier(cf.tableColumn);
            if (col.isEmpty()) {
                fail(msgDbError());
                *refused = true;
                return false;
            }
            conds << condition(col, cf.kind.toUpper(), v);
        }
        if (m_state == Edit && !check.lookup && !changed)
            return true;
        sql = check.head + conds.join(QStringLiteral(" and ")) + check.tail;
        QSqlQuery q(Database::db());
        q.setForwardOnly(true);
        if (!q.exec(sql)) {
            ShowWarning(msgDbError());
            *refused = true;
            return false;
        }
        const bool found = q.next();
        if (check.lookup && found) {
            const QSqlRecord rec = q.record();
            for (const QString& name : check.copyColumns.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
                const QString n = name.trimmed();
                const int at = rec.indexOf(n);
                if (at >= 0 && hasColumn(n))
                    setValue(n, q.value(at));
            }
        }
        failure = check.lookup ? !found : found;
        if (!failure)
            return true;
        // A generated number that clashes (someone took it meanwhile) is drawn again. Only for a new record:
        // an edited record keeps the number its user typed.
        if (attempt == 0 && m_state == Insert && !check.noRenumber && RenumberColumn(check.checkedColumn))
            continue;
        break;
    }
    if (check.ask) {
        if (m_accepted.contains(sql))
            return true;
        if (AskYesNo(check.message)) {
            m_accepted.insert(sql);
            return true;
        }
        *refused = true;
        FocusColumn(check.checkedColumn);
        return false;
    }
    *refused = true;
    fail(check.message, check.checkedColumn);
    return false;
}

bool TQnQuery::runChecks()
{
    if (m_silent)
        return true;
    for (TCheckData& check : m_checks) {
        bool refused = false;
        if (!runCheck(check, &refused))
            return false;
    }
    return true;
}

QString TQnQuery::sqlValue(const QString& column, const QVariant& v) const
{
    if (v.isNull())
        return QStringLiteral("NULL");
    char kind = 'T';
    if (const TableColumn* tc = tableColumn(column))
        kind = tc->kind;
    else if (const TFieldsData* f = fieldData(column))
        kind = f->valueKind == QLatin1String("N") ? 'N' : f->valueKind == QLatin1String("D") ? 'D' : 'T';
    switch (kind) {
    case 'D':
        return Sql::quoteDate(textOf(v));
    case 'N':
        if (v.typeId() == QMetaType::Bool)
            return v.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        return Sql::numberOrNull(textOf(v));
    case 'B':
        // A blob literal is hex digits only; nothing of the value can reach the statement's syntax.
        return QStringLiteral("X'") + QString::fromLatin1(v.toByteArray().toHex()) + QLatin1Char('\'');
    default:
        return Sql::quote(textOf(v));
    }
}

QString TQnQuery::keyCondition(bool useOld) const
{
    const Row& r = useOld ? m_old : m_buffer;
    QStringList cols = keyColumns();
    if (cols.isEmpty()) // no key: the row is the one holding every remembered value
        for (const TableColumn& tc : m_tableColumns)
            if (tc.kind != 'B' && hasColumn(tc.name))
                cols << tc.name;
    QStringList parts;
    for (const QString& name : cols) {
        const QString col = Sql::identifier(name);
        const int c = columnIndex(col);
        if (col.isEmpty() || c < 0)
            continue;
        const QString lit = sqlValue(col, cell(r, c));
        parts << (lit == QLatin1String("NULL") ? col + QStringLiteral(" IS NULL") : col + QStringLiteral(" = ") + lit);
    }
    return parts.join(QStringLiteral(" AND "));
}

bool TQnQuery::composedSave()
{
    const QString table = cleanTable();
    if (table.isEmpty() || m_tableColumns.isEmpty()) {
        ShowWarning(QStringLiteral("数据保存过程发生错误"));
        return false;
    }
    auto engineFailure = [this](const QSqlError& e) {
        const EngineErrorInfo info = classifyEngineError(e);
        fail(info.condition == EngineCondition::Other ? QStringLiteral("数据保存过程发生错误")
                                                      : engineConditionMessage(info.condition));
        return false;
    };
    Transaction tx;
    if (!tx.isActive()) {
        ShowWarning(QStringLiteral("数据保存过程发生错误"));
        return false;
    }
    const bool adding = m_state == Insert;
    const bool declaredKey = !keyColumns().isEmpty();
    const qint64 oldId = !adding && !m_old.isEmpty() ? m_old.at(0).toLongLong() : 0;
    // Without a declared key the row id names an edited row; a new row is then only appended.
    QString key;
    if (declaredKey)
        key = keyCondition(!adding);
    else if (!adding)
        key = m_hasRowId && oldId > 0 ? QStringLiteral("rowid = ") + Sql::number(double(oldId)) : keyCondition(true);
    QSqlQuery q(Database::db());
    q.setForwardOnly(true);
    if (!key.isEmpty()) {
        if (!q.exec(QStringLiteral("SELECT rowid FROM ") + table + QStringLiteral(" WHERE ") + key))
            return engineFailure(q.lastError());
    }
    const bool found = !key.isEmpty() && q.next();
    qint64 rowId = found ? q.value(0).toLongLong() : 0;
    q.finish();
    if (!adding && !found) {
        fail(QStringLiteral("该记录已被其它用户删除或在其它窗口被删除"));
        return false;
    }
    if (adding && found) {
        // A new record never overwrites another one that happens to hold its key.
        fail(engineConditionMessage(EngineCondition::KeyViolation));
        return false;
    }
    if (adding) {
        QStringList cols, vals;
        for (const TableColumn& tc : m_tableColumns) {
            const int c = columnIndex(tc.name);
            if (c < 0 || cell(m_buffer, c).isNull())
                continue;
            cols << tc.name;
            vals << sqlValue(tc.name, cell(m_buffer, c));
        }
        const QString sql = cols.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)
                                           : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                                 .arg(table, cols.join(QLatin1Char(',')), vals.join(QLatin1Char(',')));
        if (!q.exec(sql))
            return engineFailure(q.lastError());
        rowId = q.lastInsertId().toLongLong();
        // The new row must be found again by its key; when it is not, the key's index is damaged.
        if (declaredKey) {
            if (!q.exec(QStringLiteral("SELECT rowid FROM ") + table + QStringLiteral(" WHERE ") + keyCondition(false)))
                return engineFailure(q.lastError());
            if (!q.next()) {
                fail(QStringLiteral("数据保存过程发生错误,可能数据库索引已损坏，请先修复损坏的数据库索引"));
                return false;
            }
            if (rowId <= 0)
                rowId = q.value(0).toLongLong();
            q.finish();
        }
    } else {
        QStringList sets;
        for (const TableColumn& tc : m_tableColumns) {
            const int c = columnIndex(tc.name);
            if (c < 0)
                continue;
            const QVariant now = cell(m_buffer, c), before = cell(m_old, c);
            if (now.isNull() == before.isNull() && textOf(now) == textOf(before) && now.typeId() == before.typeId())
                continue;
            sets << tc.name + QStringLiteral(" = ") + sqlValue(tc.name, now);
        }
        if (!sets.isEmpty() && !q.exec(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = %3")
                                           .arg(table, sets.join(QLatin1Char(',')), Sql::number(double(rowId)))))
            return engineFailure(q.lastError());
    }
    if (!tx.commit()) {
        ShowWarning(QStringLiteral("数据保存过程发生错误"));
        return false;
    }
    m_savedRowId = rowId;
    return true;
}

bool TQnQuery::SaveRecord()
{
    if (!isEditing())
        return false;
    if (!validate() || !runChecks())
        return false;
    m_savedRowId = 0;
    if (!m_local && !composedSave())
        return false;
    const int row = m_current;
    const int p = pinnedIndex(row);
    Row values = m_buffer;
    m_state = Browse; // the views read the saved row from here on, not the edit buffer
    if (m_local && !m_hasRowId && p < 0) {
        // A result without row ids cannot hide the table's row behind a pinned one: the change stays in the
        // row's cached segment.
        m_cache.update(baseOffset(row), values);
        emit dataChanged(index(row, 0), index(row, qMax(0, int(m_columns.size()) - 1)));
    } else if (m_local) {
        qint64 id = p >= 0 ? m_pinned.at(p).rowId : (m_old.isEmpty() ? 0 : m_old.at(0).toLongLong());
        if (id == 0)
            id = --m_localSerial;
        values[0] = id;
        postRow(id, values);
    } else if (m_hasRowId) {
        Row stored = readRowById(m_savedRowId);
        if (stored.isEmpty()) { // no longer within the statement's condition: show what was saved
            stored = values;
            stored[0] = m_savedRowId;
        }
        postRow(m_savedRowId, stored);
    } else {
        // A result that is not one table row for row: read the rows again around the same position.
        beginResetModel();
        m_pinned.clear();
        m_cache.clear();
        countRows();
        m_sumsValid = false;
        m_current = qMin(row, recordCount() - 1);
        endResetModel();
    }
    m_buffer.clear();
    m_old.clear();
    emit stateChanged(Browse);
    emit currentRowChanged(m_current, m_current);
    emit fieldValueChanged(QString());
    emit recordSaved();
    emit footersChanged();
    detailReopen();
    return true;
}

void TQnQuery::postRow(qint64 rowId, const Row& values)
{
    const int row = m_current;
    const int p = pinnedIndex(row);
    if (p >= 0) {
        m_pinned[p].rowId = rowId;
        m_pinned[p].values = values;
    } else {
        // A row of the table's result becomes a pinned row: it stays where the user saw it, and the
        // result's rows are read without it from now on.
        const Row* before = m_cache.row(baseOffset(row));
        if (before)
            adjustSums(*before, -1);
        Pinned pin{row, rowId, values};
        auto it =
            std::lower_bound(m_pinned.begin(), m_pinned.end(), row, [](const Pinned& x, int r) { return x.pos < r; });
        m_pinned.insert(it, pin);
        if (rowId > 0 || m_hasRowId)
            --m_baseCount;
        m_cache.clear();
    }
    emit dataChanged(index(row, 0), index(row, qMax(0, int(m_columns.size()) - 1)));
}

void TQnQuery::adjustSums(const Row& values, int sign)
{
    if (!m_sumsValid)
        return;
    for (auto it = m_baseSums.begin(); it != m_baseSums.end(); ++it) {
        const int c = columnIndex(it.key());
        if (c >= 0)
            it.value() += sign * ParseNumber(textOf(cell(values, c)));
    }
}

void TQnQuery::CancelRecord()
{
    if (!isEditing()) {
        setSilent(false);
        return;
    }
    const int row = m_current;
    if (m_state == Insert) {
        const int p = pinnedIndex(row);
        m_buffer.clear();
        m_state = Browse; // the row goes before anyone looks at it again
        if (p >= 0) {
            beginRemoveRows(QModelIndex(), row, row);
            m_pinned.removeAt(p);
            for (Pinned& x : m_pinned)
                if (x.pos > row)
                    --x.pos;
            endRemoveRows();
        }
        m_current = qMin(m_beforeAppend, recordCount() - 1);
        if (m_current < 0 && recordCount() > 0)
            m_current = 0;
        m_state = Insert;
        setState(Browse);
        emit currentRowChanged(m_current, row);
        detailReopen();
    } else {
        m_buffer.clear();
        setState(Browse);
        if (!m_columns.isEmpty())
            emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
    }
    m_old.clear();
    emit fieldValueChanged(QString());
    emit recordCancelled();
    emit footersChanged();
    setSilent(false);
}

bool TQnQuery::DeleteRecord()
{
    if (m_state == Closed || m_current < 0 || recordCount() == 0)
        return false;
    const bool ask = !m_noDeleteConfirm;
    m_noDeleteConfirm = false;
    if (m_state == Insert) { // the record never reached the table
        if (ask && !AskYesNo(QStringLiteral("请确认是否删除")))
            return false;
        CancelRecord();
        return true;
    }
    if (ask && !AskYesNo(QStringLiteral("请确认是否删除")))
        return false;
    const int row = m_current;
    const Row values = m_state == Edit ? m_old : (rowAt(row) ? *rowAt(row) : Row());
    if (values.isEmpty())
        return false;
    const int p = pinnedIndex(row);
    if (!m_local) {
        const QString table = cleanTable();
        if (table.isEmpty() || m_tableColumns.isEmpty()) {
            ShowWarning(QStringLiteral("数据删除过程发生错误"));
            return false;
        }
        const Row keepBuffer = m_buffer, keepOld = m_old;
        m_old = values;
        const QString key = keyCondition(true);
        m_old = keepOld;
        m_buffer = keepBuffer;
        Transaction tx;
        if (!tx.isActive()) {
            ShowWarning(QStringLiteral("数据删除过程发生错误"));
            return false;
        }
        if (m_beforeDelete && !m_beforeDelete())
            return false;
        QSqlQuery q(Database::db());
        const qint64 rowId = values.at(0).toLongLong();
        // Without a declared key the row id names the row: rows that hold the same values stay.
        const QString where = m_hasRowId && rowId > 0 && keyColumns().isEmpty()
                                  ? QStringLiteral("rowid = ") + Sql::number(double(rowId))
                                  : key;
        if (where.isEmpty() || !q.exec(QStringLiteral("DELETE FROM ") + table + QStringLiteral(" WHERE ") + where)) {
            const EngineErrorInfo info = classifyEngineError(q.lastError());
            ShowWarning(info.condition == EngineCondition::ReferencedByDetail ||
                                info.condition == EngineCondition::TableLocked
                            ? engineConditionMessage(info.condition)
                            : QStringLiteral("数据删除过程发生错误"));
            return false;
        }
        if (!tx.commit()) {
            ShowWarning(QStringLiteral("数据删除过程发生错误"));
            return false;
        }
    }
    const bool wasEditing = m_state == Edit;
    if (wasEditing) {
        m_buffer.clear();
        m_old.clear();
        m_state = Browse;
    }
    if (!m_hasRowId && !m_local) {
        beginResetModel();
        m_pinned.clear();
        m_cache.clear();
        countRows();
        m_sumsValid = false;
        m_current = qMin(row, recordCount() - 1);
        endResetModel();
    } else {
        beginRemoveRows(QModelIndex(), row, row);
        if (p >= 0) {
            m_pinned.removeAt(p);
        } else {
            adjustSums(values, -1);
            if (m_local && values.at(0).toLongLong() > 0)
                m_dropped.insert(values.at(0).toLongLong());
            --m_baseCount;
            m_cache.clear();
        }
        for (Pinned& x : m_pinned)
            if (x.pos > row)
                --x.pos;
        m_current = qMin(row, recordCount() - 1);
        endRemoveRows();
    }
    if (wasEditing)
        emit stateChanged(Browse);
    emit currentRowChanged(m_current, row);
    emit fieldValueChanged(QString());
    emit recordDeleted();
    emit footersChanged();
    detailReopen();
    return true;
}

// ---------------------------------------------------------------- footers and presentation

QVariant TQnQuery::footerValue(const QString& column) const
{
    const TFieldsData* f = fieldData(column);
    if (!f || m_state == Closed)
        return {};
    if (f->footerKind == QLatin1String("@Count"))
        return recordCount();
    if (f->footerKind != QLatin1String("@Sum"))
        return f->footerKind.isEmpty() ? QVariant() : QVariant(f->footerKind);
    if (!m_sumsValid)
        computeBaseSums();
    const QString name = (f->footerField.isEmpty() ? f->fieldName : f->footerField).toUpper();
    const int c = columnIndex(name);
    if (c < 0)
        return {};
    double sum = m_baseSums.value(name);
    for (const Pinned& p : m_pinned)
        sum += ParseNumber(textOf(cell(p.values, c)));
    return sum;
}

QString TQnQuery::footerText(const QString& column) const
{
    const QVariant v = footerValue(column);
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::Double)
        return formatNumber(v.toDouble());
    return v.toString();
}

bool TQnQuery::columnVisible(int column) const
{
    if (column < 0 || column >= m_columns.size())
        return false;
    if (m_fields.isEmpty() || m_columns.size() < 2)
        return true;
    const TFieldsData* f = fieldAt(column);
    if (!f)
        return false;
    if (f->displayWidth == -1)
        return true;
    if (f->displayWidth == -2)
        return false;
    return f->visible;
}

int TQnQuery::columnDisplayWidth(int column) const
{
    if (column < 0 || column >= m_columns.size())
        return 0;
    const TFieldsData* f = fieldAt(column);
    if (!f)
        return 0;
    if (f->displayWidth == -1)
        return 0;
    if (f->displayWidth > 0)
        return f->displayWidth;
    if (f->valueKind == QLatin1String("N"))
        return 13;
    if (f->valueKind == QLatin1String("D"))
        return 10;
    return 0;
}

int TQnQuery::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : recordCount();
}

int TQnQuery::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || m_state == Closed ? 0 : int(m_columns.size());
}

QVariant TQnQuery::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() >= m_columns.size())
        return {};
    const TFieldsData* f = fieldAt(index.column());
    if (role == Qt::TextAlignmentRole) {
        if (f && f->valueKind == QLatin1String("N"))
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != RawValueRole)
        return {};
    const Row* r = rowAt(index.row());
    if (!r)
        return {};
    const QVariant v = cell(*r, index.column());
    if (role != Qt::DisplayRole)
        return v;
    if (f && f->valueKind == QLatin1String("N") && !v.isNull() && v.typeId() != QMetaType::QString)
        return formatNumber(v.toDouble());
    return textOf(v);
}

bool TQnQuery::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || index.row() != m_current || !isEditing() ||
        index.column() >= m_columns.size())
        return false;
    return setValue(m_columns.at(index.column()), value);
}

QVariant TQnQuery::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    if (section < 0 || section >= m_columns.size())
        return {};
    const TFieldsData* f = fieldAt(section);
    return f && !f->caption.isEmpty() ? f->caption : m_columns.at(section);
}

Qt::ItemFlags TQnQuery::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (isEditing() && index.row() == m_current)
        f |= Qt::ItemIsEditable;
    return f;
}
