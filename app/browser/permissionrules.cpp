#include "app/browser/permissionrules.h"

namespace PermissionRules {

QString key(QWebEnginePage::Feature feature)
{
    switch (feature) {
    case QWebEnginePage::Notifications: return QStringLiteral("notifications");
    case QWebEnginePage::Geolocation: return QStringLiteral("location");
    case QWebEnginePage::MediaAudioCapture: return QStringLiteral("microphone");
    case QWebEnginePage::MediaVideoCapture: return QStringLiteral("camera");
    case QWebEnginePage::MediaAudioVideoCapture: return QStringLiteral("camera and microphone");
    case QWebEnginePage::DesktopVideoCapture:
    case QWebEnginePage::DesktopAudioVideoCapture: return QStringLiteral("screen");
    case QWebEnginePage::MouseLock: return QStringLiteral("mouse lock");
    }
    return {};
}

QString asks(QWebEnginePage::Feature feature)
{
    switch (feature) {
    case QWebEnginePage::Notifications: return QStringLiteral("show notifications");
    case QWebEnginePage::Geolocation: return QStringLiteral("know your location");
    case QWebEnginePage::MediaAudioCapture: return QStringLiteral("use your microphone");
    case QWebEnginePage::MediaVideoCapture: return QStringLiteral("use your camera");
    case QWebEnginePage::MediaAudioVideoCapture: return QStringLiteral("use your camera and microphone");
    case QWebEnginePage::DesktopVideoCapture:
    case QWebEnginePage::DesktopAudioVideoCapture: return QStringLiteral("share your screen");
    case QWebEnginePage::MouseLock: return QStringLiteral("lock the mouse pointer");
    }
    return {};
}

QString originKey(const QUrl &origin)
{
    const QUrl bare =
        origin.adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment | QUrl::RemoveUserInfo);
    return bare.toString(QUrl::FullyEncoded);
}

QString question(const QUrl &origin, QWebEnginePage::Feature feature)
{
    return originKey(origin) + QStringLiteral(" wants to ") + asks(feature) + u'.';
}

} // namespace PermissionRules
