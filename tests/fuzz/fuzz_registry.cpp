#include "platform/registrydocument.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    RegistryDocument doc = RegistryDocument::parse(bytes);
    // Whatever was understood must survive a rewrite unchanged.
    bool damaged = false;
    const RegistryDocument again = RegistryDocument::parse(doc.serialize(), &damaged);
    if (damaged || again.keys().size() != doc.keys().size())
        __builtin_trap();
    for (qsizetype i = 0; i < doc.keys().size(); ++i) {
        const auto &a = doc.keys().at(i);
        const auto &b = again.keys().at(i);
        if (a.path != b.path || a.values != b.values)
            __builtin_trap();
    }
    return 0;
}
