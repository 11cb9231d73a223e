#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One running program per user: the first process listens on a local socket; a later one finds it, asks it
// to come forward and ends.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString& key = defaultKey(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is the first. False when another one runs; it has been asked to come forward.
    bool claim();
    bool isClaimed() const { return m_server != nullptr; }
    QString key() const { return m_key; }

    // "QN" + the application name, made distinct per settings folder (a user, or a test's temporary one).
    static QString defaultKey();

signals:
    // A second start asked this process to bring its window forward.
    void activationRequested();

private:
    QString m_key;
    QLocalServer* m_server = nullptr;
};
