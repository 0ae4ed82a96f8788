#pragma once

#include <QFrame>
#include <QRect>

// Positions and sizes of the forms are given in twips: 15 to a pixel.
namespace TwipsGeometry {

inline int px(int twips)
{
    return twips / 15;
}

inline int tw(int pixels)
{
    return pixels * 15;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

// A grey framed rectangle (the status fields' frames).
inline QFrame *greyBox(QWidget *parent, const QRect &geometry)
{
    auto *f = new QFrame(parent);
    f->setStyleSheet(QStringLiteral("QFrame { border: 1px solid #808080; }"));
    f->setGeometry(geometry);
    return f;
}

// A white panel (the picture boxes at the top of the dialogs and panes).
inline QWidget *whitePanel(QWidget *parent, const QRect &geometry)
{
    auto *panel = new QWidget(parent);
    panel->setGeometry(geometry);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    panel->setPalette(palette);
    return panel;
}

} // namespace TwipsGeometry
