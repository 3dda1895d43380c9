// Whatever the user does with the mouse, the tool buttons, the area dialog, "Uusi", "Luo koodi"
// and new pictures, and wherever the pointer goes (far off the canvas, between pixels, to values
// no mouse delivers), the drawing keeps its rules: exactly one tool is selected; a polygon is
// either open or not, never half; every clear shows the picture again exactly as it was loaded;
// the canvas remembers no more figures than were drawn since the last clear, and its pen stands
// where the last figure or clear left it; once painted, the window shows the canvas as it is;
// the markup stays one line and holds every confirmed area, in order, with the coordinates the
// dialog took from the drawing, before the closing tag of a map already closed.
//
// The input is laid out as drawing_input.h describes. It drives the program's drawing tools
// over the program's canvas, shown in an offscreen window, with an area dialog that does what
// the program's dialog does.

#include "../platform/canvas_probe.h"
#include "drawing_input.h"
#include "fuzz_check.h"

#include "core/drawing.h"
#include "core/editor_state.h"
#include "markup/markup.h"
#include "platform/canvas/canvas.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

using fuzzcheck::fail;
using fuzzcheck::require;
using fuzzinput::Action;
using fuzzinput::Answer;
using fuzzinput::DrawingReader;
using zorvik::platform::InvertCanvas;

namespace {

using zorvik::platform::InvertCanvasProbe;

struct Picture {
    QImage given;
    // The picture as the canvas must show it: RGB32 with transparent parts white.
    QImage shown;
};

std::vector<Picture> g_pictures;
QWidget *g_frame = nullptr;
InvertCanvas *g_canvas = nullptr;

void ignoreMessages(QtMsgType, const QMessageLogContext &, const QString &) {}

QImage varied(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb((x * 37 + y * 11) & 255, (x * 5 ^ y * 23) & 255, 90));
    return picture;
}

// Transparency that is wholly on or off, so that the white it shows needs no blend to predict.
Picture withHoles(int width, int height)
{
    QImage given(width, height, QImage::Format_ARGB32);
    QImage shown = varied(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if ((x + y) % 3 == 0) {
                given.setPixel(x, y, qRgba(10, 20, 30, 0));
                shown.setPixel(x, y, qRgb(255, 255, 255));
            } else {
                given.setPixel(x, y, shown.pixel(x, y));
            }
        }
    return {given, shown};
}

Picture indexed()
{
    QImage given(9, 9, QImage::Format_Indexed8);
    given.setColorTable({qRgba(0, 0, 0, 0), qRgb(0, 128, 0), qRgb(200, 30, 60)});
    QImage shown(9, 9, QImage::Format_RGB32);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) {
            const int index = (x * y) % 3;
            given.setPixel(x, y, uint(index));
            shown.setPixel(x, y, index == 0 ? qRgb(255, 255, 255) : given.color(index));
        }
    return {given, shown};
}

Picture opaque(int width, int height)
{
    const QImage picture = varied(width, height);
    return {picture, picture};
}

bool samePixels(const QImage &a, const QImage &b)
{
    if (a.format() != b.format() || a.size() != b.size())
        return false;
    const auto rowBytes = std::size_t(a.width()) * 4;
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), rowBytes) != 0)
            return false;
    }
    return true;
}

bool sameFloat(float a, float b)
{
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b);
}

std::string describePen(float x, float y)
{
    return "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
}

// Passes every figure on to the canvas, and keeps what the canvas must then show: how many
// figures it may remember at most, where its pen must stand, and after a clear the picture.
class WatchedCanvas : public zorvik::Canvas {
public:
    explicit WatchedCanvas(InvertCanvas &canvas) : m_canvas(canvas) {}

    void load(const Picture &picture)
    {
        m_canvas.setPicture(picture.given);
        m_shown = picture.shown;
        require(samePixels(m_canvas.picture(), m_shown),
                "a loaded picture is shown as RGB32, its transparent parts white", "at a load");
    }

