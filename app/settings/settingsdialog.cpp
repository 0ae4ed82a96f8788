#include "app/settings/settingsdialog.h"

#include "app/settings/banner.h"
#include "app/settings/textfit.h"
#include "platform/twipsgeometry.h"
#include "platform/screencenter.h"
#include "app/settings/browsersettings.h"
#include "app/settings/programstate.h"

#include "navkit/proxies/favoritesproxy.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

using TwipsGeometry::px;
using TwipsGeometry::twipsRect;

Form4::Form4(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral(" Settings"));
    setFont(QFont(QStringLiteral("Tahoma"), font().pointSize()));
    setFixedSize(px(7455), px(4965));

    QWidget *picture1 = TwipsGeometry::whitePanel(this, twipsRect(0, 0, 7455, 4155));
    auto *banner = new QLabel(picture1);
    banner->setPixmap(makeBanner(204, 277));
    banner->setGeometry(0, 0, 204, 277);

    auto *label2 = new QLabel(QStringLiteral("Specify all required settings for program, that "), picture1);
    label2->setGeometry(twipsRect(3405, 570, 3780, 450));
    label2->setWordWrap(true);
    auto *label5 = new QLabel(QStringLiteral("Home Page :"), picture1);
    label5->setGeometry(twipsRect(3405, 1200, 825, 165).adjusted(0, -2, 20, 2));
    m_text1 = new QLineEdit(picture1);
    m_text1->setGeometry(twipsRect(3405, 1395, 3660, 285));
    m_command3 = new QPushButton(QStringLiteral("*"), picture1);
    m_command3->setGeometry(twipsRect(6645, 1395, 405, 270));
    m_check1 = new QCheckBox(QStringLiteral(" Open New Layout in Background"), picture1);
    m_check1->setGeometry(twipsRect(3405, 1950, 3525, 240));
    m_check2 = new QCheckBox(QStringLiteral(" Ask Where to Save Each Download"), picture1);
    m_check2->setGeometry(twipsRect(3405, 2310, 3525, 240));
    auto *label4 = new QLabel(QStringLiteral("Downloads Folder :"), picture1);
    label4->setGeometry(twipsRect(3405, 2640, 1500, 165).adjusted(0, -2, 20, 2));
    m_text2 = new QLineEdit(picture1);
    m_text2->setObjectName(QStringLiteral("DownloadFolder"));
    m_text2->setGeometry(twipsRect(3405, 2835, 3660, 285));
    m_text2->setPlaceholderText(QStringLiteral("the system's downloads folder"));
    m_check3 = new QCheckBox(QStringLiteral("Remember the text of favorite pages"), picture1);
    m_check3->setObjectName(QStringLiteral("KeepPageText"));
    m_check3->setToolTip(QStringLiteral("Favorites are then found by any word their page showed"));
    m_check3->setGeometry(twipsRect(3405, 3255, 2500, 240));
    m_clearText = new QPushButton(QStringLiteral("Clear page text"), picture1);
    m_clearText->setObjectName(QStringLiteral("ClearPageText"));
    m_clearText->setGeometry(twipsRect(5925, 3225, 1140, 300));
    auto *label3 = new QLabel(QStringLiteral("TIP : Some Tips"), picture1);
    label3->setGeometry(twipsRect(3405, 3600, 3780, 450));
    auto *line3 = new QFrame(picture1);
    line3->setGeometry(0, px(4125), px(7455), 1);
    line3->setStyleSheet(QStringLiteral("background: #808080;"));

    m_command2 = new QPushButton(QStringLiteral("OK"), this);
    m_command2->setGeometry(twipsRect(4155, 4365, 1290, 405));
    m_command2->setDefault(true);
    m_command1 = new QPushButton(QStringLiteral("Storno"), this);
    m_command1->setGeometry(twipsRect(5685, 4365, 1290, 405));
    setTabOrder(m_command2, m_command1);
    setTabOrder(m_command1, m_text1);
    setTabOrder(m_text1, m_command3);
    setTabOrder(m_command3, m_check1);
    setTabOrder(m_check1, m_check2);
    setTabOrder(m_check2, m_text2);
    setTabOrder(m_text2, m_check3);
    setTabOrder(m_check3, m_clearText);

    TextFit::fitTexts(this);

    connect(m_command3, &QPushButton::clicked, this, [this] { m_text1->setText(QStringLiteral("about:blank")); });
    connect(m_command2, &QPushButton::clicked, this, &Form4::save);
    connect(m_command1, &QPushButton::clicked, this, &QDialog::reject);
    // At once, like any clearing of what the browser keeps: not undone by Storno.
    connect(m_clearText, &QPushButton::clicked, this, [this] {
        FavoritesProxy::create(this).ClearPageText(programState().FavoritesFile);
        m_clearText->setEnabled(false);
        m_clearText->setText(QStringLiteral("Cleared"));
    });

    // Load.
    ScreenCenter::place(this, 2);
    ProgramState &g = programState();
    g.LoadBack = BrowserSettings::loadBack();
    g.HomePage = BrowserSettings::homePage();
    m_check1->setChecked(g.LoadBack == 1);
    m_text1->setText(g.HomePage);
    m_check2->setChecked(BrowserSettings::askDownload());
    m_text2->setText(BrowserSettings::downloadFolder());
    m_check3->setChecked(BrowserSettings::keepPageText());
}

void Form4::save()
{
    BrowserSettings &settings = BrowserSettings::instance();
    const int loadBack = m_check1->isChecked() ? 1 : 0;
    const QString home = m_text1->text().trimmed();
    settings.setLoadBack(loadBack);
    settings.setHomePage(home);
    settings.setAskDownload(m_check2->isChecked());
    settings.setDownloadFolder(m_text2->text());
    settings.setKeepPageText(m_check3->isChecked());
    // What was entered holds for this run even where it could not be stored.
    programState().LoadBack = loadBack;
    programState().HomePage = home;
    accept();
}
