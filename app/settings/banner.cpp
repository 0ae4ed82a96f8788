#include "app/settings/banner.h"

#include <QLinearGradient>
#include <QPainter>

QPixmap makeBanner(int width, int height)
{
    QPixmap pixmap(width, height);
    QPainter p(&pixmap);
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, QColor(0x1f, 0x4e, 0x9c));
    gradient.setColorAt(1, QColor(0x6f, 0xa8, 0xe8));
    p.fillRect(pixmap.rect(), gradient);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(qMax(10, width / 6));
    p.setFont(f);
    p.drawText(QRect(0, height / 6, width, height / 3), Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Quillon\nXP"));
    return pixmap;
}
