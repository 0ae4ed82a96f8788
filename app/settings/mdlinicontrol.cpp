#include "app/settings/mdlinicontrol.h"

#include "platform/profilefile.h"

namespace mdlIniControl {

QString ReadIniValue(const QString &file, const QString &section, const QString &key)
{
    const auto value = ProfileFile::read(file, section, key);
    if (!value)
        return kUnknownValue;
    if (value->isEmpty())
        return kUnknownSectionOrKey;
    return *value;
}

qint16 WriteIniValue(const QString &file, const QString &section, const QString &key, const QString &value)
{
    return ProfileFile::write(file, section, key, value) ? 1 : 0;
}

bool isUnusable(const QString &value)
{
    const QString v = value.trimmed();
    return v.isEmpty() || v == kUnknownValue || v == kUnknownSectionOrKey;
}

} // namespace mdlIniControl
