#include "app/settings/propertybag.h"

#include <QStringDecoder>

#include <cstring>
#include <QtEndian>

namespace {

constexpr quint16 kTypeText = 8;
constexpr quint16 kTypeBytes = 0x2011;
constexpr quint32 kMaxEntries = 4096;

class Reader
{
public:
    explicit Reader(const QByteArray &bytes)
        : m_bytes(bytes)
    {}

    template <typename T> std::optional<T> number()
    {
        if (left() < qsizetype(sizeof(T)))
            return std::nullopt;
        const T v = qFromLittleEndian<T>(m_bytes.constData() + m_pos);
        m_pos += sizeof(T);
        return v;
    }
    std::optional<QByteArray> bytes(qint64 n)
    {
        if (n < 0 || n > left())
            return std::nullopt;
        QByteArray out = m_bytes.mid(m_pos, n);
        m_pos += n;
        return out;
    }
    qsizetype left() const { return m_bytes.size() - m_pos; }

private:
    const QByteArray &m_bytes;
    qsizetype m_pos = 0;
};

template <typename T> void put(QByteArray &out, T v)
{
    char buf[sizeof(T)];
    qToLittleEndian(v, buf);
    out.append(buf, sizeof(T));
}

QByteArray utf16(const QString &s)
{
    return QByteArray(reinterpret_cast<const char *>(s.utf16()), s.size() * 2);
}

QString fromUtf16(const QByteArray &b)
{
    // Exact code units: no byte-order mark is dropped, nothing is validated.
    QString out(b.size() / 2, Qt::Uninitialized);
    std::memcpy(out.data(), b.constData(), size_t(out.size()) * 2);
    return out;
}

} // namespace

std::optional<PropertyBag> PropertyBag::decode(const QByteArray &bytes)
{
    Reader r(bytes);
    const auto count = r.number<quint32>();
    if (!count || *count > kMaxEntries)
        return std::nullopt;
    PropertyBag bag;
    for (quint32 i = 0; i < *count; ++i) {
        const auto nameLen = r.number<quint16>();
        if (!nameLen)
            return std::nullopt;
        const auto name = r.bytes(qint64(*nameLen) * 2);
        const auto type = r.number<quint16>();
        const auto len = r.number<quint32>();
        if (!name || !type || !len)
            return std::nullopt;
        const auto data = r.bytes(*len);
        if (!data)
            return std::nullopt;
        QVariant value;
        switch (*type) {
        case kTypeText:
            if (data->size() % 2)
                return std::nullopt;
            value = fromUtf16(*data);
            break;
        case kTypeBytes: value = *data; break;
        default: return std::nullopt;
        }
        bag.m_entries.append({fromUtf16(*name), value});
    }
    return bag;
}

QByteArray PropertyBag::encode() const
{
    QByteArray out;
    put<quint32>(out, quint32(m_entries.size()));
    for (const auto &[name, value] : m_entries) {
        put<quint16>(out, quint16(name.size()));
        out += utf16(name);
        QByteArray data;
        quint16 type = kTypeText;
        if (value.typeId() == QMetaType::QByteArray) {
            type = kTypeBytes;
            data = value.toByteArray();
        } else {
            data = utf16(value.toString());
        }
        put<quint16>(out, type);
        put<quint32>(out, quint32(data.size()));
        out += data;
    }
    return out;
}

QVariant PropertyBag::read(const QString &name, const QVariant &defaultValue) const
{
    for (const auto &[n, v] : m_entries) {
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return v;
    }
    return defaultValue;
}

void PropertyBag::write(const QString &name, const QVariant &value)
{
    if (!value.isValid())
        return;
    for (auto &[n, v] : m_entries) {
        if (n.compare(name, Qt::CaseInsensitive) == 0) {
            v = value;
            return;
        }
    }
    m_entries.append({name.left(0xffff), value});
}
