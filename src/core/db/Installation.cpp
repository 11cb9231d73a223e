#include "Installation.h"

#include "Database.h"
#include "Schema.h"
#include "common/MachineSettings.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QStandardPaths>
#include <QUuid>

namespace Installation {

QString defaultInstallDir()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir(base).filePath(QStringLiteral("vuzazo"));
}

QString databaseDir(const QString& installDir)
{
    return QDir(installDir).filePath(QString::fromLatin1(Database::FolderName));
}

QString attachmentDir(const QString& installDir)
{
    return QDir(installDir).filePath(QStringLiteral("DataFile"));
}

bool createDatabaseFile(const QString& path, QString* error)
{
    // Build under a temporary name, so a failure never leaves half a database behind.
    const QString temp = path + QStringLiteral(".new");
    QFile::remove(temp);
    const QString connection = QStringLiteral("install-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    bool ok = false;
    {
        QSqlDatabase db = Database::openFile(temp, connection, error);
        if (db.isOpen()) {
            ok = Schema::create(db, error);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (ok && !QFile::rename(temp, path)) {
        if (error)
            *error = QStringLiteral("不能写入数据库文件: ") + path;
        ok = false;
    }
    if (!ok)
        QFile::remove(temp);
    return ok;
}

bool installTemplates(const QString& dbDir, QString* error)
{
    QDirIterator it(QStringLiteral(":/templates"), QDir::Files);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString target = QDir(dbDir).filePath(it.fileName());
        if (QFileInfo::exists(target))
            continue;
        if (!QFile::copy(src, target)) {
            if (error)
                *error = QStringLiteral("不能写入报表文件: ") + target;
            return false;
        }
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    return true;
}

bool init(const QString& installDir, QString* error)
{
    const QString dbDir = databaseDir(installDir);
    if (Database::hasDatabase(dbDir)) {
        if (error)
            *error = QStringLiteral("数据库已经存在,不能覆盖: ") + Database::databaseFile(dbDir);
        return false;
    }
    if (!QDir().mkpath(dbDir) || !QDir().mkpath(attachmentDir(installDir))) {
        if (error)
            *error = QStringLiteral("不能建立安装文件夹: ") + installDir;
        return false;
    }
    if (!createDatabaseFile(Database::databaseFile(dbDir), error))
        return false;
    if (!installTemplates(dbDir, error))
        return false;
    if (!WriteRegValue(QString::fromLatin1(MachineSettings::KeyArchivesLink), QDir(dbDir).absolutePath())) {
        if (error)
            *error = QStringLiteral("注册表打开错误");
        return false;
    }
    return true;
}

} // namespace Installation
