// Lays out a compound file for streams already in memory.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// Lays out a compound file (version 3: 512-byte sectors, 64-byte mini
// sectors for streams under 4 KiB, every directory entry black, the streams
// a balanced tree under the root) as the pieces to write one after another.
// The streams' own buffers are among the pieces, not copied: a large store
// costs the writing of its bytes and a few sectors of tables.
namespace CompoundFileWriter {

struct Stream {
    QString name;             // at most 31 characters
    QList<QByteArray> pieces; // the stream's bytes, in order
};

// Whether a stream can be named so: 1 to 31 characters.
bool canName(const QString &name);

// The whole file as pieces; nullopt when a name is too long (or empty) or a
// stream larger than the format holds.
std::optional<QList<QByteArray>> layOut(const QList<Stream> &streams);

} // namespace CompoundFileWriter
