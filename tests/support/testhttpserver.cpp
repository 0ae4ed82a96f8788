#include "testhttpserver.h"

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
    const auto page = m_pages.value(path, {404, QByteArrayLiteral("<html><title>Not found</title></html>")});
    if (page.first == 0)
        return; // a page that never arrives
    QByteArray response = "HTTP/1.0 " + QByteArray::number(page.first) + (page.first == 200 ? " OK" : " Error")
        + "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " + QByteArray::number(page.second.size())
        + "\r\nConnection: close\r\n\r\n" + page.second;
    const auto answer = [socket, response] {
        socket->write(response);
        socket->disconnectFromHost();
    };
    if (const int delay = m_delays.value(path); delay > 0)
        QTimer::singleShot(delay, socket, answer);
    else
        answer();
}
