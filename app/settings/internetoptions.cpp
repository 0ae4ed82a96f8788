#include "app/settings/internetoptions.h"

#include "engine/startpage.h"
#include "engine/browserprofile.h"
#include "platform/logging.h"
#include "platform/urlhistorystore.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPromise>
#include <QPushButton>
#include <QThreadPool>
#include <QWebEngineCookieStore>
#include <QWebEngineProfile>

namespace {

QThreadPool &clearing()
{
    static QThreadPool pool;
    static const bool once = [] {
        pool.setMaxThreadCount(1);
        pool.setObjectName(QStringLiteral("HistoryClearing"));
        return true;
    }();
    Q_UNUSED(once);
    return pool;
}

} // namespace

InternetOptions::InternetOptions(QWidget *parent)
    : QDialog(parent)
    , m_startPage(new QLineEdit(StartPage::stored(), this))
{
    // Left empty, Home goes to the home page of the program's settings.
    m_startPage->setPlaceholderText(QStringLiteral("The home page of Settings"));
    setWindowTitle(QStringLiteral("Internet Options"));
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("Home page:"), m_startPage);
    auto *blank = new QPushButton(QStringLiteral("Use Blank"), this);
    connect(blank, &QPushButton::clicked, this, [this] { m_startPage->setText(QStringLiteral("about:blank")); });
    form->addRow(QString(), blank);
    auto *row = new QHBoxLayout;
    auto *history = new QPushButton(QStringLiteral("Clear History"), this);
    auto *cookies = new QPushButton(QStringLiteral("Delete Cookies and Files"), this);
    row->addWidget(history);
    row->addWidget(cookies);
    form->addRow(QStringLiteral("Browsing history:"), row);
    connect(history, &QPushButton::clicked, this, [history] {
        history->setEnabled(false);
        // Offered again only when it failed; nothing follows a closed dialog.
        clearHistory().then(history, [history](bool cleared) { history->setEnabled(!cleared); });
    });
    connect(cookies, &QPushButton::clicked, this, [cookies] {
        clearCookiesAndCache();
        cookies->setEnabled(false);
    });
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        // Only a start page the user gave is stored: an unchanged empty box
        // must not turn into a blank start page.
        if (m_startPage->text().trimmed() != StartPage::stored())
            StartPage::store(m_startPage->text());
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

QFuture<bool> InternetOptions::clearHistory()
{
    auto promise = std::make_shared<QPromise<bool>>();
    QFuture<bool> future = promise->future();
    promise->start();
    clearing().start([promise] {
        const bool cleared = UrlHistoryStore().clear();
        if (!cleared)
            qCWarning(lcFiles) << "history not cleared";
        promise->addResult(cleared);
        promise->finish();
    });
    return future;
}

void InternetOptions::waitForClearing()
{
    clearing().waitForDone();
}

void InternetOptions::clearCookiesAndCache()
{
    QWebEngineProfile *profile = BrowserProfile::instance();
    profile->cookieStore()->deleteAllCookies();
    profile->clearHttpCache();
}
