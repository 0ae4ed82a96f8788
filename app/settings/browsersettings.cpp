#include "app/settings/browsersettings.h"

#include "platform/logging.h"
#include "app/settings/mdlregistry.h"

namespace {
QString stored(const QString &name)
{
    return mdlRegistry::GetRegistryValue(HKEY_LOCAL_MACHINE, mdlRegistry::kSettingsKey, name).toString();
}
} // namespace

BrowserSettings &BrowserSettings::instance()
{
    static BrowserSettings settings;
    return settings;
}

QString BrowserSettings::homePage()
{
    return stored(QStringLiteral("HomePage")).trimmed();
}

int BrowserSettings::loadBack()
{
    return mdlRegistry::toNumber(stored(QStringLiteral("LoadBack")));
}

bool BrowserSettings::popupStop()
{
    return mdlRegistry::toNumber(stored(QStringLiteral("AllowPopup"))) == 1;
}

bool BrowserSettings::asksWhereToSave(const QString &storedValue)
{
    return storedValue.trimmed() != QStringLiteral("0");
}

bool BrowserSettings::askDownload()
{
    return asksWhereToSave(stored(QStringLiteral("AskDownload")));
}

bool BrowserSettings::keepPageText()
{
    return stored(QStringLiteral("KeepPageText")).trimmed() != QStringLiteral("0");
}

QString BrowserSettings::downloadFolder()
{
    return stored(QStringLiteral("DownloadFolder")).trimmed();
}

void BrowserSettings::write(Value value, const QString &name, const QString &text)
{
    if (stored(name) == text)
        return;
    mdlRegistry::SetRegistryValue(HKEY_LOCAL_MACHINE, mdlRegistry::kSettingsKey, name, text);
    if (stored(name) != text) {
        qCWarning(lcRegistry) << "setting not stored" << name;
        return;
    }
    emit changed(value);
}

void BrowserSettings::setHomePage(const QString &address)
{
    write(Value::HomePage, QStringLiteral("HomePage"), address.trimmed());
}

void BrowserSettings::setLoadBack(int value)
{
    write(Value::LoadBack, QStringLiteral("LoadBack"), QString::number(value));
}

void BrowserSettings::setPopupStop(bool on)
{
    write(Value::PopupStop, QStringLiteral("AllowPopup"), on ? QStringLiteral("1") : QStringLiteral("0"));
}

void BrowserSettings::setAskDownload(bool ask)
{
    write(Value::AskDownload, QStringLiteral("AskDownload"), ask ? QStringLiteral("1") : QStringLiteral("0"));
}

void BrowserSettings::setDownloadFolder(const QString &folder)
{
    write(Value::DownloadFolder, QStringLiteral("DownloadFolder"), folder.trimmed());
}

void BrowserSettings::setKeepPageText(bool keep)
{
    write(Value::KeepPageText, QStringLiteral("KeepPageText"), keep ? QStringLiteral("1") : QStringLiteral("0"));
}
