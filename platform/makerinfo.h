// The maker's contact details, shown in the About box and stored in files.
#pragma once

#include <QString>

// The maker's contact details, shown in the About box and stored in files.
namespace MakerInfo {
inline const QString kWebAddress = QStringLiteral("https://quillon.example.org");
inline const QString kSupportEmail = QStringLiteral("support@quillon.example.org");
} // namespace MakerInfo
