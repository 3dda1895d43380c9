#include "canvas_probe.h"
#include "platform/canvas/canvas.h"

#include <QPaintEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <cmath>
#include <limits>

using zorvik::platform::InvertCanvas;

using zorvik::platform::InvertCanvasProbe;

namespace {

constexpr QRgb invertMask = 0x00FFFFFF;

// Every pixel different from its neighbours, so that a pixel inverted twice or left out shows.
QImage variedPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(
                x, y,
                qRgb((x * 37 + y * 11) & 255, (x * 5 ^ y * 23) & 255, (x + y * 3 + 90) & 255));
    return picture;
}

// The pixels that differ between two pictures of the same size.
QList<QPoint> changedPixels(const QImage &before, const QImage &after)
{
    QList<QPoint> changed;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y))
                changed.append(QPoint(x, y));
    return changed;
}

bool allInverted(const QImage &before, const QImage &after, const QList<QPoint> &pixels)
{
    for (const QPoint &p : pixels)
        if (after.pixel(p) != (before.pixel(p) ^ invertMask))
            return false;
    return true;
}

void drawFigure(InvertCanvas &canvas, const QString &shape, const QList<float> &v)
{
    if (shape == QLatin1String("line"))
        canvas.drawLine(v[0], v[1], v[2], v[3]);
    else if (shape == QLatin1String("box"))
        canvas.drawBox(v[0], v[1], v[2], v[3]);
    else if (shape == QLatin1String("circle"))
        canvas.drawCircle(v[0], v[1], v[2]);
    else if (shape == QLatin1String("point"))
        canvas.setPoint(v[0], v[1]);
    else
        QFAIL("unknown shape");
}

struct MouseCall {
    QString kind;
    int button;
    int shift;
    float x;
    float y;
};

// Records what the canvas hands to its handlers.
class MouseLog {
public:
    explicit MouseLog(InvertCanvas &canvas)
    {
        canvas.onMouseDown(recorder(QStringLiteral("down")));
        canvas.onMouseMove(recorder(QStringLiteral("move")));
        canvas.onMouseUp(recorder(QStringLiteral("up")));
    }

    QList<MouseCall> calls;

    QList<MouseCall> of(const QString &kind) const
    {
        QList<MouseCall> found;
        for (const MouseCall &call : calls)
            if (call.kind == kind)
                found.append(call);
        return found;
    }

private:
    InvertCanvas::MouseHandler recorder(const QString &kind)
    {
        return [this, kind](int button, int shift, float x, float y) {
            calls.append({kind, button, shift, x, y});
        };
    }
};

void repaintNow()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    QCoreApplication::processEvents();
}

// The offscreen screen grabs a scaled window only in part; the other tests cover scaling.
constexpr const char *scaledScreen = "the offscreen screen cannot grab a scaled window";

