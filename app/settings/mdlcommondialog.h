// The open-file dialog in the shape the commands use it.
#pragma once

#include <QString>

class QWidget;

// The open-file dialog in the shape the commands use it.
namespace mdlCommonDialog {

// Explorer-style dialog flag, as the open commands pass it.
inline constexpr quint32 kExplorerFlag = 0x80000;

// filter: display text and pattern alternating, separated by single NUL
// characters ("HTML Files (*.html)", NUL, "*.html;*.htm", ...). Returns the
// chosen path, or "" when cancelled. The next dialog of the same run opens
// with the filter pair chosen last.
QString OpenFileDialog(QWidget *owner, const QString &filter, const QString &title, quint32 flags);

// The text before its first NUL character, or all of it.
QString TrimAtNul(const QString &text);

// The pair the next dialog opens with: 1-based, 0 before the first choice.
int lastFilterIndex();

} // namespace mdlCommonDialog
