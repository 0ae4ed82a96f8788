#include "app/browser/permissionbar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

PermissionBar::PermissionBar(QWidget *parent)
    : QWidget(parent)
    , m_question(new QLabel(this))
    , m_allow(new QPushButton(QStringLiteral("Allow"), this))
    , m_block(new QPushButton(QStringLiteral("Block"), this))
    , m_remember(new QCheckBox(QStringLiteral("Remember for this site"), this))
{
    setObjectName(QStringLiteral("PermissionBar"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(255, 249, 219));
    setPalette(p);
    m_question->setTextFormat(Qt::PlainText); // the origin is the page's
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->addWidget(m_question, 1);
    layout->addWidget(m_remember);
    layout->addWidget(m_allow);
    layout->addWidget(m_block);
    connect(m_allow, &QPushButton::clicked, this, [this] { emit answered(true, m_remember->isChecked()); });
    connect(m_block, &QPushButton::clicked, this, [this] { emit answered(false, m_remember->isChecked()); });
    hide();
}

void PermissionBar::ask(const QString &question)
{
    m_question->setText(question);
    m_remember->setChecked(true);
    show();
}

QString PermissionBar::question() const
{
    return m_question->text();
}
