// A profile (INI) file held line by line, read and changed with the rules of the system's profile functions.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <utility>

// A profile (INI) file held line by line, read and changed with the rules of
// the system's profile functions:
// - section and key names compare case-insensitively; blanks and tabs around
//   names, '=' and values are ignored; one pair of matching outer quotes
//   around a value is dropped;
// - only ';' at the start of a line is a comment; a line without '=' is not
//   a key; keys before the first header belong to section "";
// - the first of duplicate keys wins, and only the first of repeated
//   sections is searched.
// Lines that a change does not touch are written back byte for byte.
class ProfileDocument
{
public:
    static ProfileDocument parse(const QByteArray &bytes);
    QByteArray serialize() const;

    std::optional<QString> value(const QString &section, const QString &key) const;
    // A key's value read as a whole number (blanks around it allowed), such
    // as a section's "Count"; nothing when missing or not a number.
    std::optional<qint64> number(const QString &section, const QString &key) const;
    // The values of the keys "<prefix><n>" of a section with n from first to
    // last, as (n, value) in order of n, the first of duplicates. Costs the
    // section's length, however large the range: stored counts are not
    // trusted to bound a loop.
    QList<std::pair<qint64, QString>> numberedValues(const QString &section, const QString &prefix, qint64 first,
                                                     qint64 last) const;
    // Replaces the key in place (keeping its spelling) or appends it at the
    // end of its section, or appends a new section at the end of the file.
    void setValue(const QString &section, const QString &key, const QString &value);

private:
    enum class Kind { Other, Comment, Section, Key };
    struct Line {
        QByteArray raw;
        Kind kind = Kind::Other;
        QString name; // section or key name, trimmed
        QString value;
    };
    struct Range {
        qsizetype header = -1; // -1 for the implicit section before the first header
        qsizetype begin = 0;   // first line after the header
        qsizetype end = 0;     // one past the last line of the section
    };

    static Line classify(const QByteArray &raw);
    std::optional<Range> findSection(const QString &section) const;

    QList<Line> m_lines;
    bool m_bom = false;
    QByteArray m_eol = "\r\n";
};