// What the offscreen screen shows of a window.
QImage shownOnScreen(QWidget *window)
{
    repaintNow();
    return window->screen()
        ->grabWindow(window->winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// Collects the parts of a widget it has been asked to paint.
class PaintLog : public QObject {
public:
    QRegion painted;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

qint64 area(const QRegion &region)
{
    qint64 sum = 0;
    for (const QRect &rect : region)
        sum += qint64(rect.width()) * rect.height();
    return sum;
}

} // namespace

class TestCanvas : public QObject {
    Q_OBJECT

private slots:
    void drawingTwiceRestoresThePicture_data();
    void drawingTwiceRestoresThePicture();
    void boxAndLinePixelsAreInvertedOnce_data();
    void boxAndLinePixelsAreInvertedOnce();
    void circleOutlineHasNoGaps_data();
    void circleOutlineHasNoGaps();
    void clearRestoresThePictureAndResetsThePen();
    void clearForgetsWhatItErased();
    void clearAfterRubberBandRestoresThePicture();
    void penFollowsEachFigure();
    void lineToStartsAtThePen();
    void hugeCoordinatesAreSafe();
    void picturesKeepOrLoseTheirFormat();
    void transparentPartsShowWhite();
    void newPictureForgetsFiguresButKeepsThePen();
    void withoutAPictureTheSurfaceIsWhite();
    void autoSizeTakesThePictureSize();
    void paintingShowsThePictureCrisp();
    void repaintsFollowTheFigures();
    void repaintsStayAlongTheOutline_data();
    void repaintsStayAlongTheOutline();
    void repaintsFollowTheFiguresWhenScrolled();
    void mouseEventsReachTheHandlers();
    void mouseKeepsComingOutsideAfterAPress();
    void onlyKnownButtonsPressAndMovesAddTheHeldOnes();
};

void TestCanvas::drawingTwiceRestoresThePicture_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QList<float>>("values");

    QTest::newRow("horizontal line") << "line" << QList<float>{3, 5, 30, 5};
    QTest::newRow("vertical line upwards") << "line" << QList<float>{7, 30, 7, 2};
    QTest::newRow("shallow line") << "line" << QList<float>{2, 3, 37, 14};
    QTest::newRow("steep line backwards") << "line" << QList<float>{30, 35, 21, 1};
    QTest::newRow("line across the edge") << "line" << QList<float>{-20, -9, 25, 30};
    QTest::newRow("fractional line") << "line" << QList<float>{2.5f, 3.5f, 17.49f, 20.51f};
    QTest::newRow("box") << "box" << QList<float>{4, 6, 30, 20};
    QTest::newRow("box with swapped corners") << "box" << QList<float>{30, 20, 4, 6};
    QTest::newRow("box partly outside") << "box" << QList<float>{-10, -4, 12, 50};
    QTest::newRow("flat box") << "box" << QList<float>{5, 9, 25, 9};
    QTest::newRow("thin box") << "box" << QList<float>{5, 9, 5, 30};
    QTest::newRow("circle") << "circle" << QList<float>{20, 20, 13};
    QTest::newRow("circle around a corner") << "circle" << QList<float>{0, 39, 17};
    QTest::newRow("circle over all four edges") << "circle" << QList<float>{20, 20, 24};
    QTest::newRow("point") << "point" << QList<float>{11, 12};
    QTest::newRow("point on the far corner") << "point" << QList<float>{39, 39};
}

void TestCanvas::drawingTwiceRestoresThePicture()
{
    QFETCH(QString, shape);
    QFETCH(QList<float>, values);
    InvertCanvas canvas;
    canvas.setPicture(variedPicture(40, 40));
    const QImage original = canvas.picture();

    drawFigure(canvas, shape, values);
    const QList<QPoint> changed = changedPixels(original, canvas.picture());
    QVERIFY(!changed.isEmpty());
    QVERIFY(allInverted(original, canvas.picture(), changed));

    drawFigure(canvas, shape, values);
    QCOMPARE(canvas.picture(), original);
}

void TestCanvas::boxAndLinePixelsAreInvertedOnce_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QList<float>>("values");
    QTest::addColumn<int>("pixels");

    QTest::newRow("box 10 x 5") << "box" << QList<float>{2, 3, 11, 7} << 2 * 10 + 2 * 3;
    QTest::newRow("box 10 x 5, corners swapped") << "box" << QList<float>{11, 3, 2, 7} << 26;
    QTest::newRow("box 2 x 2") << "box" << QList<float>{4, 4, 5, 5} << 4;
    QTest::newRow("box 1 x 6") << "box" << QList<float>{4, 4, 4, 9} << 6;
    QTest::newRow("box of one pixel") << "box" << QList<float>{4, 4, 4, 4} << 1;
    QTest::newRow("line leaves out its end") << "line" << QList<float>{1, 1, 11, 1} << 10;
    QTest::newRow("diagonal line") << "line" << QList<float>{12, 12, 2, 2} << 10;
    QTest::newRow("steep line") << "line" << QList<float>{0, 0, 3, 10} << 10;
    QTest::newRow("line to its own start") << "line" << QList<float>{5, 5, 5, 5} << 0;
    QTest::newRow("circle of radius 0") << "circle" << QList<float>{9, 9, 0} << 1;
    QTest::newRow("circle of radius 1") << "circle" << QList<float>{9, 9, 1} << 4;
    QTest::newRow("negative radius") << "circle" << QList<float>{9, 9, -3} << 0;
    QTest::newRow("point") << "point" << QList<float>{3, 4} << 1;
    QTest::newRow("point outside") << "point" << QList<float>{-1, 4} << 0;
}

