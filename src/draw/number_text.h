// Numbers as the drawings print them: printf's fixed notation in the C locale whatever the
// desktop's locale, so a German desktop still labels an axis "2.50" and not "2,50".
#pragma once

#include <QString>
#include <charconv>
#include <cmath>

namespace crackdepth::draw {

// "%.<decimals>f" of `value` (ties round as printf rounds them); "--.--" when not finite.
inline QString fixedText(double value, int decimals) {
    if (!std::isfinite(value)) {
        return QStringLiteral("--.--");
    }
    char buffer[400]; // the widest finite double in fixed notation
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return QString::fromLatin1(buffer, static_cast<qsizetype>(result.ptr - buffer));
}

} // namespace crackdepth::draw
