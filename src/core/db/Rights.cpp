#include "Rights.h"

#include "FunLib.h"
#include "Sql.h"
#include "common/MessageSink.h"

#include <cmath>

bool ProgramRights::flag(int index) const
{
    switch (index) {
    case 0:
        return add;
    case 1:
        return edit;
    case 2:
        return remove;
    case 3:
        return browse;
    case 4:
        return print;
    case 5:
        return verify;
    case 6:
        return documents;
    default:
        return false;
    }
}

namespace Rights {

int groupId(const QString& groupName)
{
    return int(std::lround(LookupNumber(
        QStringLiteral("SELECT COMPOSE_ID FROM SYS_COMPOSE_TABLE WHERE COMPOSE_NAME = ") + Sql::quote(groupName))));
}

int programId(int group, const QString& programName)
{
    return int(std::lround(LookupNumber(QStringLiteral("SELECT PROGRAM_ID FROM SYS_PROGRAM_TABLE WHERE "
                                                       "PROGRAM_NAME = %1 and COMPOSE_ID = %2")
                                            .arg(Sql::quote(programName), Sql::number(group)))));
}

} // namespace Rights

namespace {

const QString Yes = QStringLiteral("是");

QString column(int rightIndex)
{
    return rightIndex >= 0 && rightIndex < 7 ? QString::fromLatin1(Rights::Columns[rightIndex]) : QString();
}

QString rowCondition(const QString& userId, int groupId, int programId)
{
    return QStringLiteral(" WHERE USE_ID = %1 AND COMPOSE_ID = %2 AND PROGRAM_ID = %3")
        .arg(Sql::quote(userId), Sql::number(groupId), Sql::number(programId));
}

} // namespace

bool GetProgramRights(const QString& groupName, const QString& programName, ProgramRights& rights,
                      const QString& userId)
{
    rights = ProgramRights();
    const int group = Rights::groupId(groupName);
    if (group == 0) {
        ShowWarning(groupName + QStringLiteral("程序组找不到"));
        return false;
    }
    const int program = Rights::programId(group, programName);
    if (program == 0) {
        ShowWarning(groupName + QStringLiteral("程序找不到"));
        return false;
    }
    QStringList columns;
    for (const char* c : Rights::Columns)
        columns << QString::fromLatin1(c);
    auto q = OpenSql(QStringLiteral("SELECT %1 FROM SYS_RIGHT_TABLE").arg(columns.join(QLatin1Char(','))) +
                     rowCondition(userId, group, program));
    if (!q || !q->next())
        return false;
    rights.add = q->value(0).toString() == Yes;
    rights.edit = q->value(1).toString() == Yes;
    rights.remove = q->value(2).toString() == Yes;
    rights.browse = q->value(3).toString() == Yes;
    rights.print = q->value(4).toString() == Yes;
    rights.verify = q->value(5).toString() == Yes;
    rights.documents = q->value(6).toString() == Yes;
    return true;
}

bool HasProgramRight(const QString& groupName, const QString& programName, const QString& userId)
{
    ProgramRights rights;
    GetProgramRights(groupName, programName, rights, userId);
    return rights.browse;
}

QString NoRightMessage(const QString& programName)
{
    return QStringLiteral("您没有在程序\"") + programName + QStringLiteral("\"中的权限");
}

QString GetRight(const QString& userId, int groupId, int rightIndex, int programId)
{
    const QString col = column(rightIndex);
    if (col.isEmpty())
        return QStringLiteral("否");
    auto q = OpenSql(QStringLiteral("SELECT ") + col + QStringLiteral(" FROM SYS_RIGHT_TABLE") +
                     rowCondition(userId, groupId, programId));
    if (!q || !q->next())
        return QStringLiteral("否");
    const QString value = q->value(0).toString();
    return value.isEmpty() ? QStringLiteral("否") : value;
}

bool SetRight(const QString& userId, int groupId, const QString& value, int rightIndex, int programId)
{
    const QString col = column(rightIndex);
    if (col.isEmpty())
        return false;
    const QString where = rowCondition(userId, groupId, programId);
    const bool exists = LookupNumber(QStringLiteral("SELECT COUNT(*) FROM SYS_RIGHT_TABLE") + where) > 0;
    if (exists)
        return ExecSqlReported(QStringLiteral("UPDATE SYS_RIGHT_TABLE SET ") + col + QStringLiteral(" = ") +
                               Sql::quote(value) + where);
    return ExecSqlReported(
        QStringLiteral("INSERT INTO SYS_RIGHT_TABLE(USE_ID,COMPOSE_ID,PROGRAM_ID,%1) "
                       "VALUES(%2,%3,%4,%5)")
            .arg(col, Sql::quote(userId), Sql::number(groupId), Sql::number(programId), Sql::quote(value)));
}
