#include "platform/canvas.h"

#include <QMouseEvent>
#include <QPainter>

namespace zorvik::platform {

namespace {
struct State {
    QImage image;
    bool autoSize = false;
    float penX = 0, penY = 0;
    InvertCanvas::MouseHandler down, move, up;
};
State &s(const InvertCanvas *)
{
    static State st;
    return st;
}
} // namespace

InvertCanvas::InvertCanvas(QWidget *parent) : QWidget(parent) {}
void InvertCanvas::setPicture(QImage picture)
{
    s(this).image = picture.convertToFormat(QImage::Format_RGB32);
}
bool InvertCanvas::hasPicture() const
{
    return !s(this).image.isNull();
}
const QImage &InvertCanvas::picture() const
{
    return s(this).image;
}
void InvertCanvas::setAutoSize(bool on)
{
    s(this).autoSize = on;
    if (on && hasPicture())
        resize(s(this).image.size());
}
bool InvertCanvas::autoSize() const
{
    return s(this).autoSize;
}
void InvertCanvas::setDrawMode(DrawMode) {}
InvertCanvas::DrawMode InvertCanvas::drawMode() const
{
    return DrawMode::Invert;
}
float InvertCanvas::penX() const
{
    return s(this).penX;
}
float InvertCanvas::penY() const
{
    return s(this).penY;
}
void InvertCanvas::drawLine(float, float, float, float) {}
void InvertCanvas::drawLineTo(float, float) {}
void InvertCanvas::drawBox(float, float, float, float) {}
void InvertCanvas::drawCircle(float, float, float) {}
void InvertCanvas::setPoint(float, float) {}
void InvertCanvas::clear() {}
void InvertCanvas::onMouseDown(MouseHandler h)
{
    s(this).down = std::move(h);
}
void InvertCanvas::onMouseMove(MouseHandler h)
{
    s(this).move = std::move(h);
}
void InvertCanvas::onMouseUp(MouseHandler h)
{
    s(this).up = std::move(h);
}
void InvertCanvas::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.drawImage(0, 0, s(this).image);
}
void InvertCanvas::resizeEvent(QResizeEvent *) {}
void InvertCanvas::mousePressEvent(QMouseEvent *) {}
void InvertCanvas::mouseMoveEvent(QMouseEvent *) {}
void InvertCanvas::mouseReleaseEvent(QMouseEvent *) {}

} // namespace zorvik::platform
