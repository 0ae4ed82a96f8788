// Small widget helpers for forms laid out in twips.
#pragma once

#include "platform/twips.h"

#include <QFrame>

// Widgets placed in twips, as the forms give them.
namespace TwipsGeometry {

using Twips::px;
using Twips::tw;
using Twips::twipsRect;

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