void TestCanvas::boxAndLinePixelsAreInvertedOnce()
{
    QFETCH(QString, shape);
    QFETCH(QList<float>, values);
    QFETCH(int, pixels);
    InvertCanvas canvas;
    canvas.setPicture(variedPicture(20, 20));
    const QImage original = canvas.picture();

    drawFigure(canvas, shape, values);

    const QList<QPoint> changed = changedPixels(original, canvas.picture());
    QCOMPARE(changed.size(), pixels);
    QVERIFY(allInverted(original, canvas.picture(), changed));
}

void TestCanvas::circleOutlineHasNoGaps_data()
{
    QTest::addColumn<int>("radius");
    for (int radius : {2, 3, 4, 5, 7, 10, 12, 17, 25, 31})
        QTest::addRow("radius %d", radius) << radius;
}

// A pixel inverted twice where two octants meet would be back to its colour and leave a hole,
// and its neighbours on the outline with only one neighbour each.
void TestCanvas::circleOutlineHasNoGaps()
{
    QFETCH(int, radius);
    InvertCanvas canvas;
    canvas.setPicture(variedPicture(70, 70));
    const QImage original = canvas.picture();
    const QPoint centre(35, 35);

    canvas.drawCircle(centre.x(), centre.y(), radius);

    const QList<QPoint> changed = changedPixels(original, canvas.picture());
    QVERIFY(allInverted(original, canvas.picture(), changed));
    QSet<QPoint> outline(changed.begin(), changed.end());
    for (const QPoint &axis :
         {QPoint(0, radius), QPoint(radius, 0), QPoint(0, -radius), QPoint(-radius, 0)})
        QVERIFY2(outline.contains(centre + axis), "the outline misses an axis point");
    for (const QPoint &p : changed) {
        const QPoint d = p - centre;
        QVERIFY(std::abs(std::hypot(d.x(), d.y()) - radius) < 1.0);
        QVERIFY2(outline.contains(centre + QPoint(d.y(), d.x())), "the outline is not symmetric");
        int neighbours = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                neighbours += (dx || dy) && outline.contains(p + QPoint(dx, dy));
        QVERIFY2(neighbours >= 2, "the outline has a gap");
    }
}

void TestCanvas::clearRestoresThePictureAndResetsThePen()
{
    InvertCanvas canvas;
    canvas.setPicture(variedPicture(60, 50));
    const QImage original = canvas.picture();

    canvas.drawBox(5, 5, 40, 30);
    canvas.drawCircle(20, 20, 15);
    canvas.drawLine(0, 0, 59, 49);
    canvas.drawBox(10, 10, 30, 20);
    canvas.setPoint(20, 20);
    canvas.drawLineTo(-10, 45);
    canvas.drawBox(5, 5, 40, 30);
    canvas.drawCircle(20, 20, 15);
    canvas.drawCircle(58, 3, 30);
    QVERIFY(canvas.picture() != original);

    canvas.clear();

    QCOMPARE(canvas.picture(), original);
    QCOMPARE(InvertCanvasProbe::penX(canvas), 0.0f);
    QCOMPARE(InvertCanvasProbe::penY(canvas), 0.0f);
}

void TestCanvas::clearForgetsWhatItErased()
{
    InvertCanvas canvas;
    canvas.setPicture(variedPicture(30, 30));
    const QImage original = canvas.picture();
    canvas.drawBox(2, 2, 20, 20);
    canvas.clear();

    canvas.clear();
    QCOMPARE(canvas.picture(), original);

    canvas.drawLine(1, 1, 25, 9);
    canvas.drawCircle(15, 15, 6);
    canvas.clear();
    QCOMPARE(canvas.picture(), original);
}

