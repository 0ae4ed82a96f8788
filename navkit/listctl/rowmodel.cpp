#include "navkit/listctl/rowmodel.h"

#include <QFont>

#include <iterator>

void RowModel::setRows(QStringList rows)
{
    beginResetModel();
    m_source.reset();
    m_rows.assign(std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    endResetModel();
}

void RowModel::setSource(std::shared_ptr<const Source> source)
{
    beginResetModel();
    m_rows.clear();
    m_source = std::move(source);
    endResetModel();
}

void RowModel::growSource(const Source *source, int newCount, const std::function<void()> &grow)
{
    if (!source || m_source.get() != source || newCount <= source->count())
        return;
    // The source's new rows come before any added at its end.
    const int old = source->count();
    beginInsertRows({}, old, newCount - 1);
    grow();
    endInsertRows();
}

void RowModel::materialize()
{
    if (!m_source)
        return;
    const std::shared_ptr<const Source> source = std::move(m_source);
    std::vector<QString> rows;
    rows.reserve(size_t(source->count()) + m_rows.size());
    for (int i = 0; i < source->count(); ++i)
        rows.push_back(source->text(i));
    std::move(m_rows.begin(), m_rows.end(), std::back_inserter(rows));
    m_rows = std::move(rows);
}

QString RowModel::text(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    if (m_source && row < m_source->count())
        return m_source->text(row);
    return m_rows[size_t(row - (m_source ? m_source->count() : 0))];
}

bool RowModel::setText(int row, const QString &text)
{
    materialize();
    if (row < 0 || size_t(row) >= m_rows.size())
        return false;
    m_rows[size_t(row)] = text;
    emit dataChanged(index(row), index(row));
    return true;
}

bool RowModel::insertText(int row, const QString &text)
{
    // A row added at the end of a source's rows is kept beside them: making
    // every row of a million favorites to add one took half a second.
    if (m_source && row == rowCount()) {
        beginInsertRows({}, row, row);
        m_rows.push_back(text);
        endInsertRows();
        return true;
    }
    materialize();
    if (row < 0 || size_t(row) > m_rows.size())
        return false;
    beginInsertRows({}, row, row);
    m_rows.insert(m_rows.begin() + row, text);
    endInsertRows();
    return true;
}

bool RowModel::removeRowAt(int row)
{
    materialize();
    if (row < 0 || size_t(row) >= m_rows.size())
        return false;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    return true;
}

int RowModel::indexOf(const QString &text) const
{
    for (int i = 0; i < rowCount(); ++i) {
        if (this->text(i) == text)
            return i;
    }
    return -1;
}

int RowModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return (m_source ? m_source->count() : 0) + int(m_rows.size());
}

QVariant RowModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return text(index.row());
    if ((role == Qt::ToolTipRole || role == Qt::FontRole) && m_source && index.row() < m_source->count()) {
        const QString note = m_source->note(index.row());
        if (note.isEmpty())
            return {};
        if (role == Qt::ToolTipRole)
            return note;
        QFont italic;
        italic.setItalic(true);
        return italic;
    }
    return {};
}