    void drawLine(float x1, float y1, float x2, float y2) override
    {
        m_canvas.drawLine(x1, y1, x2, y2);
        drew(x2, y2);
    }
    void drawLineTo(float x, float y) override
    {
        m_canvas.drawLineTo(x, y);
        drew(x, y);
    }
    void drawBox(float x1, float y1, float x2, float y2) override
    {
        m_canvas.drawBox(x1, y1, x2, y2);
        drew(x2, y2);
    }
    void drawCircle(float cx, float cy, float radius) override
    {
        m_canvas.drawCircle(cx, cy, radius);
        drew(cx, cy);
    }
    void setPoint(float x, float y) override
    {
        m_canvas.setPoint(x, y);
        drew(x, y);
    }
    void clear() override
    {
        m_canvas.clear();
        m_drawn = 0;
        m_penX = 0;
        m_penY = 0;
        require(samePixels(m_canvas.picture(), m_shown),
                "a clear shows the picture again, bit for bit",
                std::to_string(InvertCanvasProbe::figureCount(m_canvas)) +
                    " figures remembered after the clear");
    }

    void check() const
    {
        const std::size_t remembered = InvertCanvasProbe::figureCount(m_canvas);
        require(remembered <= m_drawn,
                "the canvas remembers no more figures than were drawn since the last clear",
                std::to_string(remembered) + " remembered, " + std::to_string(m_drawn) + " drawn");
        require(
            sameFloat(InvertCanvasProbe::penX(m_canvas), m_penX) &&
                sameFloat(InvertCanvasProbe::penY(m_canvas), m_penY),
            "the pen stands where the last figure or clear left it",
            "pen at " +
                describePen(InvertCanvasProbe::penX(m_canvas), InvertCanvasProbe::penY(m_canvas)) +
                ", expected at " + describePen(m_penX, m_penY));
    }

private:
    void drew(float penX, float penY)
    {
        ++m_drawn;
        m_penX = penX;
        m_penY = penY;
    }

    InvertCanvas &m_canvas;
    QImage m_shown;
    std::size_t m_drawn = 0;
    float m_penX = 0;
    float m_penY = 0;
};

// The markup, with what it must hold: the start of each confirmed area element, in order, and
// once the map has been closed the closing tag at its end.
class Markup {
public:
    void clear()
    {
        m_text.clear();
        m_areas.clear();
        m_afterLastArea = 0;
        m_closable = false;
        m_closed = false;
    }

    void append(zorvik::markup::Shape shape, const std::string &coords)
    {
        static const char *const keywords[] = {"RECT", "CIRCLE", "POLY"};
        zorvik::markup::appendArea(m_text, shape, coords, {"linkki.html", "oikea", "teksti"}, [] {
            return zorvik::markup::Header{"kuva.gif", "kartta", "0"};
        });
        const std::string area =
            std::string("<AREA SHAPE=\"") + keywords[int(shape)] + "\" COORDS=\"" + coords + "\"";
        // Only what follows the previous area is new: this area and a closing tag after it.
        const std::size_t at = m_text.find(area, m_afterLastArea);
        require(at != std::string::npos, "a confirmed area follows the areas before it",
                area + "\nin\n" + m_text);
        require(m_text.find_first_of("\r\n", m_afterLastArea) == std::string::npos,
                "the markup is one line", m_text);
        m_afterLastArea = at + area.size();
        m_areas.push_back(area);
        m_closable = true;
        requireClosedAtEnd();
    }

    // "Luo koodi", which is enabled once an area has been confirmed.
    void close()
    {
        if (!m_closable)
            return;
        zorvik::markup::closeMap(m_text);
        m_closed = true;
        requireClosedAtEnd();
    }

    // The whole markup, once the map is done with; each area's own part is checked as it comes.
    void check() const
    {
        std::size_t at = 0;
        for (const std::string &area : m_areas) {
            at = m_text.find(area, at);
            require(at != std::string::npos, "the markup holds every confirmed area, in order",
                    area + "\nin\n" + m_text);
            at += area.size();
        }
    }

private:
    void requireClosedAtEnd() const
    {
        if (!m_closed)
            return;
        static constexpr std::string_view closingTag = "</map>";
        require(m_text.ends_with(closingTag) &&
                    m_text.find(closingTag) == m_text.size() - closingTag.size(),
                "a closed map has its one closing tag at the end, after every area", m_text);
    }

    std::string m_text;
    std::vector<std::string> m_areas;
    std::size_t m_afterLastArea = 0;
    bool m_closable = false;
    bool m_closed = false;
};

// Does what the program's area dialog does with each of its three ways out.
class AreaDialogDouble : public zorvik::AreaDialog {
public:
    AreaDialogDouble(DrawingReader &input, zorvik::EditorState &state, zorvik::Canvas &canvas,
                     Markup &markup)
        : m_input(input), m_state(state), m_canvas(canvas), m_markup(markup)
    {}

