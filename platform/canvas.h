#pragma once

#include "core/canvas.h"

#include <QImage>
#include <QWidget>

#include <functional>

namespace zorvik::platform {

// The drawing canvas: shows a picture at its top-left corner on a white background and draws
// figures over it with an inverting pen. Coordinates are picture pixels.
class InvertCanvas : public QWidget, public Canvas {
    Q_OBJECT

public:
    explicit InvertCanvas(QWidget *parent = nullptr);

    // Replaces the picture and forgets everything drawn. An RGB32 image keeps its pixels as
    // they are; others are converted, transparent parts showing white.
    void setPicture(QImage picture);
    bool hasPicture() const;
    // The picture with the figures drawn over it, as the canvas shows it.
    const QImage &picture() const;

    // With auto-size on, the canvas takes the picture's size.
    void setAutoSize(bool on);
    bool autoSize() const;

    // Drawing mode 6 of the old toolkit: only the inverting pen is supported.
    enum class DrawMode { Invert };
    void setDrawMode(DrawMode mode);
    DrawMode drawMode() const;

    float penX() const;
    float penY() const;

    void drawLine(float x1, float y1, float x2, float y2) override;
    void drawLineTo(float x, float y) override;
    void drawBox(float x1, float y1, float x2, float y2) override;
    void drawCircle(float cx, float cy, float radius) override;
    void setPoint(float x, float y) override;
    void clear() override;

    // Mouse events as button code (1 left, 2 right, 4 middle), shift state and canvas pixels.
    // After a press on the canvas, moves and the release keep coming outside it.
    using MouseHandler = std::function<void(int button, int shift, float x, float y)>;
    void onMouseDown(MouseHandler handler);
    void onMouseMove(MouseHandler handler);
    void onMouseUp(MouseHandler handler);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace zorvik::platform
