#include "ReportRowSource.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>

#include <cmath>

QString ReportRowSource::numberText(double v)
{
    if (!std::isfinite(v))
        return QStringLiteral("0");
    if (v == std::trunc(v) && std::fabs(v) < 1e15)
        return QString::number(qint64(v));
    QString s = QString::number(v, 'g', 15);
    if (s.contains(QLatin1Char('e')) && std::fabs(v) >= 1e-6 && std::fabs(v) < 1e15) {
        s = QString::number(v, 'f', 15);
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    return s;
}

QString ReportRowSource::displayText(int field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return {};
    switch (fieldKind(field)) {
    case FieldKind::Integer:
    case FieldKind::Float: {
        bool ok = false;
        const double d = v.toDouble(&ok);
        return ok ? numberText(d) : v.toString();
    }
    case FieldKind::Boolean:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldKind::Blob:
        return QStringLiteral("(BLOB)");
    default:
        return v.toString();
    }
}

int ReportRowSource::fieldIndex(const QString& name) const
{
    const int n = fieldCount();
    for (int i = 0; i < n; ++i)
        if (fieldName(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool ReportRowSource::isNumeric(int field) const
{
    const FieldKind k = fieldKind(field);
    return k == FieldKind::Integer || k == FieldKind::Float;
}

bool ReportRowSource::isNull(int field) const
{
    const QVariant v = value(field);
    return v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}

// ---------------------------------------------------------------------------------------------------------

SqlQueryRowSource::SqlQueryRowSource(QSqlQuery query) : m_query(std::move(query))
{
    readFields();
    if (m_query.at() < 0)
        m_query.first();
}

SqlQueryRowSource::SqlQueryRowSource(const QSqlDatabase& db, const QString& sql) : m_query(db)
{
    m_query.setForwardOnly(false);
    if (!m_query.exec(sql))
        m_error = m_query.lastError().text();
    readFields();
    m_query.first();
}

void SqlQueryRowSource::readFields()
{
    const QSqlRecord rec = m_query.record();
    for (int i = 0; i < rec.count(); ++i) {
        m_names << rec.fieldName(i);
        FieldKind k = FieldKind::Text;
        switch (rec.field(i).metaType().id()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            k = FieldKind::Integer;
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            k = FieldKind::Float;
            break;
        case QMetaType::QByteArray:
            k = FieldKind::Blob;
            break;
        case QMetaType::Bool:
            k = FieldKind::Boolean;
            break;
        case QMetaType::QDate:
        case QMetaType::QDateTime:
            k = FieldKind::Date;
            break;
        default:
            break;
        }
        m_kinds << k;
    }
}

bool SqlQueryRowSource::isOpen() const
{
    return m_query.isActive() && m_query.isSelect();
}

int SqlQueryRowSource::recordCount()
{
    if (!isOpen())
        return 0;
    if (m_count < 0) {
        const int at = m_query.at();
        if (m_query.size() >= 0) {
            m_count = m_query.size();
        } else if (m_query.last()) {
            m_count = m_query.at() + 1;
        } else {
            m_count = 0;
        }
        m_query.seek(at >= 0 ? at : int(QSql::BeforeFirstRow));
    }
    return m_count;
}

int SqlQueryRowSource::position() const
{
    const int at = m_query.at();
    return at >= 0 ? at : -1;
}

bool SqlQueryRowSource::seek(int row)
{
    if (!isOpen() || row < 0)
        return false;
    return m_query.seek(row);
}

int SqlQueryRowSource::fieldCount() const
{
    return int(m_names.size());
}

QString SqlQueryRowSource::fieldName(int field) const
{
    return m_names.value(field);
}

ReportRowSource::FieldKind SqlQueryRowSource::fieldKind(int field) const
{
    return m_kinds.value(field, FieldKind::Text);
}

QVariant SqlQueryRowSource::value(int field) const
{
    if (m_query.at() < 0)
        return {};
    return m_query.value(field);
}

// ---------------------------------------------------------------------------------------------------------

MemoryRowSource::MemoryRowSource(QList<Field> fields, QList<QVariantList> rows)
    : m_fields(std::move(fields)), m_rows(std::move(rows)), m_pos(m_rows.isEmpty() ? -1 : 0)
{
}

bool MemoryRowSource::seek(int row)
{
    if (!m_open || row < 0 || row >= m_rows.size()) {
        m_pos = m_open && row >= m_rows.size() ? int(m_rows.size()) : m_pos;
        return false;
    }
    m_pos = row;
    return true;
}

QVariant MemoryRowSource::value(int field) const
{
    if (m_pos < 0 || m_pos >= m_rows.size())
        return {};
    return m_rows[m_pos].value(field);
}
