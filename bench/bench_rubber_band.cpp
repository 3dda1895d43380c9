// Times the canvas's rubber band on a small and a huge picture: a move must cost the same on
// both, and so must a clear. Run with QT_QPA_PLATFORM=offscreen.

#include "platform/canvas/canvas.h"

#include <QApplication>
#include <QPaintEvent>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

using zorvik::platform::InvertCanvas;

namespace {

constexpr int moves = 2000;
constexpr int clearRounds = 200;

QImage testPicture(int side)
{
    QImage picture(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < side; ++x)
            line[x] = qRgb(x & 255, y & 255, (x ^ y) & 255);
    }
    return picture;
}

// Counts what the canvas is asked to paint, to show that each move repaints only a little.
class PaintCounter : public QObject {
public:
    long long paints = 0;
    long long pixels = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            for (const QRect &rect : static_cast<QPaintEvent *>(event)->region())
                pixels += qint64(rect.width()) * rect.height();
        }
        return false;
    }
};

// The canvas in a scroll area, as the main window holds it.
class Window : public QWidget {
public:
    explicit Window(QImage picture)
    {
        auto *area = new QScrollArea;
        area->setWidgetResizable(false);
        area->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        canvas = new InvertCanvas;
        canvas->setAutoSize(true);
        canvas->setPicture(std::move(picture));
        area->setWidget(canvas);
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(area);
        resize(800, 600);
    }

    InvertCanvas *canvas;
};

// Paints what the canvas asked to be repainted, now.
void repaintNow()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

double median(std::vector<double> samples)
{
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    return samples[samples.size() / 2];
}

double millisecondsOf(const std::function<void()> &work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// The pointer wanders back and forth within the first 400 pixels.
QPoint pathPoint(int move)
{
    return {60 + (move * 7) % 330, 60 + (move * 3) % 330};
}

struct Figures {
    double boxMove;
    double circleMove;
    double clearAfterDrag;
    double clearAfterEdges;
    double pixelsPerMove;
};

double boxDrag(InvertCanvas &canvas, int count)
{
    std::vector<double> samples;
    QPoint end(50, 50);
    for (int move = 0; move < count; ++move) {
        samples.push_back(millisecondsOf([&] {
            canvas.drawBox(50, 50, end.x(), end.y());
            end = pathPoint(move);
            canvas.drawBox(50, 50, end.x(), end.y());
            repaintNow();
        }));
    }
    return median(samples);
}

double circleDrag(InvertCanvas &canvas)
{
    std::vector<double> samples;
    int radius = 1;
    for (int move = 0; move < moves; ++move) {
        samples.push_back(millisecondsOf([&] {
            canvas.drawCircle(200, 200, radius);
            radius = 5 + pathPoint(move).y() / 2;
            canvas.drawCircle(200, 200, radius);
            repaintNow();
        }));
    }
    return median(samples);
}

double clearAfter(InvertCanvas &canvas, const std::function<void()> &drawing)
{
    std::vector<double> samples;
    for (int round = 0; round < clearRounds; ++round) {
        drawing();
        repaintNow();
        samples.push_back(millisecondsOf([&] {
            canvas.clear();
            repaintNow();
        }));
    }
    return median(samples);
}

Figures measure(int side)
{
    Window window(testPicture(side));
    window.show();
    while (!window.windowHandle()->isExposed())
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    InvertCanvas &canvas = *window.canvas;
    PaintCounter counter;
    canvas.installEventFilter(&counter);

    Figures figures{};
    figures.boxMove = boxDrag(canvas, moves);
    canvas.clear();
    figures.circleMove = circleDrag(canvas);
    canvas.clear();
    repaintNow();
    figures.pixelsPerMove = double(counter.pixels) / (2 * moves);
    figures.clearAfterDrag = clearAfter(canvas, [&] { boxDrag(canvas, 50); });
    figures.clearAfterEdges = clearAfter(canvas, [&] {
        for (int edge = 0; edge < 200; ++edge) {
            const QPoint p = pathPoint(edge * 11);
            canvas.drawLineTo(p.x(), p.y());
        }
    });
    return figures;
}

void printRow(const char *name, double small, double large)
{
    std::printf("  %-34s %12.4f %14.4f %10.2f\n", name, small, large, large / small);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const Figures small = measure(500);
    const Figures large = measure(10000);

    std::printf("Rubber band on the canvas in an 800 x 600 window, %d moves per drag\n", moves);
    std::printf("(a move erases the old outline, draws the new one and repaints)\n\n");
    std::printf("  %-34s %12s %14s %10s\n", "median, ms", "500 x 500", "10000 x 10000", "ratio");
    printRow("box drag, per move", small.boxMove, large.boxMove);
    printRow("circle drag, per move", small.circleMove, large.circleMove);
    printRow("clear after a 50-move box drag", small.clearAfterDrag, large.clearAfterDrag);
    printRow("clear after 200 polygon edges", small.clearAfterEdges, large.clearAfterEdges);
    std::printf("\n  %-34s %12.0f %14.0f\n", "pixels repainted per figure", small.pixelsPerMove,
                large.pixelsPerMove);
    return 0;
}
