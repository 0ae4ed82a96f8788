// The rows of the list control.
#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// The rows of the list control: plain texts, or a source that makes each
// row when it is drawn or asked for, so a keystroke in the favorites filter
// or a history of a million visits builds no string per row.
class RowModel : public QAbstractListModel
{
    Q_OBJECT

public:
    // A row changed, added or removed turns the model back into plain rows.
    class Source
    {
    public:
        virtual ~Source() = default;
        virtual int count() const = 0;
        virtual QString text(int row) const = 0;
        // Why a row is listed, when that is not plain to see (its tooltip;
        // such a row is shown in italics). Empty for most.
        virtual QString note(int row) const
        {
            Q_UNUSED(row);
            return {};
        }
    };

    using QAbstractListModel::QAbstractListModel;

    void setRows(QStringList rows);
    void setSource(std::shared_ptr<const Source> source);
    // The source shown has grown to newCount rows at its end once grow has
    // run (called between the views' notices); nothing when another source
    // or plain rows are shown by now.
    void growSource(const Source *source, int newCount, const std::function<void()> &grow);

    QString text(int row) const;
    bool setText(int row, const QString &text);
    bool insertText(int row, const QString &text);
    bool removeRowAt(int row);
    int indexOf(const QString &text) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    void materialize();

    // The rows; with a source, those added at the end of its rows.
    std::vector<QString> m_rows;
    std::shared_ptr<const Source> m_source;
};
