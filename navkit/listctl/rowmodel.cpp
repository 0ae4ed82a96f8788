#include "rowmodel.h"

QStringView RowModel::viewOf(const QByteArray &backing, Span span)
{
    const auto *units = reinterpret_cast<const char16_t *>(backing.constData());
    return QStringView(units + span.offset, span.length);
}

void RowModel::setRows(QStringList rows)
{
    beginResetModel();
    m_backing.clear();
    m_rows.clear();
    m_rows.reserve(size_t(rows.size()));
    for (QString &r : rows)
        m_rows.push_back(Row{{-1, 0}, std::move(r)});
    endResetModel();
}

void RowModel::setSpans(const QByteArray &backing, const std::vector<Span> &titles)
{
    beginResetModel();
    m_backing = backing;
    m_rows.clear();
    m_rows.reserve(titles.size());
    for (const Span &s : titles)
        m_rows.push_back(Row{s, QString()});
    endResetModel();
}

QString RowModel::text(int row) const
{
    if (row < 0 || size_t(row) >= m_rows.size())
        return {};
    const Row &r = m_rows[size_t(row)];
    if (r.span.offset < 0)
        return r.text;
    return QStringLiteral("  ").append(viewOf(m_backing, r.span).trimmed());
}

bool RowModel::setText(int row, const QString &text)
{
    if (row < 0 || size_t(row) >= m_rows.size())
        return false;
    m_rows[size_t(row)] = Row{{-1, 0}, text};
    emit dataChanged(index(row), index(row));
    return true;
}

bool RowModel::insertText(int row, const QString &text)
{
    if (row < 0 || size_t(row) > m_rows.size())
        return false;
    beginInsertRows({}, row, row);
    m_rows.insert(m_rows.begin() + row, Row{{-1, 0}, text});
    endInsertRows();
    return true;
}

bool RowModel::removeRowAt(int row)
{
    if (row < 0 || size_t(row) >= m_rows.size())
        return false;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    return true;
}

int RowModel::indexOf(const QString &text) const
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (this->text(int(i)) == text)
            return int(i);
    }
    return -1;
}

int RowModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant RowModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return text(index.row());
}
