#include "navkit/favorites/pagetextwriter.h"

#include "navkit/favorites/pagetextindex.h"

#include <QThreadPool>

#include <map>
#include <memory>

namespace PageTextWriter {

namespace {

QThreadPool &pool()
{
    static QThreadPool writer;
    static const bool once = [] {
        writer.setMaxThreadCount(1); // one writer: jobs in order, no lock waits
        writer.setObjectName(QStringLiteral("PageTextWriter"));
        return true;
    }();
    Q_UNUSED(once);
    return writer;
}

// The writer's connections, made on its thread and closed with it.
PageTextIndex &connectionTo(const QString &indexFile)
{
    thread_local std::map<QString, std::unique_ptr<PageTextIndex>> open;
    auto &index = open[indexFile];
    if (!index)
        index = std::make_unique<PageTextIndex>(indexFile);
    return *index;
}

} // namespace

void post(const QString &indexFile, std::function<void(PageTextIndex &)> job)
{
    pool().start([indexFile, job = std::move(job)] { job(connectionTo(indexFile)); });
}

void waitForDone()
{
    pool().waitForDone();
}

} // namespace PageTextWriter
