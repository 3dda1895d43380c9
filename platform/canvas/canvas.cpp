#include "platform/canvas/canvas.h"

#include "core/editor_state.h"
#include "platform/picture/on_white.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

namespace zorvik::platform {

namespace {

using Figure = InvertCanvas::Figure;

// Figures are placed on whole pixels the same way the editor rounds its coordinates. Rounding
// also bounds them to 16 bits, which keeps every figure, however wild its floats, a few
// hundred thousand pixels at most.
int pixel(float value)
{
    return rounded(value);
}

// The picture as the canvas keeps it: RGB32, one image pixel per canvas pixel.
QImage preparedPicture(QImage picture)
{
    flattenOnWhite(picture);
    picture.setDevicePixelRatio(1);
    return picture;
}

// Marks which small tiles of the visible part of the canvas have changed, so that a long
// diagonal or a big circle is repainted along its line and not over its whole bounding box, and
// so that the repaint after many figures never exceeds what is on the screen.
class ChangedTiles {
public:
    explicit ChangedTiles(const QRect &visible)
        : m_visible(visible), m_columns(tiles(visible.width())),
          m_seen(std::size_t(m_columns) * std::size_t(tiles(visible.height())))
    {}

    void mark(int x, int y)
    {
        if (m_visible.contains(x, y))
            markTile(column(x), row(y));
    }

    void mark(const QRect &rect)
    {
        const QRect shown = rect & m_visible;
        if (shown.isEmpty())
            return;
        for (int r = row(shown.top()); r <= row(shown.bottom()); ++r)
            for (int c = column(shown.left()); c <= column(shown.right()); ++c)
                markTile(c, r);
    }

    // Runs of changed tiles, row by row.
    QRegion region()
    {
        std::sort(m_marked.begin(), m_marked.end());
        std::vector<QRect> runs;
        for (std::size_t i = 0; i < m_marked.size(); ++i) {
            const std::size_t first = m_marked[i];
            while (i + 1 < m_marked.size() && m_marked[i + 1] == m_marked[i] + 1 &&
                   m_marked[i + 1] % std::size_t(m_columns) != 0)
                ++i;
            runs.push_back(tileRun(first, m_marked[i]) & m_visible);
        }
        QRegion region;
        // The runs are sorted, disjoint and of one height per row, as this needs.
        region.setRects(runs.data(), int(runs.size()));
        return region;
    }

private:
    static constexpr int tileShift = 2;
    static constexpr int tileSize = 1 << tileShift;

    static int tiles(int pixels) { return (pixels + tileSize - 1) >> tileShift; }
    int column(int x) const { return (x - m_visible.left()) >> tileShift; }
    int row(int y) const { return (y - m_visible.top()) >> tileShift; }

    void markTile(int c, int r)
    {
        const std::size_t index = std::size_t(r) * std::size_t(m_columns) + std::size_t(c);
        if (m_seen[index])
            return;
        m_seen[index] = true;
        m_marked.push_back(index);
    }

    QRect tileRun(std::size_t first, std::size_t last) const
    {
        const int r = int(first / std::size_t(m_columns));
        const int c = int(first % std::size_t(m_columns));
        return QRect(m_visible.left() + (c << tileShift), m_visible.top() + (r << tileShift),
                     int(last - first + 1) << tileShift, tileSize);
    }

    const QRect m_visible;
    const int m_columns;
    std::vector<bool> m_seen;
    std::vector<std::size_t> m_marked;
};

// Inverts the pixels of figures in an RGB32 image, each pixel of a figure once, skipping those
// outside the image, and records which of the visible ones changed.
class Inverter {
public:
    Inverter(QImage &image, const QRect &visible)
        : m_bounds(image.rect()),
          m_pixels(m_bounds.isEmpty() ? nullptr : reinterpret_cast<QRgb *>(image.bits())),
          m_stride(image.bytesPerLine() / qsizetype(sizeof(QRgb))), m_tiles(visible & m_bounds)
    {}

    void draw(const Figure &figure)
    {
        switch (figure.shape) {
        case Figure::Shape::Line:
            line(figure.x1, figure.y1, figure.x2, figure.y2);
            break;
        case Figure::Shape::Box:
            box(figure.x1, figure.y1, figure.x2, figure.y2);
            break;
        case Figure::Shape::Circle:
            circle(figure.x1, figure.y1, figure.x2);
            break;
        case Figure::Shape::Point:
            row(figure.y1, figure.x1, figure.x1);
            break;
        }
    }