void TestCanvas::clearAfterRubberBandRestoresThePicture()
{
    InvertCanvas canvas;
    canvas.setPicture(variedPicture(80, 80));
    const QImage original = canvas.picture();

    // As the mouse handlers do it: the first erase hits a box never drawn, which stays.
    float endX = 10;
    float endY = 10;
    for (int move = 0; move < 40; ++move) {
        canvas.drawBox(10, 10, endX, endY);
        endX = 12.0f + move * 1.5f;
        endY = 70.0f - move;
        canvas.drawBox(10, 10, endX, endY);
    }
    canvas.drawCircle(40, 40, 1);
    for (int radius = 5; radius < 40; radius += 3) {
        canvas.drawCircle(40, 40, radius);
        canvas.drawCircle(40, 40, radius);
    }
    // Each outline erased by drawing it again is forgotten, so that however long the drag, the
    // clear redraws only what is on the canvas: the first box, the last box and the small
    // circle.
    QCOMPARE(InvertCanvasProbe::figureCount(canvas), std::size_t(3));

    canvas.clear();
    QCOMPARE(canvas.picture(), original);
    QCOMPARE(InvertCanvasProbe::figureCount(canvas), std::size_t(0));
}

void TestCanvas::penFollowsEachFigure()
{
    InvertCanvas canvas;
    canvas.setPicture(variedPicture(30, 30));
    QCOMPARE(InvertCanvasProbe::penX(canvas), 0.0f);

    canvas.drawLine(1.5f, 2, 7.25f, 9);
    QCOMPARE(InvertCanvasProbe::penX(canvas), 7.25f);
    QCOMPARE(InvertCanvasProbe::penY(canvas), 9.0f);
    canvas.setPoint(4, -3);
    QCOMPARE(InvertCanvasProbe::penX(canvas), 4.0f);
    QCOMPARE(InvertCanvasProbe::penY(canvas), -3.0f);
    canvas.drawBox(20, 21, 2, 3);
    QCOMPARE(InvertCanvasProbe::penX(canvas), 2.0f);
    QCOMPARE(InvertCanvasProbe::penY(canvas), 3.0f);
    canvas.drawCircle(12, 13, 5);
    QCOMPARE(InvertCanvasProbe::penX(canvas), 12.0f);
    QCOMPARE(InvertCanvasProbe::penY(canvas), 13.0f);
    canvas.drawCircle(-6, 100, -1);
    QCOMPARE(InvertCanvasProbe::penX(canvas), -6.0f);
    QCOMPARE(InvertCanvasProbe::penY(canvas), 100.0f);
    canvas.drawLineTo(8, 9);
    QCOMPARE(InvertCanvasProbe::penX(canvas), 8.0f);
    QCOMPARE(InvertCanvasProbe::penY(canvas), 9.0f);
    canvas.clear();
    QCOMPARE(InvertCanvasProbe::penX(canvas), 0.0f);
    QCOMPARE(InvertCanvasProbe::penY(canvas), 0.0f);
}

void TestCanvas::lineToStartsAtThePen()
{
    InvertCanvas byPen;
    byPen.setPicture(variedPicture(30, 30));
    InvertCanvas byEnds;
    byEnds.setPicture(variedPicture(30, 30));

    byPen.drawBox(3, 4, 10, 12);
    byPen.drawLineTo(25, 20);
    byPen.drawLineTo(2, 27);
    byEnds.drawBox(3, 4, 10, 12);
    byEnds.drawLine(10, 12, 25, 20);
    byEnds.drawLine(25, 20, 2, 27);

    QCOMPARE(byPen.picture(), byEnds.picture());
}

void TestCanvas::hugeCoordinatesAreSafe()
{
    InvertCanvas canvas;
    canvas.setPicture(variedPicture(50, 40));
    const QImage original = canvas.picture();
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();

    auto drawAll = [&] {
        canvas.drawCircle(0, 0, 32767);
        canvas.drawCircle(-32768, -32768, 32767);
        canvas.drawCircle(25, 20, 1e30f);
        canvas.drawLine(-32768, -32768, 32767, 32767);
        canvas.drawLine(-1e30f, 5, 1e30f, 7);
        canvas.drawBox(-32768, -32768, 32767, 32767);
        canvas.drawBox(-inf, -inf, inf, inf);
        canvas.drawLine(nan, nan, 10, 10);
        canvas.setPoint(1e9f, -1e9f);
        canvas.drawLineTo(3e38f, -3e38f);
    };
    drawAll();
    QVERIFY(canvas.picture() != original);
    drawAll();
    QCOMPARE(canvas.picture(), original);
    drawAll();
    canvas.clear();
    QCOMPARE(canvas.picture(), original);
}

