// Every text of the About and Settings dialogs is shown whole, whatever the
// font resolution (run once as is and once with QT_FONT_DPI=144).
#include "app/browser/signindialog.h"
#include "app/settings/aboutbox.h"
#include "app/settings/internetoptions.h"
#include "platform/urlhistorystore.h"
#include "platform/secretstore.h"
#include "app/settings/settingsdialog.h"
#include "app/settings/programstate.h"
#include "quillon_version.h"
#include "testenvironment.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <sqlite3.h>

class TestDialogs : public QObject
{
    Q_OBJECT

    static void verifyTextsWhole(QDialog *dialog)
    {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        int checked = 0;
        for (QWidget *w : dialog->findChildren<QWidget *>()) {
            const auto *label = qobject_cast<QLabel *>(w);
            const bool text = (label && !label->text().isEmpty()) || qobject_cast<QAbstractButton *>(w);
            if (!text || !w->isVisible())
                continue;
            ++checked;
            const QString what = label ? label->text() : qobject_cast<QAbstractButton *>(w)->text();
            if (label && label->wordWrap())
                QVERIFY2(w->height() >= label->heightForWidth(w->width()), qPrintable(what));
            else
                QVERIFY2(w->width() >= w->sizeHint().width() && w->height() >= w->sizeHint().height(),
                         qPrintable(what));
            // Not cut by a parent either.
            for (QWidget *p = w; p != dialog; p = p->parentWidget()) {
                const QRect inParent = p->geometry();
                QVERIFY2(p->parentWidget()->rect().contains(inParent), qPrintable(what));
            }
        }
        QVERIFY(checked >= 3);
    }

private slots:
    void init() { m_env = std::make_unique<TestEnvironment>(); }
    void cleanup() { m_env.reset(); }

    // Without a secret store the sign-in's "Remember" cannot be ticked, and
    // its tooltip says why.
    void signInWithoutASecretStore()
    {
        SignInDialog dialog(QStringLiteral("asks"), false);
        QVERIFY(!dialog.rememberBox()->isEnabled());
        QCOMPARE(dialog.rememberBox()->toolTip(), SecretStore::kUnavailableReason);
    }

    void aboutBox()
    {
        Form3 about;
        QVERIFY(about.contactLine().contains(QStringLiteral("support@")));
        // The version is shown, whole.
        auto *version = about.findChild<QLabel *>(QStringLiteral("Version"));
        QVERIFY(version && version->text().contains(QStringLiteral(QUILLON_VERSION_TEXT)));
        verifyTextsWhole(&about);
    }

    void settingsDialog()
    {
        programState() = ProgramState{};
        Form4 settings;
        verifyTextsWhole(&settings);
    }

    // Clearing a long history rewrites the whole file (seconds at a million
    // visits) and may wait for the visit being written: the dialog waits for
    // neither, nor does a dialog closed meanwhile stop the clearing.
    void clearHistoryWaitsForNobody()
    {
        UrlHistoryStore store;
        QVERIFY(store.addUrl(QStringLiteral("http://a.test/"), QStringLiteral("A"), 0));
        QVERIFY(store.addUrl(QStringLiteral("http://b.test/"), QStringLiteral("B"), 0));
        sqlite3 *writer = nullptr;
        QCOMPARE(sqlite3_open(QFile::encodeName(store.databasePath()).constData(), &writer), SQLITE_OK);
        const auto done = qScopeGuard([writer] { sqlite3_close(writer); });
        QCOMPARE(sqlite3_exec(writer, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);

        auto dialog = std::make_unique<InternetOptions>();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QPushButton *clear = nullptr;
        for (QPushButton *b : dialog->findChildren<QPushButton *>()) {
            if (b->text() == QStringLiteral("Clear History"))
                clear = b;
        }
        QVERIFY(clear);
        QTest::mouseClick(clear, Qt::LeftButton);
        QVERIFY(!clear->isEnabled()); // under way, not given up on the writer
        dialog.reset();
        QCOMPARE(sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
        InternetOptions::waitForClearing();
        QCOMPARE(store.enumerate(QString(), 0).value_or(std::vector<UrlHistoryEntry>(1)).size(), size_t(0));
    }

private:
    std::unique_ptr<TestEnvironment> m_env;
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
