#include "Lookups.h"

#include "FunLib.h"
#include "Sql.h"
#include "common/AppContext.h"
#include "common/Clock.h"
#include "common/MessageSink.h"

#include <cmath>

QString ReadSetting(const QString& name)
{
    return LookupText(QStringLiteral("SELECT AUTO_ID FROM SYS_ID_TABLE WHERE NAME_ID = ") + Sql::quote(name));
}

bool SettingIsOn(const QString& name)
{
    return ReadSetting(name) == QStringLiteral("是");
}

bool WriteSetting(const QString& name, const QString& value)
{
    const bool exists =
        LookupNumber(QStringLiteral("SELECT COUNT(NAME_ID) FROM SYS_ID_TABLE WHERE NAME_ID = ") + Sql::quote(name)) > 0;
    const QString sql = exists ? QStringLiteral("UPDATE SYS_ID_TABLE SET AUTO_ID = %1 WHERE NAME_ID = %2")
                                     .arg(Sql::quote(value), Sql::quote(name))
                               : QStringLiteral("INSERT INTO SYS_ID_TABLE(NAME_ID,AUTO_ID) VALUES(%1,%2)")
                                     .arg(Sql::quote(name), Sql::quote(value));
    if (!ExecSql(sql)) {
        ShowWarning(QStringLiteral("参数保存过程发生错误"));
        return false;
    }
    return true;
}

int LoadNumberingScheme()
{
    const int scheme = int(std::lround(ParseNumber(ReadSetting(QStringLiteral("分类编号")))));
    AppContext::instance().NumberingScheme = scheme;
    return scheme;
}

void LoadReminderSettings()
{
    AppContext& ctx = AppContext::instance();
    const QString field = ReadSetting(QStringLiteral("提醒字段"));
    ctx.ReminderField = (field == QStringLiteral("否")) ? QString() : field;
    ctx.ReminderDays = int(std::lround(ParseNumber(ReadSetting(QStringLiteral("提醒天数")))));
}

QString TypeSubtreeCondition(const QString& typeId, const QString& alias)
{
    const int k = int(std::lround(typeId.size() / 3.0));
    if (k == 0)
        return {};
    const QString column =
        alias.isEmpty() ? QStringLiteral("ARCHIVE_TYPE_ID") : alias + QStringLiteral(".ARCHIVE_TYPE_ID");
    return QLatin1Char(' ') + Sql::prefixCondition(column, typeId);
}

QString TypePath(const QString& typeId)
{
    QStringList names;
    QString id = typeId;
    // Walk up at most five levels (and never loop on a damaged tree).
    for (int guard = 0; guard < 16 && !id.isEmpty(); ++guard) {
        auto q = OpenSql(QStringLiteral("SELECT PRIOR_ID,ARCHIVE_TYPE_NAME FROM QN_ARCHIVE_TYPE_TABLE WHERE "
                                        "ARCHIVE_TYPE_ID = ") +
                         Sql::quote(id));
        if (!q || !q->next())
            break;
        names.prepend(q->value(1).toString());
        const QString parent = q->value(0).toString();
        if (parent == QStringLiteral("G001") || parent == id)
            break;
        id = parent;
    }
    return names.join(QLatin1Char(' '));
}

QString TopTypeId(const QString& typeId)
{
    return typeId.left(3);
}

QString LendStateCondition(const QString& state, const QString& alias)
{
    const QString col = alias.isEmpty() ? QStringLiteral("RETURN_DATE") : alias + QStringLiteral(".RETURN_DATE");
    if (state == QStringLiteral("未归还"))
        return QStringLiteral(" (%1 IS NULL)@").arg(col);
    if (state == QStringLiteral("已归还"))
        return QStringLiteral(" (NOT(%1 IS NULL))@").arg(col);
    return {};
}

QString ReadProgramName(int groupId, int programId, const QString& suffix)
{
    QString name = LookupText(QStringLiteral("SELECT PROGRAM_NAME FROM SYS_PROGRAM_TABLE WHERE COMPOSE_ID = %1 And "
                                             "PROGRAM_ID = %2")
                                  .arg(groupId)
                                  .arg(programId));
    if (!suffix.isEmpty()) {
        const int at = int(name.indexOf(suffix));
        if (at >= 0)
            name.truncate(at);
    }
    return name;
}

bool RenameProgram(const QString& newName, int groupId, int programId, const QString& suffix)
{
    if (ReadProgramName(groupId, programId, QString()).isEmpty())
        return false;
    return ExecSql(QStringLiteral("UPDATE SYS_PROGRAM_TABLE SET PROGRAM_NAME = %1 WHERE COMPOSE_ID = %2 And "
                                  "PROGRAM_ID = %3")
                       .arg(Sql::quote(newName + suffix))
                       .arg(groupId)
                       .arg(programId));
}

void RefreshLoginDate()
{
    AppContext::instance().LoginDate = Clock::todayText();
}
