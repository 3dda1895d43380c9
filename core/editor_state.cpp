#include "core/editor_state.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace zorvik {

EditorState &editorState()
{
    static EditorState state;
    return state;
}

std::int16_t rounded(float value)
{
    if (std::isnan(value))
        return 0;
    if (value <= -32768.0f)
        return -32768;
    if (value >= 32767.0f)
        return 32767;
    // The default floating-point environment rounds to nearest, ties to even.
    return static_cast<std::int16_t>(std::nearbyint(value));
}

namespace {

// Writes |value| rounded to 7 significant digits in positional notation, without trailing zeros
// and without an exponent, so that the text is usable wherever a coordinate is expected.
std::string positional(float value)
{
    // to_chars never looks at the locale, unlike printf.
    char buffer[32] = {};
    std::to_chars(buffer, buffer + sizeof buffer - 1, value, std::chars_format::scientific, 6);
    // buffer: [-]d.dddddde[+-]xx
    const char *p = buffer;
    std::string sign;
    if (*p == '-') {
        sign = "-";
        ++p;
    }
    std::string digits;
    digits += p[0];
    digits.append(p + 2, 6);
    const int exponent = std::atoi(std::strchr(p, 'e') + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    // The decimal point stands after digit number exponent + 1.
    const int pointAt = exponent + 1;
    std::string text;
    if (pointAt <= 0) {
        text = "0." + std::string(static_cast<std::size_t>(-pointAt), '0') + digits;
    } else if (static_cast<std::size_t>(pointAt) >= digits.size()) {
        text = digits + std::string(static_cast<std::size_t>(pointAt) - digits.size(), '0');
    } else {
        text = digits.substr(0, static_cast<std::size_t>(pointAt)) + "." +
               digits.substr(static_cast<std::size_t>(pointAt));
    }
    if (text == "0")
        return text;
    return sign + text;
}

} // namespace

std::string numberText(float value)
{
    if (!std::isfinite(value))
        return {};
    if (value == std::trunc(value) && std::fabs(value) < 1e15f) {
        if (value == 0.0f)
            return "0";
        char buffer[32] = {};
        std::to_chars(buffer, buffer + sizeof buffer - 1, static_cast<double>(value),
                      std::chars_format::fixed, 0);
        return buffer;
    }
    return positional(value);
}

std::string numberText(MaybeFloat value)
{
    return value ? numberText(*value) : std::string();
}

std::string numberText(std::int16_t value)
{
    return std::to_string(value);
}

} // namespace zorvik
