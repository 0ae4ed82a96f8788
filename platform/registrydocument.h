// The contents of one registry file, in the text syntax of registry export files ("Windows Registry Editor Version 5.00", [key] lines, "name"=value lines).
#pragma once

#include "platform/registryvalue.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// The contents of one registry file, in the text syntax of registry export
// files ("Windows Registry Editor Version 5.00", [key] lines, "name"=value
// lines). Key and value names compare case-insensitively and keep the
// spelling they were first given.
class RegistryDocument
{
public:
    struct Key {
        QString path; // full path, root key name first
        QList<std::pair<QString, RegValue>> values;
    };

    // Reads as much as can be understood. damaged is set when any line was
    // not understood (so the caller can keep the original before rewriting).
    static RegistryDocument parse(const QByteArray &bytes, bool *damaged = nullptr);
    QByteArray serialize() const;

    // Paths are backslash-separated; empty segments are ignored.
    static QString normalizePath(const QString &path);

    bool hasKey(const QString &path) const;
    void createKey(const QString &path); // with its missing parents
    void removeKey(const QString &path); // with its sub-keys
    std::optional<RegValue> value(const QString &path, const QString &name) const;
    void setValue(const QString &path, const QString &name, const RegValue &value);
    bool removeValue(const QString &path, const QString &name);
    QStringList subKeyNames(const QString &path) const;
    const QList<Key> &keys() const { return m_keys; }

private:
    Key *findKey(const QString &normalizedPath);
    const Key *findKey(const QString &normalizedPath) const;
    void reindex();

    QList<Key> m_keys;
    QHash<QString, qsizetype> m_index; // case-folded path -> position in m_keys
};
