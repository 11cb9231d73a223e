#include "Sql.h"

#include <QRegularExpression>

#include <cmath>

namespace Sql {

QString quote(const QString& value)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    QString v = value;
    v.remove(QChar(0));
    v.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + v + QLatin1Char('\'');
}

QString isoDate(const QDate& d)
{
    return d.isValid() ? d.toString(QStringLiteral("yyyy-MM-dd")) : QString();
}

QDate parseDate(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    static const QRegularExpression ymd(QStringLiteral("^(\\d{2}|\\d{4})[-/.](\\d{1,2})[-/.](\\d{1,2})(?:[ T].*)?$"));
    static const QRegularExpression mdy(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})(?:[ T].*)?$"));
    static const QRegularExpression compact(QStringLiteral("^(\\d{4})(\\d{2})(\\d{2})$"));
    auto century = [](int y, int digits) {
        if (digits == 2)
            return y < 70 ? 2000 + y : 1900 + y;
        return y;
    };
    if (auto m = mdy.match(t); m.hasMatch())
        return QDate(m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
    if (auto m = ymd.match(t); m.hasMatch())
        return QDate(century(m.captured(1).toInt(), int(m.captured(1).size())), m.captured(2).toInt(),
                     m.captured(3).toInt());
    if (auto m = compact.match(t); m.hasMatch())
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    return {};
}

QString quoteDate(const QString& value)
{
    const QDate d = parseDate(value);
    return d.isValid() ? quote(isoDate(d)) : QStringLiteral("NULL");
}

QString number(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("NULL");
    QString s = QString::number(value, 'f', 10);
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

QString numberOrNull(const QString& text)
{
    QString t = text;
    t.remove(QLatin1Char(','));
    t = t.trimmed();
    bool ok = false;
    const double v = t.toDouble(&ok);
    return ok ? number(v) : QStringLiteral("NULL");
}

bool isIdentifier(const QString& name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(name).hasMatch();
}

QString identifier(const QString& name)
{
    return isIdentifier(name) ? name : QString();
}

QString substring(const QString& expr, int start, int length)
{
    return QStringLiteral("substr(%1, %2, %3)").arg(expr).arg(start).arg(length);
}

QString prefixCondition(const QString& column, const QString& prefix)
{
    if (prefix.isEmpty())
        return QStringLiteral("1=1");
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_\\-]+$"));
    if (plain.match(prefix).hasMatch()) // GLOB on a literal prefix is served by the column's index
        return QStringLiteral("%1 GLOB %2").arg(column, quote(prefix + QLatin1Char('*')));
    return QStringLiteral("(%1 >= %2 AND substr(%1, 1, %3) = %2)").arg(column, quote(prefix)).arg(prefix.size());
}

QString dateRangeCondition(const QString& column, const QDate& from, const QDate& toInclusive)
{
    return QStringLiteral("(%1 >= %2 AND %1 < %3)")
        .arg(column, quote(isoDate(from)), quote(isoDate(toInclusive.addDays(1))));
}

QString yearCondition(const QString& column, int year)
{
    return dateRangeCondition(column, QDate(year, 1, 1), QDate(year, 12, 31));
}

QString monthCondition(const QString& column, int year, int month)
{
    const QDate first(year, month, 1);
    return dateRangeCondition(column, first, first.addMonths(1).addDays(-1));
}

QString likeCondition(const QString& expr, const QString& pattern)
{
    return QStringLiteral("%1 LIKE %2").arg(expr, quote(pattern));
}

QString containsCondition(const QString& expr, const QString& text)
{
    QString t = text;
    t.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    t.replace(QLatin1Char('%'), QStringLiteral("\\%"));
    t.replace(QLatin1Char('_'), QStringLiteral("\\_"));
    return QStringLiteral("%1 LIKE %2 ESCAPE '\\'").arg(expr, quote(QLatin1Char('%') + t + QLatin1Char('%')));
}

QString orderByText(const QString& column)
{
    return column + QStringLiteral(" COLLATE GBK");
}

QString yearOf(const QString& column)
{
    return QStringLiteral("CAST(substr(%1, 1, 4) AS INTEGER)").arg(column);
}

QString monthOf(const QString& column)
{
    return QStringLiteral("CAST(substr(%1, 6, 2) AS INTEGER)").arg(column);
}

} // namespace Sql
