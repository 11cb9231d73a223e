#include "Numbering.h"

#include "db/FunLib.h"
#include "db/Sql.h"

#include <cmath>

namespace Numbering {

bool isCounter(const QString& kind)
{
    return kind == QLatin1String("C") || kind == QLatin1String("Y") || kind == QLatin1String("M") ||
           kind == QLatin1String("D");
}

bool isGenerated(const QString& kind)
{
    return kind == QLatin1String("T") || isCounter(kind);
}

QString period(const QString& kind, const QString& yearMonth, const QString& day)
{
    if (kind == QLatin1String("Y"))
        return yearMonth.left(4);
    if (kind == QLatin1String("M"))
        return yearMonth.left(6);
    if (kind == QLatin1String("D"))
        return day.left(8);
    return {};
}

QString maxStatement(const QString& table, const QString& column, const QString& prefix, const QString& period,
                     int width, const QString& condition)
{
    const QString head = prefix + period; // every number of the series begins with it
    QString sql;
    if (width <= 0) {
        // A plain number column: the highest value, not the highest text ("9" sorts after "41" as text).
        sql = QStringLiteral("SELECT MAX(CAST(%1 AS REAL)) FROM %2").arg(column, table);
    } else {
        sql = QStringLiteral("SELECT MAX(%1) FROM %2").arg(Sql::substring(column, int(head.size()) + 1, width), table);
    }
    if (!head.isEmpty())
        sql += QStringLiteral(" WHERE ") + Sql::prefixCondition(column, head);
    if (!condition.trimmed().isEmpty())
        sql += (sql.contains(QLatin1String(" WHERE ")) ? QStringLiteral(" AND (") : QStringLiteral(" WHERE (")) +
               condition + QLatin1Char(')');
    return sql;
}

QString nextCounter(const QString& maxText, int width, int periodLength)
{
    if (width <= 0) {
        const double highest = ParseNumber(maxText);
        return QString::number(qint64(std::floor(highest)) + 1);
    }
    const int digits = width - periodLength;
    if (digits <= 0)
        return {};
    const QString counter = (maxText + QStringLiteral("000000000")).left(digits);
    const qint64 next = qint64(ParseNumber(counter)) + 1;
    // Wider than the counter only when the series is full; a longer number beats a repeated one.
    return QStringLiteral("%1").arg(next, digits, 10, QLatin1Char('0'));
}

} // namespace Numbering
