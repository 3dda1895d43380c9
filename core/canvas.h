#pragma once

namespace zorvik {

// Mouse button codes as the canvas delivers them; a move gives the codes of the buttons held
// added together.
inline constexpr int leftButton = 1;
inline constexpr int rightButton = 2;
inline constexpr int middleButton = 4;

// The drawing surface the canvas handlers draw their outlines on. Every figure inverts the
// pixels it covers, so drawing the same figure twice at the same place erases it.
//
// The canvas keeps one pen position: each figure moves it to where the figure ends (a line to
// its second end, a point to the point, a box to its second corner, a circle to its centre) and
// clear() moves it to (0, 0).
class Canvas {
public:
    virtual ~Canvas() = default;

    virtual void drawLine(float x1, float y1, float x2, float y2) = 0;
    // A line from the pen position to (x, y).
    virtual void drawLineTo(float x, float y) = 0;
    // The four sides of the axis-aligned box with these opposite corners, in the order given.
    virtual void drawBox(float x1, float y1, float x2, float y2) = 0;
    virtual void drawCircle(float cx, float cy, float radius) = 0;
    virtual void setPoint(float x, float y) = 0;
    // Erases every figure drawn since the last clear; the picture stays.
    virtual void clear() = 0;
};

} // namespace zorvik