    std::function<void()> whileOpen;

    void showModal() override
    {
        whileOpen();
        switch (Answer(m_input.byte() % 3)) {
        case Answer::Ok:
            m_canvas.clear();
            if (m_state.rectTool)
                m_markup.append(zorvik::markup::Shape::Rect,
                                zorvik::markup::rectCoords(m_state.startX, m_state.startY,
                                                           m_state.endX, m_state.endY));
            else if (m_state.circleTool)
                m_markup.append(zorvik::markup::Shape::Circle,
                                zorvik::markup::circleCoords(m_state.circleX, m_state.circleY,
                                                             m_state.circleRadius));
            else
                m_markup.append(zorvik::markup::Shape::Poly, m_state.polyCoords);
            break;
        case Answer::Cancel:
            m_state.dragging = false;
            m_canvas.clear();
            break;
        case Answer::Close:
            break;
        }
    }

private:
    DrawingReader &m_input;
    zorvik::EditorState &m_state;
    zorvik::Canvas &m_canvas;
    Markup &m_markup;
};

void checkState(const zorvik::EditorState &state)
{
    const std::string flags = "rectTool " + std::to_string(state.rectTool) + ", circleTool " +
                              std::to_string(state.circleTool) + ", polyTool " +
                              std::to_string(state.polyTool);
    require(int(state.rectTool) + int(state.circleTool) + int(state.polyTool) == 1,
            "exactly one tool is selected", flags);
    require(state.polyNew == (state.polyOpen == 0), "polyNew is true exactly when polyOpen is 0",
            "polyNew " + std::to_string(state.polyNew) + ", polyOpen " +
                std::to_string(state.polyOpen));
}

constexpr std::array<Qt::MouseButton, fuzzinput::toolkitButtonCount> toolkitButtons{
    Qt::LeftButton, Qt::RightButton, Qt::MiddleButton, Qt::BackButton, Qt::ForwardButton};

Qt::KeyboardModifiers modifiers(int bits)
{
    Qt::KeyboardModifiers result;
    result.setFlag(Qt::ShiftModifier, bits & 1);
    result.setFlag(Qt::ControlModifier, bits & 2);
    result.setFlag(Qt::AltModifier, bits & 4);
    return result;
}

// The input's mouse events, by either route.
class Mouse {
public:
    Mouse(DrawingReader &input, zorvik::DrawingTools &tools) : m_input(input), m_tools(tools) {}

    void event(Action action)
    {
        const bool throughWidget = m_input.byte() & 1;
        const int buttonByte = m_input.byte();
        const int shiftByte = m_input.byte();
        const float x = m_input.coordinate();
        const float y = m_input.coordinate();
        if (throughWidget)
            send(action, toolkitButtons[std::size_t(buttonByte % fuzzinput::toolkitButtonCount)],
                 modifiers(shiftByte), x, y);
        else
            call(action, int(std::int8_t(buttonByte)), shiftByte & 7, x, y);
    }

private:
    void call(Action action, int button, int shift, float x, float y)
    {
        if (action == Action::Press)
            m_tools.mouseDown(button, shift, x, y);
        else if (action == Action::Move)
            m_tools.mouseMove(button, shift, x, y);
        else
            m_tools.mouseUp(button, shift, x, y);
    }

    void send(Action action, Qt::MouseButton button, Qt::KeyboardModifiers keys, float x, float y)
    {
        QEvent::Type type = QEvent::MouseMove;
        if (action == Action::Press) {
            type = QEvent::MouseButtonPress;
            m_held.setFlag(button, true);
        } else if (action == Action::Release) {
            type = QEvent::MouseButtonRelease;
            m_held.setFlag(button, false);
        } else {
            button = Qt::NoButton;
        }
        const QPointF at(x, y);
        QMouseEvent event(type, at, at, button, m_held, keys);
        QCoreApplication::sendEvent(g_canvas, &event);
    }

    DrawingReader &m_input;
    zorvik::DrawingTools &m_tools;
    Qt::MouseButtons m_held;
};

void layout(DrawingReader &input)
{
    switch (fuzzinput::Layout(input.byte() % 3)) {
    case fuzzinput::Layout::AutoSize:
        g_canvas->setAutoSize(true);
        break;
    case fuzzinput::Layout::Resize: {
        g_canvas->setAutoSize(false);
        const int width = input.byte() % 97;
        g_canvas->resize(width, input.byte() % 97);
        break;
    }
    case fuzzinput::Layout::Place: {
        const int x = std::int8_t(input.byte());
        g_canvas->move(x, std::int8_t(input.byte()));
        break;
    }
    }
}

