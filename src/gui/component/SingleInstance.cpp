#include "SingleInstance.h"

#include "common/MachineSettings.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

namespace {
const QByteArray ActivateRequest = "activate\n";
}

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent), m_key(key) {}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
}

QString SingleInstance::defaultKey()
{
    const QByteArray scope =
        QCryptographicHash::hash(MachineSettings::filePath().toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return QStringLiteral("QN") + QCoreApplication::applicationName() + QLatin1Char('-') + QString::fromLatin1(scope);
}

bool SingleInstance::claim()
{
    if (m_server)
        return true;
    {
        QLocalSocket probe;
        probe.connectToServer(m_key);
        if (probe.waitForConnected(500)) {
            probe.write(ActivateRequest);
            probe.waitForBytesWritten(500);
            probe.disconnectFromServer();
            return false;
        }
    }
    // Nobody answers: a socket left by a process that died is removed before listening.
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_key)) {
        QLocalServer::removeServer(m_key);
        if (!server->listen(m_key)) {
            delete server;
            // The socket cannot be made (no runtime folder): run without the guard rather than not at all.
            return true;
        }
    }
    m_server = server;
    connect(server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains("activate"))
                    emit activationRequested();
            });
            if (socket->bytesAvailable() > 0 && socket->readAll().contains("activate"))
                emit activationRequested();
        }
    });
    return true;
}
