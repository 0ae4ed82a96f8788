#include "linkimport/folderimport.h"

#include "navkit/records/favoriterecord.h"
#include "navkit/favorites/favoritesstore.h"
#include "navkit/favorites/pagetextindex.h"
#include "navkit/favorites/pagetextwriter.h"
#include "linkimport/keywordfetcher.h"
#include "linkimport/linkappend.h"
#include "platform/logging.h"
#include "navkit/favorites/shortcutwalk.h"

#include <QSet>
#include <QTimer>

FolderImport::FolderImport(KeywordFetcher *fetcher, QObject *parent)
    : QObject(parent)
    , m_fetcher(fetcher)
{
    // The pages read for their keywords fill the favorites' page text index
    // too: the favorites are then found by their pages' words at once.
    if (m_fetcher) {
        connect(m_fetcher, &KeywordFetcher::textRead, this,
                [this](const QString &url, const MetaReader::PageText &page) {
                    PageTextWriter::post(
                        PageTextIndex::fileFor(m_dataFile),
                        [p = PageTextIndex::Page{url, page.title, page.meta, page.text}](PageTextIndex &index) {
                            if (!index.put({p}))
                                qCWarning(lcFiles) << "page text of an imported favorite not kept" << p.url;
                        });
                });
    }
}

FolderImport::~FolderImport()
{
    PageTextWriter::waitForDone(); // the pages read are kept before the import goes
}

bool FolderImport::start(const QString &dataFile, const QString &folder)
{
    if (m_running)
        return false;
    m_running = true;
    m_aborted = false;
    m_dataFile = dataFile;
    m_folders.clear();
    m_next = 0;
    m_present = DuplicateFilter();
    m_batch.clear();
    m_keywords.clear();
    m_sinceSave.start();
    // Reading the shortcut files is quick; the saves and the pages are not,
    // and they go one folder per turn.
    m_total = folder.isEmpty()
        ? 0
        : ShortcutWalk::walk(folder, QStringLiteral("*.url"), [this](const QStringList &records, int count) {
              m_folders.append({records, count});
              return true;
          });
    QTimer::singleShot(0, this, &FolderImport::nextFolder);
    return true;
}

void FolderImport::abort()
{
    if (!m_running || m_aborted)
        return;
    m_aborted = true;
    if (m_fetcher)
        m_fetcher->abort(); // a fetch in progress ends with nothing, and so the folder
}

void FolderImport::nextFolder()
{
    if (m_aborted || m_next >= m_folders.size()) {
        // The folders read to the end are saved; the one in progress is not.
        save();
        finish();
        return;
    }
    const Folder &folder = m_folders.at(m_next);
    emit progress(folder.count);
    QStringList urls;
    for (const QString &record : folder.records) {
        if (!record.trimmed().isEmpty())
            urls.append(FavoriteRecord::field(record, FavoriteRecord::Field::Url).trimmed());
    }
    // A folder whose every address the store holds already (an import run
    // again) is neither fetched nor saved.
    if (m_present.holdsAll(m_dataFile, urls)) {
        ++m_next;
        QTimer::singleShot(0, this, &FolderImport::nextFolder);
        return;
    }
    m_toFetch.clear();
    if (m_fetcher) {
        // Only the pages of addresses the store does not hold are loaded.
        m_present.follow(m_dataFile, FavoritesStore::load(m_dataFile));
        QSet<QString> seen;
        for (const QString &url : std::as_const(urls)) {
            if (!url.isEmpty() && !m_present.contains(url) && !seen.contains(url)) {
                seen.insert(url);
                m_toFetch.append(url);
            }
        }
    }
    fetchNext();
}

void FolderImport::fetchNext()
{
    if (m_toFetch.isEmpty()) {
        saveFolder();
        return;
    }
    const QString url = m_toFetch.takeFirst();
    m_fetcher->fetchThen(url, [this, url](const std::optional<QString> &keywords) {
        if (!keywords) {
            m_aborted = true; // called off: the folder would be stored without its keywords for good
            save();
            finish();
            return;
        }
        m_keywords.insert(url, *keywords);
        fetchNext();
    });
}

void FolderImport::saveFolder()
{
    if (m_aborted) {
        save();
        finish();
        return;
    }
    m_batch += m_folders.at(m_next).records;
    ++m_next;
    if (m_sinceSave.elapsed() >= ShortcutWalk::kSaveEveryMs || m_next >= m_folders.size())
        save();
    QTimer::singleShot(0, this, &FolderImport::nextFolder);
}

void FolderImport::save()
{
    if (m_batch.isEmpty())
        return;
    // A page the store took meanwhile, or an address no page was fetched
    // for, is written without keywords rather than waited for in the lock.
    const LinkAppend::KeywordSource keywords = m_fetcher ? LinkAppend::KeywordSource([this](const QString &url) {
        return std::optional<QString>(m_keywords.value(url, QStringLiteral("no keywords")));
    })
                                                         : LinkAppend::KeywordSource();
    if (!LinkAppend::appendFavorites(m_dataFile, m_batch, keywords, m_present))
        qCWarning(lcFiles) << "shortcuts not saved to" << m_dataFile;
    m_batch.clear();
    m_keywords.clear();
    m_sinceSave.restart();
}

void FolderImport::finish()
{
    if (!m_running)
        return;
    m_running = false;
    m_folders.clear();
    emit finished(m_total);
}
