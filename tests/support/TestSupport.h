#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

// Fresh state for one test: a temporary settings folder (XDG_CONFIG_HOME), a temporary installation made
// by the real installation step, and the program's connection opened on it.
class TestEnv
{
public:
    // withDatabase: also run the installation step and open the database.
    explicit TestEnv(bool withDatabase = true);
    ~TestEnv();

    bool ok() const { return m_ok; }
    QString error() const { return m_error; }
    QString installDir() const;
    QString databaseDir() const;
    QString path(const QString& name) const; // a path inside the temporary folder

    // Runs a statement on the program's connection and fails loudly (qFatal) when it does not run.
    static void exec(const QString& sql);
    static QString value(const QString& sql);

private:
    QTemporaryDir m_dir;
    QByteArray m_oldConfig;
    bool m_ok = false;
    QString m_error;
};

// Path to a fixture under tests/data.
QString testData(const QString& name);
