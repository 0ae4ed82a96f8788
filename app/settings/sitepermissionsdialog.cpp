#include "app/settings/sitepermissionsdialog.h"

#include "app/settings/sitepermissions.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>
#include <utility>

namespace {
enum Action { Allow, Block, Remove };
}

SitePermissionsDialog::SitePermissionsDialog(QString file, QWidget *parent)
    : QDialog(parent)
    , m_file(std::move(file))
    , m_list(new QTreeWidget(this))
    , m_allow(new QPushButton(QStringLiteral("Allow"), this))
    , m_block(new QPushButton(QStringLiteral("Block"), this))
    , m_remove(new QPushButton(QStringLiteral("Remove"), this))
{
    setObjectName(QStringLiteral("SitePermissions"));
    setWindowTitle(QStringLiteral("Site Permissions"));
    resize(560, 320);
    m_list->setHeaderLabels({QStringLiteral("Site"), QStringLiteral("Permission"), QStringLiteral("Decision")});
    m_list->setRootIsDecorated(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_allow);
    buttons->addWidget(m_block);
    buttons->addWidget(m_remove);
    buttons->addStretch(1);
    auto *close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_allow, &QPushButton::clicked, this, [this] { change(Allow); });
    connect(m_block, &QPushButton::clicked, this, [this] { change(Block); });
    connect(m_remove, &QPushButton::clicked, this, [this] { change(Remove); });
    connect(m_list, &QTreeWidget::currentItemChanged, this, [this] {
        for (QPushButton *b : {m_allow, m_block, m_remove})
            b->setEnabled(m_list->currentItem() != nullptr);
    });
    fill();
}

void SitePermissionsDialog::fill()
{
    const int row = m_list->currentIndex().row();
    m_list->clear();
    for (const SitePermissions::Entry &entry : SitePermissions::read(m_file)) {
        new QTreeWidgetItem(m_list,
                            {entry.origin, entry.feature,
                             entry.decision == SitePermissions::Decision::Allow ? QStringLiteral("Allowed")
                                                                                : QStringLiteral("Blocked")});
    }
    if (m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(std::clamp(row, 0, m_list->topLevelItemCount() - 1)));
    for (QPushButton *b : {m_allow, m_block, m_remove})
        b->setEnabled(m_list->currentItem() != nullptr);
}

void SitePermissionsDialog::change(int action)
{
    const QTreeWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    std::optional<SitePermissions::Decision> decision;
    if (action == Allow)
        decision = SitePermissions::Decision::Allow;
    else if (action == Block)
        decision = SitePermissions::Decision::Block;
    SitePermissions::write(
        m_file, SitePermissions::with(SitePermissions::read(m_file), item->text(0), item->text(1), decision));
    fill();
}
