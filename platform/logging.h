// The logging categories every swallowed failure is reported to (off by default).
#pragma once

#include <QLoggingCategory>

// Failures are never shown to the user; they are logged here instead.
// All categories are silent by default; enable with
// QT_LOGGING_RULES="quillon.*=true".
Q_DECLARE_LOGGING_CATEGORY(lcRegistry)
Q_DECLARE_LOGGING_CATEGORY(lcProfile)
Q_DECLARE_LOGGING_CATEGORY(lcFiles)
Q_DECLARE_LOGGING_CATEGORY(lcDialog)
Q_DECLARE_LOGGING_CATEGORY(lcTabs)