    // Where the visible part of the canvas changed.
    QRegion changed() { return m_tiles.region(); }

private:
    static constexpr QRgb invertMask = 0x00FFFFFF;

    bool misses(int left, int top, int right, int bottom) const
    {
        return right < m_bounds.left() || left > m_bounds.right() || bottom < m_bounds.top() ||
               top > m_bounds.bottom();
    }

    void pixel(int x, int y)
    {
        if (!m_bounds.contains(x, y))
            return;
        m_pixels[qsizetype(y) * m_stride + x] ^= invertMask;
        m_tiles.mark(x, y);
    }

    // Bresenham's line: the start pixel is drawn, the end pixel is not, so that the edges of a
    // polygon meet without a pixel inverted twice.
    void line(int x1, int y1, int x2, int y2)
    {
        if (misses(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)))
            return;
        const int dx = std::abs(x2 - x1);
        const int dy = -std::abs(y2 - y1);
        const int stepX = x1 < x2 ? 1 : -1;
        const int stepY = y1 < y2 ? 1 : -1;
        int error = dx + dy;
        while (x1 != x2 || y1 != y2) {
            pixel(x1, y1);
            const int twice = 2 * error;
            if (twice >= dy) {
                error += dy;
                x1 += stepX;
            }
            if (twice <= dx) {
                error += dx;
                y1 += stepY;
            }
        }
    }

    // The sides share no pixel: the top and bottom rows take the corners.
    void box(int x1, int y1, int x2, int y2)
    {
        const int left = std::min(x1, x2);
        const int right = std::max(x1, x2);
        const int top = std::min(y1, y2);
        const int bottom = std::max(y1, y2);
        row(top, left, right);
        if (bottom > top)
            row(bottom, left, right);
        if (bottom - top > 1) {
            column(left, top + 1, bottom - 1);
            if (right > left)
                column(right, top + 1, bottom - 1);
        }
    }

    void row(int y, int left, int right)
    {
        if (misses(left, y, right, y))
            return;
        left = std::max(left, m_bounds.left());
        right = std::min(right, m_bounds.right());
        QRgb *pixels = m_pixels + qsizetype(y) * m_stride;
        for (int x = left; x <= right; ++x)
            pixels[x] ^= invertMask;
        m_tiles.mark(QRect(QPoint(left, y), QPoint(right, y)));
    }

    void column(int x, int top, int bottom)
    {
        if (misses(x, top, x, bottom))
            return;
        top = std::max(top, m_bounds.top());
        bottom = std::min(bottom, m_bounds.bottom());
        for (int y = top; y <= bottom; ++y)
            m_pixels[qsizetype(y) * m_stride + x] ^= invertMask;
        m_tiles.mark(QRect(QPoint(x, top), QPoint(x, bottom)));
    }

    // The midpoint circle, one octant computed and mirrored into the other seven. Where two
    // mirror images fall on the same pixel (on the axes and on the diagonals) only one of them
    // is drawn.
    void circle(int cx, int cy, int radius)
    {
        if (radius < 0 || misses(cx - radius, cy - radius, cx + radius, cy + radius))
            return;
        if (radius == 0) {
            row(cy, cx, cx);
            return;
        }
        int x = 0;
        int y = radius;
        int decision = 1 - radius;
        while (x <= y) {
            const std::array<QPoint, 8> mirrored{QPoint(x, y),   QPoint(-x, y), QPoint(x, -y),
                                                 QPoint(-x, -y), QPoint(y, x),  QPoint(y, -x),
                                                 QPoint(-y, x),  QPoint(-y, -x)};
            // On an axis every odd image repeats the even one before it; on a diagonal the
            // last four repeat the first four.
            const int step = x == 0 ? 2 : 1;
            const int count = x == y ? 4 : 8;
            for (int i = 0; i < count; i += step)
                pixel(cx + mirrored[i].x(), cy + mirrored[i].y());
            if (decision < 0) {
                decision += 2 * x + 3;
            } else {
                decision += 2 * (x - y) + 5;
                --y;
            }
            ++x;
        }
    }

