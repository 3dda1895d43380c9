#pragma once

#include "core/canvas.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <span>
#include <vector>

class QPainter;

namespace zorvik::platform {

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

    // The keyboard cursor, in picture pixels. While the canvas has the focus it shows as a
    // crosshair painted over the picture, never into it, and keys drive the mouse handlers at
    // its place: arrows move it (Shift: ten pixels), Space presses the left button and releases
    // it again, Enter clicks the left button, and the Menu key or Shift+F10 clicks the right
    // one. It goes back to the top-left corner whenever a picture is set.
    QPoint keyboardCursor() const { return m_cursor; }
    // What the keyboard draws with, named first in the canvas's accessible description, which
    // goes on with the cursor's place as the pointer read-out writes it.
    void setCursorLabel(const QString &label);

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
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // The tests look at what the canvas remembers through this; the program defines none.
    friend struct InvertCanvasProbe;

    void draw(const Figure &figure, float penX, float penY);
    void invert(std::span<const Figure> figures);
    void syncSurface();
    void applyAutoSize();
    void moveCursor(QPoint step, int shift);
    void keyButton(const MouseHandler &handler, int button, int shift);
    bool showsCursor() const;
    QRect crosshairArea() const;
    void paintCrosshair(QPainter &painter) const;
    void describeCursor();

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
    QPoint m_cursor;
    // The buttons the keyboard holds down: Space holds the left one until it is pressed again.
    int m_keyButtons = 0;
    QString m_cursorLabel;
};

} // namespace zorvik::platform
