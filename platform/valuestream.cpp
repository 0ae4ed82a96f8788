#include "platform/valuestream.h"

#include <QtEndian>

std::optional<QStringView> ValueStream::readView()
{
    const qsizetype left = m_data.size() - m_pos;
    if (left < 6)
        return std::nullopt;
    const char *p = m_data.constData() + m_pos;
    const quint16 type = qFromLittleEndian<quint16>(p);
    const quint32 length = qFromLittleEndian<quint32>(p + 2);
    if (type != kTypeString || length % 2 != 0 || qint64(length) > qint64(left) - 6)
        return std::nullopt;
    // Values start at even offsets of an allocation, so the text is aligned.
    const auto *text = reinterpret_cast<const char16_t *>(p + 6);
    m_pos += 6 + qsizetype(length);
    return QStringView(text, qsizetype(length / 2));
}

std::optional<QString> ValueStream::readString()
{
    const auto view = readView();
    return view ? std::optional<QString>(view->toString()) : std::nullopt;
}

void ValueStream::writeString(const QString &value)
{
    char head[6];
    qToLittleEndian<quint16>(kTypeString, head);
    qToLittleEndian<quint32>(quint32(value.size() * 2), head + 2);
    m_data.append(head, 6);
    m_data.append(reinterpret_cast<const char *>(value.utf16()), value.size() * 2);
}
