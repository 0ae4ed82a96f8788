#include "engine/certificatepolicy.h"

#include "engine/errorpages.h"
#include "platform/logging.h"

#include <QRandomGenerator>
#include <QWebEngineCertificateError>

QString CertificatePolicy::siteKey(const QUrl &url)
{
    return url.host() + u':' + QString::number(url.port(443));
}

QSet<QString> &CertificatePolicy::passedSites()
{
    static QSet<QString> sites;
    return sites;
}

void CertificatePolicy::forget()
{
    m_offered.clear();
    m_errorPageFor.clear();
    m_token.clear();
}

void CertificatePolicy::decide(QWebEngineCertificateError &error)
{
    if (error.isOverridable() && passedSites().contains(siteKey(error.url()))) {
        error.acceptCertificate();
        return;
    }
    if (error.isOverridable()) {
        m_blocked = error.url();
        m_problem = error.description();
    }
    error.rejectCertificate();
}

bool CertificatePolicy::offerAfterFailedLoad()
{
    if (!m_blocked.isValid())
        return false;
    m_offered = m_blocked;
    m_blocked.clear();
    return true;
}

std::optional<QString> CertificatePolicy::offerPage()
{
    if (!m_offered.isValid())
        return std::nullopt;
    m_errorPageFor = m_offered;
    m_token = QString::number(QRandomGenerator::system()->generate64(), 36)
        + QString::number(QRandomGenerator::system()->generate64(), 36);
    return ErrorPages::certificateRefused(m_offered, m_problem, m_token);
}

CertificatePolicy::WayOn CertificatePolicy::wayOn(const QUrl &url, bool clicked, QUrl *target)
{
    if (!url.fragment().startsWith(ErrorPages::kContinueFragment))
        return WayOn::NotAsked;
    *target = url;
    target->setFragment(QString());
    const bool granted = clicked && !m_token.isEmpty() && m_offered.isValid() && m_errorPageFor.isValid()
        && url.fragment() == ErrorPages::continueFragment(m_token) && target->host() == m_offered.host()
        && target->port(443) == m_offered.port(443);
    if (!granted) {
        qCWarning(lcFiles) << "a way past a certificate error was refused" << target->host();
        return WayOn::Refused;
    }
    m_token.clear(); // one use
    passedSites().insert(siteKey(*target));
    m_offered.clear();
    return WayOn::Granted;
}

bool CertificatePolicy::passed(const QUrl &shown)
{
    return shown.scheme() == QStringLiteral("https") && passedSites().contains(siteKey(shown));
}
