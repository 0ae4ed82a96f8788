// The stand-in for the structured-storage component.
#pragma once

#include "platform/valuestream.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>
#include <utility>

class FileLock;

// The stand-in for the structured-storage component: an OLE2 compound file
// (read with libgsf, laid out by CompoundFileWriter) holding named streams of values and the
// standard SummaryInformation property set.
//
// A CompoundFile is the open storage. Opened for writing it holds the file
// exclusively from create/open until it is destroyed; opened for reading it
// keeps writers out only while it is open, and needs no write access. The whole file is read at open; every
// change stays in memory until commit, which writes a new file beside the
// old one, syncs it and renames it over, so a crash at any moment leaves
// either the old file or the new one, whole.
class CompoundFile
{
public:
    enum class Summary { Title, Subject, Author, Comments, LastSavedBy, RevisionNumber };

    struct Contents {
        QList<std::pair<QString, QByteArray>> streams; // in file order
        QMap<Summary, QString> summary;
    };

    ~CompoundFile();
    CompoundFile(const CompoundFile &) = delete;
    CompoundFile &operator=(const CompoundFile &) = delete;

    enum class Access { Read, Write };
    enum class IfDamaged { Fail, SetAside };
    using Wait = std::chrono::milliseconds;

    // A storage for a new, empty compound file at path (written by commit).
    // Fails when the file is still held by someone else after the wait.
    static std::unique_ptr<CompoundFile> create(const QString &path, Wait wait = Wait(0));
    // A storage for the existing file. Fails when it is missing, held by
    // someone else after the wait, or not a compound file.
    static std::unique_ptr<CompoundFile> open(const QString &path, Access access = Access::Write, Wait wait = Wait(0));
    // For a save: the existing file, or a new one when there is none. A file
    // that is not a compound file at all is copied aside first (SetAside) and
    // replaced by an empty one, or refused (Fail).
    static std::unique_ptr<CompoundFile> openOrCreate(const QString &path, Wait wait, IfDamaged ifDamaged);

    // The stream positioned at its first value; nullptr when absent.
    ValueStream *openStream(const QString &name);
    // An empty stream, replacing any stream of that name.
    ValueStream *createStream(const QString &name);
    // Makes every change durable. False (and the old file kept) on failure.
    bool commit();

    QString summary(Summary field) const { return m_contents.summary.value(field); }
    void setSummary(Summary field, const QString &value) { m_contents.summary.insert(field, value); }
    QString path() const { return m_path; }

    // The readable parts of a compound file's bytes; nullopt when it is not
    // one at all. Damaged streams are left out.
    static std::optional<Contents> parse(const QByteArray &bytes);
    static QByteArray serialize(const Contents &contents);

private:
    CompoundFile(QString path, std::unique_ptr<FileLock> lock);
    // Reads the file under a lock already taken; false when it is no compound file.
    bool readContents();

    QString m_path;
    std::unique_ptr<FileLock> m_lock;
    Contents m_contents;
    QMap<QString, ValueStream> m_open; // streams handed out, by name
};
