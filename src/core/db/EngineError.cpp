#include "EngineError.h"

#include "common/MessageSink.h"

#include <sqlite3.h>

EngineErrorInfo classifyEngineError(const QSqlError& error)
{
    EngineErrorInfo info;
    info.message = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    bool ok = false;
    info.code = error.nativeErrorCode().toInt(&ok);
    if (!ok)
        info.code = 0;
    info.category = info.code & 0xFF;
    info.subcode = (info.code >> 8) & 0xFF;
    const QString text = info.message;

    switch (info.code) {
    case SQLITE_CONSTRAINT_FOREIGNKEY:
    case SQLITE_CONSTRAINT_TRIGGER:
        info.condition = EngineCondition::ReferencedByDetail;
        return info;
    case SQLITE_CONSTRAINT_PRIMARYKEY:
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_ROWID:
        info.condition = EngineCondition::KeyViolation;
        return info;
    case SQLITE_CONSTRAINT_CHECK:
    case SQLITE_TOOBIG:
        info.condition = EngineCondition::ValueTooLarge;
        return info;
    default:
        break;
    }
    switch (info.category) {
    case SQLITE_CANTOPEN:
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        info.condition = EngineCondition::OpenFailed;
        return info;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        info.condition = EngineCondition::TableLocked;
        return info;
    default:
        break;
    }
    // Drivers that give no code still give SQLite's words.
    if (text.contains(QLatin1String("UNIQUE constraint failed")) || text.contains(QLatin1String("PRIMARY KEY")))
        info.condition = EngineCondition::KeyViolation;
    else if (text.contains(QLatin1String("CHECK constraint failed")) || text.contains(QLatin1String("too big")))
        info.condition = EngineCondition::ValueTooLarge;
    else if (text.contains(QLatin1String("FOREIGN KEY constraint failed")))
        info.condition = EngineCondition::ReferencedByDetail;
    else if (text.contains(QLatin1String("database is locked")))
        info.condition = EngineCondition::TableLocked;
    else if (text.contains(QLatin1String("unable to open")) || text.contains(QLatin1String("not a database")))
        info.condition = EngineCondition::OpenFailed;
    return info;
}

QString engineConditionMessage(EngineCondition condition)
{
    switch (condition) {
    case EngineCondition::ReferencedByDetail:
        return QStringLiteral("其它的数据库表中存在对该纪录的引用,纪录不能删除");
    case EngineCondition::OpenFailed:
        return QStringLiteral("数据库打开过程发生错误");
    case EngineCondition::KeyViolation:
        return QStringLiteral("数据库主键重复");
    case EngineCondition::ChangedByOther:
        return QStringLiteral("数据已被其它用户修改,请重新查找刷新该记录,查看其它用户修改后的数据");
    case EngineCondition::ValueTooLarge:
        return QStringLiteral("数据太大,不能保存数据");
    case EngineCondition::TableLocked:
        return QStringLiteral("有未关闭的数据表");
    case EngineCondition::Other:
        break;
    }
    return QStringLiteral("数据库操作错误");
}

void ReportEngineError(const QSqlError& error, const QString& className)
{
    const EngineErrorInfo info = classifyEngineError(error);
    ShowWarning(engineConditionMessage(info.condition));
    if (info.condition != EngineCondition::Other)
        return;
    QString text = QStringLiteral("ErrorCode:");
    if (info.code != 0)
        text += QStringLiteral(" (%1,%2,%3,0)").arg(info.code).arg(info.category).arg(info.subcode);
    text += info.message + QLatin1Char('\r');
    ShowError(className + QLatin1Char(':') + text + QLatin1Char('\t') + engineConditionMessage(info.condition));
}
