// What the browser does with a site whose certificate cannot be trusted.
#pragma once

#include <QSet>
#include <QString>
#include <QUrl>

#include <optional>

class QWebEngineCertificateError;

// A site whose certificate cannot be trusted is not loaded and no dialog
// asks: the load fails, a page of our own says why and offers a way on, and
// only a click on that page's own link (carrying a token made for it, used
// once) passes the site, for the rest of the run. One per browser control;
// the passed sites are the program's.
class CertificatePolicy
{
public:
    // What became of a navigation request to the certificate page's way on.
    enum class WayOn { NotAsked, Refused, Granted };

    // Another address was asked for: nothing is offered any more.
    void forget();
    // The page shown left the certificate page.
    void pageLeft() { m_errorPageFor.clear(); }
    // The engine's question: a site the user passed is accepted; any other
    // error is refused, and an overridable one is kept to offer the way on
    // when the load has failed.
    void decide(QWebEngineCertificateError &error);
    // After a failed load: whether the certificate page is to be shown.
    bool offerAfterFailedLoad();
    // The certificate page with a fresh token; none when another address
    // was asked for meanwhile.
    std::optional<QString> offerPage();
    // A navigation request: the certificate page's way on is granted only
    // for a click carrying the token, to the refused site; target is then
    // where to go.
    WayOn wayOn(const QUrl &url, bool clicked, QUrl *target);
    // Whether the user passed the certificate error of the page shown.
    static bool passed(const QUrl &shown);
    // The site the certificate page on display stands for (invalid when it
    // is not shown).
    QUrl standsFor() const { return m_errorPageFor; }

private:
    static QString siteKey(const QUrl &url);
    static QSet<QString> &passedSites();

    QUrl m_blocked; // the address whose certificate was refused in this load
    QString m_problem;
    QUrl m_offered;      // shown on the certificate page, with a way on
    QUrl m_errorPageFor; // the site the certificate page shown stands for
    QString m_token;     // the certificate page's way on carries it; one use
};