void paintChanges()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

// Once painted, the window shows every pixel of the canvas as the canvas holds it, the part
// beyond the picture white: a figure repainted only in part would leave the screen behind.
void checkShown()
{
    const QImage screen = g_frame->screen()
                              ->grabWindow(g_frame->winId())
                              .toImage()
                              .convertToFormat(QImage::Format_RGB32);
    const QImage &picture = g_canvas->picture();
    const QRect shown = g_canvas->geometry() & g_frame->rect();
    for (int y = shown.top(); y <= shown.bottom(); ++y) {
        for (int x = shown.left(); x <= shown.right(); ++x) {
            const QPoint at = QPoint(x, y) - g_canvas->pos();
            const QRgb expected =
                picture.rect().contains(at) ? picture.pixel(at) : qRgb(255, 255, 255);
            if (screen.pixel(x, y) != expected)
                fail("the screen shows the canvas as it is",
                     "window pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                         ") differs from canvas pixel (" + std::to_string(at.x()) + ", " +
                         std::to_string(at.y()) + ")");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The canvas is a widget; the offscreen platform shows it without a display. The
    // application and the window live as long as the process, as in the editor.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_drawing";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
    qInstallMessageHandler(ignoreMessages);

    g_pictures = {opaque(40, 30),   opaque(7, 5), opaque(1, 1),
                  withHoles(64, 3), indexed(),    opaque(3, 50)};
    require(g_pictures.size() == fuzzinput::pictureCount, "every picture the input names exists",
            std::to_string(g_pictures.size()));
    g_frame = new QWidget;
    g_frame->resize(80, 60);
    g_canvas = new InvertCanvas(g_frame);
    g_frame->show();
    // Until the window system has exposed the window, nothing of it is painted.
    for (int round = 0; round < 100 && !g_frame->windowHandle()->isExposed(); ++round)
        QCoreApplication::processEvents();
    require(g_frame->windowHandle()->isExposed(), "the canvas's window is shown",
            "the offscreen platform did not expose it");
    // One window pixel for each canvas pixel, so that the screen can be compared with it.
    require(g_frame->devicePixelRatio() == 1, "the offscreen screen is not scaled",
            std::to_string(g_frame->devicePixelRatio()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    DrawingReader input(data, size);
    zorvik::EditorState state;
    zorvik::CanvasPoints points;
    Markup markup;
    WatchedCanvas canvas(*g_canvas);
    AreaDialogDouble dialog(input, state, canvas, markup);
    zorvik::DrawingTools tools(state, points, canvas, dialog);
    Mouse mouse(input, tools);

    g_canvas->move(0, 0);
    g_canvas->setAutoSize(true);
    canvas.load(g_pictures[0]);
    canvas.clear();
    // The main window's handlers: the canvas passes each event straight on to the tools.
    g_canvas->onMouseDown([&](int b, int s, float x, float y) { tools.mouseDown(b, s, x, y); });
    g_canvas->onMouseMove([&](int b, int s, float x, float y) { tools.mouseMove(b, s, x, y); });
    g_canvas->onMouseUp([&](int b, int s, float x, float y) { tools.mouseUp(b, s, x, y); });

    const auto checkAll = [&] {
        checkState(state);
        canvas.check();
    };
    dialog.whileOpen = checkAll;

    while (!input.atEnd()) {
        const auto action = Action(input.byte() % fuzzinput::actionCount);
        switch (action) {
        case Action::Tool:
            tools.selectTool(zorvik::Tool(input.byte() % 3));
            break;
        case Action::Press:
        case Action::Move:
        case Action::Release:
            mouse.event(action);
            break;
        case Action::New:
            markup.check();
            markup.clear();
            break;
        case Action::Load:
            canvas.load(g_pictures[input.byte() % fuzzinput::pictureCount]);
            break;
        case Action::Layout:
            layout(input);
            break;
        case Action::Paint:
            paintChanges();
            checkShown();
            break;
        case Action::Close:
            markup.close();
            break;
        case Action::Count:
            break;
        }
        checkAll();
    }

    markup.check();
    // Nothing of this input may reach the next one.
    paintChanges();
    g_canvas->onMouseDown({});
    g_canvas->onMouseMove({});
    g_canvas->onMouseUp({});
    return 0;
}
