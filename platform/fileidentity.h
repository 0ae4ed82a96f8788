// What tells one version of a file from another without reading it.
#pragma once

#include <QFile>
#include <QString>

#include <optional>

#include <sys/stat.h>

// What tells one version of a file from another without reading it: every
// save of a store writes a new file (a new inode) and renames it in place,
// so device, inode, size and change time together name one version.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 changed = 0; // nanoseconds
    bool operator==(const FileIdentity &) const = default;

    // Nothing when the file cannot be looked at (missing included).
    static std::optional<FileIdentity> of(const QString &path)
    {
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) != 0)
            return std::nullopt;
        return FileIdentity{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size),
                            qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    }
};