void TestCanvas::picturesKeepOrLoseTheirFormat()
{
    QImage rgb = variedPicture(64, 48);
    const QImage expected = rgb.copy();
    const uchar *pixels = rgb.constBits();
    InvertCanvas canvas;
    canvas.setPicture(std::move(rgb));
    QCOMPARE(canvas.picture().constBits(), pixels);
    QCOMPARE(canvas.picture(), expected);

    // A picture with transparency is made opaque where it lies, not copied.
    QImage withAlpha(64, 48, QImage::Format_ARGB32);
    withAlpha.fill(QColor(10, 20, 30));
    const uchar *alphaPixels = withAlpha.constBits();
    canvas.setPicture(std::move(withAlpha));
    QCOMPARE(canvas.picture().constBits(), alphaPixels);
    QCOMPARE(canvas.picture().format(), QImage::Format_RGB32);
    QCOMPARE(canvas.picture().pixel(5, 5), qRgb(10, 20, 30));

    QImage grey(16, 8, QImage::Format_Grayscale8);
    grey.fill(QColor(100, 100, 100));
    canvas.setPicture(grey);
    QCOMPARE(canvas.picture().format(), QImage::Format_RGB32);
    QCOMPARE(canvas.picture().pixel(3, 3), qRgb(100, 100, 100));
}

void TestCanvas::transparentPartsShowWhite()
{
    QImage argb(20, 10, QImage::Format_ARGB32);
    argb.fill(Qt::transparent);
    argb.setPixel(3, 4, qRgba(200, 0, 50, 255));
    argb.setPixel(5, 4, qRgba(0, 0, 0, 128));
    InvertCanvas canvas;
    canvas.setPicture(argb);
    QCOMPARE(canvas.picture().format(), QImage::Format_RGB32);
    QCOMPARE(canvas.picture().pixel(0, 0), qRgb(255, 255, 255));
    QCOMPARE(canvas.picture().pixel(19, 9), qRgb(255, 255, 255));
    QCOMPARE(canvas.picture().pixel(3, 4), qRgb(200, 0, 50));
    const QRgb halfBlack = canvas.picture().pixel(5, 4);
    QVERIFY(qGray(halfBlack) > 120 && qGray(halfBlack) < 135);

    // A GIF-like picture: a colour table with a transparent entry.
    QImage indexed(8, 8, QImage::Format_Indexed8);
    indexed.setColorTable({qRgba(0, 0, 0, 0), qRgb(0, 128, 0)});
    indexed.fill(0);
    indexed.setPixel(2, 2, 1);
    canvas.setPicture(indexed);
    QCOMPARE(canvas.picture().pixel(0, 0), qRgb(255, 255, 255));
    QCOMPARE(canvas.picture().pixel(2, 2), qRgb(0, 128, 0));

    // Deeper formats, as a 16-bit PNG gives them, blend the same way.
    QImage deep(6, 3, QImage::Format_RGBA64);
    deep.fill(QColor(0, 0, 0, 128));
    deep.setPixelColor(1, 1, QColor(200, 0, 50));
    canvas.setPicture(deep);
    QCOMPARE(canvas.picture().format(), QImage::Format_RGB32);
    QCOMPARE(canvas.picture().size(), QSize(6, 3));
    QCOMPARE(canvas.picture().pixel(1, 1), qRgb(200, 0, 50));
    QVERIFY(qAbs(qGray(canvas.picture().pixel(4, 2)) - 127) <= 1);
}

