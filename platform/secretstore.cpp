#include "platform/secretstore.h"

#include "platform/logging.h"
#include "platform/sessionbus.h"

#include <qt6keychain/keychain.h>

namespace SecretStore {

bool available()
{
    // QtKeychain has no call that says whether it can keep anything: ask
    // the bus whether the secret service is there or can be started.
    return SessionBus::answers(QStringLiteral("org.freedesktop.secrets"));
}

void read(const QString &key, QObject *context, std::function<void(std::optional<QByteArray>)> done)
{
    auto *job = new QKeychain::ReadPasswordJob(kService);
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(key);
    QObject::connect(job, &QKeychain::Job::finished, context, [done = std::move(done)](QKeychain::Job *finished) {
        auto *readJob = static_cast<QKeychain::ReadPasswordJob *>(finished);
        if (readJob->error() == QKeychain::NoError) {
            done(readJob->binaryData());
            return;
        }
        if (readJob->error() != QKeychain::EntryNotFound)
            qCWarning(lcFiles) << "secret store not read:" << readJob->errorString();
        done(std::nullopt);
    });
    job->start();
}

void write(const QString &key, const std::optional<QByteArray> &secret)
{
    QKeychain::Job *job = nullptr;
    if (secret) {
        auto *writeJob = new QKeychain::WritePasswordJob(kService);
        writeJob->setBinaryData(*secret);
        job = writeJob;
    } else {
        job = new QKeychain::DeletePasswordJob(kService);
    }
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(key);
    QObject::connect(job, &QKeychain::Job::finished, [](QKeychain::Job *finished) {
        if (finished->error() != QKeychain::NoError && finished->error() != QKeychain::EntryNotFound)
            qCWarning(lcFiles) << "secret store not written:" << finished->errorString();
    });
    job->start();
}

} // namespace SecretStore
