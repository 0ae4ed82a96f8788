// The browser as the start-up benchmark runs it: the real window, reporting
// when its pages are in.
#include "engine/browsercontrol.h"
#include "app/mainwindow/browserstartup.h"
#include "app/browser/browsertab.h"
#include "app/mainwindow/browsertabs.h"
#include "platform/dockframe.h"
#include "platform/documentwindow.h"
#include "app/mainwindow/mainwindow.h"
#include "platform/platformpaths.h"
#include "userdataprobe.h"

#include <QCoreApplication>
#include <QSet>
#include <QTextStream>
#include <QTimer>

#include <memory>

namespace {

// The browser with the benchmarks' hooks, chosen by QUILLON_BENCH:
//   QUILLON_BENCH=first-document  print the time from start to the home
//                                 tab's first completed page, then quit;
//   QUILLON_BENCH=first-document-stay  the same, and keep running;
//   QUILLON_BENCH=userdata        the same as first-document-stay, with
//                                 the user-data benchmark's probe;
//   QUILLON_BENCH=all-loaded      show every tab once, print "loaded" once
//                                 every tab has finished loading, and keep
//                                 running.
void benchHooks(Form1 &form, const QElapsedTimer &clock)
{
    const QByteArray mode = qgetenv("QUILLON_BENCH");
    if (mode == "userdata")
        new UserDataProbe(&form, PlatformPaths::programFolder() + QStringLiteral("/_data/_favorites.dat"));
    if (mode == "first-document" || mode == "first-document-stay" || mode == "userdata") {
        const bool stay = mode != "first-document";
        // The first page completed in any tab: the home tab's, or the page
        // the browser was started for.
        auto printed = std::make_shared<bool>(false);
        QObject::connect(form.tabs(), &BrowserTabs::tabOpened, &form, [printed, &clock, stay](Form2 *tab) {
            QObject::connect(tab->wb1(), &BrowserControl::DocumentComplete, tab,
                             [printed, &clock, tab, stay](const QString &url) {
                                 if (*printed || url == QStringLiteral("about:blank"))
                                     return;
                                 *printed = true;
                                 QTextStream(stdout) << "first-document-ms " << clock.nsecsElapsed() / 1e6 << ' '
                                                     << tab->wb1()->LocationName() << Qt::endl;
                                 if (!stay)
                                     QCoreApplication::exit(0);
                             });
        });
    } else if (mode == "all-loaded") {
        // A tab counts once its page has completed (an address alone is
        // there before the page is).
        auto done = std::make_shared<QSet<Form2 *>>();
        QObject::connect(form.tabs(), &BrowserTabs::tabOpened, &form, [done](Form2 *tab) {
            QObject::connect(tab->wb1(), &BrowserControl::DocumentComplete, tab, [done, tab](const QString &url) {
                if (!url.isEmpty() && url != QStringLiteral("about:blank"))
                    done->insert(tab);
            });
        });
        auto *poll = new QTimer(&form);
        QObject::connect(poll, &QTimer::timeout, &form, [&form, poll, done] {
            // Restored tabs load when shown: each is shown once, so that
            // every tab holds its page, then the first is brought back.
            for (DocumentWindow *w : form.dsMain()->documents()) {
                auto *tab = qobject_cast<Form2 *>(w->hostedForm());
                if (tab && tab->loadPending()) {
                    w->activate();
                    return;
                }
            }
            if (DocumentWindow *first = form.dsMain()->document(1); first && first != form.dsMain()->activeDocument())
                first->activate();
            int tabs = 0;
            QString title;
            for (DocumentWindow *w : form.dsMain()->documents()) {
                auto *tab = qobject_cast<Form2 *>(w->hostedForm());
                if (!tab)
                    continue;
                if (!done->contains(tab) || tab->wb1()->Busy())
                    return;
                title = tab->wb1()->LocationName();
                ++tabs;
            }
            if (tabs == 0)
                return;
            poll->stop();
            QTextStream(stdout) << "loaded " << tabs << " tabs, " << title << Qt::endl;
        });
        poll->start(50);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    BrowserStartup::endProcess(BrowserStartup::run(argc, argv, benchHooks));
}
