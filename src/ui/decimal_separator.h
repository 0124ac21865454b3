#pragma once

#include <QLocale>

namespace quillet {

// The locale's decimal separator as the one byte CellText writes; "." where the locale's
// separator is not a single ASCII character.
inline char DecimalSeparatorOf(const QLocale& locale) {
    const QString point = locale.decimalPoint();
    if (point.size() == 1 && point[0].unicode() > 0x20 && point[0].unicode() < 0x7F) return static_cast<char>(point[0].unicode());
    return '.';
}

}  // namespace quillet