    const QRect m_bounds;
    QRgb *const m_pixels;
    const qsizetype m_stride;
    ChangedTiles m_tiles;
};

int buttonCode(Qt::MouseButtons buttons)
{
    return (buttons & Qt::LeftButton ? leftButton : 0) |
           (buttons & Qt::RightButton ? rightButton : 0) |
           (buttons & Qt::MiddleButton ? middleButton : 0);
}

// Where on the canvas the pointer stands, in canvas pixels. On a scaled screen the pointer
// stands on a device pixel, a fraction of a canvas pixel (device pixel 81 at twice the scale is
// 40.5). Qt rounds the position it hands a widget to whole pixels, which would name the
// neighbouring pixel for half of the device pixels; the position in the window keeps the
// fraction, so the point is taken from there whenever the two agree.
QPointF pointerOn(const QWidget &canvas, const QMouseEvent &event)
{
    const QPointF given = event.position();
    const QPointF inWindow =
        event.scenePosition() - QPointF(canvas.mapTo(canvas.window(), QPoint(0, 0)));
    const QPointF off = inWindow - given;
    return std::abs(off.x()) <= 0.5 && std::abs(off.y()) <= 0.5 ? inWindow : given;
}

// The picture pixel a position falls in: the one under the pointer. A device pixel is at least
// 1/8 of a canvas pixel on any screen, so the small allowance only absorbs the error of Qt's
// division.
float underPointer(qreal position)
{
    return float(std::floor(position + 1.0 / 1024));
}

void call(const InvertCanvas::MouseHandler &handler, int button, int shift, float x, float y)
{
    if (!handler)
        return;
    // A handler may replace the handlers while it runs, so it runs from a copy.
    const InvertCanvas::MouseHandler copy = handler;
    copy(button, shift, x, y);
}

void deliver(const InvertCanvas::MouseHandler &handler, int button, const QWidget &canvas,
             const QMouseEvent *event)
{
    const QPointF at = pointerOn(canvas, *event);
    call(handler, button, shiftCode(event->modifiers()), underPointer(at.x()),
         underPointer(at.y()));
}

} // namespace

int shiftCode(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0) |
           (modifiers & Qt::AltModifier ? 4 : 0);
}

InvertCanvas::InvertCanvas(QWidget *parent) : QWidget(parent)
{
    // paintEvent covers every pixel it is asked for, so nothing needs to be painted beneath.
    setAttribute(Qt::WA_OpaquePaintEvent);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    // Moves without a button held update the pointer read-out.
    setMouseTracking(true);
    // Like every other control of the window, the canvas takes the focus by Tab or a click;
    // while it is disabled Tab passes it by.
    setFocusPolicy(Qt::StrongFocus);
    presentCanvases();
}

void InvertCanvas::setPicture(QImage picture)
{
    m_image = QImage();
    m_image = preparedPicture(std::move(picture));
    m_hasPicture = !m_image.isNull();
    m_figures.clear();
    syncSurface();
    applyAutoSize();
    update();
    emit pictureSet();
}

const QImage &InvertCanvas::picture() const
{
    return m_image;
}

void InvertCanvas::setAutoSize(bool on)
{
    m_autoSize = on;
    applyAutoSize();
}

bool InvertCanvas::autoSize() const
{
    return m_autoSize;
}

