#include "platform/registrydocument.h"

#include <QStringDecoder>

#include <cstring>
#include <QStringList>

namespace {

const QByteArray kHeader = "Windows Registry Editor Version 5.00";

QString fold(const QString &s)
{
    return s.toCaseFolded();
}

bool isRootKeyName(const QString &name)
{
    for (RegRootKey root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS}) {
        if (name.compare(rootKeyName(root), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Reads a quoted string starting at pos (on the opening quote). Returns the
// unescaped text and moves pos past the closing quote; nullopt when unclosed.
std::optional<QString> readQuoted(const QString &line, qsizetype &pos)
{
    if (pos >= line.size() || line.at(pos) != u'"')
        return std::nullopt;
    QString out;
    for (qsizetype i = pos + 1; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == u'\\' && i + 1 < line.size()) {
            out += line.at(++i);
        } else if (c == u'"') {
            pos = i + 1;
            return out;
        } else {
            out += c;
        }
    }
    return std::nullopt;
}

QString quote(const QString &s)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : s) {
        if (c == u'\\' || c == u'"')
            out += u'\\';
        out += c;
    }
    out += u'"';
    return out;
}

std::optional<QByteArray> parseHexList(const QString &text)
{
    QByteArray out;
    const QStringList parts = text.split(u',', Qt::SkipEmptyParts);
    for (const QString &raw : parts) {
        const QString p = raw.trimmed();
        if (p.isEmpty())
            continue;
        bool ok = false;
        const uint b = p.toUInt(&ok, 16);
        if (!ok || b > 0xff || p.size() > 2)
            return std::nullopt;
        out.append(char(b));
    }
    return out;
}

QString utf16Text(const QByteArray &bytes)
{
    // Exact code units: no byte-order mark is dropped, nothing is validated.
    QString out(bytes.size() / 2, Qt::Uninitialized);
    std::memcpy(out.data(), bytes.constData(), size_t(out.size()) * 2);
    return out;
}

QByteArray utf16Bytes(const QString &text)
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

std::optional<RegValue> parseData(const QString &data)
{
    if (data.startsWith(u'"')) {
        qsizetype pos = 0;
        auto text = readQuoted(data, pos);
        if (!text || !data.mid(pos).trimmed().isEmpty())
            return std::nullopt;
        return RegValue::string(*text);
    }
    if (data.startsWith(QStringLiteral("dword:"), Qt::CaseInsensitive)) {
        const QString digits = data.mid(6).trimmed();
        bool ok = false;
        const uint v = digits.toUInt(&ok, 16);
        if (!ok || digits.size() > 8)
            return std::nullopt;
        return RegValue::dword(v);
    }
    if (data.startsWith(QStringLiteral("hex"), Qt::CaseInsensitive)) {
        quint32 type = quint32(RegType::Binary);
        qsizetype colon = data.indexOf(u':');
        if (colon < 0)
            return std::nullopt;
        const QString head = data.left(colon);
        if (head.size() > 3) {
            if (!head.startsWith(QStringLiteral("hex("), Qt::CaseInsensitive) || !head.endsWith(u')'))
                return std::nullopt;
            bool ok = false;
            type = head.mid(4, head.size() - 5).toUInt(&ok, 16);
            if (!ok)
                return std::nullopt;
        }
        auto bytes = parseHexList(data.mid(colon + 1));
        if (!bytes)
            return std::nullopt;
        const auto t = RegType(type);
        if (t == RegType::Sz || t == RegType::ExpandSz || t == RegType::MultiSz) {
            if (bytes->size() % 2 != 0)
                return std::nullopt;
            return RegValue::string(utf16Text(*bytes), t);
        }
        return RegValue::binary(*bytes, t);
    }
    return std::nullopt;
}

QString hexList(const QByteArray &bytes, qsizetype firstLineUsed)
{
    QString out;
    qsizetype column = firstLineUsed;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out += QStringLiteral("%1").arg(uchar(bytes.at(i)), 2, 16, QLatin1Char('0'));
        column += 2;
        if (i + 1 < bytes.size()) {
            out += u',';
            ++column;
            if (column > 76) {
                out += QStringLiteral("\\\n  ");
                column = 2;
            }
        }
    }
    return out;
}

bool plainStringAllowed(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return text.isValidUtf16();
}

QString serializeValue(const QString &name, const RegValue &v)
{
    QString line = name.isEmpty() ? QStringLiteral("@") : quote(name);
    line += u'=';
    switch (v.type) {
    case RegType::Sz:
        if (plainStringAllowed(v.text))
            return line + quote(v.text);
        break;
    case RegType::Dword:
        if (v.data.size() == 4)
            return line + QStringLiteral("dword:%1").arg(v.toDword(), 8, 16, QLatin1Char('0'));
        break;
    case RegType::Binary: return line + QStringLiteral("hex:") + hexList(v.data, line.size() + 4);
    default: break;
    }
    const QString head = QStringLiteral("hex(%1):").arg(quint32(v.type), 0, 16);
    const QByteArray bytes = v.isString() ? utf16Bytes(v.text) : v.data;
    return line + head + hexList(bytes, line.size() + head.size());
}

} // namespace

QString RegistryDocument::normalizePath(const QString &path)
{
    return path.split(u'\\', Qt::SkipEmptyParts).join(u'\\');
}

