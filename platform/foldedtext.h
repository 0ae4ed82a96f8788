// Records folded to small letters once and searched many times.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

// Records folded to small letters once and searched many times: a search
// runs over one contiguous buffer, so a keystroke costs one scan of memory,
// not a parse of the records nor a case-blind compare per character.
class FoldedText
{
public:
    void reserve(qsizetype bytes, qsizetype records);
    void append(QStringView record);
    qsizetype count() const { return qsizetype(m_starts.size()); }

    // Hands each record that contains needle (any case) to hit, in the order
    // appended, until hit returns false. The needle is matched with its
    // blanks; one of blanks only (or empty) finds every record.
    void find(QStringView needle, const std::function<bool(qsizetype record)> &hit) const;

    // The text as it is stored and searched: lower-cased UTF-8.
    static QByteArray fold(QStringView text);

private:
    QByteArray m_text; // the folded records, each ended by a NUL
    std::vector<qsizetype> m_starts;
};
