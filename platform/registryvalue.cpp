#include "platform/registryvalue.h"

#include <QtEndian>

QString rootKeyName(RegRootKey root)
{
    switch (root) {
    case HKEY_CLASSES_ROOT: return QStringLiteral("HKEY_CLASSES_ROOT");
    case HKEY_CURRENT_USER: return QStringLiteral("HKEY_CURRENT_USER");
    case HKEY_LOCAL_MACHINE: return QStringLiteral("HKEY_LOCAL_MACHINE");
    case HKEY_USERS: return QStringLiteral("HKEY_USERS");
    default: return {};
    }
}

RegValue RegValue::string(const QString &text, RegType type)
{
    RegValue v;
    v.type = type;
    v.text = text;
    return v;
}

RegValue RegValue::dword(quint32 value)
{
    RegValue v;
    v.type = RegType::Dword;
    v.data.resize(4);
    qToLittleEndian(value, v.data.data());
    return v;
}

RegValue RegValue::binary(const QByteArray &bytes, RegType type)
{
    RegValue v;
    v.type = type;
    v.data = bytes;
    return v;
}

bool RegValue::isString() const
{
    return type == RegType::Sz || type == RegType::ExpandSz || type == RegType::MultiSz;
}

quint32 RegValue::toDword() const
{
    if (data.size() < 4)
        return 0;
    return qFromLittleEndian<quint32>(data.constData());
}
