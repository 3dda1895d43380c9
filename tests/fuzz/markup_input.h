#pragma once

// How the markup fuzz target reads its input, shared with the seed generator:
//
//   byte 0        bits 0-1: the shape (0 rectangle, 1 circle, 2 and 3 polygon);
//                 bits 2, 3, 4: the first, second and third coordinate is unset;
//                 bits 5, 6: "Luo koodi" is pressed after the first, the second area;
//                 bit 7: a third area follows
//   bytes 1-12    three floats, bit patterns in little-endian order
//   bytes 13-14   a 16-bit integer, little-endian: endY or the circle's radius
//   the rest      the six typed texts, each ended by the byte 0xFF: picture, map name, border,
//                 link, target, alternative text; texts left out are empty
//
// The program's texts are UTF-8, in which 0xFF never occurs, so the separator takes nothing
// away from what a user can type. Bytes that are not UTF-8 are read as a text box would take
// them, each bad sequence becoming U+FFFD. Input shorter than 15 bytes counts as padded with
// zeros.

#include <QString>

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzinput {

inline constexpr char textEnd = '\xff';
inline constexpr std::size_t fixedSize = 15;

enum TextIndex { Picture, MapName, Border, Link, Target, Alt, TextCount };

struct MarkupInput {
    int shape = 0; // 0 rectangle, 1 circle, 2 polygon
    std::array<bool, 3> unset{};
    std::array<float, 3> coords{};
    std::int16_t integer = 0;
    int areas = 2;
    std::array<bool, 3> closeAfter{};
    std::array<std::string, TextCount> texts;
};

inline MarkupInput decodeMarkupInput(const std::uint8_t *data, std::size_t size)
{
    std::array<std::uint8_t, fixedSize> fixed{};
    for (std::size_t i = 0; i < fixedSize && i < size; ++i)
        fixed[i] = data[i];

    MarkupInput input;
    input.shape = fixed[0] & 3;
    if (input.shape == 3)
        input.shape = 2;
    for (std::size_t i = 0; i < 3; ++i) {
        input.unset[i] = (fixed[0] >> (2 + i)) & 1;
        const std::size_t at = 1 + 4 * i;
        input.coords[i] = std::bit_cast<float>(
            std::uint32_t(fixed[at]) | std::uint32_t(fixed[at + 1]) << 8 |
            std::uint32_t(fixed[at + 2]) << 16 | std::uint32_t(fixed[at + 3]) << 24);
    }
    input.integer = std::int16_t(std::uint16_t(fixed[13] | fixed[14] << 8));
    input.closeAfter = {bool((fixed[0] >> 5) & 1), bool((fixed[0] >> 6) & 1), false};
    input.areas = (fixed[0] >> 7) & 1 ? 3 : 2;

    std::size_t text = 0;
    for (std::size_t i = fixedSize; i < size && text < TextCount; ++i) {
        if (char(data[i]) == textEnd)
            ++text;
        else
            input.texts[text] += char(data[i]);
    }
    for (std::string &typed : input.texts)
        typed = QString::fromStdString(typed).toStdString();
    return input;
}

inline std::string encodeMarkupInput(const MarkupInput &input)
{
    std::string bytes(fixedSize, '\0');
    bytes[0] = char(input.shape | input.unset[0] << 2 | input.unset[1] << 3 | input.unset[2] << 4 |
                    input.closeAfter[0] << 5 | input.closeAfter[1] << 6 | (input.areas == 3) << 7);
    for (std::size_t i = 0; i < 3; ++i) {
        const auto bits = std::bit_cast<std::uint32_t>(input.coords[i]);
        for (std::size_t b = 0; b < 4; ++b)
            bytes[1 + 4 * i + b] = char(bits >> (8 * b));
    }
    bytes[13] = char(std::uint16_t(input.integer) & 0xff);
    bytes[14] = char(std::uint16_t(input.integer) >> 8);
    for (const std::string &text : input.texts)
        bytes += text + textEnd;
    return bytes;
}

} // namespace fuzzinput
