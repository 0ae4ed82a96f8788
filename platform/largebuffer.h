// Buffers of hundreds of megabytes (a large favorites store read whole).
#pragma once

#include <QByteArray>

namespace LargeBuffer {

// size bytes, not initialised. From some megabytes on, the memory is asked
// for in huge pages where the system gives them on request: filled page by
// page, a store of a million favorites (260 MB) took some 60,000 page
// faults, most of a save's time on a virtual machine.
QByteArray uninitialized(qsizetype size);

// Has the system map all of a large mapped file's pages at once, where it
// can: read page by page, each page is a fault of its own.
void populate(uchar *mapped, qsizetype size);

} // namespace LargeBuffer