void TestCanvas::newPictureForgetsFiguresButKeepsThePen()
{
    InvertCanvas canvas;
    canvas.setPicture(variedPicture(30, 30));
    canvas.drawBox(1, 1, 20, 20);
    canvas.drawLine(3, 3, 17, 8);

    const QImage next = variedPicture(25, 35).mirrored();
    canvas.setPicture(next);
    // Only drawing and clearing move the pen.
    QCOMPARE(InvertCanvasProbe::penX(canvas), 17.0f);
    QCOMPARE(InvertCanvasProbe::penY(canvas), 8.0f);
    QCOMPARE(canvas.picture(), next);
    canvas.clear();
    QCOMPARE(canvas.picture(), next);
    QCOMPARE(InvertCanvasProbe::penX(canvas), 0.0f);
}

void TestCanvas::withoutAPictureTheSurfaceIsWhite()
{
    InvertCanvas canvas;
    canvas.resize(20, 10);
    QVERIFY(!InvertCanvasProbe::hasPicture(canvas));

    canvas.setPoint(3, 4);
    QCOMPARE(canvas.picture().size(), QSize(20, 10));
    QCOMPARE(canvas.picture().pixel(3, 4), qRgb(0, 0, 0));
    QCOMPARE(canvas.picture().pixel(4, 4), qRgb(255, 255, 255));

    // Growing keeps what was drawn; clearing then leaves white.
    canvas.resize(40, 30);
    canvas.drawBox(30, 20, 35, 25);
    QCOMPARE(canvas.picture().size(), QSize(40, 30));
    QCOMPARE(canvas.picture().pixel(3, 4), qRgb(0, 0, 0));
    QCOMPARE(canvas.picture().pixel(30, 20), qRgb(0, 0, 0));
    canvas.clear();
    QImage white(40, 30, QImage::Format_RGB32);
    white.fill(Qt::white);
    QCOMPARE(canvas.picture(), white);

    canvas.setPicture(variedPicture(5, 5));
    QVERIFY(InvertCanvasProbe::hasPicture(canvas));
    canvas.setPicture(QImage());
    QVERIFY(!InvertCanvasProbe::hasPicture(canvas));
}

void TestCanvas::autoSizeTakesThePictureSize()
{
    QWidget frame;
    auto *canvas = new InvertCanvas(&frame);
    canvas->resize(200, 150);
    canvas->setPicture(variedPicture(64, 48));
    QCOMPARE(canvas->size(), QSize(200, 150));
    QVERIFY(!canvas->autoSize());

    canvas->setAutoSize(true);
    QVERIFY(canvas->autoSize());
    QCOMPARE(canvas->size(), QSize(64, 48));
    canvas->resize(300, 300);
    QCOMPARE(canvas->size(), QSize(64, 48));

    canvas->setPicture(variedPicture(90, 33));
    QCOMPARE(canvas->size(), QSize(90, 33));
    QCOMPARE(canvas->sizeHint(), QSize(90, 33));
}

void TestCanvas::paintingShowsThePictureCrisp()
{
    InvertCanvas canvas;
    canvas.setPicture(variedPicture(24, 16));
    canvas.setAutoSize(true);
    canvas.drawCircle(12, 8, 6);

    // On a scaled screen every picture pixel must become a block of its own colour.
    const QPixmap shot = canvas.grab();
    const int ratio = qRound(shot.devicePixelRatio());
    const QImage shown = shot.toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.size(), canvas.picture().size() * ratio);
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            QCOMPARE(shown.pixel(x, y), canvas.picture().pixel(x / ratio, y / ratio));
}

void TestCanvas::repaintsFollowTheFigures()
{
    InvertCanvas canvas;
    canvas.setPicture(variedPicture(300, 200));
    canvas.setAutoSize(true);
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    if (canvas.devicePixelRatio() != 1)
        QSKIP(scaledScreen);
    QCOMPARE(shownOnScreen(&canvas), canvas.picture());

    canvas.drawLine(1, 2, 297, 190);
    canvas.drawCircle(150, 100, 90);
    canvas.drawBox(20, 30, 250, 170);
    canvas.setPoint(299, 0);
    canvas.drawLineTo(0, 199);
    QCOMPARE(shownOnScreen(&canvas), canvas.picture());

    canvas.drawCircle(150, 100, 90);
    canvas.drawCircle(150, 100, 91);
    QCOMPARE(shownOnScreen(&canvas), canvas.picture());

    canvas.clear();
    QCOMPARE(shownOnScreen(&canvas), canvas.picture());
}

