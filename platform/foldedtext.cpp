#include "platform/foldedtext.h"

#include <algorithm>
#include <cstring>

namespace {

// The favorites' field separator's sign: no case, two bytes in UTF-8.
constexpr char16_t kSeparatorSign = 0xA4;

// Plain ASCII and the separator's sign lowered straight into a buffer of
// the text's size plus one byte per sign, a NUL written as forNul. False,
// with the buffer unfinished, at any other character beyond ASCII: those go
// through Qt. Every favorite record holds the sign; through Qt, indexing a
// million favorites took seconds.
bool lowerInto(char *out, QStringView text, char forNul)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == kSeparatorSign) {
            *out++ = char(0xC2);
            *out++ = char(0xA4);
            continue;
        }
        if (u >= 128)
            return false;
        *out++ = u == 0 ? forNul : char(u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u);
    }
    return true;
}

qsizetype loweredSize(QStringView text)
{
    return text.size() + text.count(QChar(kSeparatorSign));
}

} // namespace

QByteArray FoldedText::fold(QStringView text)
{
    // Lower case, without a copy of the string where it can be.
    QByteArray out(loweredSize(text), Qt::Uninitialized);
    if (!lowerInto(out.data(), text, '\0'))
        return text.toString().toLower().toUtf8();
    return out;
}

void FoldedText::append(QByteArray &text, std::vector<quint64> &starts, QStringView record)
{
    const qsizetype at = text.size();
    starts.push_back(quint64(at));
    // A NUL inside a record would end it early for the search; none is
    // ever typed, so it goes.
    const qsizetype size = loweredSize(record);
    text.resize(at + size + 1);
    if (lowerInto(text.data() + at, record, ' ')) {
        text[at + size] = '\0';
        return;
    }
    text.truncate(at);
    QByteArray folded = fold(record);
    folded.replace('\0', ' ');
    text.append(folded);
    text.append('\0');
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
