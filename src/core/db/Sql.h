#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

// The one place where values become SQL text, and the dialect pieces that differ between engines.
// No value is ever pasted into a statement except through quote()/quoteDate()/number().
namespace Sql {

// 'text' with every single quote doubled; a null QString gives NULL. NUL characters are dropped.
QString quote(const QString& value);
// A date for a date column: 'YYYY-MM-DD', or NULL when the text is empty or not a date.
// Accepts YYYY-MM-DD, YYYY/MM/DD, YYYYMMDD, MM/DD/YYYY and two-digit years (century window 70).
QString quoteDate(const QString& value);
// A number as SQL text (never in exponent form for ordinary magnitudes); NULL for empty or non-numeric text.
QString number(double value);
QString numberOrNull(const QString& text);
// A column or table name from configuration: letters, digits and '_' only, else empty (refused).
QString identifier(const QString& name);
bool isIdentifier(const QString& name);

// Parses a date typed by a user or read from a file (formats as in quoteDate); invalid QDate when it is not.
QDate parseDate(const QString& text);
QString isoDate(const QDate& d);

// SUBSTRING(expr FROM start FOR length), 1-based.
QString substring(const QString& expr, int start, int length);
// expr begins with prefix, written so that an index on the column serves it.
QString prefixCondition(const QString& column, const QString& prefix);
// Date ranges for year, month and day conditions, index-friendly (no function on the column).
QString yearCondition(const QString& column, int year);
QString monthCondition(const QString& column, int year, int month);
QString dateRangeCondition(const QString& column, const QDate& from, const QDate& toInclusive);
// expr LIKE '%text%' with LIKE's own wildcards in the text taken literally.
QString containsCondition(const QString& expr, const QString& text);
QString likeCondition(const QString& expr, const QString& pattern);
// The collation that sorts Chinese text as users expect.
QString orderByText(const QString& column);
// Year and month of a date column as numbers, for conditions that cannot be ranges.
QString yearOf(const QString& column);
QString monthOf(const QString& column);

} // namespace Sql
