#include "filedialogservice.h"
#include "mdlcommondialog.h"
#include "mdlcommondialogreset.h"
#include "testenvironment.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>
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

        next = {true, QStringLiteral("/tmp/page.txt"), 1};
        QCOMPARE(OpenFileDialog(nullptr, kFilter, QStringLiteral("t"), 0), QStringLiteral("/tmp/page.txt"));
        next = {};
        OpenFileDialog(nullptr, kFilter, QStringLiteral("t"), 0);
        QCOMPARE(seen.last().selectedFilter, 1); // opens with "All Files" chosen last time
        OpenFileDialog(nullptr, kFilter, QStringLiteral("t"), 0);
        QCOMPARE(seen.last().selectedFilter, 1); // a cancel does not forget it

        // A long path comes back whole.
        const QString longPath = QStringLiteral("/") + QString(300, u'p');
        next = {true, longPath, 0};
        QCOMPARE(OpenFileDialog(nullptr, kFilter, QStringLiteral("t"), 0), longPath);
        QCOMPARE(lastFilterIndex(), 1);
    }

    // Runs act on the file dialog once it is the modal window (it may take
    // more than one turn of the event loop to get there); a dialog that
    // never becomes it is closed after a while, so the test fails instead
    // of hanging.
    void whenDialogShown(std::function<void(QFileDialog *)> act)
    {
        auto *poll = new QTimer(this);
        auto *clock = new QElapsedTimer;
        clock->start();
        connect(poll, &QTimer::timeout, this, [poll, clock, act = std::move(act)] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                act(dialog);
            } else if (clock->elapsed() < 10000) {
                return;
            } else {
                for (QWidget *w : QApplication::topLevelWidgets()) {
                    if (auto *stray = qobject_cast<QFileDialog *>(w); stray && stray->isVisible())
                        stray->reject();
                }
            }
            poll->stop();
            poll->deleteLater();
            delete clock;
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
            dialog->setDirectory(env.root());
            dialog->selectFile(file);
            QMetaObject::invokeMethod(dialog, "accept");
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
