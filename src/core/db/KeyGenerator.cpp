#include "KeyGenerator.h"

#include "common/Clock.h"

#include <QMutex>
#include <QTimeZone>

namespace {

QMutex g_mutex;
qint64 g_second = 0; // seconds since the epoch, local time, of the last key
int g_serial = -1;

qint64 secondsOf(const QDateTime& t)
{
    return QDateTime(t.date(), t.time(), Qt::UTC).toSecsSinceEpoch();
}

QString timeText(qint64 second)
{
    return QDateTime::fromSecsSinceEpoch(second, Qt::UTC).toString(QStringLiteral("yyMMddHHmmss"));
}

} // namespace

namespace KeyGenerator {

QString next(const QString& prefix)
{
    QMutexLocker lock(&g_mutex);
    const qint64 now = secondsOf(Clock::now());
    if (now > g_second) {
        g_second = now;
        g_serial = 0;
    } else if (++g_serial > 999) {
        ++g_second;
        g_serial = 0;
    }
    return prefix + timeText(g_second) + QStringLiteral("%1").arg(g_serial, 3, 10, QLatin1Char('0'));
}

void observe(const QString& key)
{
    // key = prefix + 12 time digits + 3 serial digits
    if (key.size() < 15)
        return;
    const QString digits = key.right(15);
    const QDateTime t = QDateTime::fromString(QStringLiteral("20") + digits.left(12), QStringLiteral("yyyyMMddHHmmss"));
    bool ok = false;
    const int serial = digits.right(3).toInt(&ok);
    if (!t.isValid() || !ok)
        return;
    QMutexLocker lock(&g_mutex);
    const qint64 second = secondsOf(t);
    if (second > g_second || (second == g_second && serial > g_serial)) {
        g_second = second;
        g_serial = serial;
    }
}

void reset()
{
    QMutexLocker lock(&g_mutex);
    g_second = 0;
    g_serial = -1;
}

} // namespace KeyGenerator
