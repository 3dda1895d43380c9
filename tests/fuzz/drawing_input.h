#pragma once

// How the drawing fuzz target reads its input, shared with the seed generator. The input is a
// sequence of steps, each an action byte (taken modulo the number of actions) and its operands:
//
//   Tool       one byte, modulo 3: rectangle, circle, polygon
//   Press      a route byte, a button byte, a shift byte, then x and y as coordinates (below).
//   Move       Route bit 0 set: a mouse event sent through the canvas widget, whose button
//   Release    byte names one toolkit button (modulo 5: left, right, middle, back, forward)
//              and whose shift byte gives Shift, Ctrl and Alt in bits 0 to 2; the buttons a
//              move holds are those pressed and not yet released. Bit 0 clear: a straight
//              call of the drawing tools with the button byte, sign extended, as the button
//              code and its low three bits as the shift state.
//   New        no operands: "Uusi" empties the markup
//   Load       one byte, modulo the number of pictures: the picture the canvas is given
//   Layout     one byte, modulo 3: 0 auto-size on; 1 auto-size off and two bytes for the new
//              width and height; 2 two signed bytes for where the canvas lies in its frame
//   Paint      no operands: the canvas paints what has changed
//   Close      no operands: "Luo koodi" closes the map, if an area has been confirmed since
//              the last "Uusi"
//
// Whenever the area dialog opens, the next byte, modulo 3, answers it: "O.K", "Peruuta" or a
// close from the title bar. Bytes past the end read as 0.
//
// A coordinate is one byte b: below 192 the whole number b - 32; up to 247 the quarter
// (b - 192) / 4 - 4; 248 NaN, 249 infinity, 250 minus infinity, 251 -32768.5, 252 1e30; from
// 253 on a float follows as four bytes, its bit pattern in little-endian order.

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>

namespace fuzzinput {

enum class Action : std::uint8_t {
    Tool,
    Press,
    Move,
    Release,
    New,
    Load,
    Layout,
    Paint,
    Close,
    Count
};
inline constexpr int actionCount = int(Action::Count);

enum class Route : std::uint8_t { Straight = 0, Widget = 1 };
enum class Answer : std::uint8_t { Ok, Cancel, Close };
enum class Layout : std::uint8_t { AutoSize, Resize, Place };

inline constexpr int toolkitButtonCount = 5;
inline constexpr int pictureCount = 6;

class DrawingReader {
public:
    DrawingReader(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    bool atEnd() const { return m_at >= m_size; }

    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }

    float coordinate()
    {
        const int b = byte();
        if (b < 192)
            return float(b - 32);
        if (b < 248)
            return float(b - 192) / 4.0f - 4.0f;
        switch (b) {
        case 248:
            return std::numeric_limits<float>::quiet_NaN();
        case 249:
            return std::numeric_limits<float>::infinity();
        case 250:
            return -std::numeric_limits<float>::infinity();
        case 251:
            return -32768.5f;
        case 252:
            return 1e30f;
        default:
            break;
        }
        std::uint32_t bits = 0;
        for (int i = 0; i < 4; ++i)
            bits |= std::uint32_t(byte()) << (8 * i);
        return std::bit_cast<float>(bits);
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

// Writes inputs in the same layout, for the seeds.
class DrawingWriter {
public:
    const std::string &bytes() const { return m_bytes; }

    DrawingWriter &tool(int tool) { return action(Action::Tool).put(tool); }
    DrawingWriter &press(Route route, int button, int shift, float x, float y)
    {
        return mouse(Action::Press, route, button, shift, x, y);
    }
    DrawingWriter &move(Route route, int button, int shift, float x, float y)
    {
        return mouse(Action::Move, route, button, shift, x, y);
    }
    DrawingWriter &release(Route route, int button, int shift, float x, float y)
    {
        return mouse(Action::Release, route, button, shift, x, y);
    }
    DrawingWriter &answer(Answer answer) { return put(int(answer)); }
    DrawingWriter &newMap() { return action(Action::New); }
    DrawingWriter &load(int picture) { return action(Action::Load).put(picture); }
    DrawingWriter &autoSize() { return action(Action::Layout).put(int(Layout::AutoSize)); }
    DrawingWriter &resize(int width, int height)
    {
        return action(Action::Layout).put(int(Layout::Resize)).put(width).put(height);
    }
    DrawingWriter &place(int x, int y)
    {
        return action(Action::Layout).put(int(Layout::Place)).put(x).put(y);
    }
    DrawingWriter &paint() { return action(Action::Paint); }
    DrawingWriter &closeMap() { return action(Action::Close); }

private:
    DrawingWriter &put(int value)
    {
        m_bytes += char(std::uint8_t(value));
        return *this;
    }

    DrawingWriter &action(Action action) { return put(int(action)); }

    DrawingWriter &mouse(Action kind, Route route, int button, int shift, float x, float y)
    {
        action(kind).put(int(route)).put(button).put(shift);
        return coordinate(x).coordinate(y);
    }

    DrawingWriter &coordinate(float value)
    {
        if (value == std::trunc(value) && value >= -32 && value < 160)
            return put(int(value) + 32);
        const float quarters = (value + 4.0f) * 4.0f;
        if (quarters == std::trunc(quarters) && quarters >= 0 && quarters < 56)
            return put(int(quarters) + 192);
        put(255);
        const auto bits = std::bit_cast<std::uint32_t>(value);
        for (int i = 0; i < 4; ++i)
            put(int(bits >> (8 * i)));
        return *this;
    }

    std::string m_bytes;
};

} // namespace fuzzinput
