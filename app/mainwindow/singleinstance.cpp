#include "singleinstance.h"

#include "logging.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <memory>
#include <optional>

#include <unistd.h>

namespace {
const QByteArray kHello = QByteArrayLiteral("quillon-open 1");
// A message is a few addresses; anything larger is not from a browser start.
constexpr qint64 kMaxMessage = 1 << 20;
} // namespace

SingleInstance::SingleInstance(const QString &dataFolder, QObject *parent)
    : QObject(parent)
    , m_name(serverName(dataFolder))
{}

QString SingleInstance::serverName(const QString &dataFolder)
{
    const QByteArray folder = QDir(dataFolder).canonicalPath().toUtf8();
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(folder.isEmpty() ? dataFolder.toUtf8() : folder, QCryptographicHash::Sha256)
            .toHex()
            .left(16));
    // The runtime folder is the user's own; else the temporary folder, with
    // the user in the name.
    QString base = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    return base + QStringLiteral("/quillon-%1-%2").arg(::geteuid()).arg(hash);
}

QByteArray SingleInstance::message(const QStringList &addresses)
{
    QByteArray bytes = kHello + '\n';
    for (const QString &a : addresses) {
        if (!a.contains(u'\n') && !a.contains(u'\r'))
            bytes += a.toUtf8() + '\n';
    }
    return bytes;
}

std::optional<QStringList> SingleInstance::parseMessage(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.isEmpty() || lines.takeFirst() != kHello)
        return std::nullopt;
    QStringList addresses;
    for (const QByteArray &line : lines) {
        if (!line.trimmed().isEmpty())
            addresses.append(QString::fromUtf8(line.trimmed()));
    }
    return addresses;
}

bool SingleInstance::handOver(const QStringList &addresses, int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(message(addresses));
    if (!socket.waitForBytesWritten(timeoutMs)) {
        qCWarning(lcFiles) << "addresses not handed to the running browser" << socket.errorString();
        return false;
    }
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(timeoutMs);
    return true;
}

bool SingleInstance::listen()
{
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    if (m_server->listen(m_name))
        return true;
    // Left behind by a browser that did not end cleanly (nobody answered
    // handOver): taken over.
    QLocalServer::removeServer(m_name);
    if (m_server->listen(m_name))
        return true;
    qCWarning(lcFiles) << "cannot listen for later starts" << m_name << m_server->errorString();
    return false;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [socket, buffer] {
            buffer->append(socket->readAll());
            if (buffer->size() > kMaxMessage)
                socket->abort();
        });
        const auto finish = [this, socket, buffer] {
            buffer->append(socket->readAll());
            const std::optional<QStringList> addresses =
                buffer->size() <= kMaxMessage ? parseMessage(*buffer) : std::nullopt;
            socket->deleteLater();
            if (addresses)
                emit activated(*addresses);
            else
                qCWarning(lcFiles) << "a message on the browser's socket was not understood";
        };
        // A quick start may be gone before its connection is taken.
        if (socket->state() == QLocalSocket::UnconnectedState)
            finish();
        else
            connect(socket, &QLocalSocket::disconnected, this, finish);
    }
}
