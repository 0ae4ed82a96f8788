#include "platform/foldedtext.h"

#include <algorithm>
#include <cstring>

QByteArray FoldedText::fold(QStringView text)
{
    // Lower case. Most records are plain ASCII: lowered byte by byte
    // without a copy of the string; anything else goes through Qt.
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 128)
            return text.toString().toLower().toUtf8();
        out.append(char(u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u));
    }
    return out;
}

void FoldedText::append(QByteArray &text, std::vector<quint64> &starts, QStringView record)
{
    const qsizetype at = text.size();
    starts.push_back(quint64(at));
    // Records of plain ASCII and the favorites' field separator (whose
    // sign has no case and two bytes in UTF-8) are lowered straight into
    // the text: a copy through Qt per record made indexing a million
    // favorites take seconds. A NUL inside a record would end it early for
    // the search; none is ever typed, so it goes.
    constexpr char16_t kSeparatorSign = 0xA4;
    const qsizetype signs = record.count(QChar(kSeparatorSign));
    text.resize(at + record.size() + signs + 1);
    char *out = text.data() + at;
    for (const QChar c : record) {
        const char16_t u = c.unicode();
        if (u == kSeparatorSign) {
            *out++ = char(0xC2);
            *out++ = char(0xA4);
            continue;
        }
        if (u >= 128) {
            text.truncate(at);
            QByteArray folded = fold(record);
            folded.replace('\0', ' ');
            text.append(folded);
            text.append('\0');
            return;
        }
        *out++ = u == 0 ? ' ' : char(u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u);
    }
    *out = '\0';
}

void FoldedText::find(QStringView needle, const std::function<bool(qsizetype)> &hit) const
{
    // Blanks are part of what is looked for; only text of blanks alone
    // (or nothing) matches every record.
    const QByteArray folded = needle.trimmed().isEmpty() ? QByteArray() : fold(needle);
    if (folded.isEmpty()) {
        for (qsizetype i = 0; i < count(); ++i) {
            if (!hit(i))
                return;
        }
        return;
    }
    const char *base = m_text.data();
    const char *end = base + m_text.size();
    const char *from = base;
    qsizetype record = 0;
    while (from < end) {
        const void *found = memmem(from, size_t(end - from), folded.constData(), size_t(folded.size()));
        if (!found)
            return;
        const qsizetype at = static_cast<const char *>(found) - base;
        // Hits come in order: gallop forward from the last record rather
        // than search all starts again (a one-letter filter hits every one).
        qsizetype step = 1;
        qsizetype low = record;
        while (low + step < count() && m_starts[size_t(low + step)] <= quint64(at)) {
            low += step;
            step *= 2;
        }
        const auto after =
            std::upper_bound(m_starts.begin() + low, m_starts.begin() + std::min(low + step, count()), quint64(at));
        record = qsizetype(after - m_starts.begin()) - 1;
        if (record < 0 || !hit(record))
            return;
        if (record + 1 >= count())
            return;
        // The next record starts past the hit; a start that does not
        // (a damaged index file) ends the search.
        const quint64 next = m_starts[size_t(record + 1)];
        if (next <= quint64(at) || next >= quint64(m_text.size()))
            return;
        from = base + next;
    }
}