void TestCanvas::repaintsStayAlongTheOutline_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QList<float>>("values");

    QTest::newRow("big circle") << "circle" << QList<float>{300, 300, 250};
    QTest::newRow("circle over the edges") << "circle" << QList<float>{550, 80, 200};
    QTest::newRow("long diagonal") << "line" << QList<float>{0, 0, 599, 599};
    QTest::newRow("shallow line") << "line" << QList<float>{-50, 500, 650, 80};
    QTest::newRow("big box") << "box" << QList<float>{10, 10, 590, 590};
}

// A big outline must be repainted along its line, not over its whole bounding box.
void TestCanvas::repaintsStayAlongTheOutline()
{
    QFETCH(QString, shape);
    QFETCH(QList<float>, values);
    InvertCanvas canvas;
    canvas.setPicture(variedPicture(600, 600));
    canvas.setAutoSize(true);
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    repaintNow();
    const QImage original = canvas.picture();
    PaintLog log;
    canvas.installEventFilter(&log);

    drawFigure(canvas, shape, values);
    repaintNow();

    const QList<QPoint> changed = changedPixels(original, canvas.picture());
    for (const QPoint &p : changed)
        QVERIFY2(log.painted.contains(p), "a changed pixel was not repainted");
    QVERIFY2(area(log.painted) <= 10 * changed.size(),
             "the repaint is far larger than the outline");
}

void TestCanvas::repaintsFollowTheFiguresWhenScrolled()
{
    QScrollArea area;
    area.setFrameShape(QFrame::NoFrame);
    area.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    area.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    area.resize(200, 160);
    auto *canvas = new InvertCanvas;
    canvas->setAutoSize(true);
    canvas->setPicture(variedPicture(700, 600));
    area.setWidget(canvas);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    if (area.devicePixelRatio() != 1)
        QSKIP(scaledScreen);
    area.horizontalScrollBar()->setValue(250);
    area.verticalScrollBar()->setValue(180);

    canvas->drawCircle(300, 250, 120);
    canvas->drawLine(0, 0, 699, 599);
    canvas->drawBox(260, 190, 330, 290);

    const QRect viewport = area.viewport()->geometry();
    const QPoint scrolled(250, 180);
    const QImage screen = shownOnScreen(&area);
    QCOMPARE(screen.copy(viewport), canvas->picture().copy(viewport.translated(scrolled)));
}

void TestCanvas::mouseEventsReachTheHandlers()
{
    QWidget window;
    window.setGeometry(100, 100, 200, 200);
    auto *canvas = new InvertCanvas(&window);
    canvas->setGeometry(40, 30, 100, 80);
    MouseLog log(*canvas);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTest::mouseMove(canvas, QPoint(12, 7));
    QCOMPARE(log.calls.size(), 1);
    QCOMPARE(log.calls[0].kind, QStringLiteral("move"));
    QCOMPARE(log.calls[0].button, 0);
    QCOMPARE(log.calls[0].x, 12.0f);
    QCOMPARE(log.calls[0].y, 7.0f);

    const struct {
        Qt::MouseButton button;
        Qt::KeyboardModifiers modifiers;
        int code;
        int shift;
    } presses[] = {
        {Qt::LeftButton, Qt::ShiftModifier, 1, 1},
        {Qt::RightButton, Qt::ControlModifier, 2, 2},
        {Qt::MiddleButton, Qt::AltModifier | Qt::ShiftModifier, 4, 5},
    };
    for (const auto &press : presses) {
        log.calls.clear();
        QTest::mousePress(canvas, press.button, press.modifiers, QPoint(20, 25));
        QTest::mouseRelease(canvas, press.button, press.modifiers, QPoint(21, 26));
        QCOMPARE(log.of(QStringLiteral("down")).size(), 1);
        QCOMPARE(log.of(QStringLiteral("up")).size(), 1);
        const MouseCall down = log.of(QStringLiteral("down"))[0];
        const MouseCall up = log.of(QStringLiteral("up"))[0];
        QCOMPARE(down.button, press.code);
        QCOMPARE(down.shift, press.shift);
        QCOMPARE(down.x, 20.0f);
        QCOMPARE(down.y, 25.0f);
        QCOMPARE(up.button, press.code);
        QCOMPARE(up.shift, press.shift);
        QCOMPARE(up.x, 21.0f);
        QCOMPARE(up.y, 26.0f);
    }
}

