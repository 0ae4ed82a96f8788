#include "engine/visitrecorder.h"

#include "platform/logging.h"
#include "platform/platformpaths.h"
#include "platform/urlhistorystore.h"

#include <QCoreApplication>
#include <QPointer>

#include <memory>

namespace {

// Lives in the recorder's thread; the store's connection is used there only.
class VisitWriter : public QObject
{
public:
    void write(const QString &databasePath, const QString &url, const QString &title)
    {
        if (!m_store || m_store->databasePath() != databasePath)
            m_store = std::make_unique<UrlHistoryStore>(databasePath);
        if (!m_store->addUrl(url, title, 0))
            qCWarning(lcFiles) << "visit not recorded" << url;
    }

private:
    std::unique_ptr<UrlHistoryStore> m_store;
};

} // namespace

VisitRecorder *VisitRecorder::instance()
{
    static QPointer<VisitRecorder> recorder;
    if (!recorder && QCoreApplication::instance())
        recorder = new VisitRecorder(QCoreApplication::instance());
    return recorder;
}

VisitRecorder::VisitRecorder(QObject *parent)
    : QObject(parent)
    , m_worker(new VisitWriter)
{
    m_thread.setObjectName(QStringLiteral("VisitRecorder"));
    m_worker->moveToThread(&m_thread);
    m_thread.start(QThread::LowPriority);
}

VisitRecorder::~VisitRecorder()
{
    flush();
    m_thread.quit();
    m_thread.wait();
    delete m_worker; // its thread has ended
}

void VisitRecorder::record(const QString &url, const QString &title)
{
    auto *writer = static_cast<VisitWriter *>(m_worker);
    const QString path = PlatformPaths::root() + QStringLiteral("/urlhistory.sqlite");
    QMetaObject::invokeMethod(
        writer, [writer, path, url, title] { writer->write(path, url, title); }, Qt::QueuedConnection);
}

void VisitRecorder::flush()
{
    if (m_thread.isRunning())
        QMetaObject::invokeMethod(
            m_worker, [] {}, Qt::BlockingQueuedConnection);
}
