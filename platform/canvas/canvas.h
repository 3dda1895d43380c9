#pragma once

#include "core/canvas.h"
#include "platform/canvas/canvas_accessible.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <span>
#include <vector>

namespace zorvik::platform {

// The shift state as the mouse handlers take it: 1 Shift, 2 Ctrl, 4 Alt, added together.
int shiftCode(Qt::KeyboardModifiers modifiers);

// The drawing canvas: shows a picture at its top-left corner on a white background and draws
// figures over it with an inverting pen. Coordinates are picture pixels.
//
// Figures are drawn straight into the picture, each pixel they touch inverted once. Since
// inverting is its own inverse, the canvas remembers the figures drawn since the last clear and
// clear() simply draws them again, so its cost follows what was drawn, not the picture's size.
class InvertCanvas : public QWidget, public Canvas {
    Q_OBJECT

public:
    explicit InvertCanvas(QWidget *parent = nullptr);

    // Replaces the picture and forgets everything drawn; the pen stays where the last figure
    // left it, so that a polygon left open across a new map goes on from its last vertex. An RGB32
    // image keeps its pixels as they are; others are converted, transparent parts showing
    // white. Pass the image with std::move: the canvas draws into it, and a copy kept
    // elsewhere would double the memory a big picture takes.
    void setPicture(QImage picture);
    // The picture with the figures drawn over it, as the canvas shows it. Before a picture is
    // set, the white surface figures have been drawn on.
    const QImage &picture() const;

    // With auto-size on, the canvas takes the picture's size and keeps it.
    void setAutoSize(bool on);
    bool autoSize() const;

    void drawLine(float x1, float y1, float x2, float y2) override;
    void drawLineTo(float x, float y) override;
    void drawBox(float x1, float y1, float x2, float y2) override;
    void drawCircle(float cx, float cy, float radius) override;
    void setPoint(float x, float y) override;
    void clear() override;

    // Mouse events as button code (leftButton, rightButton, middleButton; a move gives the
    // buttons held added together), shift state (1 Shift, 2 Ctrl, 4 Alt) and canvas pixels.
    // After a press on the canvas, moves and the release keep coming outside it.
    using MouseHandler = std::function<void(int button, int shift, float x, float y)>;
    void onMouseDown(MouseHandler handler);
    void onMouseMove(MouseHandler handler);
    void onMouseUp(MouseHandler handler);

    // Runs the handlers as the mouse would at (x, y), for another pointer such as the keys.
    void pressAt(int button, int shift, float x, float y);
    void moveAt(int buttons, int shift, float x, float y);
    void releaseAt(int button, int shift, float x, float y);
    // Another pointer lost its button without a release, as when the window lost the focus in
    // the middle of a drag: the handler ends the drag.
    void onLetGo(std::function<void()> handler);
    void letGo();
    // Whether a mouse button pressed on the canvas is still held.
    bool holdsButton() const;

    // Whatever tells a screen reader where it points on the canvas; none until one is set, and
    // none again once it is gone.
    void setNarrator(CanvasNarrator *narrator);
    CanvasNarrator *narrator() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // A figure in whole pixels, as it was drawn.
    struct Figure {
        enum class Shape { Line, Box, Circle, Point };
        Shape shape;
        // A circle keeps its centre in x1, y1 and its radius in x2.
        int x1, y1, x2, y2;
        bool operator==(const Figure &) const = default;
    };

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

signals:
    // A new picture has been set.
    void pictureSet();

private:
    // The tests look at what the canvas remembers through this; the program defines none.
    friend struct InvertCanvasProbe;

    void draw(const Figure &figure, float penX, float penY);
    void invert(std::span<const Figure> figures);
    void syncSurface();
    void applyAutoSize();

    QImage m_image;
    bool m_hasPicture = false;
    bool m_autoSize = false;
    float m_penX = 0;
    float m_penY = 0;
    // Everything drawn since the last clear.
    std::vector<Figure> m_figures;
    MouseHandler m_down;
    MouseHandler m_move;
    MouseHandler m_up;
    std::function<void()> m_letGo;
    Qt::MouseButtons m_mouseButtons;
    QPointer<CanvasNarrator> m_narrator;
};

} // namespace zorvik::platform