RegistryDocument RegistryDocument::parse(const QByteArray &bytes, bool *damaged)
{
    RegistryDocument doc;
    bool bad = false;
    QString text;
    if (bytes.startsWith("\xff\xfe")) {
        text = utf16Text(bytes.mid(2));
    } else {
        QStringDecoder decoder(QStringDecoder::Utf8);
        text = decoder.decode(bytes.startsWith("\xef\xbb\xbf") ? bytes.mid(3) : bytes);
        bad = decoder.hasError();
    }

    // Join continuation lines of hex data.
    QStringList lines;
    QString pending;
    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!pending.isEmpty())
            line = pending + line.trimmed();
        if (line.endsWith(u'\\') && line.contains(QStringLiteral("=hex"), Qt::CaseInsensitive)) {
            pending = line.chopped(1);
            continue;
        }
        pending.clear();
        lines.append(line);
    }
    if (!pending.isEmpty()) {
        lines.append(pending);
    }

    bool headerSeen = false;
    QString current; // normalized path of the key being read; empty = none
    for (const QString &raw : std::as_const(lines)) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (!headerSeen) {
            headerSeen = true;
            if (line.toUtf8() == kHeader || line == QStringLiteral("REGEDIT4"))
                continue;
            bad = true; // no header: still read what follows
        }
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']')) {
                bad = true;
                current.clear();
                continue;
            }
            const QString inner = line.mid(1, line.size() - 2);
            if (inner.startsWith(u'-')) {
                doc.removeKey(inner.mid(1));
                current.clear();
                continue;
            }
            current = normalizePath(inner);
            if (!isRootKeyName(current.section(u'\\', 0, 0))) {
                current.clear();
                bad = true;
                continue;
            }
            doc.createKey(current);
            continue;
        }
        if (current.isEmpty()) {
            bad = true;
            continue;
        }
        QString name;
        qsizetype pos = 0;
        if (line.startsWith(u'@')) {
            pos = 1;
        } else {
            auto quoted = readQuoted(line, pos);
            if (!quoted) {
                bad = true;
                continue;
            }
            name = *quoted;
        }
        while (pos < line.size() && line.at(pos).isSpace())
            ++pos;
        if (pos >= line.size() || line.at(pos) != u'=') {
            bad = true;
            continue;
        }
        const QString data = line.mid(pos + 1).trimmed();
        if (data == QStringLiteral("-")) {
            doc.removeValue(current, name);
            continue;
        }
        auto value = parseData(data);
        if (!value) {
            bad = true;
            continue;
        }
        doc.setValue(current, name, *value);
    }
    if (damaged)
        *damaged = bad;
    return doc;
}

QByteArray RegistryDocument::serialize() const
{
    QString out = QString::fromLatin1(kHeader) + QStringLiteral("\n");
    for (const Key &key : m_keys) {
        out += QStringLiteral("\n[") + key.path + QStringLiteral("]\n");
        for (const auto &[name, value] : key.values)
            out += serializeValue(name, value) + u'\n';
    }
    return out.toUtf8();
}

RegistryDocument::Key *RegistryDocument::findKey(const QString &normalizedPath)
{
    const auto it = m_index.constFind(fold(normalizedPath));
    return it == m_index.cend() ? nullptr : &m_keys[*it];
}

const RegistryDocument::Key *RegistryDocument::findKey(const QString &normalizedPath) const
{
    const auto it = m_index.constFind(fold(normalizedPath));
    return it == m_index.cend() ? nullptr : &m_keys[*it];
}

void RegistryDocument::reindex()
{
    m_index.clear();
    for (qsizetype i = 0; i < m_keys.size(); ++i)
        m_index.insert(fold(m_keys.at(i).path), i);
}

bool RegistryDocument::hasKey(const QString &path) const
{
    return findKey(normalizePath(path)) != nullptr;
}

void RegistryDocument::createKey(const QString &path)
{
    const QStringList parts = normalizePath(path).split(u'\\', Qt::SkipEmptyParts);
    QString prefix;
    for (const QString &part : parts) {
        prefix = prefix.isEmpty() ? part : prefix + u'\\' + part;
        if (!findKey(prefix)) {
            m_keys.append(Key{prefix, {}});
            m_index.insert(fold(prefix), m_keys.size() - 1);
        }
    }
}

void RegistryDocument::removeKey(const QString &path)
{
    const QString folded = fold(normalizePath(path));
    if (folded.isEmpty())
        return;
    const QString childPrefix = folded + u'\\';
    const auto before = m_keys.size();
    m_keys.removeIf([&](const Key &k) {
        const QString f = fold(k.path);
        return f == folded || f.startsWith(childPrefix);
    });
    if (m_keys.size() != before)
        reindex();
}

std::optional<RegValue> RegistryDocument::value(const QString &path, const QString &name) const
{
    const Key *key = findKey(normalizePath(path));
    if (!key)
        return std::nullopt;
    const QString folded = fold(name);
    for (const auto &[n, v] : key->values) {
        if (fold(n) == folded)
            return v;
    }
    return std::nullopt;
}

void RegistryDocument::setValue(const QString &path, const QString &name, const RegValue &value)
{
    const QString normalized = normalizePath(path);
    createKey(normalized);
    Key *key = findKey(normalized);
    const QString folded = fold(name);
    for (auto &[n, v] : key->values) {
        if (fold(n) == folded) {
            v = value;
            return;
        }
    }
    key->values.append({name, value});
}

bool RegistryDocument::removeValue(const QString &path, const QString &name)
{
    Key *key = findKey(normalizePath(path));
    if (!key)
        return false;
    const QString folded = fold(name);
    return key->values.removeIf([&](const auto &p) { return fold(p.first) == folded; }) > 0;
}

QStringList RegistryDocument::subKeyNames(const QString &path) const
{
    const QString prefix = fold(normalizePath(path)) + u'\\';
    QStringList names;
    for (const Key &k : m_keys) {
        const QString f = fold(k.path);
        if (f.startsWith(prefix) && !f.mid(prefix.size()).contains(u'\\'))
            names.append(k.path.mid(prefix.size()));
    }
    return names;
}
