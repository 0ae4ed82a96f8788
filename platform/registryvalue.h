// Root keys, with the handle values the system gives them.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Root keys, with the handle values the system gives them.
using RegRootKey = quint32;
inline constexpr RegRootKey HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr RegRootKey HKEY_CURRENT_USER = 0x80000001u;
inline constexpr RegRootKey HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr RegRootKey HKEY_USERS = 0x80000003u;

// The name of a root key as registry files spell it ("HKEY_LOCAL_MACHINE"),
// or an empty string for an unknown handle.
QString rootKeyName(RegRootKey root);

enum class RegType : quint32 {
    None = 0,
    Sz = 1,
    ExpandSz = 2,
    Binary = 3,
    Dword = 4,
    MultiSz = 7,
};

// One stored value. String types keep their text exactly (embedded NULs
// included, no terminator added); DWORDs are four little-endian bytes.
struct RegValue {
    RegType type = RegType::None;
    QByteArray data; // raw bytes for binary types
    QString text;    // for Sz, ExpandSz and MultiSz

    static RegValue string(const QString &text, RegType type = RegType::Sz);
    static RegValue dword(quint32 value);
    static RegValue binary(const QByteArray &bytes, RegType type = RegType::Binary);

    bool isString() const;
    quint32 toDword() const;
    friend bool operator==(const RegValue &, const RegValue &) = default;
};
