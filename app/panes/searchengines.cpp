#include "app/panes/searchengines.h"

#include "app/settings/mdlinicontrol.h"
#include "platform/profiledocument.h"

#include <QFile>
#include <QUrl>

namespace SearchEngines {

QStringList entries(const QByteArray &configBytes, const QString &prefix)
{
    const ProfileDocument doc = ProfileDocument::parse(configBytes);
    const QString section = QStringLiteral("Search");
    const qint64 count = doc.number(section, QStringLiteral("Count")).value_or(0);
    QStringList list;
    if (count < 1)
        return list;
    for (const auto &[n, value] : doc.numberedValues(section, prefix, 1, count)) {
        while (list.size() < n - 1)
            list.append(mdlIniControl::kUnknownValue);
        list.append(value.isEmpty() ? mdlIniControl::kUnknownSectionOrKey : value);
    }
    return list;
}

QStringList read(const QString &configFile, const QString &prefix)
{
    QFile file(configFile);
    return file.open(QIODevice::ReadOnly) ? entries(file.readAll(), prefix) : QStringList();
}

QString searchAddress(const QString &urlTemplate, const QString &query)
{
    QString address = urlTemplate;
    return address.replace(QStringLiteral("<%search%>"), QString::fromLatin1(QUrl::toPercentEncoding(query.trimmed())),
                           Qt::CaseSensitive);
}

} // namespace SearchEngines
