#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <sys/mount.h>
#include <unistd.h>

// A tiny tmpfs mounted on a folder for as long as the object lives, to see
// what a save does on a full disk. Mounting needs root: mounted() says
// whether it worked, and tests skip otherwise.
class SmallDisk
{
public:
    SmallDisk(const QString &folder, const char *size)
        : m_folder(QFile::encodeName(folder))
    {
        if (::geteuid() != 0 || !QDir().mkpath(folder))
            return;
        const QByteArray options = QByteArray("mode=0700,size=") + size;
        m_mounted = ::mount("tmpfs", m_folder.constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return m_mounted; }

    // Fills the disk to its last byte with a file of that name; removing it
    // frees the room again.
    void fill(const QString &fillerPath) const
    {
        QFile filler(fillerPath);
        if (!filler.open(QIODevice::WriteOnly))
            return;
        for (const qsizetype size : {4096, 1}) {
            const QByteArray block(size, 'f');
            while (filler.write(block) == block.size() && filler.flush()) {}
        }
    }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};
