// Key and modifier numbers as the program's key events carry them.
#pragma once

#include <Qt>

// Key and modifier numbers as the program's key events carry them.
namespace KeyCodes {

inline constexpr int kEnter = 13;
inline constexpr int kR = 82; // Ctrl+R reloads a list
inline constexpr int kShift = 1;
inline constexpr int kCtrl = 2;
inline constexpr int kAlt = 4;

// The modifiers held, as Shift 1 + Ctrl 2 + Alt 4.
inline int shiftBits(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? kShift : 0) | (m & Qt::ControlModifier ? kCtrl : 0)
        | (m & Qt::AltModifier ? kAlt : 0);
}

} // namespace KeyCodes
