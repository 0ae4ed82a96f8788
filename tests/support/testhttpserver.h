#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTcpServer>

#include <memory>

// A small HTTP/1.0 (or HTTPS) server on 127.0.0.1 for tests: serves fixed
// pages by path; anything else is a 404.
class TestHttpServer : public QObject
{
    Q_OBJECT

public:
    explicit TestHttpServer(QObject *parent = nullptr);

    bool listen();
    // The same over TLS with the given certificate and key (PEM).
    bool listenTls(const QByteArray &certificatePem, const QByteArray &keyPem);
    // Status 0: the request is accepted and never answered.
    void setPage(const QString &path, const QByteArray &html, int status = 200);
    // The page at path is sent as the given type rather than HTML.
    void setContentType(const QString &path, const QByteArray &type) { m_types.insert(path, type); }
    // The page at path is answered only after ms milliseconds (a slow server).
    void setDelay(const QString &path, int ms) { m_delays.insert(path, ms); }
    // A file the browser saves rather than shows. A declared size above the
    // data's is a download the server breaks off.
    void setDownload(const QString &path, const QByteArray &data, const QByteArray &fileName = "file.bin",
                     qint64 declaredSize = -1)
    {
        m_downloads.insert(path, data);
        m_downloadNames.insert(path, fileName);
        m_declaredSizes.insert(path, declaredSize < 0 ? data.size() : declaredSize);
    }
    // The page at path asks for a user name and password (HTTP Basic or
    // Digest); without them, or with wrong ones, a 401 titled "Sign-in
    // needed" is the answer.
    enum class SignIn { Basic, Digest };
    void setSignIn(const QString &path, SignIn scheme, const QByteArray &user, const QByteArray &password)
    {
        m_signIns.insert(path, {scheme, user, password});
    }
    QString url(const QString &path) const;
    int requestCount(const QString &path) const { return m_hits.value(path); }

signals:
    void requested(const QString &target); // the path with its query

private:
    void serve(class QTcpSocket *socket);
    bool signedIn(const QString &path, const QByteArray &method, const QByteArray &request) const;
    struct SignInNeeded {
        SignIn scheme;
        QByteArray user;
        QByteArray password;
    };
    QHash<QString, SignInNeeded> m_signIns;

    void watch(QTcpServer *server);

    std::unique_ptr<QTcpServer> m_owned;
    QTcpServer *m_server = nullptr;
    bool m_tls = false;
    QHash<QString, std::pair<int, QByteArray>> m_pages;
    QHash<QString, int> m_hits;
    QHash<QString, int> m_delays;
    QHash<QString, QByteArray> m_types;
    QHash<QString, QByteArray> m_downloads;
    QHash<QString, QByteArray> m_downloadNames;
    QHash<QString, qint64> m_declaredSizes;
};
