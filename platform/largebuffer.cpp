#include "platform/largebuffer.h"

#include "platform/logging.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include <cerrno>

namespace LargeBuffer {

namespace {

// Smaller buffers come from the allocator's own heap, which they share, and
// smaller files are read in a few faults.
constexpr qsizetype kHugeFrom = qsizetype(8) << 20;

} // namespace

QByteArray uninitialized(qsizetype size)
{
    QByteArray data(size, Qt::Uninitialized);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (size >= kHugeFrom) {
        // Only whole huge pages inside the buffer: the advice covers the
        // mapping, and its ends may hold the allocator's own data.
        constexpr quintptr kHuge = quintptr(2) << 20;
        const auto first = reinterpret_cast<quintptr>(data.data());
        const quintptr begin = (first + kHuge - 1) & ~(kHuge - 1);
        const quintptr end = (first + quintptr(size)) & ~(kHuge - 1);
        // Without it (huge pages off, an older kernel) the buffer is as good,
        // only slower to fill.
        if (end > begin && ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE) != 0)
            qCDebug(lcFiles) << "no huge pages for a buffer:" << qt_error_string(errno);
    }
#endif
    return data;
}

void populate(uchar *mapped, qsizetype size)
{
#if defined(__linux__) && defined(MADV_POPULATE_READ)
    // A kernel without it (before 5.14) says so, and the pages come in as
    // they are read.
    if (size >= kHugeFrom && ::madvise(mapped, size_t(size), MADV_POPULATE_READ) != 0)
        qCDebug(lcFiles) << "mapped file's pages not read in at once:" << qt_error_string(errno);
#else
    Q_UNUSED(mapped)
    Q_UNUSED(size)
#endif
}

} // namespace LargeBuffer
