#include "Database.h"

#include "common/Gbk.h"
#include "common/MachineSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

namespace {

std::unique_ptr<QLockFile> g_lock;
QString g_folder;
int g_transactionDepth = 0;
int g_savepointSerial = 0;

int gbkCollation(void*, int aSize, const void* a, int bSize, const void* b)
{
    return Gbk::compareUtf8(static_cast<const char*>(a), aSize, static_cast<const char*>(b), bSize);
}

void gbkWidth(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const int size = sqlite3_value_bytes(argv[0]);
    sqlite3_result_int(ctx, Gbk::byteLengthUtf8(text, size));
}

sqlite3* handleOf(QSqlDatabase& db)
{
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(v.data());
}

bool execPragma(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery q(db);
    return q.exec(sql);
}

} // namespace

sqlite3* Database::handle(QSqlDatabase& db)
{
    return handleOf(db);
}

QString Database::aliasPath()
{
    return ReadRegValue(QString::fromLatin1(MachineSettings::KeyArchivesLink)).trimmed();
}

QString Database::databaseFile(const QString& folder)
{
    return QDir(folder).filePath(QString::fromLatin1(FileName));
}

bool Database::hasDatabase(const QString& folder)
{
    return !folder.isEmpty() && QFileInfo(databaseFile(folder)).isFile();
}

bool Database::registerFunctions(QSqlDatabase& db)
{
    sqlite3* h = handleOf(db);
    if (!h)
        return false;
    if (sqlite3_create_collation(h, "GBK", SQLITE_UTF8, nullptr, gbkCollation) != SQLITE_OK)
        return false;
    return sqlite3_create_function(h, "gbk_width", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
                                   gbkWidth, nullptr, nullptr) == SQLITE_OK;
}

QSqlDatabase Database::openFile(const QString& file, const QString& connectionName, QString* error)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    db.setDatabaseName(file);
    if (!db.open() || !registerFunctions(db)) {
        if (error)
            *error = db.lastError().text();
        db.close();
        return db;
    }
    execPragma(db, QStringLiteral("PRAGMA foreign_keys = OFF"));
    return db;
}

Database::OpenResult Database::open(const QString& folder, QString* error)
{
    close();
    if (!hasDatabase(folder)) {
        if (error)
            *error = QStringLiteral("数据库文件不存在: ") + databaseFile(folder);
        return OpenResult::MissingAlias;
    }
    auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(QString::fromLatin1(LockName)));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        if (lock->error() == QLockFile::LockFailedError) {
            if (error)
                *error = QStringLiteral("数据库正被另一个程序独占使用,不能打开");
            return OpenResult::Locked;
        }
        if (error)
            *error = QStringLiteral("数据库文件夹不能写入: ") + folder;
        return OpenResult::Failed;
    }
    QString why;
    QSqlDatabase db = openFile(databaseFile(folder), QString::fromLatin1(ConnectionName), &why);
    if (!db.isOpen()) {
        QSqlDatabase::removeDatabase(QString::fromLatin1(ConnectionName));
        if (error)
            *error = QStringLiteral("数据库打开过程发生错误: ") + why;
        return OpenResult::Failed;
    }
    execPragma(db, QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
    execPragma(db, QStringLiteral("PRAGMA synchronous = NORMAL"));
    execPragma(db, QStringLiteral("PRAGMA cache_size = -32768"));
    // The first write takes the exclusive lock, which the locking mode keeps until the connection closes.
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")) || !q.exec(QStringLiteral("COMMIT"))) {
        const QString text = q.lastError().text();
        q = QSqlQuery();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QString::fromLatin1(ConnectionName));
        if (error)
            *error = QStringLiteral("数据库正被另一个程序独占使用,不能打开: ") + text;
        return OpenResult::Locked;
    }
    g_lock = std::move(lock);
    g_folder = QDir(folder).absolutePath();
    return OpenResult::Ok;
}

Database::OpenResult Database::openFromAlias(QString* error)
{
    const QString path = aliasPath();
    if (path.isEmpty() || !hasDatabase(path)) {
        if (error)
            *error = path.isEmpty() ? QStringLiteral("没有数据库别名 ArchivesLink")
                                    : QStringLiteral("数据库文件夹中没有数据库: ") + path;
        return OpenResult::MissingAlias;
    }
    return open(path, error);
}

void Database::close()
{
    const QString name = QString::fromLatin1(ConnectionName);
    if (QSqlDatabase::contains(name)) {
        {
            QSqlDatabase db = QSqlDatabase::database(name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    }
    g_lock.reset();
    g_folder.clear();
    g_transactionDepth = 0;
}

bool Database::isOpen()
{
    return QSqlDatabase::contains(QString::fromLatin1(ConnectionName)) && db().isOpen();
}

QString Database::folder()
{
    return g_folder;
}

QSqlDatabase Database::db()
{
    return QSqlDatabase::database(QString::fromLatin1(ConnectionName), false);
}

Transaction::Transaction()
{
    QSqlDatabase db = Database::db();
    if (!db.isOpen())
        return;
    if (g_transactionDepth > 0) {
        m_savepoint = QStringLiteral("tx%1").arg(++g_savepointSerial);
        QSqlQuery q(db);
        m_active = q.exec(QStringLiteral("SAVEPOINT ") + m_savepoint);
    } else {
        m_active = db.transaction();
    }
    if (m_active)
        ++g_transactionDepth;
}

Transaction::~Transaction()
{
    if (m_active)
        rollback();
}

bool Transaction::commit()
{
    if (!m_active)
        return false;
    QSqlDatabase db = Database::db();
    bool ok;
    if (!m_savepoint.isEmpty()) {
        QSqlQuery q(db);
        ok = q.exec(QStringLiteral("RELEASE SAVEPOINT ") + m_savepoint);
    } else {
        ok = db.commit();
    }
    if (!ok) {
        rollback();
        return false;
    }
    m_active = false;
    --g_transactionDepth;
    return true;
}

void Transaction::rollback()
{
    if (!m_active)
        return;
    QSqlDatabase db = Database::db();
    if (!m_savepoint.isEmpty()) {
        QSqlQuery q(db);
        q.exec(QStringLiteral("ROLLBACK TO SAVEPOINT ") + m_savepoint);
        q.exec(QStringLiteral("RELEASE SAVEPOINT ") + m_savepoint);
    } else {
        db.rollback();
    }
    m_active = false;
    --g_transactionDepth;
}

Transaction::Savepoint::Savepoint(const QString& name) : m_name(name)
{
    QSqlQuery q(Database::db());
    m_open = q.exec(QStringLiteral("SAVEPOINT ") + m_name);
}

Transaction::Savepoint::~Savepoint()
{
    if (m_open)
        rollback();
}

void Transaction::Savepoint::release()
{
    if (!m_open)
        return;
    QSqlQuery q(Database::db());
    q.exec(QStringLiteral("RELEASE SAVEPOINT ") + m_name);
    m_open = false;
}

void Transaction::Savepoint::rollback()
{
    if (!m_open)
        return;
    QSqlQuery q(Database::db());
    q.exec(QStringLiteral("ROLLBACK TO SAVEPOINT ") + m_name);
    q.exec(QStringLiteral("RELEASE SAVEPOINT ") + m_name);
    m_open = false;
}
