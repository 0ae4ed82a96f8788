#include "app/settings/textfit.h"

#include <QAbstractButton>
#include <QLabel>
#include <QWidget>

namespace TextFit {

namespace {

bool holdsText(const QWidget *w)
{
    if (const auto *label = qobject_cast<const QLabel *>(w))
        return !label->text().isEmpty();
    return qobject_cast<const QAbstractButton *>(w) != nullptr;
}

QSize neededSize(const QWidget *w)
{
    const auto *label = qobject_cast<const QLabel *>(w);
    if (label && label->wordWrap())
        return {w->width(), std::max(w->height(), label->heightForWidth(w->width()))};
    const QSize hint = w->sizeHint();
    return {std::max(w->width(), hint.width()), std::max(w->height(), hint.height())};
}

// Grows w so every child's rectangle lies inside it.
void holdChildren(QWidget *w, int margin)
{
    QRect needed = w->rect();
    for (const QWidget *child : w->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow())
            needed = needed.united(child->geometry().adjusted(0, 0, margin, margin));
    }
    if (needed.size() == w->size())
        return;
    if (w->isWindow())
        w->setFixedSize(needed.size().expandedTo(w->size()));
    else
        w->resize(needed.size().expandedTo(w->size()));
}

} // namespace

void fitTexts(QWidget *form)
{
    const QList<QWidget *> widgets = form->findChildren<QWidget *>();
    for (QWidget *w : widgets) {
        if (!holdsText(w))
            continue;
        const QSize size = neededSize(w);
        if (size != w->size())
            w->resize(size);
    }
    // Innermost first, so each parent sees its children's final size.
    for (auto it = widgets.crbegin(); it != widgets.crend(); ++it)
        holdChildren(*it, 0);
    holdChildren(form, 4);
}

} // namespace TextFit
