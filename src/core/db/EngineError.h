#pragma once

#include <QSqlError>
#include <QString>

// The six database conditions the program words for its users, whatever the engine.
enum class EngineCondition
{
    ReferencedByDetail, // the row is referenced by rows of another table
    OpenFailed,         // a table or the database could not be opened
    KeyViolation,       // duplicate key
    ChangedByOther,     // the row was changed or removed meanwhile
    ValueTooLarge,      // a value is wider than its column
    TableLocked,        // the database is busy or locked
    Other
};

struct EngineErrorInfo
{
    EngineCondition condition = EngineCondition::Other;
    int code = 0;     // SQLite extended result code, 0 when unknown
    int category = 0; // primary result code (low byte of the extended code)
    int subcode = 0;  // extended part (high byte)
    QString message;  // the engine's own text
};

EngineErrorInfo classifyEngineError(const QSqlError& error);
// The fixed message for a condition ("数据库操作错误" for Other).
QString engineConditionMessage(EngineCondition condition);

// Reports an engine error to the user through the message sink: the condition's message as a warning;
// for an unknown condition that warning is followed by an error box with the technical text.
void ReportEngineError(const QSqlError& error, const QString& className = QStringLiteral("EDBEngineError"));
