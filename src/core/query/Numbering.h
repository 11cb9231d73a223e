#pragma once

#include <QString>

// Automatic numbers of the insert defaults: prefix + period + a counter one above the highest counter of
// the same prefix and period. The statements are composed through the dialect helper, so the prefix and
// period condition is a range an index serves, and every value is quoted.
namespace Numbering {

// Kinds whose value is generated ("T" record keys, "C" running numbers, "Y"/"M"/"D" within a period).
bool isGenerated(const QString& kind);
bool isCounter(const QString& kind); // C, Y, M, D

// The period text of a kind: empty for "C", "YYYY" for "Y", "YYYYMM" for "M", "YYYYMMDD" for "D".
// yearMonth is "YYYYMM", day is "YYYYMMDD".
QString period(const QString& kind, const QString& yearMonth, const QString& day);

// The statement reading the highest existing number; width 0 means the column holds a plain number.
QString maxStatement(const QString& table, const QString& column, const QString& prefix, const QString& period,
                     int width, const QString& condition);

// The counter text following maxText (the value read by maxStatement). With a width: the first
// width - periodLength characters of maxText are the counter, and the next one is zero-padded to that many
// digits; empty when no digits are left for the counter. Without a width: maxText + 1 as a whole number.
QString nextCounter(const QString& maxText, int width, int periodLength);

} // namespace Numbering
