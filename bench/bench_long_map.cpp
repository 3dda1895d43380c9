// Draws a map of 10,000 areas through the real main window and area dialog, the way a user
// does it: "Uusi" on a picture, then for every area a mouse drag or polygon clicks on the canvas
// and "O.K" in the dialog. "Luo koodi" closes the map right after its first area, so every later
// area goes in before the closing tag of a map that grows past a million characters; a last
// "Luo koodi" must change nothing. Checks the markup to the character against a copy built here
// independently, and prints the mean time per area for the first and the last 1,000 areas and
// for both halves: a long map must not make an area dearer. Run with QT_QPA_PLATFORM=offscreen.

#include "core/editor_state.h"
#include "platform/canvas/canvas.h"
#include "platform/modal.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/markup_box.h"

#include <QApplication>
#include <QImageWriter>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <random>
#include <string>
#include <vector>

using namespace zorvik;
using ui::Form1;
using ui::Form3;

namespace {

constexpr int areaCount = 10000;
constexpr int window = 1000;
constexpr QSize pictureSize(1200, 900);
constexpr double allowedRatio = 1.3;

const QString mapName = QStringLiteral("pitkä kartta");
const std::string border = "2";

enum class Shape { Rect, Circle, Poly };

// One area as the user draws it: the pointer's path and the texts typed into the dialog.
struct Area {
    Shape shape;
    // Rectangle and circle: press, moves; the last move is where the button is released.
    // Polygon: the vertices clicked; a right click elsewhere closes it.
    std::vector<QPoint> points;
    std::string link;
    std::string target;
    std::string alt;
};

std::vector<Area> plannedAreas()
{
    std::mt19937 random(20260101);
    std::uniform_int_distribution<int> x(5, pictureSize.width() - 6);
    std::uniform_int_distribution<int> y(5, pictureSize.height() - 6);
    std::uniform_int_distribution<int> vertices(3, 9);
    std::vector<Area> areas;
    areas.reserve(areaCount);
    for (int i = 0; i < areaCount; ++i) {
        Area area{Shape(i % 3),
                  {},
                  "sivu" + std::to_string(i) + ".html",
                  i % 2 ? "oikea" : "_blank",
                  "Alue " + std::to_string(i) + " ä"};
        const int count = area.shape == Shape::Poly ? vertices(random) : 4;
        for (int p = 0; p < count; ++p)
            area.points.emplace_back(x(random), y(random));
        areas.push_back(std::move(area));
    }
    return areas;
}

// The markup rules written out again here, so that the bench checks the program rather than
// itself: plain values, coordinates as whole pixels.
std::string coordsOf(const Area &area)
{
    const std::vector<QPoint> &p = area.points;
    std::string coords;
    const auto add = [&coords](int value) {
        if (!coords.empty())
            coords += ',';
        coords += std::to_string(value);
    };
    switch (area.shape) {
    case Shape::Rect:
        add(p.front().x());
        add(p.front().y());
        add(p.back().x());
        add(p.back().y());
        break;
    case Shape::Circle: {
        const QPoint d = p.back() - p.front();
        const long radius = std::lround(std::sqrt(double(d.x()) * d.x() + double(d.y()) * d.y()));
        add(p.front().x());
        add(p.front().y());
        add(int(std::max(radius, 5L)));
        break;
    }
    case Shape::Poly:
        for (const QPoint v : p) {
            add(v.x());
            add(v.y());
        }
        break;
    }
    return coords;
}

std::string expectedMarkup(const std::vector<Area> &areas, const std::string &picturePath)
{
    const std::string name = mapName.toStdString();
    std::string text = "<IMG SRC=\"" + picturePath + "\" USEMAP=\"#" + name + "\" BORDER =\"" +
                       border + "\"><MAP NAME=\"" + name + "\">";
    const char *keywords[] = {"RECT", "CIRCLE", "POLY"};
    for (const Area &area : areas) {
        text += std::string("<AREA SHAPE=\"") + keywords[int(area.shape)] + "\" COORDS=\"" +
                coordsOf(area) + "\" HREF=\"" + area.link + "\" TARGET=\"" + area.target +
                "\" Alt=\"" + area.alt + "\">";
    }
    return text + "</map>";
}

QString writePicture(const QTemporaryDir &dir)
{
    QImage picture(pictureSize, QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, pictureSize.width(), pictureSize.height());
    sky.setColorAt(0, QColor(30, 90, 160));
    sky.setColorAt(1, QColor(220, 230, 190));
    painter.fillRect(picture.rect(), sky);
    painter.setBrush(QColor(60, 140, 60));
    painter.drawEllipse(QPoint(400, 600), 300, 200);
    painter.end();
    const QString path = dir.filePath(QStringLiteral("kartta.png"));
    if (!QImageWriter(path).write(picture))
        qFatal("cannot write the picture");
    return path;
}

// Acts as the user in every dialog: fills in the new map, and types each area's texts.
class User {
public:
    User(Form1 &main, const std::vector<Area> &areas, QString picturePath)
        : m_main(main), m_areas(areas), m_picturePath(std::move(picturePath))
    {
        platform::setModalDriver([this](QDialog *dialog) { answer(dialog); });
    }
    ~User() { platform::setModalDriver({}); }

    void startMap()
    {
        m_main.uusi()->click();
        if (!m_main.Picture1()->isEnabled())
            qFatal("the picture was not loaded");
    }

