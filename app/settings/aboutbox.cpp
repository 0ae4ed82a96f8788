#include "app/settings/aboutbox.h"

#include "app/settings/banner.h"
#include "app/settings/textfit.h"
#include "platform/twipsgeometry.h"
#include "platform/makerinfo.h"
#include "quillon_version.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

using TwipsGeometry::px;
using TwipsGeometry::twipsRect;

Form3::Form3(QWidget *parent)
    : QDialog(parent)
    , m_contact(MakerInfo::kWebAddress + QStringLiteral("  ") + MakerInfo::kSupportEmail)
{
    setWindowTitle(QStringLiteral(" About ..."));
    setFont(QFont(QStringLiteral("Tahoma"), font().pointSize()));
    setFixedSize(px(6150), px(4230));

    QWidget *picture1 = TwipsGeometry::whitePanel(this, twipsRect(0, 0, 6150, 3480));
    auto *banner = new QLabel(picture1);
    banner->setPixmap(makeBanner(120, 300).scaled(120, px(3480)));
    banner->setGeometry(0, 0, 120, px(3480));

    auto *label1 = new QLabel(QStringLiteral(" Kestrane - QUILLON XP"), picture1);
    QFont title = label1->font();
    title.setBold(true);
    title.setPointSizeF(9.75);
    label1->setFont(title);
    label1->setGeometry(twipsRect(2175, 465, 2100, 240).adjusted(0, 0, 80, 4));
    auto *line1 = new QFrame(picture1);
    line1->setGeometry(px(2175), px(465) + px(240) + 6, px(3210), 1);
    line1->setStyleSheet(QStringLiteral("background: #808080;"));
    auto *version = new QLabel(versionLine(), picture1);
    version->setObjectName(QStringLiteral("Version"));
    version->setGeometry(twipsRect(2175, 900, 3210, 165).adjusted(0, -2, 60, 4));
    auto *label3 = new QLabel(m_contact, picture1);
    label3->setStyleSheet(QStringLiteral("color: #000080;"));
    label3->setGeometry(twipsRect(2175, 2565, 3210, 165).adjusted(0, -2, 60, 4));

    m_command1 = new QPushButton(QStringLiteral("Close"), this);
    m_command1->setGeometry(twipsRect(4680, 3660, 1170, 390));
    connect(m_command1, &QPushButton::clicked, this, &QDialog::accept);

    TextFit::fitTexts(this);

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        move(s.x() + (s.width() - width()) / 2, s.y() + (s.height() - height()) / 3);
    }
}

QString Form3::versionLine()
{
    return QStringLiteral("Version ") + QStringLiteral(QUILLON_VERSION_TEXT) + QStringLiteral(" (Qt ")
        + QString::fromLatin1(qVersion()) + u')';
}

QString Form3::contactLine() const
{
    return m_contact;
}
