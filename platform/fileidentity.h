// What tells one version of a file from another without reading it.
#pragma once

#include <QString>

#include <optional>

// What tells one version of a file from another without reading it: every
// save of a store writes a new file (a new inode) and renames it in place,
// so device, inode, size and change time together name one version. Not
// quite: the next save but one may get the inode the last one freed, with
// the same size, within the clock's tick (some milliseconds). The inode's
// generation, drawn afresh each time the file system hands an inode out,
// tells those apart where the file system keeps one (0 where it does not).
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 changed = 0; // nanoseconds
    quint64 generation = 0;
    bool operator==(const FileIdentity &) const = default;

    // Reading the generation opens the file, and closing it drops every
    // POSIX lock this process holds on the file: a database's (SQLite's)
    // is only looked at, its generation left 0.
    enum class Generation { Read, Skip };
    // Nothing when the file cannot be looked at (missing included).
    static std::optional<FileIdentity> of(const QString &path, Generation generation = Generation::Read);
};
