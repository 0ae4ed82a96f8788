#pragma once

#include <QAbstractListModel>
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// The rows of the list control. A refresh over a large store keeps the
// stored text and only where each row's title lies in it; the row text
// ("  " + trimmed title) is made when a row is drawn or asked for, so a
// keystroke in the favorites filter does not build 100,000 strings.
class RowModel : public QAbstractListModel
{
    Q_OBJECT

public:
    struct Span {
        qsizetype offset; // in UTF-16 units into the backing text
        qsizetype length;
    };

    using QAbstractListModel::QAbstractListModel;

    void setRows(QStringList rows);
    // Rows whose titles lie in backing (UTF-16 text, kept alive here).
    void setSpans(const QByteArray &backing, const std::vector<Span> &titles);

    QString text(int row) const;
    bool setText(int row, const QString &text);
    bool insertText(int row, const QString &text);
    bool removeRowAt(int row);
    int indexOf(const QString &text) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    static QStringView viewOf(const QByteArray &backing, Span span);

private:
    struct Row {
        Span span{-1, 0}; // used when text is null
        QString text;
    };
    QByteArray m_backing;
    std::vector<Row> m_rows;
};
