// What the user allowed or blocked sites to do, kept per origin in a private file.
#pragma once

#include <QList>
#include <QString>

#include <optional>

// What the user allowed or blocked sites to do (show notifications, know
// the location, use the camera...), kept per origin and feature in a
// private file: one line per decision, "<origin>\t<feature>\tallow|block".
// Written whole and atomically; a file that cannot be read is set aside,
// never overwritten.
namespace SitePermissions {

enum class Decision { Allow, Block };

struct Entry {
    QString origin;  // "https://maps.example:443" as the engine names it
    QString feature; // a feature's key ("notifications", "location"...)
    Decision decision = Decision::Block;
    bool operator==(const Entry &) const = default;
};

QList<Entry> read(const QString &file);
// False (logged) when the file could not be written; it is then as it was.
bool write(const QString &file, const QList<Entry> &entries);

// The decision kept for origin and feature; none when the user was never asked to keep one.
std::optional<Decision> decisionFor(const QList<Entry> &entries, const QString &origin, const QString &feature);
// The entries with origin and feature's decision set (or, with none, removed).
QList<Entry> with(QList<Entry> entries, const QString &origin, const QString &feature,
                  std::optional<Decision> decision);

// One line of the file and back; none for a line that is no decision.
QString line(const Entry &entry);
std::optional<Entry> parse(const QString &line);

} // namespace SitePermissions
