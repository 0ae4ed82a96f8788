#include "platform/filedialogservice.h"
#include "app/settings/mdlcommondialog.h"
#include "app/settings/mdlcommondialogreset.h"
#include "testenvironment.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <QtTest>

using namespace mdlCommonDialog;

namespace {
const QString kFilter = QStringLiteral("HTML Files (*.html)") + QChar(u'\0') + QStringLiteral("*.html;*.htm")
    + QChar(u'\0') + QStringLiteral("All Files (*.*)") + QChar(u'\0') + QStringLiteral("*.*");
} // namespace

class TestCommonDialog : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetForTests(); }
    void cleanup() { FileDialogService::setRunner({}); }

    void trimAtNul()
    {
        QCOMPARE(TrimAtNul(QStringLiteral("abc")), QStringLiteral("abc"));
        QCOMPARE(TrimAtNul(QStringLiteral("ab") + QChar(u'\0') + QStringLiteral("c")), QStringLiteral("ab"));
        QCOMPARE(TrimAtNul(QString(1, QChar(u'\0'))), QString());
    }

    void requestCancelAndFilterMemory()
    {
        QList<FileDialogService::OpenRequest> seen;
        FileDialogService::OpenResult next;
        FileDialogService::setRunner([&](const FileDialogService::OpenRequest &r) {
            seen.append(r);
            return next;
        });
        QCOMPARE(OpenFileDialog(nullptr, kFilter, QStringLiteral("Open File ..."), kExplorerFlag), QString());
        QCOMPARE(seen.size(), 1);
        QCOMPARE(seen[0].title, QStringLiteral("Open File ..."));
        QCOMPARE(seen[0].flags, 0x80000u);
        QCOMPARE(seen[0].filters.size(), 2);
        QCOMPARE(seen[0].filters[0].name, QStringLiteral("HTML Files (*.html)"));
        QCOMPARE(seen[0].filters[0].patterns, QStringLiteral("*.html;*.htm"));
        QCOMPARE(seen[0].filters[1].patterns, QStringLiteral("*.*"));
        QCOMPARE(seen[0].selectedFilter, 0);

        next = {true, QStringLiteral("/tmp/page.txt"), 1, {}};
        QCOMPARE(OpenFileDialog(nullptr, kFilter, QStringLiteral("t"), 0), QStringLiteral("/tmp/page.txt"));
        next = {};
        OpenFileDialog(nullptr, kFilter, QStringLiteral("t"), 0);
        QCOMPARE(seen.last().selectedFilter, 1); // opens with "All Files" chosen last time
        OpenFileDialog(nullptr, kFilter, QStringLiteral("t"), 0);
        QCOMPARE(seen.last().selectedFilter, 1); // a cancel does not forget it

        // A long path comes back whole.
        const QString longPath = QStringLiteral("/") + QString(300, u'p');
        next = {true, longPath, 0, {}};
        QCOMPARE(OpenFileDialog(nullptr, kFilter, QStringLiteral("t"), 0), longPath);
        QCOMPARE(lastFilterIndex(), 1);
    }

    // Runs act on the file dialog once it is the modal window (it may take
    // more than one turn of the event loop to get there); a dialog that
    // never becomes it is closed after a while, so the test fails instead
    // of hanging.
    // Acts on the next file dialog once it is the modal one. A dialog still
    // open a second after the act (the folder's contents were not read yet,
    // so a file could not be chosen) gets the act again, and one still open
    // after five acts, or none shown within 10 s, is closed: the test then
    // fails instead of waiting forever.
    void whenDialogShown(std::function<void(QFileDialog *)> act)
    {
        struct State {
            QElapsedTimer sinceStart;
            QElapsedTimer sinceAct;
            QPointer<QFileDialog> target; // the dialog acted on
            int acts = 0;
        };
        auto state = std::make_shared<State>();
        state->sinceStart.start();
        auto *poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [poll, state, act = std::move(act)] {
            const auto stop = [poll] {
                poll->stop();
                poll->deleteLater();
            };
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (state->acts > 0) {
                if (!state->target || !state->target->isVisible() || (dialog && dialog != state->target))
                    return stop(); // closed: done (a later dialog is another call's)
                if (state->acts >= 5)
                    state->target->reject();
                else if (state->sinceAct.elapsed() > 1000) {
                    act(state->target);
                    ++state->acts;
                    state->sinceAct.start();
                }
                return;
            }
            if (dialog) {
                state->target = dialog;
                act(dialog);
                ++state->acts;
                state->sinceAct.start();
                return;
            }
            if (state->sinceStart.elapsed() < 10000)
                return;
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (auto *stray = qobject_cast<QFileDialog *>(w); stray && stray->isVisible())
                    stray->reject();
            }
            stop();
        });
        poll->start(10);
    }

    void realDialogIsDriven()
    {
        TestEnvironment env;
        QVERIFY(QDir().mkpath(env.root()));
        const QString file = env.path(QStringLiteral("notes.txt"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();

        QString shownTitle;
        QStringList shownFilters;
        auto drive = [&](QFileDialog *dialog, bool accept) {
            shownTitle = dialog->windowTitle();
            shownFilters = dialog->nameFilters();
            if (!accept) {
                dialog->reject();
                return true;
            }
            dialog->selectNameFilter(shownFilters.at(1));
            // The file's whole path typed into the name box and Enter, as a
            // user does: it does not wait for the folder's contents to be read.
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            if (!name)
                return false;
            name->clear();
            QTest::keyClicks(name, file);
            QTest::keyClick(name, Qt::Key_Return);
            return true;
        };
        bool driven = false;
        whenDialogShown([&](QFileDialog *dialog) { driven = drive(dialog, false); });
        QCOMPARE(OpenFileDialog(nullptr, kFilter, QStringLiteral("Open File ..."), kExplorerFlag), QString());
        QVERIFY(driven);
        QCOMPARE(shownTitle, QStringLiteral("Open File ..."));
        QCOMPARE(shownFilters.at(0), QStringLiteral("HTML Files (*.html) (*.html *.htm)"));

        driven = false;
        whenDialogShown([&](QFileDialog *dialog) { driven = drive(dialog, true); });
        QCOMPARE(OpenFileDialog(nullptr, kFilter, QStringLiteral("Open File ..."), kExplorerFlag), file);
        QVERIFY(driven);
        QCOMPARE(lastFilterIndex(), 2);

        // The next dialog opens with "All Files (*.*)" selected.
        QString selected;
        whenDialogShown([&](QFileDialog *dialog) {
            selected = dialog->selectedNameFilter();
            dialog->reject();
        });
        OpenFileDialog(nullptr, kFilter, QStringLiteral("Open File ..."), kExplorerFlag);
        QVERIFY2(selected.startsWith(QStringLiteral("All Files (*.*)")), qPrintable(selected));
    }
};

QTEST_MAIN(TestCommonDialog)
#include "tst_commondialog.moc"
