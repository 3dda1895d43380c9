#include "core/drawing.h"

#include <algorithm>
#include <cmath>

namespace zorvik {

std::string readOut(float x, float y)
{
    return "X = " + numberText(x) + ", Y = " + numberText(y);
}

std::int16_t radiusTo(float cx, float cy, float x, float y)
{
    // In double the difference of two finite floats cannot overflow; the clamp keeps the
    // narrowing to float defined for pointers far off the canvas.
    const double distance = std::hypot(double(x) - double(cx), double(y) - double(cy));
    if (std::isnan(distance))
        return 0;
    return rounded(static_cast<float>(std::min(distance, 32767.0)));
}

DrawingTools::DrawingTools(EditorState &state, CanvasPoints &points, Canvas &canvas,
                           AreaDialog &dialog)
    : m_state(state), m_points(points), m_canvas(canvas), m_dialog(dialog)
{}

void DrawingTools::selectTool(Tool tool)
{
    m_state.rectTool = tool == Tool::Rectangle;
    m_state.circleTool = tool == Tool::Circle;
    m_state.polyTool = tool == Tool::Polygon;
}

void DrawingTools::mouseDown(int button, int, float x, float y)
{
    const bool right = button == rightButton;
    if (!pressRectangleOrCircle(right, x, y))
        return;
    pressPolygon(right, x, y);
}

bool DrawingTools::pressRectangleOrCircle(bool right, float x, float y)
{
    if (m_state.rectTool || m_state.circleTool) {
        if (right) {
            m_canvas.clear();
            return false;
        }
        m_state.endX = x;
        m_state.endY = rounded(y);
        m_points.lastX = x;
        m_points.lastY = y;
        m_state.startX = x;
        m_state.startY = y;
        m_state.dragRadius = 1;
    }
    if (m_state.rectTool)
        m_state.dragging = true;
    if (m_state.circleTool) {
        m_state.dragging = true;
        m_state.circleRadius = m_state.dragRadius;
        m_state.circleX = m_state.startX;
        m_state.circleY = m_state.startY;
    }
    return true;
}

void DrawingTools::pressPolygon(bool right, float x, float y)
{
    if (m_state.polyTool)
        m_state.dragging = true;
    if (!m_state.polyTool)
        return;
    if (right && m_state.polyOpen == polyOpenTrue)
        closePolygon();
    else
        addVertex(x, y);
}

void DrawingTools::closePolygon()
{
    m_canvas.drawLine(drawn(m_points.lastX), drawn(m_points.lastY), drawn(m_points.polyFirstX),
                      drawn(m_points.polyFirstY));
    m_state.polyNew = true;
    m_state.polyOpen = polyOpenFalse;
    m_dialog.showModal();
}

void DrawingTools::addVertex(float x, float y)
{
    if (m_state.polyNew) {
        m_state.polyCoords.clear();
        m_canvas.setPoint(x, y);
        m_state.polyOpen = polyOpenTrue;
        m_canvas.drawLine(x, y, x, y);
        m_points.polyFirstX = x;
        m_points.polyFirstY = y;
        m_state.polyNew = false;
    }
    m_points.vertexX = x;
    m_points.vertexY = y;
    if (!m_state.polyCoords.empty())
        m_state.polyCoords += ',';
    m_state.polyCoords += numberText(m_points.vertexX) + ',' + numberText(m_points.vertexY);
    // The edge starts wherever the last figure left the pen: at a polygon's first vertex that
    // is the vertex itself, afterwards the previous vertex.
    m_canvas.drawLineTo(x, y);
    m_points.lastX = x;
    m_points.lastY = y;
}

std::string DrawingTools::mouseMove(int, int, float x, float y)
{
    if (m_state.circleTool && m_state.dragging)
        dragCircle(x, y);
    else if (m_state.rectTool && m_state.dragging)
        dragRectangle(x, y);
    return readOut(x, y);
}

void DrawingTools::dragCircle(float x, float y)
{
    // Drawing the previous outline again erases it.
    drawDragCircle();
    m_state.dragRadius = radiusTo(drawn(m_state.startX), drawn(m_state.startY), x, y);
    m_points.lastX = x;
    m_points.lastY = y;
    if (m_state.dragRadius <= smallestDragRadius)
        m_state.dragRadius = smallestDragRadius;
    drawDragCircle();
}

void DrawingTools::dragRectangle(float x, float y)
{
    drawDragBox();
    m_state.endX = x;
    m_state.endY = rounded(y);
    m_points.lastX = x;
    m_points.lastY = y;
    drawDragBox();
}

void DrawingTools::drawDragCircle()
{
    m_canvas.drawCircle(drawn(m_state.startX), drawn(m_state.startY), m_state.dragRadius);
}

void DrawingTools::drawDragBox()
{
    m_canvas.drawBox(drawn(m_state.startX), drawn(m_state.startY), drawn(m_state.endX),
                     m_state.endY);
}

void DrawingTools::mouseUp(int button, int, float, float)
{
    m_state.circleRadius = m_state.dragRadius;
    if (button == rightButton)
        return;
    m_state.dragRadius = 1;
    // The dialog's own buttons run while it is open and may end the drag themselves.
    if (m_state.circleTool || (m_state.rectTool && m_state.dragging))
        m_dialog.showModal();
    m_state.dragging = false;
}

void DrawingTools::cancelDrag()
{
    const bool outlined = m_state.dragging && !m_state.polyTool;
    m_state.dragging = false;
    m_state.dragRadius = 1;
    if (outlined)
        m_canvas.clear();
}

} // namespace zorvik
