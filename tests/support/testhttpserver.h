#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTcpServer>

// A small HTTP/1.0 server on 127.0.0.1 for tests: serves fixed pages by
// path; anything else is a 404.
class TestHttpServer : public QObject
{
    Q_OBJECT

public:
    explicit TestHttpServer(QObject *parent = nullptr);

    bool listen();
    // Status 0: the request is accepted and never answered.
    void setPage(const QString &path, const QByteArray &html, int status = 200);
    QString url(const QString &path) const;
    int requestCount(const QString &path) const { return m_hits.value(path); }

private:
    void serve(class QTcpSocket *socket);

    QTcpServer m_server;
    QHash<QString, std::pair<int, QByteArray>> m_pages;
    QHash<QString, int> m_hits;
};
