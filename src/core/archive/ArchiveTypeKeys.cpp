#include "ArchiveTypeKeys.h"

#include "db/FunLib.h"
#include "db/Sql.h"

namespace ArchiveTypeKeys {

bool isRoot(const QString& key)
{
    return key == RootKey;
}

int level(const QString& key)
{
    return isRoot(key) ? 0 : int(key.size()) / DigitsPerLevel;
}

QString childPrefix(const QString& parentKey)
{
    return isRoot(parentKey) ? QString() : parentKey;
}

QString childCondition(const QString& parentKey)
{
    return QStringLiteral("  PRIOR_ID = ") + Sql::quote(parentKey);
}

QString ancestor(const QString& key, int n)
{
    return key.left(n * DigitsPerLevel);
}

QString nextChildKey(const QString& parentKey)
{
    const QString prefix = childPrefix(parentKey);
    const QString highest = LookupText(
        QStringLiteral("SELECT MAX(") + Sql::substring(QStringLiteral("ARCHIVE_TYPE_ID"), int(prefix.size()) + 1, 3) +
        QStringLiteral(") FROM QN_ARCHIVE_TYPE_TABLE WHERE") + childCondition(parentKey) +
        (prefix.isEmpty() ? QString()
                          : QStringLiteral(" AND ") + Sql::prefixCondition(QStringLiteral("ARCHIVE_TYPE_ID"), prefix)));
    return prefix + ZeroPad(QString::number(int(ParseNumber(highest)) + 1), DigitsPerLevel);
}

int nextOrderId(const QString& parentKey)
{
    return int(LookupNumber(QStringLiteral("SELECT MAX(ORDER_ID) FROM QN_ARCHIVE_TYPE_TABLE WHERE") +
                            childCondition(parentKey))) +
           1;
}

int childCount(const QString& key)
{
    return int(
        LookupNumber(QStringLiteral("SELECT COUNT(ARCHIVE_TYPE_ID) FROM QN_ARCHIVE_TYPE_TABLE WHERE PRIOR_ID = ") +
                     Sql::quote(key)));
}

int archiveCount(const QString& key)
{
    return int(LookupNumber(
        QStringLiteral("SELECT COUNT(ARCHIVE_TYPE_ID) FROM QN_ARCHIVE_MASTER_TABLE WHERE ARCHIVE_TYPE_ID = ") +
        Sql::quote(key)));
}

} // namespace ArchiveTypeKeys
