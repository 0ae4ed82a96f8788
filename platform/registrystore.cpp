#include "platform/registrystore.h"

#include "platform/atomicfile.h"
#include "platform/filelock.h"
#include "platform/logging.h"
#include "platform/platformpaths.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <optional>

namespace {

// Names with control characters cannot be written to a registry file.
bool writableName(const QString &name)
{
    for (const QChar c : name) {
        if (c.unicode() < 0x20)
            return false;
    }
    return true;
}

} // namespace

RegistryStore::RegistryStore()
    : m_folder(PlatformPaths::registryDir())
{}

RegistryStore::RegistryStore(const QString &folder)
    : m_folder(folder)
{}

QString RegistryStore::filePath(RegRootKey root) const
{
    const QString name = rootKeyName(root);
    return name.isEmpty() ? QString() : m_folder + u'/' + name + QStringLiteral(".reg");
}

QString RegistryStore::fullPath(RegRootKey root, const QString &subkey) const
{
    const QString normalized = RegistryDocument::normalizePath(subkey);
    const QString rootName = rootKeyName(root);
    return normalized.isEmpty() ? rootName : rootName + u'\\' + normalized;
}

RegistryDocument RegistryStore::read(RegRootKey root) const
{
    QFile file(filePath(root));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    bool damaged = false;
    RegistryDocument doc = RegistryDocument::parse(file.readAll(), &damaged);
    if (damaged)
        qCWarning(lcRegistry) << "damaged registry file read in part" << file.fileName();
    return doc;
}

bool RegistryStore::keyExists(RegRootKey root, const QString &subkey) const
{
    if (rootKeyName(root).isEmpty())
        return false;
    if (RegistryDocument::normalizePath(subkey).isEmpty())
        return true; // a root key always exists
    return read(root).hasKey(fullPath(root, subkey));
}

std::optional<RegValue> RegistryStore::queryValue(RegRootKey root, const QString &subkey, const QString &name) const
{
    if (rootKeyName(root).isEmpty())
        return std::nullopt;
    return read(root).value(fullPath(root, subkey), name);
}

QStringList RegistryStore::subKeyNames(RegRootKey root, const QString &subkey) const
{
    if (rootKeyName(root).isEmpty())
        return {};
    return read(root).subKeyNames(fullPath(root, subkey));
}

bool RegistryStore::modify(RegRootKey root, const std::function<bool(RegistryDocument &)> &change)
{
    const QString path = filePath(root);
    if (path.isEmpty()) {
        qCWarning(lcRegistry) << "unknown root key" << Qt::hex << root;
        return false;
    }
    if (!PlatformPaths::makePrivateFolder(m_folder)) {
        qCWarning(lcRegistry) << "cannot create registry folder" << m_folder;
        return false;
    }
    const FileLock lock(path, FileLock::Mode::Exclusive, std::chrono::milliseconds(m_lockTimeoutMs));
    if (!lock.isLocked()) {
        qCWarning(lcRegistry) << "cannot lock registry file" << path;
        return false;
    }

    RegistryDocument doc;
    QFile file(path);
    std::optional<QByteArray> stored;
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly)) {
            qCWarning(lcRegistry) << "cannot read registry file" << path;
            return false;
        }
        stored = file.readAll();
        bool damaged = false;
        doc = RegistryDocument::parse(*stored, &damaged);
        file.close();
        // What could not be parsed would be lost by the rewrite: keep it.
        if (damaged && AtomicFile::setAside(path).isEmpty())
            return false;
    }
    if (!change(doc))
        return false;
    const QByteArray bytes = doc.serialize();
    // Values stored again as they are (the window's place at every exit)
    // cost no disk flush.
    if (stored == bytes)
        return true;
    if (!AtomicFile::write(path, bytes)) {
        qCWarning(lcRegistry) << "registry write failed" << path;
        return false;
    }
    return true;
}

bool RegistryStore::createKey(RegRootKey root, const QString &subkey)
{
    if (!writableName(subkey))
        return false;
    if (RegistryDocument::normalizePath(subkey).isEmpty())
        return !rootKeyName(root).isEmpty();
    if (keyExists(root, subkey))
        return true;
    return modify(root, [&](RegistryDocument &doc) {
        doc.createKey(fullPath(root, subkey));
        return true;
    });
}

bool RegistryStore::setValue(RegRootKey root, const QString &subkey, const QString &name, const RegValue &value)
{
    return setValues(root, subkey, {{name, value}});
}

bool RegistryStore::setValues(RegRootKey root, const QString &subkey, const QList<std::pair<QString, RegValue>> &values)
{
    const bool writable = writableName(subkey)
        && std::all_of(values.begin(), values.end(), [](const auto &v) { return writableName(v.first); });
    if (!writable) {
        qCWarning(lcRegistry) << "name cannot be stored" << subkey;
        return false;
    }
    return modify(root, [&](RegistryDocument &doc) {
        for (const auto &[name, value] : values)
            doc.setValue(fullPath(root, subkey), name, value);
        return true;
    });
}

bool RegistryStore::deleteValue(RegRootKey root, const QString &subkey, const QString &name)
{
    return modify(root, [&](RegistryDocument &doc) { return doc.removeValue(fullPath(root, subkey), name); });
}

bool RegistryStore::deleteKey(RegRootKey root, const QString &subkey)
{
    if (RegistryDocument::normalizePath(subkey).isEmpty())
        return false; // a root key cannot be deleted
    return modify(root, [&](RegistryDocument &doc) {
        const QString path = fullPath(root, subkey);
        if (!doc.hasKey(path))
            return false;
        doc.removeKey(path);
        return true;
    });
}

RegistryKey::RegistryKey(RegistryStore store, RegRootKey root, QString subkey)
    : m_store(std::move(store))
    , m_root(root)
    , m_subkey(std::move(subkey))
{}

std::optional<RegistryKey> RegistryKey::open(RegRootKey root, const QString &subkey, const RegistryStore &store)
{
    if (!store.keyExists(root, subkey))
        return std::nullopt;
    return RegistryKey(store, root, subkey);
}

std::optional<RegistryKey> RegistryKey::create(RegRootKey root, const QString &subkey, const RegistryStore &store)
{
    RegistryStore writable = store;
    if (!writable.createKey(root, subkey))
        return std::nullopt;
    return RegistryKey(writable, root, subkey);
}

std::optional<RegValue> RegistryKey::query(const QString &name) const
{
    return m_store.queryValue(m_root, m_subkey, name);
}

bool RegistryKey::set(const QString &name, const RegValue &value)
{
    return m_store.setValue(m_root, m_subkey, name, value);
}