    void draw(std::size_t index)
    {
        m_current = index;
        const Area &area = m_areas[index];
        selectTool(area.shape);
        if (area.shape == Shape::Poly)
            clickPolygon(area.points);
        else
            drag(area.points);
        if (m_confirmed != index + 1)
            qFatal("area %zu was not confirmed", index);
    }

private:
    void answer(QDialog *dialog)
    {
        if (dialog == &ui::form2()) {
            ui::form2().nimi()->setText(mapName);
            ui::form2().kuva()->setText(m_picturePath);
            ui::form2().Command1()->click();
            return;
        }
        auto *form = qobject_cast<Form3 *>(dialog);
        if (!form)
            qFatal("an unexpected dialog opened");
        const Area &area = m_areas[m_current];
        form->kehys()->setText(QString::fromStdString(border));
        form->linkki()->setText(QString::fromStdString(area.link));
        form->kohde()->setText(QString::fromStdString(area.target));
        form->alt()->setText(QString::fromStdString(area.alt));
        form->Command1()->click();
        ++m_confirmed;
    }

    void selectTool(Shape shape)
    {
        QPushButton *tools[] = {m_main.neliö(), m_main.ympyrä(), m_main.vinkura()};
        tools[int(shape)]->click();
    }

    void drag(const std::vector<QPoint> &path)
    {
        mouse(QEvent::MouseButtonPress, path.front(), Qt::LeftButton, Qt::LeftButton);
        for (std::size_t i = 1; i < path.size(); ++i)
            mouse(QEvent::MouseMove, path[i], Qt::NoButton, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, path.back(), Qt::LeftButton, Qt::NoButton);
    }

    void clickPolygon(const std::vector<QPoint> &vertices)
    {
        for (const QPoint v : vertices)
            click(v, Qt::LeftButton);
        click(vertices.front() + QPoint(3, 3), Qt::RightButton);
    }

    void click(QPoint at, Qt::MouseButton button)
    {
        mouse(QEvent::MouseButtonPress, at, button, button);
        mouse(QEvent::MouseButtonRelease, at, button, Qt::NoButton);
    }

    // Delivered to the canvas as the window system would, through its own event handlers.
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QWidget *canvas = m_main.Picture1();
        QMouseEvent event(type, QPointF(at), QPointF(canvas->mapToGlobal(at)), button, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(canvas, &event);
    }

    Form1 &m_main;
    const std::vector<Area> &m_areas;
    QString m_picturePath;
    std::size_t m_current = 0;
    std::size_t m_confirmed = 0;
};

double mean(const std::vector<double> &samples, std::size_t first, std::size_t count)
{
    return std::accumulate(samples.begin() + first, samples.begin() + first + count, 0.0) /
           double(count);
}

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        qFatal("no temporary folder");
    const QString picturePath = writePicture(dir);
    const std::vector<Area> areas = plannedAreas();

    Form1 main;
    main.show();
    QCoreApplication::processEvents();
    User user(main, areas, picturePath);
    user.startMap();

    std::vector<double> perArea;
    perArea.reserve(areas.size());
    const auto whole = Clock::now();
    for (std::size_t i = 0; i < areas.size(); ++i) {
        const auto start = Clock::now();
        user.draw(i);
        if (i == 0)
            main.luo()->click();
        // The event loop runs between areas for a user too: the canvas repaints here.
        QCoreApplication::processEvents();
        perArea.push_back(millisecondsSince(start));
    }
    if (!main.kopioi()->isEnabled())
        qFatal("\"Luo koodi\" did not close the map");
    const double drawing = millisecondsSince(whole);

    const auto closing = Clock::now();
    main.luo()->click();
    const double closeTime = millisecondsSince(closing);

    const std::string &markup = main.koodi2()->text();
    const bool exact = markup == expectedMarkup(areas, picturePath.toStdString());
    const double first = mean(perArea, 0, window);
    const double last = mean(perArea, perArea.size() - window, window);
    // The first area is left out of the first half: it alone writes the header.
    const std::size_t half = perArea.size() / 2;
    const double firstHalf = mean(perArea, 1, half - 1);
    const double secondHalf = mean(perArea, half, perArea.size() - half);

    std::printf("%d areas (rectangles, circles and polygons of 3 to 9 vertices) on a %d x %d "
                "picture\n",
                areaCount, pictureSize.width(), pictureSize.height());
    std::printf("  all areas                  %10.1f ms\n", drawing);
    std::printf("  first %d areas, mean    %10.4f ms per area\n", window, first);
    std::printf("  last %d areas, mean     %10.4f ms per area\n", window, last);
    std::printf("  ratio last / first         %10.2f\n", last / first);
    std::printf("  first half, mean           %10.4f ms per area\n", firstHalf);
    std::printf("  second half, mean          %10.4f ms per area\n", secondHalf);
    std::printf("  ratio second / first half  %10.2f\n", secondHalf / firstHalf);
    std::printf("  \"Luo koodi\" again          %10.4f ms\n", closeTime);
    std::printf("  markup                     %10zu bytes\n", markup.size());
    std::printf("markup %s\n", exact ? "OK" : "FAIL");
    const bool flat = last / first <= allowedRatio && secondHalf / firstHalf <= allowedRatio;
    std::printf("time per area %s (ratios at most %.1f)\n", flat ? "flat" : "GROWS", allowedRatio);
    return exact ? 0 : 1;
}
