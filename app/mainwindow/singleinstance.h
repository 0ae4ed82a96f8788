// One browser per user and data folder: a second start hands its addresses to the running one.
#pragma once

#include <QObject>
#include <QStringList>

#include <optional>

class QLocalServer;

// The running browser listens on a local socket in a folder private to the
// user (and hears only connections from the same user), named
// after its data folder (two instances must never write the same stores;
// instances with other data folders, as in tests, are independent). A
// later start connects, sends its addresses (maybe none: then the running
// window only comes to the front) and exits.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    // dataFolder: the folder whose stores this instance owns.
    explicit SingleInstance(const QString &dataFolder, QObject *parent = nullptr);

    // The socket's name for a data folder; empty when the user has no
    // private folder for it (the browser then runs alone).
    static QString serverName(const QString &dataFolder);
    // Where the socket lives: $XDG_RUNTIME_DIR when it is the user's alone
    // (a folder, owned by the user, mode 0700), else a folder made so in the
    // user's cache folder; empty when neither can be had.
    static QString socketFolder();
    // At most this many addresses a start; the rest are ignored with a note
    // on stderr.
    static constexpr qsizetype kMostAddresses = 100;
    static QStringList bounded(QStringList addresses);

    // Hands the addresses to a running instance. True when one took them
    // (this start should then end).
    bool handOver(const QStringList &addresses, int timeoutMs = 1500) const;
    // Starts listening for later starts; false when that failed (this
    // instance then runs alone).
    bool listen();

    // What a later start sends, and what is read back from it (lines after
    // a first line naming the protocol; nothing on a wrong first line).
    static QByteArray message(const QStringList &addresses);
    static std::optional<QStringList> parseMessage(const QByteArray &bytes);

signals:
    // A later start asked for these addresses (empty: only show the window).
    void activated(const QStringList &addresses);

private:
    void onNewConnection();

    QString m_name;
    QLocalServer *m_server = nullptr;
};
