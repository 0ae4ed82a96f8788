#include "app/panes/favoriteeditor.h"

#include "navkit/records/favoriterecord.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include <optional>

using FavoriteRecord::Field;

FavoriteEditor::FavoriteEditor(const QString &record, QWidget *parent)
    : QDialog(parent)
    , m_title(new QLineEdit(FavoriteRecord::field(record, Field::Title).trimmed(), this))
    , m_address(new QLineEdit(FavoriteRecord::field(record, Field::Url).trimmed(), this))
    , m_keywords(new QLineEdit(FavoriteRecord::field(record, Field::Keywords), this))
{
    setObjectName(QStringLiteral("FavoriteEditor"));
    setWindowTitle(QStringLiteral("Edit Favorite"));
    setMinimumWidth(420);
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Title :"), m_title);
    form->addRow(QStringLiteral("&Address :"), m_address);
    form->addRow(QStringLiteral("&Keywords :"), m_keywords);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // A favorite needs an address to be opened by.
    const auto checkAddress = [this, buttons] {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(!m_address->text().trimmed().isEmpty());
    };
    connect(m_address, &QLineEdit::textChanged, this, checkAddress);
    checkAddress();
    m_title->selectAll();
}

QString FavoriteEditor::record() const
{
    return FavoriteRecord::compose(m_title->text().trimmed(), m_address->text().trimmed(), m_keywords->text());
}

std::optional<QString> FavoriteEditor::edit(const QString &record, QWidget *parent)
{
    FavoriteEditor editor(record, parent);
    if (editor.exec() != QDialog::Accepted)
        return std::nullopt;
    const QString edited = editor.record();
    if (edited == record)
        return std::nullopt;
    return edited;
}
