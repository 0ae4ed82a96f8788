#include "platform/profiledocument.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ProfileDocument doc = ProfileDocument::parse(bytes);
    (void)doc.value(QStringLiteral("Search"), QStringLiteral("Count"));
    (void)doc.value(QString(), QStringLiteral("a"));
    doc.setValue(QStringLiteral("Global"), QStringLiteral("Count"), QStringLiteral("7"));
    doc.setValue(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"));
    // What was just written must read back, whatever surrounded it.
    const ProfileDocument again = ProfileDocument::parse(doc.serialize());
    if (again.value(QStringLiteral("global"), QStringLiteral("count")) != QStringLiteral("7"))
        __builtin_trap();
    return 0;
}
