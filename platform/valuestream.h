// A stream of a compound file read and written as a sequence of typed values.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// A stream of a compound file read and written as a sequence of typed
// values. A string value is: type code 8 (u16), byte length (u32), then the
// UTF-16LE text. A reader never trusts a length beyond the stream's end.
class ValueStream
{
public:
    static constexpr quint16 kTypeString = 8;

    ValueStream() = default;
    explicit ValueStream(QByteArray data)
        : m_data(std::move(data))
    {}

    // The next value as a string; nullopt past the last value or when the
    // value is damaged (the position then stays where it was).
    std::optional<QString> readString();
    // The same without a copy: the view lives as long as the stream's data.
    std::optional<QStringView> readView();
    // Appends after the values already written.
    void writeString(const QString &value);
    // Appends values already in the stream's form (read from another
    // stream), without decoding them, and without copying them: they are
    // kept as a piece of their own.
    void appendValues(const QByteArray &values);

    // The stream's bytes as one buffer (pieces appended are joined once).
    const QByteArray &data() const;
    // The same as the pieces they were written in, for writing out.
    QList<QByteArray> pieces() const;
    qsizetype position() const { return m_pos; }
    void reserve(qsizetype bytes) { m_data.reserve(bytes); }

private:
    // Values appended whole, in order, before m_data.
    mutable QList<QByteArray> m_pieces;
    mutable QByteArray m_data;
    qsizetype m_pos = 0;
};
