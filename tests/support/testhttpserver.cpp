#include "testhttpserver.h"

#include <QCryptographicHash>

#include <QTimer>

#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpSocket>

TestHttpServer::TestHttpServer(QObject *parent)
    : QObject(parent)
{}

void TestHttpServer::watch(QTcpServer *server)
{
    m_server = server;
    connect(server, &QTcpServer::pendingConnectionAvailable, this, [this] {
        while (QTcpSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

bool TestHttpServer::listen()
{
    m_owned = std::make_unique<QTcpServer>();
    watch(m_owned.get());
    return m_server->listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
}

bool TestHttpServer::listenTls(const QByteArray &certificatePem, const QByteArray &keyPem)
{
    auto server = std::make_unique<QSslServer>();
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    config.setLocalCertificate(QSslCertificate(certificatePem, QSsl::Pem));
    config.setPrivateKey(QSslKey(keyPem, QSsl::Rsa, QSsl::Pem));
    if (config.localCertificate().isNull() || config.privateKey().isNull())
        return false;
    server->setSslConfiguration(config);
    m_owned = std::move(server);
    m_tls = true;
    watch(m_owned.get());
    return m_server->listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
}

void TestHttpServer::setPage(const QString &path, const QByteArray &html, int status)
{
    m_pages.insert(path, {status, html});
}

QString TestHttpServer::url(const QString &path) const
{
    return QStringLiteral("%1://127.0.0.1:%2%3")
        .arg(m_tls ? QStringLiteral("https") : QStringLiteral("http"))
        .arg(m_server->serverPort())
        .arg(path);
}

void TestHttpServer::serve(QTcpSocket *socket)
{
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    if (!request.contains("\r\n\r\n")) {
        socket->setProperty("request", request);
        return;
    }
    const QList<QByteArray> line = request.left(request.indexOf("\r\n")).split(' ');
    const QString target = line.size() > 1 ? QString::fromLatin1(line.at(1)) : QStringLiteral("/");
    const QString path = target.section(u'?', 0, 0);
    m_hits[path] += 1;
    emit requested(target);
    if (m_downloads.contains(path)) {
        const QByteArray data = m_downloads.value(path);
        socket->write("HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n"
                      "Content-Disposition: attachment; filename=\""
                      + m_downloadNames.value(path) + "\"\r\nContent-Length: "
                      + QByteArray::number(m_declaredSizes.value(path)) + "\r\nConnection: close\r\n\r\n" + data);
        socket->disconnectFromHost();
        return;
    }
    if (m_signIns.contains(path) && !signedIn(path, line.value(0), request)) {
        const QByteArray body = "<html><title>Sign-in needed</title><body>401</body></html>";
        const QByteArray challenge = m_signIns.value(path).scheme == SignIn::Basic
            ? QByteArray("Basic realm=\"Test Realm\"")
            : QByteArray("Digest realm=\"Test Realm\", qop=\"auth\", nonce=\"n0nce42\", opaque=\"op\"");
        socket->write("HTTP/1.0 401 Unauthorized\r\nWWW-Authenticate: " + challenge
                      + "\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(body.size())
                      + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
        return;
    }
    const auto page = m_pages.value(path, {404, QByteArrayLiteral("<html><title>Not found</title></html>")});
    if (page.first == 0)
        return; // a page that never arrives
    QByteArray response = "HTTP/1.0 " + QByteArray::number(page.first) + (page.first == 200 ? " OK" : " Error")
        + "\r\nContent-Type: " + m_types.value(path, "text/html; charset=utf-8") + "\r\nContent-Length: "
        + QByteArray::number(page.second.size()) + "\r\nConnection: close\r\n\r\n" + page.second;
    const auto answer = [socket, response] {
        socket->write(response);
        socket->disconnectFromHost();
    };
    if (const int delay = m_delays.value(path); delay > 0)
        QTimer::singleShot(delay, socket, answer);
    else
        answer();
}

bool TestHttpServer::signedIn(const QString &path, const QByteArray &method, const QByteArray &request) const
{
    const SignInNeeded need = m_signIns.value(path);
    QByteArray given;
    for (const QByteArray &header : request.left(request.indexOf("\r\n\r\n")).split('\n')) {
        if (header.toLower().startsWith("authorization:"))
            given = header.mid(14).trimmed();
    }
    if (need.scheme == SignIn::Basic)
        return given == "Basic " + (need.user + ':' + need.password).toBase64();
    if (!given.startsWith("Digest "))
        return false;
    QHash<QByteArray, QByteArray> fields;
    for (const QByteArray &part : given.mid(7).split(',')) {
        const qsizetype eq = part.indexOf('=');
        QByteArray value = part.mid(eq + 1).trimmed();
        if (value.startsWith('"') && value.endsWith('"'))
            value = value.mid(1, value.size() - 2);
        fields.insert(part.left(eq).trimmed(), value);
    }
    const auto md5 = [](const QByteArray &text) {
        return QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex();
    };
    const QByteArray ha1 = md5(need.user + ":Test Realm:" + need.password);
    const QByteArray ha2 = md5(method + ':' + fields.value("uri"));
    const QByteArray expected = md5(ha1 + ':' + fields.value("nonce") + ':' + fields.value("nc") + ':'
                                    + fields.value("cnonce") + ':' + fields.value("qop") + ':' + ha2);
    return fields.value("username") == need.user && fields.value("response") == expected;
}
