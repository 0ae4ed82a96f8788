// The search engines of the configuration file.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The search engines of the configuration file: section "Search" with
// "Count" and the numbered keys "Text<n>" (the names listed) and "Url<n>"
// (the address templates).
namespace SearchEngines {

// The values of "<prefix>1" to "<prefix>Count" as the pane uses them: a
// missing key in between reads as "unknown value", an empty one as
// "Unknown section or key", so positions stay those of the file. The list
// ends at the last key present, whatever "Count" says.
QStringList entries(const QByteArray &configBytes, const QString &prefix);
QStringList read(const QString &configFile, const QString &prefix);

// An engine's address template with the query put in, encoded, for every
// "<%search%>" in it.
QString searchAddress(const QString &urlTemplate, const QString &query);

} // namespace SearchEngines
