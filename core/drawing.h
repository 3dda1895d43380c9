#pragma once

#include "core/canvas.h"
#include "core/editor_state.h"

#include <string>

namespace zorvik {

enum class Tool { Rectangle, Circle, Polygon };

// Opens the area properties dialog modally and returns once it has been closed.
class AreaDialog {
public:
    virtual ~AreaDialog() = default;
    virtual void showModal() = 0;
};

// "X = 120, Y = 45"
std::string readOut(float x, float y);

// The circle radius for the pointer at (x, y) around the centre (cx, cy): the distance, rounded
// to a 16-bit integer; distances beyond its range give its largest value.
std::int16_t radiusTo(float cx, float cy, float x, float y);

// The smallest circle a drag shows, so that a barely moved pointer still gives a visible outline.
inline constexpr std::int16_t smallestDragRadius = 5;

// The tool flags and the drag and polygon state machines behind the canvas's mouse handlers.
// Only the right button is told apart; every other button acts as the left one.
class DrawingTools {
public:
    DrawingTools(EditorState &state, CanvasPoints &points, Canvas &canvas, AreaDialog &dialog);

    // Sets the three tool flags; nothing else of the state changes.
    void selectTool(Tool tool);

    void mouseDown(int button, int shift, float x, float y);
    // Returns the pointer read-out for the label.
    std::string mouseMove(int button, int shift, float x, float y);
    void mouseUp(int button, int shift, float x, float y);
    // Ends a drag whose button went without a release, as the area dialog's cancellation does:
    // the outline is wiped and no area is made. A polygon keeps its vertices.
    void cancelDrag();

private:
    // Returns false when the press ends the handling (a right press clears the canvas).
    bool pressRectangleOrCircle(bool right, float x, float y);
    void pressPolygon(bool right, float x, float y);
    void closePolygon();
    void addVertex(float x, float y);
    void dragCircle(float x, float y);
    void dragRectangle(float x, float y);
    void drawDragCircle();
    void drawDragBox();

    EditorState &m_state;
    CanvasPoints &m_points;
    Canvas &m_canvas;
    AreaDialog &m_dialog;
};

} // namespace zorvik
