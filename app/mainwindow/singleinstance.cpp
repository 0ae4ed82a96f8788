#include "app/mainwindow/singleinstance.h"

#include "platform/logging.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <memory>
#include <optional>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QByteArray kHello = QByteArrayLiteral("quillon-open 1");
// A message is a few addresses; anything larger is not from a browser start.
constexpr qint64 kMaxMessage = 1 << 20;

// A folder that is this user's alone: a real folder (no link), owned by the
// user, open to nobody else. Made (0700) when missing.
bool isPrivateFolder(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0) {
        if (!QDir().mkpath(QFileInfo(path).absolutePath()) || ::mkdir(name.constData(), 0700) != 0
            || ::lstat(name.constData(), &st) != 0)
            return false;
    }
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 0077) == 0;
}

// The user id at the other end of a local socket; -1 when unknown.
qint64 peerUid(qintptr descriptor)
{
    struct ucred credentials {};
    socklen_t size = sizeof credentials;
    if (descriptor < 0 || ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return -1;
    return credentials.uid;
}
} // namespace

QString SingleInstance::socketFolder()
{
    // The runtime folder when it is the user's own, else one in the user's
    // cache folder: never a shared place such as /tmp, where another user
    // could listen first.
    if (const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR"); isPrivateFolder(runtime))
        return QDir::cleanPath(runtime);
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty())
        cache = QDir::homePath() + QStringLiteral("/.cache");
    QString own = QDir::cleanPath(cache + QStringLiteral("/quillon/run"));
    if (isPrivateFolder(own))
        return own;
    qCWarning(lcFiles) << "no private folder for the browser's socket; running alone";
    return {};
}

QStringList SingleInstance::bounded(QStringList addresses)
{
    if (addresses.size() > kMostAddresses) {
        QTextStream(stderr) << "quillon: " << addresses.size() - kMostAddresses << " of " << addresses.size()
                            << " addresses ignored (at most " << kMostAddresses << " a start)\n";
        addresses.resize(kMostAddresses);
    }
    return addresses;
}

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
    const QString base = socketFolder();
    return base.isEmpty() ? QString() : base + QStringLiteral("/quillon-%1-%2").arg(::geteuid()).arg(hash);
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
        if (addresses.size() > kMostAddresses)
            break;
    }
    return bounded(addresses);
}

bool SingleInstance::handOver(const QStringList &addresses, int timeoutMs) const
{
    if (m_name.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    // Only to a browser of this user.
    if (peerUid(socket.socketDescriptor()) != qint64(::geteuid())) {
        qCWarning(lcFiles) << "the browser's socket is held by another user; nothing handed over" << m_name;
        return false;
    }
    socket.write(message(bounded(addresses)));
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
    if (m_name.isEmpty())
        return false;
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
        // Only the user's own starts are heard.
        if (peerUid(socket->socketDescriptor()) != qint64(::geteuid())) {
            qCWarning(lcFiles) << "a connection from another user refused";
            socket->abort();
            socket->deleteLater();
            continue;
        }
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
