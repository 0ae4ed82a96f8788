#include "platform/logging.h"

Q_LOGGING_CATEGORY(lcRegistry, "quillon.registry", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcProfile, "quillon.profile", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcFiles, "quillon.files", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcDialog, "quillon.dialog", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcTabs, "quillon.tabs", QtCriticalMsg)
