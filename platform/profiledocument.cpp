#include "platform/profiledocument.h"

#include <QSet>

#include <algorithm>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArray trimBlanks(const QByteArray &s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && isBlank(s.at(b)))
        ++b;
    while (e > b && isBlank(s.at(e - 1)))
        --e;
    return s.mid(b, e - b);
}

QString trimBlanks(const QString &s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && (s.at(b) == u' ' || s.at(b) == u'\t'))
        ++b;
    while (e > b && (s.at(e - 1) == u' ' || s.at(e - 1) == u'\t'))
        --e;
    return s.mid(b, e - b);
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

ProfileDocument::Line ProfileDocument::classify(const QByteArray &raw)
{
    Line line;
    line.raw = raw;
    const QByteArray t = trimBlanks(raw);
    if (t.startsWith(';')) {
        line.kind = Kind::Comment;
        return line;
    }
    if (t.startsWith('[')) {
        const qsizetype close = t.indexOf(']');
        if (close > 0) {
            line.kind = Kind::Section;
            line.name = trimBlanks(QString::fromUtf8(t.mid(1, close - 1)));
            return line;
        }
    }
    const qsizetype eq = t.indexOf('=');
    if (eq < 0)
        return line;
    line.kind = Kind::Key;
    line.name = trimBlanks(QString::fromUtf8(t.left(eq)));
    QByteArray v = trimBlanks(t.mid(eq + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    line.value = QString::fromUtf8(v);
    return line;
}

ProfileDocument ProfileDocument::parse(const QByteArray &bytes)
{
    ProfileDocument doc;
    QByteArray data = bytes;
    if (data.startsWith("\xef\xbb\xbf")) {
        doc.m_bom = true;
        data.remove(0, 3);
    }
    if (!data.contains("\r\n") && data.contains('\n'))
        doc.m_eol = "\n";
    if (data.isEmpty())
        return doc;
    QList<QByteArray> rawLines = data.split('\n');
    if (rawLines.last().isEmpty())
        rawLines.removeLast(); // the final line break
    doc.m_lines.reserve(rawLines.size());
    for (QByteArray &raw : rawLines) {
        if (raw.endsWith('\r'))
            raw.chop(1);
        doc.m_lines.append(classify(raw));
    }
    return doc;
}

QByteArray ProfileDocument::serialize() const
{
    QByteArray out;
    if (m_bom)
        out += "\xef\xbb\xbf";
    for (const Line &line : m_lines) {
        out += line.raw;
        out += m_eol;
    }
    return out;
}

std::optional<ProfileDocument::Range> ProfileDocument::findSection(const QString &section) const
{
    const QString wanted = trimBlanks(section);
    qsizetype firstHeader = m_lines.size();
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (m_lines.at(i).kind == Kind::Section) {
            firstHeader = i;
            break;
        }
    }
    if (wanted.isEmpty() && firstHeader > 0)
        return Range{-1, 0, firstHeader};
    for (qsizetype i = firstHeader; i < m_lines.size(); ++i) {
        const Line &line = m_lines.at(i);
        if (line.kind != Kind::Section || !sameName(line.name, wanted))
            continue;
        qsizetype end = i + 1;
        while (end < m_lines.size() && m_lines.at(end).kind != Kind::Section)
            ++end;
        return Range{i, i + 1, end};
    }
    return std::nullopt;
}

std::optional<QString> ProfileDocument::value(const QString &section, const QString &key) const
{
    const auto range = findSection(section);
    if (!range)
        return std::nullopt;
    const QString wanted = trimBlanks(key);
    for (qsizetype i = range->begin; i < range->end; ++i) {
        const Line &line = m_lines.at(i);
        if (line.kind == Kind::Key && sameName(line.name, wanted))
            return line.value;
    }
    return std::nullopt;
}

std::optional<qint64> ProfileDocument::number(const QString &section, const QString &key) const
{
    bool ok = false;
    const qint64 n = value(section, key).value_or(QString()).trimmed().toLongLong(&ok);
    return ok ? std::optional<qint64>(n) : std::nullopt;
}

QList<std::pair<qint64, QString>> ProfileDocument::numberedValues(const QString &section, const QString &prefix,
                                                                  qint64 first, qint64 last) const
{
    QList<std::pair<qint64, QString>> found;
    const auto range = findSection(section);
    if (!range)
        return found;
    const QString wanted = trimBlanks(prefix);
    QSet<qint64> seen;
    for (qsizetype i = range->begin; i < range->end; ++i) {
        const Line &line = m_lines.at(i);
        if (line.kind != Kind::Key || line.name.size() <= wanted.size()
            || !sameName(line.name.left(wanted.size()), wanted))
            continue;
        const QStringView digits = QStringView(line.name).mid(wanted.size());
        bool allDigits = true;
        for (const QChar c : digits)
            allDigits = allDigits && c >= u'0' && c <= u'9';
        bool ok = false;
        const qint64 n = allDigits ? digits.toLongLong(&ok) : 0;
        if (!ok || n < first || n > last || digits != QString::number(n) || seen.contains(n))
            continue;
        seen.insert(n);
        found.append({n, line.value});
    }
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    return found;
}

void ProfileDocument::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString keyName = trimBlanks(key);
    const QString text = trimBlanks(value);
    const auto range = findSection(section);
    if (range) {
        for (qsizetype i = range->begin; i < range->end; ++i) {
            Line &line = m_lines[i];
            if (line.kind == Kind::Key && sameName(line.name, keyName)) {
                line = classify(line.name.toUtf8() + '=' + text.toUtf8());
                return;
            }
        }
        // After the section's last non-blank line, so blank separators stay
        // in front of the next section.
        qsizetype at = range->end;
        while (at > range->begin && trimBlanks(m_lines.at(at - 1).raw).isEmpty())
            --at;
        m_lines.insert(at, classify(keyName.toUtf8() + '=' + text.toUtf8()));
        return;
    }
    m_lines.append(classify('[' + trimBlanks(section).toUtf8() + ']'));
    m_lines.append(classify(keyName.toUtf8() + '=' + text.toUtf8()));
}