void TestCanvas::mouseKeepsComingOutsideAfterAPress()
{
    QWidget window;
    window.setGeometry(100, 100, 200, 200);
    auto *canvas = new InvertCanvas(&window);
    canvas->setGeometry(40, 30, 100, 80);
    MouseLog log(*canvas);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(canvas, QPoint(-25, -18));
    QTest::mouseMove(canvas, QPoint(130, 95));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(-30, 120));

    const QList<MouseCall> moves = log.of(QStringLiteral("move"));
    QCOMPARE(moves.size(), 2);
    QCOMPARE(moves[0].button, 1);
    QCOMPARE(moves[0].x, -25.0f);
    QCOMPARE(moves[0].y, -18.0f);
    QCOMPARE(moves[1].x, 130.0f);
    QCOMPARE(moves[1].y, 95.0f);
    const QList<MouseCall> ups = log.of(QStringLiteral("up"));
    QCOMPARE(ups.size(), 1);
    QCOMPARE(ups[0].button, 1);
    QCOMPARE(ups[0].x, -30.0f);
    QCOMPARE(ups[0].y, 120.0f);
}

// Only the three buttons the drawing tools know of press or release anything, so a mouse's side
// buttons can never start or end a drag; a move tells every known button held.
void TestCanvas::onlyKnownButtonsPressAndMovesAddTheHeldOnes()
{
    QWidget window;
    window.setGeometry(100, 100, 200, 200);
    auto *canvas = new InvertCanvas(&window);
    canvas->setGeometry(40, 30, 100, 80);
    MouseLog log(*canvas);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QTest::mousePress(canvas, Qt::BackButton, {}, QPoint(10, 10));
    QTest::mouseMove(canvas, QPoint(11, 12));
    QTest::mouseRelease(canvas, Qt::BackButton, {}, QPoint(11, 12));
    QCOMPARE(log.calls.size(), 1);
    QCOMPARE(log.calls[0].kind, QStringLiteral("move"));
    QCOMPARE(log.calls[0].button, 0);

    const auto heldAtMove = [&](QPoint at) {
        log.calls.clear();
        QTest::mouseMove(canvas, at);
        const QList<MouseCall> moves = log.of(QStringLiteral("move"));
        return moves.size() == 1 && moves[0].x == float(at.x()) ? moves[0].button : -1;
    };
    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(heldAtMove(QPoint(12, 10)), 1);
    QTest::mousePress(canvas, Qt::MiddleButton, {}, QPoint(12, 10));
    QCOMPARE(heldAtMove(QPoint(14, 10)), 1 + 4);
    QTest::mousePress(canvas, Qt::RightButton, {}, QPoint(14, 10));
    QCOMPARE(heldAtMove(QPoint(16, 10)), 1 + 2 + 4);
    log.calls.clear();
    QTest::mousePress(canvas, Qt::ForwardButton, {}, QPoint(16, 10));
    QVERIFY(log.calls.isEmpty());
    QCOMPARE(heldAtMove(QPoint(18, 10)), 1 + 2 + 4);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(18, 10));
    QCOMPARE(heldAtMove(QPoint(20, 10)), 2 + 4);
    QTest::mouseRelease(canvas, Qt::MiddleButton, {}, QPoint(20, 10));
    QCOMPARE(heldAtMove(QPoint(22, 10)), 2);
    log.calls.clear();
    QTest::mouseRelease(canvas, Qt::ForwardButton, {}, QPoint(22, 10));
    QVERIFY(log.calls.isEmpty());
    QTest::mouseRelease(canvas, Qt::RightButton, {}, QPoint(22, 10));
    QCOMPARE(log.of(QStringLiteral("up")).size(), 1);
    QCOMPARE(log.of(QStringLiteral("up"))[0].button, 2);
}

QTEST_MAIN(TestCanvas)
#include "test_canvas.moc"
