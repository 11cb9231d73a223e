#include "FunLib.h"

#include "Database.h"
#include "EngineError.h"
#include "common/MachineSettings.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>

namespace {

QSqlDatabase connectionFor(const QString& name)
{
    return name.isEmpty() ? Database::db() : QSqlDatabase::database(name, false);
}

} // namespace

bool ExecSql(const QString& connection, const QString& sql)
{
    QSqlDatabase db = connectionFor(connection);
    if (!db.isOpen())
        return false;
    QSqlQuery q(db);
    return q.exec(sql);
}

bool ExecSql(const QString& sql)
{
    return ExecSql(QString(), sql);
}

bool ExecSqlReported(const QString& sql)
{
    QSqlDatabase db = Database::db();
    QSqlQuery q(db);
    if (!db.isOpen() || !q.exec(sql)) {
        ReportEngineError(db.isOpen() ? q.lastError() : db.lastError());
        return false;
    }
    return true;
}

std::unique_ptr<QSqlQuery> OpenSql(const QString& connection, const QString& sql, QSqlError* error)
{
    QSqlDatabase db = connectionFor(connection);
    auto q = std::make_unique<QSqlQuery>(db);
    if (!db.isOpen() || !q->exec(sql)) {
        if (error)
            *error = db.isOpen() ? q->lastError() : db.lastError();
        return nullptr;
    }
    return q;
}

std::unique_ptr<QSqlQuery> OpenSql(const QString& sql, QSqlError* error)
{
    return OpenSql(QString(), sql, error);
}

QString LookupText(const QString& connection, const QString& sql)
{
    QSqlDatabase db = connectionFor(connection);
    if (!db.isOpen())
        return {};
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(sql) || !q.next())
        return {};
    return q.value(0).toString();
}

QString LookupText(const QString& sql)
{
    return LookupText(QString(), sql);
}

double LookupNumber(const QString& sql)
{
    return ParseNumber(LookupText(sql));
}

double LookupNumberChecked(const QString& sql)
{
    return ParseNumber(LookupText(sql));
}

QStringList LookupColumn(const QString& sql)
{
    QStringList out;
    QSqlQuery q(Database::db());
    q.setForwardOnly(true);
    if (!q.exec(sql))
        return out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

bool IsNumber(const QString& text)
{
    QString t = text;
    t.remove(QLatin1Char(','));
    t = t.trimmed();
    if (t.isEmpty())
        return false;
    static const QRegularExpression decimal(QStringLiteral("^[-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?$"));
    return decimal.match(t).hasMatch();
}

double ParseNumber(const QString& text)
{
    if (!IsNumber(text))
        return 0;
    QString t = text;
    t.remove(QLatin1Char(','));
    bool ok = false;
    const double v = t.trimmed().toDouble(&ok);
    return ok ? v : 0;
}

QString GetAliasPath(const QString& alias)
{
    const QString path = ReadRegValue(alias).trimmed();
    return IsFolder(path) ? path : QString();
}

QString TempFolder()
{
    return QDir::tempPath();
}

bool IsFolder(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString NthPart(const QString& text, const QString& separator, int n)
{
    const QStringList parts = text.split(separator);
    if (n < 0) {
        const int at = int(text.indexOf(separator));
        return at < 0 ? text : text.mid(at + separator.size());
    }
    return n < parts.size() ? parts.at(n) : QString();
}

QString ZeroPad(const QString& text, int n)
{
    const QString s = QStringLiteral("000000000") + text;
    return n <= 0 ? QString() : s.right(n);
}

bool CopyFolder(const QString& from, const QString& to)
{
    QDir src(from);
    if (!src.exists())
        return false;
    bool ok = QDir().mkpath(to);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo fi = it.fileInfo();
        const QString target = QDir(to).filePath(src.relativeFilePath(path));
        if (fi.isDir()) {
            ok = QDir().mkpath(target) && ok;
        } else {
            QFile::remove(target);
            ok = QFile::copy(path, target) && ok;
        }
    }
    return ok;
}
