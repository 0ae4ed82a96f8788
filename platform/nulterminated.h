// Text that came through an interface of fixed, NUL-terminated buffers ends at its first NUL.
#pragma once

#include <QString>

// Text that came through an interface of fixed, NUL-terminated buffers
// ends at its first NUL.
namespace NulTerminated {

inline QString cut(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.left(nul);
}

} // namespace NulTerminated
