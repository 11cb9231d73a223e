#include "TestSupport.h"

#include "common/AppContext.h"
#include "db/Database.h"
#include "db/Installation.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>

TestEnv::TestEnv(bool withDatabase)
{
    m_oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QDir(m_dir.path()).filePath(QStringLiteral("config")).toUtf8());
    AppContext::reset();
    if (!withDatabase) {
        m_ok = true;
        return;
    }
    if (!Installation::init(installDir(), &m_error))
        return;
    if (Database::open(databaseDir(), &m_error) != Database::OpenResult::Ok)
        return;
    AppContext& ctx = AppContext::instance();
    ctx.DatabaseDir = databaseDir();
    ctx.InstallDir = installDir();
    ctx.UserId = QStringLiteral("001");
    ctx.UserName = QStringLiteral("管理员");
    ctx.LoginDate = QStringLiteral("2009-03-25");
    m_ok = true;
}

TestEnv::~TestEnv()
{
    Database::close();
    if (m_oldConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
}

QString TestEnv::installDir() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("install"));
}

QString TestEnv::databaseDir() const
{
    return Installation::databaseDir(installDir());
}

QString TestEnv::path(const QString& name) const
{
    return QDir(m_dir.path()).filePath(name);
}

void TestEnv::exec(const QString& sql)
{
    QSqlQuery q(Database::db());
    if (!q.exec(sql))
        qFatal("statement failed: %s\n%s", qPrintable(q.lastError().text()), qPrintable(sql));
}

QString TestEnv::value(const QString& sql)
{
    QSqlQuery q(Database::db());
    if (!q.exec(sql))
        qFatal("statement failed: %s\n%s", qPrintable(q.lastError().text()), qPrintable(sql));
    return q.next() ? q.value(0).toString() : QString();
}

QString testData(const QString& name)
{
    return QDir(QStringLiteral(VUZAZO_TEST_DATA)).filePath(name);
}
