#pragma once

#include <QDate>
#include <QDateTime>

// The program's one clock. Tests set a fixed time; everything else asks here instead of QDateTime.
namespace Clock {

QDateTime now();
QDate today();
// "YYYY-MM-DD" of today, the working date of the login context.
QString todayText();

void setFixed(const QDateTime& when);
void clearFixed();

} // namespace Clock
