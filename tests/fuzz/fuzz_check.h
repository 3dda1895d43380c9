#pragma once

// What the fuzz targets hold the program's number text to, and how they report a broken rule:
// by aborting, which libFuzzer records as a crash together with the input that caused it.

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace fuzzcheck {

[[noreturn]] inline void fail(std::string_view rule, std::string_view detail)
{
    std::fprintf(stderr, "\n*** %.*s\n*** %.*s\n", int(rule.size()), rule.data(),
                 int(detail.size()), detail.data());
    std::abort();
}

inline void require(bool holds, std::string_view rule, std::string_view detail)
{
    if (!holds)
        fail(rule, detail);
}

inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The digits of |text| without sign and point, e.g. "-0.0125" gives "00125".
inline std::string digitsOf(std::string_view text)
{
    std::string digits;
    for (const char c : text) {
        if (isDigit(c))
            digits += c;
    }
    return digits;
}

// [-](0|[1-9][0-9]*)[.[0-9]*[1-9]]: no exponent, no grouping, no "+", no leading zeros and no
// trailing zeros after the point, never "-0".
inline bool isPlainDecimal(std::string_view text)
{
    std::string_view rest = text;
    if (!rest.empty() && rest.front() == '-')
        rest.remove_prefix(1);
    const auto point = rest.find('.');
    const std::string_view whole = rest.substr(0, point);
    if (whole.empty() || (whole.size() > 1 && whole.front() == '0'))
        return false;
    for (const char c : whole) {
        if (!isDigit(c))
            return false;
    }
    if (point != std::string_view::npos) {
        const std::string_view fraction = rest.substr(point + 1);
        if (fraction.empty() || fraction.back() == '0')
            return false;
        for (const char c : fraction) {
            if (!isDigit(c))
                return false;
        }
    }
    return text != "-0";
}

inline std::string describe(float value, std::string_view text)
{
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "value %.9g (bits %08x) gave \"", double(value),
                  unsigned(std::bit_cast<std::uint32_t>(value)));
    return buffer + std::string(text) + "\"";
}

// The rules for the text of a coordinate: empty for a value that is not finite; plain decimal
// otherwise, with a "-" exactly for negative values; whole values below 10^15 exactly; anything
// else rounded to at most 7 significant digits, so that it reads back to within half a unit of
// the seventh digit.
inline void checkNumberText(float value, std::string_view text)
{
    const std::string detail = describe(value, text);
    if (!std::isfinite(value)) {
        require(text.empty(), "a value that is not finite is written as empty text", detail);
        return;
    }
    require(isPlainDecimal(text), "number text is plain decimal", detail);
    require((text.front() == '-') == (value < 0.0f), "a minus sign exactly for negative values",
            detail);

    const double exact = value;
    const double readBack = std::strtod(std::string(text).c_str(), nullptr);
    if (value == std::trunc(value) && std::fabs(value) < 1e15f) {
        require(text.find('.') == std::string_view::npos, "a whole value has no point", detail);
        require(readBack == exact, "a whole value is written exactly", detail);
        return;
    }
    std::string digits = digitsOf(text);
    digits.erase(0, digits.find_first_not_of('0'));
    digits.erase(digits.find_last_not_of('0') + 1);
    require(digits.size() <= 7, "at most 7 significant digits", detail);
    const double unit = std::pow(10.0, std::floor(std::log10(std::fabs(exact))) - 6);
    require(std::fabs(readBack - exact) <= unit * 0.5000001,
            "the text reads back within half a unit of the seventh digit", detail);
}

// The text of a 16-bit integer field: plain decimal digits that read back exactly.
inline void checkIntegerText(std::int16_t value, std::string_view text)
{
    const std::string detail = describe(float(value), text);
    require(isPlainDecimal(text) && text.find('.') == std::string_view::npos,
            "an integer field is written as plain digits", detail);
    require(std::strtol(std::string(text).c_str(), nullptr, 10) == value,
            "an integer field reads back exactly", detail);
}

} // namespace fuzzcheck
