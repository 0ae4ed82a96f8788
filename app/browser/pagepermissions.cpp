#include "app/browser/pagepermissions.h"

#include "app/browser/permissionbar.h"
#include "app/browser/permissionrules.h"
#include "app/settings/sitepermissions.h"
#include "engine/browsercontrol.h"
#include "platform/logging.h"

#include <utility>

PagePermissions::PagePermissions(BrowserControl *browser, QString file)
    : QObject(browser)
    , m_browser(browser)
    , m_file(std::move(file))
{
    connect(browser, &BrowserControl::PermissionRequested, this, &PagePermissions::onRequested);
    connect(browser, &BrowserControl::PermissionCanceled, this,
            [this](const QUrl &origin, QWebEnginePage::Feature feature) {
                const bool asked =
                    !m_waiting.isEmpty() && m_waiting.first().origin == origin && m_waiting.first().feature == feature;
                m_waiting.removeIf([&](const Request &r) { return r.origin == origin && r.feature == feature; });
                if (asked)
                    askNext();
            });
    // The page asking is no longer shown: its questions go with it.
    connect(browser, &BrowserControl::NavigateComplete2, this, [this](const QString &url) {
        if (!m_waiting.isEmpty()
            && PermissionRules::originKey(QUrl(url)) != PermissionRules::originKey(m_waiting.first().origin))
            dropAll();
    });
}

PermissionBar *PagePermissions::bar()
{
    if (!m_bar) {
        m_bar = new PermissionBar(m_browser);
        m_browser->setTopBar(m_bar);
        connect(m_bar, &PermissionBar::answered, this, &PagePermissions::onAnswered);
    }
    return m_bar;
}

void PagePermissions::onRequested(const QUrl &origin, QWebEnginePage::Feature feature)
{
    const QString key = PermissionRules::key(feature);
    if (key.isEmpty()) {
        m_browser->answerPermission(origin, feature, false);
        return;
    }
    const auto kept =
        SitePermissions::decisionFor(SitePermissions::read(m_file), PermissionRules::originKey(origin), key);
    if (kept) {
        m_browser->answerPermission(origin, feature, *kept == SitePermissions::Decision::Allow);
        return;
    }
    m_waiting.append({origin, feature});
    if (m_waiting.size() == 1)
        askNext();
}

void PagePermissions::onAnswered(bool allow, bool remember)
{
    if (m_waiting.isEmpty())
        return;
    const Request request = m_waiting.takeFirst();
    if (remember) {
        const auto entries =
            SitePermissions::with(SitePermissions::read(m_file), PermissionRules::originKey(request.origin),
                                  PermissionRules::key(request.feature),
                                  allow ? SitePermissions::Decision::Allow : SitePermissions::Decision::Block);
        SitePermissions::write(m_file, entries); // a failure is logged; the answer stands for now
    }
    m_browser->answerPermission(request.origin, request.feature, allow);
    askNext();
}

void PagePermissions::askNext()
{
    if (m_waiting.isEmpty()) {
        if (m_bar)
            m_bar->hide();
        return;
    }
    bar()->ask(PermissionRules::question(m_waiting.first().origin, m_waiting.first().feature));
}

void PagePermissions::dropAll()
{
    qCDebug(lcFiles) << "permission requests of a page no longer shown dropped:" << m_waiting.size();
    m_waiting.clear();
    if (m_bar)
        m_bar->hide();
}
