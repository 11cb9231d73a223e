#pragma once

#include <QSqlDatabase>
#include <QString>

#include <memory>

class QLockFile;
struct sqlite3;

// The one owner of the connection "QnArchivesDataBase". The database folder holds one SQLite file; the
// program holds it exclusively (a lock file beside it and SQLite's exclusive locking mode).
class Database
{
public:
    static constexpr auto ConnectionName = "QnArchivesDataBase";
    static constexpr auto FileName = "vuzazo.db";
    static constexpr auto LockName = "vuzazo.lock";
    static constexpr auto FolderName = "Database";

    enum class OpenResult
    {
        Ok,
        MissingAlias,
        Locked,
        Failed
    };

    // The database folder named by the machine setting ArchivesLink, or empty when the setting is missing.
    static QString aliasPath();
    // True when folder holds a database file.
    static bool hasDatabase(const QString& folder);
    static QString databaseFile(const QString& folder);

    // Opens the database of folder for this process. error gets a message fit for the user.
    static OpenResult open(const QString& folder, QString* error = nullptr);
    // Opens the folder named by ArchivesLink (MissingAlias when there is none or it holds no database).
    static OpenResult openFromAlias(QString* error = nullptr);
    static void close();
    static bool isOpen();
    static QString folder();

    static QSqlDatabase db();
    // The SQLite handle under a Qt connection (bulk work that needs the C API).
    static sqlite3* handle(QSqlDatabase& db);

    // Registers the GBK collation and the gbk_width() function on a fresh connection.
    static bool registerFunctions(QSqlDatabase& db);
    // Opens a plain connection on a database file without the program's lock (installation, rebuild).
    static QSqlDatabase openFile(const QString& file, const QString& connectionName, QString* error);
};

// A transaction on the program's connection; rolled back unless committed. Nested use becomes a savepoint.
class Transaction
{
public:
    Transaction();
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool isActive() const { return m_active; }
    bool commit();
    void rollback();

    // A savepoint inside the transaction, for skipping one bad row of a batch.
    class Savepoint
    {
    public:
        explicit Savepoint(const QString& name);
        ~Savepoint();
        void release();
        void rollback();

    private:
        QString m_name;
        bool m_open = false;
    };

private:
    QString m_savepoint; // set when nested
    bool m_active = false;
};