void InvertCanvas::applyAutoSize()
{
    if (m_autoSize && m_hasPicture) {
        setFixedSize(m_image.size());
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    updateGeometry();
}

void InvertCanvas::drawLine(float x1, float y1, float x2, float y2)
{
    draw({Figure::Shape::Line, pixel(x1), pixel(y1), pixel(x2), pixel(y2)}, x2, y2);
}

void InvertCanvas::drawLineTo(float x, float y)
{
    drawLine(m_penX, m_penY, x, y);
}

void InvertCanvas::drawBox(float x1, float y1, float x2, float y2)
{
    draw({Figure::Shape::Box, pixel(x1), pixel(y1), pixel(x2), pixel(y2)}, x2, y2);
}

void InvertCanvas::drawCircle(float cx, float cy, float radius)
{
    draw({Figure::Shape::Circle, pixel(cx), pixel(cy), pixel(radius), 0}, cx, cy);
}

void InvertCanvas::setPoint(float x, float y)
{
    draw({Figure::Shape::Point, pixel(x), pixel(y), 0, 0}, x, y);
}

void InvertCanvas::clear()
{
    syncSurface();
    invert(m_figures);
    m_figures.clear();
    m_penX = 0;
    m_penY = 0;
}

void InvertCanvas::draw(const Figure &figure, float penX, float penY)
{
    m_penX = penX;
    m_penY = penY;
    syncSurface();
    // A rubber band draws each outline a second time to erase it; forgetting both keeps the
    // log, and so the next clear, as short as what is actually on the canvas.
    if (!m_figures.empty() && m_figures.back() == figure)
        m_figures.pop_back();
    else
        m_figures.push_back(figure);
    invert(std::span(&figure, 1));
}

void InvertCanvas::invert(std::span<const Figure> figures)
{
    Inverter inverter(m_image, visibleRegion().boundingRect());
    for (const Figure &figure : figures)
        inverter.draw(figure);
    const QRegion changed = inverter.changed();
    if (!changed.isEmpty())
        update(changed);
}

// Without a picture the canvas draws on a white surface of its own size. When that size
// changes, the figures drawn since the last clear are drawn again on a new surface.
void InvertCanvas::syncSurface()
{
    if (m_hasPicture || m_image.size() == size())
        return;
    m_image = QImage();
    if (size().isEmpty())
        return;
    m_image = QImage(size(), QImage::Format_RGB32);
    m_image.fill(Qt::white);
    Inverter inverter(m_image, QRect());
    for (const Figure &figure : m_figures)
        inverter.draw(figure);
}

QSize InvertCanvas::sizeHint() const
{
    return m_hasPicture ? m_image.size() : QWidget::sizeHint();
}

QSize InvertCanvas::minimumSizeHint() const
{
    return m_autoSize && m_hasPicture ? m_image.size() : QWidget::minimumSizeHint();
}

void InvertCanvas::paintEvent(QPaintEvent *event)
{
    syncSurface();
    QPainter painter(this);
    // When the screen is scaled, each picture pixel stays a crisp block.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRect shown = m_image.rect();
    for (const QRect &rect : event->region()) {
        const QRect part = rect & shown;
        if (!part.isEmpty())
            painter.drawImage(part, m_image, part);
    }
    for (const QRect &rect : event->region() - shown)
        painter.fillRect(rect, Qt::white);
}

void InvertCanvas::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    syncSurface();
}

void InvertCanvas::mousePressEvent(QMouseEvent *event)
{
    m_mouseButtons = event->buttons();
    // Only the three buttons the handlers know of start anything.
    if (const int button = buttonCode(event->button()))
        deliver(m_down, button, *this, event);
}

void InvertCanvas::mouseMoveEvent(QMouseEvent *event)
{
    deliver(m_move, buttonCode(event->buttons()), *this, event);
}

void InvertCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    m_mouseButtons = event->buttons();
    if (const int button = buttonCode(event->button()))
        deliver(m_up, button, *this, event);
}

void InvertCanvas::onMouseDown(MouseHandler handler)
{
    m_down = std::move(handler);
}

void InvertCanvas::onMouseMove(MouseHandler handler)
{
    m_move = std::move(handler);
}

void InvertCanvas::onMouseUp(MouseHandler handler)
{
    m_up = std::move(handler);
}

void InvertCanvas::pressAt(int button, int shift, float x, float y)
{
    call(m_down, button, shift, x, y);
}

void InvertCanvas::moveAt(int buttons, int shift, float x, float y)
{
    call(m_move, buttons, shift, x, y);
}

void InvertCanvas::releaseAt(int button, int shift, float x, float y)
{
    call(m_up, button, shift, x, y);
}

void InvertCanvas::onLetGo(std::function<void()> handler)
{
    m_letGo = std::move(handler);
}

void InvertCanvas::letGo()
{
    if (!m_letGo)
        return;
    const std::function<void()> copy = m_letGo;
    copy();
}

void InvertCanvas::setNarrator(CanvasNarrator *narrator)
{
    m_narrator = narrator;
}

CanvasNarrator *InvertCanvas::narrator() const
{
    return m_narrator;
}

// A release the canvas never saw, such as one while a dialog opened from its press was up,
// still lets go of the button.
bool InvertCanvas::holdsButton() const
{
    return (m_mouseButtons & QGuiApplication::mouseButtons()) != Qt::NoButton;
}

} // namespace zorvik::platform
