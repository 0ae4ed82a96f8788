#include "engine/startpage.h"

#include "platform/registrystore.h"

namespace StartPage {

namespace {
const QString kInternetSettingsKey = QStringLiteral("SOFTWARE\\Quillon\\Internet Settings");
const QString kStartPage = QStringLiteral("Start Page");
} // namespace

QString stored()
{
    const auto value = RegistryStore().queryValue(HKEY_CURRENT_USER, kInternetSettingsKey, kStartPage);
    return value && value->isString() ? value->text.trimmed() : QString();
}

QString home()
{
    const QString page = stored();
    return page.isEmpty() ? QStringLiteral("about:blank") : page;
}

void store(const QString &url)
{
    RegistryStore().setValue(HKEY_CURRENT_USER, kInternetSettingsKey, kStartPage, RegValue::string(url.trimmed()));
}

} // namespace StartPage
