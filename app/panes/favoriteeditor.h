// The small dialog that changes a favorite.
#pragma once

#include <QDialog>

#include <optional>

class QLineEdit;

// The small dialog that changes a favorite: its title, address and keyword
// text. It only edits the fields; the caller stores the record.
class FavoriteEditor : public QDialog
{
    Q_OBJECT

public:
    explicit FavoriteEditor(const QString &record, QWidget *parent = nullptr);

    // The record as edited, in the stored form.
    QString record() const;
    QLineEdit *titleBox() const { return m_title; }
    QLineEdit *addressBox() const { return m_address; }
    QLineEdit *keywordsBox() const { return m_keywords; }

    // Shows the dialog for record; the edited record, or nothing when the
    // user cancelled or changed nothing.
    static std::optional<QString> edit(const QString &record, QWidget *parent);

private:
    QLineEdit *m_title;
    QLineEdit *m_address;
    QLineEdit *m_keywords;
};
