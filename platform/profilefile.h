// The stand-in for the system's profile-file functions.
#pragma once

#include <QString>

#include <optional>

// The stand-in for the system's profile-file functions: one key of one
// section of an INI file. The "ANSI code page" is UTF-8.
namespace ProfileFile {

// The stored value, or nullopt when the file, the section or the key is
// missing. The value is returned whole, however long.
std::optional<QString> read(const QString &path, const QString &section, const QString &key);

// Creates the file, the section and the key as needed or replaces the
// key's value. The whole file is replaced atomically. Fails without
// creating anything when the folder does not exist, and refuses names and
// values that would break the file's line structure.
bool write(const QString &path, const QString &section, const QString &key, const QString &value);

} // namespace ProfileFile
