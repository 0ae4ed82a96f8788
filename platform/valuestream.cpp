#include "platform/valuestream.h"

#include <QtEndian>

#include <utility>

std::optional<QStringView> ValueStream::readView()
{
    const QByteArray &bytes = data();
    const qsizetype left = bytes.size() - m_pos;
    if (left < 6)
        return std::nullopt;
    const char *p = bytes.constData() + m_pos;
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

void ValueStream::appendValues(const QByteArray &values)
{
    if (values.isEmpty())
        return;
    if (!m_data.isEmpty())
        m_pieces.append(std::exchange(m_data, {}));
    m_pieces.append(values);
}

const QByteArray &ValueStream::data() const
{
    if (!m_pieces.isEmpty()) {
        m_data = m_pieces.join() + m_data;
        m_pieces.clear();
    }
    return m_data;
}

QList<QByteArray> ValueStream::pieces() const
{
    QList<QByteArray> all = m_pieces;
    if (!m_data.isEmpty())
        all.append(m_data);
    return all;
}
