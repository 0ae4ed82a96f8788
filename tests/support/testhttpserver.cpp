#include "testhttpserver.h"

#include <QTcpSocket>

TestHttpServer::TestHttpServer(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

bool TestHttpServer::listen()
{
    return m_server.listen(QHostAddress(QStringLiteral("127.0.0.1")), 0);
}

void TestHttpServer::setPage(const QString &path, const QByteArray &html, int status)
{
    m_pages.insert(path, {status, html});
}

QString TestHttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
}

void TestHttpServer::serve(QTcpSocket *socket)
{
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    if (!request.contains("\r\n\r\n")) {
        socket->setProperty("request", request);
        return;
    }
    const QList<QByteArray> line = request.left(request.indexOf("\r\n")).split(' ');
    QString path = line.size() > 1 ? QString::fromLatin1(line.at(1)) : QStringLiteral("/");
    path = path.section(u'?', 0, 0);
    m_hits[path] += 1;
    const auto page = m_pages.value(path, {404, QByteArrayLiteral("<html><title>Not found</title></html>")});
    if (page.first == 0)
        return; // a page that never arrives
    QByteArray response = "HTTP/1.0 " + QByteArray::number(page.first) + (page.first == 200 ? " OK" : " Error")
        + "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " + QByteArray::number(page.second.size())
        + "\r\nConnection: close\r\n\r\n" + page.second;
    socket->write(response);
    socket->disconnectFromHost();
}
