#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zorvik {

// A coordinate that has not been assigned yet. It draws as 0 and is written as empty text.
using MaybeFloat = std::optional<float>;

// The editor's variables that the tool buttons, the canvas handlers and the area dialog share.
// The start values are those of a fresh run: the rectangle tool, no drag, no polygon.
struct EditorState {
    std::int16_t dragRadius = 0;
    bool rectTool = true;
    bool circleTool = false;
    bool polyTool = false;
    bool dragging = false;
    bool polyNew = true;
    // -1 while a polygon is open, 0 otherwise; only -1 counts as open.
    std::int16_t polyOpen = 0;
    MaybeFloat circleX;
    MaybeFloat circleY;
    std::int16_t circleRadius = 0;
    std::string polyCoords;
    MaybeFloat startX;
    MaybeFloat startY;
    MaybeFloat endX;
    std::int16_t endY = 0;
};

inline constexpr std::int16_t polyOpenTrue = -1;
inline constexpr std::int16_t polyOpenFalse = 0;

// Drawing values the main window keeps for its canvas handlers alone.
struct CanvasPoints {
    MaybeFloat vertexY;
    MaybeFloat vertexX;
    MaybeFloat polyFirstX;
    MaybeFloat polyFirstY;
    MaybeFloat lastX;
    MaybeFloat lastY;
};

// The one editor state of the process.
EditorState &editorState();

// Nearest 16-bit integer, halves to the even neighbour; values beyond the range clamp to its
// ends and NaN gives 0.
std::int16_t rounded(float value);

// An unset coordinate draws as 0.
inline float drawn(MaybeFloat value)
{
    return value.value_or(0.0f);
}

// Coordinates as they appear in the read-out, the polygon's list and the markup. Whole values
// are plain digits; fractions get at most 7 significant digits and always "." as the decimal
// separator, since the text ends up in comma-separated coordinate lists. Unset and non-finite
// values give empty text.
std::string numberText(float value);
std::string numberText(MaybeFloat value);
std::string numberText(std::int16_t value);

} // namespace zorvik
