#pragma once

// What the tests look at inside the canvas, which the program itself never asks: how many
// figures a clear would draw again, where the pen stands, and whether a picture is held.

#include "platform/canvas/canvas.h"

#include <cstddef>

namespace zorvik::platform {

struct InvertCanvasProbe {
    static std::size_t figureCount(const InvertCanvas &canvas) { return canvas.m_figures.size(); }
    static float penX(const InvertCanvas &canvas) { return canvas.m_penX; }
    static float penY(const InvertCanvas &canvas) { return canvas.m_penY; }
    static bool hasPicture(const InvertCanvas &canvas) { return canvas.m_hasPicture; }
};

} // namespace zorvik::platform
