// Every float a mouse event could deliver, and every other bit pattern, must become number text
// that a browser reads as the same coordinate, and must round into the 16-bit fields the way
// the program rounds: to the nearest integer, halves to the even neighbour.
//
// The input is a sequence of floats as little-endian bit patterns; a last partial one is
// padded with zeros.

#include "fuzz_check.h"

#include "core/editor_state.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

using fuzzcheck::require;

namespace {

// Round half to even, worked out on the exact value and clamped to the 16-bit range.
std::int16_t expectedRounding(float value)
{
    if (std::isnan(value))
        return 0;
    const double exact = value;
    const double below = std::floor(exact);
    const double part = exact - below;
    double nearest = below + 1;
    if (part < 0.5 || (part == 0.5 && std::fmod(below, 2.0) == 0.0))
        nearest = below;
    if (nearest < -32768.0)
        return -32768;
    if (nearest > 32767.0)
        return 32767;
    return std::int16_t(nearest);
}

void checkValue(float value)
{
    const std::string text = zorvik::numberText(value);
    fuzzcheck::checkNumberText(value, text);

    const std::int16_t rounded = zorvik::rounded(value);
    const std::string roundedText = std::to_string(rounded);
    require(rounded == expectedRounding(value),
            "rounding goes to the nearest integer, halves to even, within -32768..32767",
            fuzzcheck::describe(value, roundedText));
    fuzzcheck::checkIntegerText(rounded, zorvik::numberText(rounded));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    for (std::size_t at = 0; at < size; at += 4) {
        std::uint32_t bits = 0;
        for (std::size_t b = 0; b < 4 && at + b < size; ++b)
            bits |= std::uint32_t(data[at + b]) << (8 * b);
        checkValue(std::bit_cast<float>(bits));
    }
    return 0;
}
