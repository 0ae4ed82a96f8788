// One key of one section of a profile (INI) file per call.
#pragma once

#include <QString>

// One key of one section of a profile (INI) file per call.
namespace mdlIniControl {

// What ReadIniValue answers when nothing usable is stored. Callers compare
// against both.
inline const QString kUnknownValue = QStringLiteral("unknown value");                 // file, section or key missing
inline const QString kUnknownSectionOrKey = QStringLiteral("Unknown section or key"); // empty value

// The stored value, whole; or one of the two strings above.
QString ReadIniValue(const QString &file, const QString &section, const QString &key);

// Non-zero on success. Nobody needs to look at it.
qint16 WriteIniValue(const QString &file, const QString &section, const QString &key, const QString &value);

// True when a ReadIniValue result holds nothing usable: blank, or one of
// the two not-found strings.
bool isUnusable(const QString &value);

} // namespace mdlIniControl
