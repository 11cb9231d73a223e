#include "Clock.h"

#include <QMutex>

namespace {
QMutex g_mutex;
QDateTime g_fixed;
} // namespace

namespace Clock {

QDateTime now()
{
    QMutexLocker lock(&g_mutex);
    return g_fixed.isValid() ? g_fixed : QDateTime::currentDateTime();
}

QDate today()
{
    return now().date();
}

QString todayText()
{
    return today().toString(QStringLiteral("yyyy-MM-dd"));
}

void setFixed(const QDateTime& when)
{
    QMutexLocker lock(&g_mutex);
    g_fixed = when;
}

void clearFixed()
{
    QMutexLocker lock(&g_mutex);
    g_fixed = QDateTime();
}

} // namespace Clock
