#include "app/settings/mdlregistry.h"

#include "platform/nulterminated.h"
#include "platform/registrystore.h"

namespace mdlRegistry {

QVariant GetRegistryValue(RegRootKey root, const QString &subkey, const QString &valueName)
{
    const auto key = RegistryKey::open(root, subkey);
    if (!key)
        return {};
    const auto value = key->query(valueName);
    if (!value || (value->type != RegType::Sz && value->type != RegType::ExpandSz))
        return {};
    return NulTerminated::cut(value->text);
}

void SetRegistryValue(RegRootKey root, const QString &subkey, const QString &valueName, const QString &value)
{
    if (auto key = RegistryKey::create(root, subkey))
        key->set(valueName, RegValue::string(value));
}

int toNumber(const QVariant &value)
{
    bool ok = false;
    const int n = value.toString().trimmed().toInt(&ok);
    return ok ? n : 0;
}

} // namespace mdlRegistry
