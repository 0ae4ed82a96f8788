#pragma once

#include "engine/browsercontrol.h"
#include "engine/browserpage.h"
#include "platform/dockframe.h"
#include "platform/documentwindow.h"
#include "app/mainwindow/mainwindow.h"
#include "engine/metareader.h"
#include "app/browser/browsertab.h"
#include "app/settings/mdlinicontrol.h"
#include "app/settings/mdlregistry.h"
#include "app/settings/programstate.h"
#include "testenvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QWebEngineView>
#include <QWebEngineScript>

#include <functional>
#include <memory>

// Starting and stopping the whole browser in a test.
namespace BrowserFixture {

inline constexpr int kTimeout = 20000;

inline Form2 *tabAt(Form1 *main, int position)
{
    DocumentWindow *w = main->dsMain()->document(position);
    return w ? qobject_cast<Form2 *>(w->hostedForm()) : nullptr;
}

// A program folder as installed (with its data folder and the component
// library), and the home page the browser starts on.
inline bool prepareProgramFolder(const TestEnvironment &env, const QByteArray &componentLibrary,
                                 const QString &homePage)
{
    if (!QDir().mkpath(env.programDir() + QStringLiteral("/_data")) || !env.installComponents(componentLibrary))
        return false;
    mdlRegistry::SetRegistryValue(HKEY_LOCAL_MACHINE, mdlRegistry::kSettingsKey, QStringLiteral("HomePage"), homePage);
    return true;
}

// beforeEventLoop sees the window as its load() left it, before the event
// loop has run once.
inline std::unique_ptr<Form1> start(const std::function<void(Form1 *)> &beforeEventLoop = {})
{
    programState() = ProgramState{};
    auto main = std::make_unique<Form1>();
    main->load();
    if (beforeEventLoop)
        beforeEventLoop(main.get());
    // Start-up goes on from the event loop.
    if (!QTest::qWaitFor([&main] { return main->isLoaded(); }, 20000))
        qWarning("the window did not finish loading");
    return main;
}

inline void shutDown(std::unique_ptr<Form1> &main)
{
    main->close();
    main.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A page's META elements, waited for as a test may.
inline MetaReader::Elements readMeta(QWebEnginePage *page, int timeoutMs = 5000)
{
    QObject context;
    bool done = false;
    MetaReader::Elements elements;
    MetaReader::readThen(
        page, &context,
        [&](const MetaReader::Elements &read) {
            elements = read;
            done = true;
        },
        timeoutMs);
    if (!QTest::qWaitFor([&done] { return done; }, timeoutMs + 5000))
        qWarning("the META elements never came");
    return elements;
}

// Until the page has drawn a frame since it loaded: a click that comes
// before it is not delivered to the page (the engine takes input for a new
// document only once it has been drawn).
inline bool waitDrawn(QWebEnginePage *page)
{
    page->runJavaScript(QStringLiteral("window.qxDrawn = false; requestAnimationFrame(() => "
                                       "requestAnimationFrame(() => { window.qxDrawn = true; }));"),
                        QWebEngineScript::ApplicationWorld);
    // Answers may come after the wait: they write to what they share.
    auto drawn = std::make_shared<bool>(false);
    return QTest::qWaitFor(
        [&] {
            page->runJavaScript(QStringLiteral("window.qxDrawn === true"), QWebEngineScript::ApplicationWorld,
                                [drawn](const QVariant &v) { *drawn = *drawn || v.toBool(); });
            return *drawn;
        },
        kTimeout);
}

// A real click into the page of wb, once the page has drawn: where its test
// pages put what a click sets off.
inline bool clickIntoPage(BrowserControl *wb)
{
    if (!waitDrawn(wb->page()))
        return false;
    QTest::mouseClick(wb->view()->focusProxy(), Qt::LeftButton, {}, QPoint(40, 40));
    return true;
}

inline bool waitLoaded(Form1 *main, int position, const QString &url)
{
    return QTest::qWaitFor(
        [&] {
            Form2 *tab = tabAt(main, position);
            return tab && tab->wb1()->LocationURL() == url && !tab->wb1()->Busy();
        },
        kTimeout);
}

// As a user types over a box's text: select all, then the keys.
inline void retype(QLineEdit *box, const QString &text)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
}

inline QString loaded(const QString &section, const QString &key)
{
    return mdlIniControl::ReadIniValue(programState().LoadedFile, section, key);
}

} // namespace BrowserFixture
