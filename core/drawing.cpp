#include "core/drawing.h"

namespace zorvik {

std::string readOut(float x, float y)
{
    return "X = " + numberText(x) + ", Y = " + numberText(y);
}

DrawingTools::DrawingTools(EditorState &state, CanvasPoints &points, Canvas &canvas,
                           AreaDialog &dialog)
    : m_state(state), m_points(points), m_canvas(canvas), m_dialog(dialog)
{
}

void DrawingTools::selectTool(Tool tool)
{
    m_state.rectTool = tool == Tool::Rectangle;
    m_state.circleTool = tool == Tool::Circle;
    m_state.polyTool = tool == Tool::Polygon;
}

void DrawingTools::mouseDown(int, int, float, float) {}

std::string DrawingTools::mouseMove(int, int, float x, float y)
{
    return readOut(x, y);
}

void DrawingTools::mouseUp(int, int, float, float) {}

} // namespace zorvik
