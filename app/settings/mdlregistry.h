// One registry string value per call.
#pragma once

#include "platform/registryvalue.h"

#include <QString>
#include <QVariant>

// One registry string value per call; nothing is held between calls.
namespace mdlRegistry {

inline const QString kSettingsKey = QStringLiteral("SOFTWARE\\Kestrane\\Quillon XP");
inline const QString kFormsKey = kSettingsKey + QStringLiteral("\\Forms");

// The value's text (cut before its first NUL) when it is a REG_SZ or
// REG_EXPAND_SZ value (unexpanded); an empty variant in every other case.
QVariant GetRegistryValue(RegRootKey root, const QString &subkey, const QString &valueName);

// Stores the text as REG_SZ, creating the key and its parents. A failure
// leaves the store unchanged and is not reported.
void SetRegistryValue(RegRootKey root, const QString &subkey, const QString &valueName, const QString &value);

// An empty or non-numeric result reads as 0 where a number is wanted.
int toNumber(const QVariant &value);

} // namespace mdlRegistry
