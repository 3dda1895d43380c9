#pragma once

#include "core/editor_state.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace zorvik::markup {

// What the header of a map's first area carries: the picture, the map's name and the border.
struct Header {
    std::string picture;
    std::string mapName;
    std::string border;
};

// The typed properties of one area.
struct AreaFields {
    std::string link;
    std::string target;
    std::string alt;
};

enum class Shape { Rect, Circle, Poly };

// Text safe inside a double-quoted HTML attribute on one line: & " < > become entities, line
// breaks character references (&#10; &#13;), and the characters no HTML document may hold
// (NUL and the other controls but tab and form feed, the noncharacters) the replacement
// character U+FFFD; nothing else changes.
std::string escapeAttribute(std::string_view text);

// "startX,startY,endX,endY"
std::string rectCoords(MaybeFloat startX, MaybeFloat startY, MaybeFloat endX, std::int16_t endY);
// "circleX,circleY,circleRadius"
std::string circleCoords(MaybeFloat circleX, MaybeFloat circleY, std::int16_t radius);

// Appends one area element to |markup| in place, so that a long map costs no more per area than
// a short one; on a closed map it goes in just before the closing "</map>". Only when |markup|
// is empty is |header| asked for and the picture-and-map header written first. Every typed value
// goes through escapeAttribute(); |coords| is written as given.
void appendArea(std::string &markup, Shape shape, std::string_view coords, const AreaFields &fields,
                const std::function<Header()> &header);

// Appends "</map>" unless it already occurs anywhere in |markup|; true when it was appended.
bool closeMap(std::string &markup);

} // namespace zorvik::markup
