#pragma once

#include "core/canvas.h"
#include "core/editor_state.h"

#include <map>
#include <string>
#include <vector>

// A canvas that keeps a log of every figure instead of drawing it, and follows the pen position
// as the real canvas does. Each log entry is one line of text:
//   "line 10,20 110,20"    drawLine from the first point to the second
//   "lineTo 10,20 110,20"  drawLineTo, written from the pen position it started at
//   "box 10,20 110,80"     drawBox, corners in the order given
//   "circle 200,150 r40"   drawCircle
//   "point 10,20"          setPoint
//   "clear"
class RecordingCanvas : public zorvik::Canvas {
public:
    std::vector<std::string> calls;
    float penX = 0;
    float penY = 0;

    void drawLine(float x1, float y1, float x2, float y2) override
    {
        log("line " + pair(x1, y1) + " " + pair(x2, y2));
        movePen(x2, y2);
    }
    void drawLineTo(float x, float y) override
    {
        log("lineTo " + pair(penX, penY) + " " + pair(x, y));
        movePen(x, y);
    }
    void drawBox(float x1, float y1, float x2, float y2) override
    {
        log("box " + pair(x1, y1) + " " + pair(x2, y2));
        movePen(x2, y2);
    }
    void drawCircle(float cx, float cy, float radius) override
    {
        log("circle " + pair(cx, cy) + " r" + zorvik::numberText(radius));
        movePen(cx, cy);
    }
    void setPoint(float x, float y) override
    {
        log("point " + pair(x, y));
        movePen(x, y);
    }
    void clear() override
    {
        log("clear");
        movePen(0, 0);
    }

    // The figures the canvas would show now: those drawn an odd number of times since the last
    // clear, since the pen inverts. A line drawn from the pen counts as the same line drawn
    // between the two points.
    std::vector<std::string> visible() const
    {
        std::map<std::string, int> times;
        for (const std::string &call : calls) {
            if (call == "clear") {
                times.clear();
                continue;
            }
            const bool fromPen = call.rfind("lineTo ", 0) == 0;
            ++times[fromPen ? "line " + call.substr(7) : call];
        }
        std::vector<std::string> shown;
        for (const auto &[figure, count] : times) {
            if (count % 2 == 1)
                shown.push_back(figure);
        }
        return shown;
    }

    // The log from entry |from| on.
    std::vector<std::string> since(std::size_t from) const
    {
        return {calls.begin() + static_cast<std::ptrdiff_t>(from), calls.end()};
    }

private:
    static std::string pair(float x, float y)
    {
        return zorvik::numberText(x) + "," + zorvik::numberText(y);
    }
    void log(std::string call) { calls.push_back(std::move(call)); }
    void movePen(float x, float y)
    {
        penX = x;
        penY = y;
    }
};
