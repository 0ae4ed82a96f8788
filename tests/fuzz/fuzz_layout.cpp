#include "app/settings/clslayout.h"
#include "app/settings/propertybag.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    // Both the whole file and a bare bag, so the bag decoder is reached often.
    if (const auto bag = clsLayout::bagBytes(bytes))
        (void)PropertyBag::decode(*bag);
    if (const auto bag = PropertyBag::decode(bytes)) {
        (void)bag->read(QStringLiteral("Version"));
        (void)PropertyBag::decode(bag->encode());
    }
    return 0;
}
