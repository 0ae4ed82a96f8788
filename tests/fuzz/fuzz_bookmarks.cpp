// Reading a bookmarks file of arbitrary contents, and writing what was read
// back and reading it again: the same records, in the same order.
#include "navkit/favorites/bookmarkshtml.h"
#include "navkit/records/favoriterecord.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<BookmarksHtml::Bookmark> read =
        BookmarksHtml::parse(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)));
    QStringList records;
    QStringList addresses;
    for (const BookmarksHtml::Bookmark &b : read) {
        const QString record = BookmarksHtml::toRecord(b);
        records.append(record);
        addresses.append(FavoriteRecord::field(record, FavoriteRecord::Field::Url).trimmed());
        if (FavoriteRecord::field(record, FavoriteRecord::Field::Keywords).size() > 4 * 1024 * 1024)
            __builtin_trap();
    }
    QStringList again;
    for (const BookmarksHtml::Bookmark &b : BookmarksHtml::parse(BookmarksHtml::write(records)))
        again.append(BookmarksHtml::toRecord(b));
    QStringList written;
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (!addresses.at(i).isEmpty())
            written.append(records.at(i));
    }
    if (again != written)
        __builtin_trap();
    return 0;
}
