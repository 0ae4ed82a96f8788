// The stand-in for the system registry.
#pragma once

#include "platform/registrydocument.h"
#include "platform/registryvalue.h"

#include <QList>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

// The stand-in for the system registry: one text file per root key in a
// folder (by default the platform root's "registry" folder). Every call
// reads the file afresh; every change is a locked read-modify-write that
// replaces the file atomically, so several processes can share the store.
class RegistryStore
{
public:
    RegistryStore();
    explicit RegistryStore(const QString &folder);

    QString filePath(RegRootKey root) const;
    // How long a write waits for another process's lock.
    void setLockTimeout(int milliseconds) { m_lockTimeoutMs = milliseconds; }

    bool keyExists(RegRootKey root, const QString &subkey) const;
    std::optional<RegValue> queryValue(RegRootKey root, const QString &subkey, const QString &name) const;
    QStringList subKeyNames(RegRootKey root, const QString &subkey) const;

    // Each returns false (and logs) when the store cannot be written; the
    // values stored before stay as they were.
    bool createKey(RegRootKey root, const QString &subkey);
    bool setValue(RegRootKey root, const QString &subkey, const QString &name, const RegValue &value);
    // Several values of one key in one write.
    bool setValues(RegRootKey root, const QString &subkey, const QList<std::pair<QString, RegValue>> &values);
    bool deleteValue(RegRootKey root, const QString &subkey, const QString &name);
    bool deleteKey(RegRootKey root, const QString &subkey);

private:
    QString fullPath(RegRootKey root, const QString &subkey) const;
    RegistryDocument read(RegRootKey root) const;
    bool modify(RegRootKey root, const std::function<bool(RegistryDocument &)> &change);

    QString m_folder;
    int m_lockTimeoutMs = 10000;
};

// A handle on one key, in the shape the registry functions have: open fails
// when the key is missing, create makes it with its missing parents.
// Closing is the end of the object's life.
class RegistryKey
{
public:
    static std::optional<RegistryKey> open(RegRootKey root, const QString &subkey,
                                           const RegistryStore &store = RegistryStore());
    static std::optional<RegistryKey> create(RegRootKey root, const QString &subkey,
                                             const RegistryStore &store = RegistryStore());

    std::optional<RegValue> query(const QString &name) const;
    bool set(const QString &name, const RegValue &value);

private:
    RegistryKey(RegistryStore store, RegRootKey root, QString subkey);

    RegistryStore m_store;
    RegRootKey m_root;
    QString m_subkey;
};
