// Records folded to small letters once and searched many times.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <span>
#include <string_view>
#include <vector>

// Records folded to small letters once and searched many times: a search
// runs over one contiguous buffer, so a keystroke costs one scan of memory,
// not a parse of the records nor a case-blind compare per character. It
// only views the text and the starts: they may lie in a mapped file.
class FoldedText
{
public:
    FoldedText() = default;
    // text holds the records one after another, each ended by a NUL;
    // starts where each begins. Both must outlive this view; nothing in
    // them is trusted (a damaged file ends a search, never reads past it).
    FoldedText(std::string_view text, std::span<const quint64> starts)
        : m_text(text)
        , m_starts(starts)
    {}
    qsizetype count() const { return qsizetype(m_starts.size()); }

    // Hands each record that contains needle (any case) to hit, in the order
    // appended, until hit returns false. The needle is matched with its
    // blanks; one of blanks only (or empty) finds every record.
    void find(QStringView needle, const std::function<bool(qsizetype record)> &hit) const;

    // The text as it is stored and searched: lower-cased UTF-8.
    static QByteArray fold(QStringView text);
    // Adds record, folded and ended, to text, and where it starts to starts.
    static void append(QByteArray &text, std::vector<quint64> &starts, QStringView record);

private:
    std::string_view m_text;
    std::span<const quint64> m_starts;
};
