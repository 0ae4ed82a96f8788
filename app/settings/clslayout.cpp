#include "app/settings/clslayout.h"

#include "platform/atomicfile.h"
#include "platform/logging.h"
#include "app/settings/propertybag.h"
#include "quillon_version.h"

#include <QFile>

#include <optional>
#include <QtEndian>

namespace {
constexpr quint16 kVariantByteArray = 0x2011;
constexpr qsizetype kHeaderSize = 12;
} // namespace

clsLayout::clsLayout()
    : clsLayout(programVersionText())
{}

clsLayout::clsLayout(const QString &programVersion)
    : m_programVersion(programVersion)
{}

QString clsLayout::versionText(int major, int minor, int revision)
{
    return QStringLiteral("%1.%2.%3")
        .arg(major, 2, 10, QLatin1Char('0'))
        .arg(minor, 2, 10, QLatin1Char('0'))
        .arg(revision, 4, 10, QLatin1Char('0'));
}

QString clsLayout::programVersionText()
{
    return versionText(QUILLON_VERSION_MAJOR, QUILLON_VERSION_MINOR, QUILLON_VERSION_PATCH);
}

std::optional<QByteArray> clsLayout::bagBytes(const QByteArray &file)
{
    if (file.size() < kHeaderSize)
        return std::nullopt;
    const char *p = file.constData();
    const quint16 type = qFromLittleEndian<quint16>(p);
    const quint16 dims = qFromLittleEndian<quint16>(p + 2);
    const quint32 count = qFromLittleEndian<quint32>(p + 4);
    const quint32 lowerBound = qFromLittleEndian<quint32>(p + 8);
    if (type != kVariantByteArray || dims != 1 || lowerBound != 0)
        return std::nullopt;
    if (qint64(count) > qint64(file.size()) - kHeaderSize)
        return std::nullopt;
    return file.mid(kHeaderSize, qsizetype(count));
}

void clsLayout::Load(const QString &datafile)
{
    QFile file(datafile);
    // Opening for writing too creates a missing file, as the program always has.
    if (!file.open(QIODevice::ReadWrite) && !file.open(QIODevice::ReadOnly)) {
        qCWarning(lcFiles) << "cannot open layout file" << datafile;
        return;
    }
    const QByteArray content = file.readAll();
    file.close();

    const auto bytes = bagBytes(content);
    const auto bag = bytes ? PropertyBag::decode(*bytes) : std::nullopt;
    if (!bag) {
        if (!content.isEmpty())
            qCWarning(lcFiles) << "layout file not readable" << datafile;
        return;
    }
    m_versionRead = bag->read(QStringLiteral("Version"), QString()).toString();
    if (m_versionRead == m_programVersion)
        m_layout = bag->read(QStringLiteral("Layout"));
}

bool clsLayout::Save(const QString &datafile)
{
    // A file that cannot be read is kept aside rather than silently replaced.
    std::optional<QByteArray> stored;
    if (QFile old(datafile); old.open(QIODevice::ReadOnly)) {
        stored = old.readAll();
        old.close();
        const auto bytes = bagBytes(*stored);
        if (!stored->isEmpty() && !(bytes && PropertyBag::decode(*bytes)) && AtomicFile::setAside(datafile).isEmpty())
            return false;
    }

    PropertyBag bag;
    bag.write(QStringLiteral("Version"), m_programVersion);
    bag.write(QStringLiteral("Layout"), m_layout);
    const QByteArray data = bag.encode();

    QByteArray out(kHeaderSize, '\0');
    qToLittleEndian<quint16>(kVariantByteArray, out.data());
    qToLittleEndian<quint16>(1, out.data() + 2);
    qToLittleEndian<quint32>(quint32(data.size()), out.data() + 4);
    qToLittleEndian<quint32>(0, out.data() + 8);
    out += data;
    // The same layout as stored (most exits) costs no disk flush.
    if (stored == out)
        return true;
    if (!AtomicFile::write(datafile, out)) {
        qCWarning(lcFiles) << "layout not saved" << datafile;
        return false;
    }
    return true;
}
