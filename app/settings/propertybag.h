// A set of named values encoded as bytes, as the layout file stores them.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>
#include <utility>

// A set of named values encoded as bytes, as the layout file stores them.
// Encoding (little-endian): u32 entry count, then per entry u16 name length
// in UTF-16 units, the UTF-16LE name, u16 type, u32 byte length, the bytes.
// Types: 8 text (UTF-16LE), 0x2011 byte array; any other value is stored as
// its text. Decoding checks every length against what is left and builds
// nothing larger than the input.
class PropertyBag
{
public:
    static std::optional<PropertyBag> decode(const QByteArray &bytes);
    QByteArray encode() const;

    // Returns the default when the name is absent.
    QVariant read(const QString &name, const QVariant &defaultValue = {}) const;
    // An empty (invalid) value writes no entry.
    void write(const QString &name, const QVariant &value);

private:
    QList<std::pair<QString, QVariant>> m_entries;
};
