// Loads two 100-megapixel JPEGs, a smooth gradient and a photo-like plasma, four ways: libjpeg-
// turbo's own decode into one reused row, which is the decoder's speed with no picture to keep
// and so the floor; Qt's plain image reader; the canvas's picture loader; and "O.K" in the real
// new-map dialog until the canvas has painted the picture. Prints the medians, their ratios to
// the floor and the peak memory each way adds, and fails when the loader or "O.K" falls behind
// the floor by more than is allowed, or the loader holds more than the picture.
//
//     bench_load [runs] [picture.jpg...]
//
// Without pictures, the two are drawn once into /tmp and kept there.

#include "platform/canvas/canvas.h"
#include "platform/modal.h"
#include "platform/picture/picture_loader.h"
#include "platform/picture/picture_memory.h"
#include "ui/form1.h"
#include "ui/form2.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

// After <cstdio>: the decoder's header uses FILE without including it.
#include <jpeglib.h>

using namespace zorvik;

namespace {

const char *gradientPicture = "/tmp/zorvik-bench-10000x10000.jpg";
const char *photoPicture = "/tmp/zorvik-bench-photo-10000x10000.jpg";
const char *generateOption = "--generate";
constexpr int side = 10000;
constexpr double allowedLoaderRatio = 1.2;
constexpr double allowedOkRatio = 1.3;
constexpr double allowedMemory = 1.02;

bool writeJpeg(const QImage &image, const QString &path)
{
    QImageWriter writer(path, "jpeg");
    writer.setQuality(90);
    if (writer.write(image))
        return true;
    std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path),
                 qPrintable(writer.errorString()));
    return false;
}

// Film grain, so that the picture compresses like a photo rather than like a drawing.
void addGrain(QImage &image)
{
    quint32 seed = 12345;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = int(seed >> 28) - 8;
            const auto shift = [grain](int c) { return std::clamp(c + grain, 0, 255); };
            line[x] = qRgb(shift(qRed(line[x])), shift(qGreen(line[x])), shift(qBlue(line[x])));
        }
    }
}

// A smooth gradient with edges and grain: the decoder has little detail to work through.
QImage gradient()
{
    QImage image(side, side, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, side, side);
    sky.setColorAt(0, QColor(30, 80, 160));
    sky.setColorAt(1, QColor(230, 200, 120));
    painter.fillRect(image.rect(), sky);
    for (int i = 0; i < 400; ++i) {
        painter.setBrush(QColor::fromHsv((i * 37) % 360, 160, 220));
        painter.drawEllipse(QPoint((i * 7919) % side, (i * 104729) % side), 150 + i % 300,
                            100 + i % 200);
    }
    painter.end();
    addGrain(image);
    return image;
}

// One tile of plasma by midpoint displacement: detail at every scale, down to the pixel, as in
// a photo of foliage or gravel.
void drawPlasmaTile(QImage &image, QPoint at, int tileSide, std::mt19937 &random)
{
    constexpr int steps = 1024;
    constexpr int points = steps + 1;
    std::vector<float> grid(std::size_t(points) * points);
    const auto cell = [&grid](int x, int y) -> float & {
        return grid[std::size_t(y) * points + x];
    };
    std::uniform_real_distribution<float> level(0, 255);
    std::uniform_real_distribution<float> wobble(-1, 1);
    for (int channel = 0; channel < 3; ++channel) {
        for (const int y : {0, steps})
            for (const int x : {0, steps})
                cell(x, y) = level(random);
        float amplitude = 120;
        for (int step = steps; step > 1; step /= 2, amplitude *= 0.78f) {
            const int half = step / 2;
            for (int y = half; y < steps; y += step)
                for (int x = half; x < steps; x += step)
                    cell(x, y) = (cell(x - half, y - half) + cell(x + half, y - half) +
                                  cell(x - half, y + half) + cell(x + half, y + half)) /
                                     4 +
                                 amplitude * wobble(random);
            for (int y = 0; y <= steps; y += half) {
                for (int x = (y / half) % 2 ? 0 : half; x <= steps; x += step) {
                    float sum = 0;
                    int count = 0;
                    for (const QPoint d :
                         {QPoint(-half, 0), QPoint(half, 0), QPoint(0, -half), QPoint(0, half)}) {
                        const int nx = x + d.x(), ny = y + d.y();
                        if (nx >= 0 && nx <= steps && ny >= 0 && ny <= steps) {
                            sum += cell(nx, ny);
                            ++count;
                        }
                    }
                    cell(x, y) = sum / float(count) + amplitude * wobble(random);
                }
            }
        }
        const int shift = 16 - 8 * channel;
        for (int y = 0; y < tileSide; ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(at.y() + y)) + at.x();
            for (int x = 0; x < tileSide; ++x) {
                const auto value = QRgb(std::clamp(int(cell(x, y)), 0, 255));
                line[x] = (line[x] & ~(QRgb(0xff) << shift)) | (value << shift) | 0xff000000u;
            }
        }
    }
}

QImage photo()
{
    constexpr int tileSide = 1000;
    QImage image(side, side, QImage::Format_RGB32);
    std::mt19937 random(20260101);
    for (int y = 0; y < side; y += tileSide)
        for (int x = 0; x < side; x += tileSide)
            drawPlasmaTile(image, QPoint(x, y), tileSide, random);
    return image;
}

int generate(const QString &path)
{
    return writeJpeg(path == QLatin1String(photoPicture) ? photo() : gradient(), path) ? 0 : 1;
}

// The process's peak resident memory so far, in bytes (VmHWM); -1 where it cannot be read.
qint64 peakMemory()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    // Files under /proc tell no size, so they are read whole rather than up to their end.
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return -1;
}

// Lets the peak start again from the present resident size (Linux 4.0 and later).
bool resetPeakMemory()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1;
}

double megabytes(qint64 bytes)
{
    return double(bytes) / (1024.0 * 1024.0);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// libjpeg-turbo decodes every row of the file into the same buffer, as the same pixels the
// loader asks it for; what it leaves out is keeping them. Returns the picture's size.
QSize decodeWithoutKeeping(const QString &path)
{
    std::FILE *file = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!file)
        return {};
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&info);
    std::vector<JSAMPLE> row(std::size_t(info.output_width) * info.output_components);
    JSAMPROW rows[] = {row.data()};
    while (info.output_scanline < info.output_height)
        jpeg_read_scanlines(&info, rows, 1);
    const QSize size(int(info.output_width), int(info.output_height));
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return size;
}

// The user's way in: "Uusi" in the main window, the picture typed into the dialog and "O.K",
// until the canvas has painted the picture on the screen.
class NewMap : public QObject {
public:
    explicit NewMap(ui::Form1 &main) : m_main(main)
    {
        m_main.Picture1()->installEventFilter(this);
        platform::setModalDriver([this](QDialog *) {
            ui::form2().kuva()->setText(m_path);
            m_timer.start();
            ui::form2().Command1()->click();
        });
    }
    ~NewMap() override { platform::setModalDriver({}); }

    // Milliseconds from "O.K" to the picture painted; the canvas keeps the picture.
    double open(const QString &path)
    {
        m_path = path;
        m_painted = false;
        m_main.uusi()->click();
        if (!m_main.Picture1()->isEnabled() ||
            m_main.Picture1()->picture().size() != QImageReader(path).size()) {
            std::fprintf(stderr, "\"O.K\" did not load %s\n", qPrintable(path));
            std::exit(1);
        }
        while (!m_painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        return double(m_timer.nsecsElapsed()) / 1e6;
    }

    // Gives the picture's memory back, so that the next opening starts as the first one does.
    void close() { m_main.Picture1()->setPicture(QImage()); }

protected:
    // Paint events reach the filter before the canvas: the paint is over once the event loop
    // turn that delivered it returns.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            m_painted = true;
        return QObject::eventFilter(watched, event);
    }

private:
    ui::Form1 &m_main;
    QString m_path;
    QElapsedTimer m_timer;
    bool m_painted = false;
};

// One way of loading: runs it once, leaving nothing held, and returns its milliseconds.
struct Way {
    const char *name;
    std::function<double()> run;
    std::vector<double> times = {};
    qint64 peakAdded = -1;
};

std::function<double()> timed(const char *name, std::function<QSize()> load)
{
    return [name, load = std::move(load)] {
        QElapsedTimer timer;
        timer.start();
        const QSize size = load();
        const double elapsed = double(timer.nsecsElapsed()) / 1e6;
        if (size.isEmpty()) {
            std::fprintf(stderr, "%s: the picture did not load\n", name);
            std::exit(1);
        }
        return elapsed;
    };
}

// The machine this runs on is a virtual one whose host takes back memory the system has left
// free, and hands it over again slowly: a picture's worth costs the host about as long as the
// decoder takes over the photo. Before each run the kernel is given two pictures' worth of
// memory at hand, as after a map closed a moment before, since it does not always hand out
// again the very pages freed last; so each way is measured on its own.
void readyMemory(QSize size)
{
    platform::allocatePicture(QSize(size.width(), size.height() * 2), QImage::Format_RGB32)
        .fill(Qt::white);
}

// Returns whether the picture came within the allowed ratios and memory.
bool measure(const QString &path, int runs, NewMap &newMap)
{
    std::vector<Way> ways{
        {"libjpeg-turbo, one row", timed("libjpeg", [&] { return decodeWithoutKeeping(path); })},
        {"plain QImageReader", timed("QImageReader",
                                     [&] {
                                         // Qt refuses a picture of this size by default; the
                                         // loader raises the same limit.
                                         QImageReader::setAllocationLimit(1024);
                                         return QImageReader(path).read().size();
                                     })},
        {"loadPicture",
         timed("loadPicture", [&] { return platform::loadPicture(path).image.size(); })},
        {"\"O.K\" to painted", [&] {
             const double elapsed = newMap.open(path);
             newMap.close();
             return elapsed;
         }}};
    const Way &floor = ways[0];
    const Way &loader = ways[2];
    const Way &ok = ways[3];

    for (Way &way : ways) {
        if (!resetPeakMemory())
            break;
        const qint64 before = peakMemory();
        way.run();
        way.peakAdded = peakMemory() - before;
    }
    // Taken in turns, each run starting one way further on, so that a busy moment of the
    // machine does not fall on one way alone.
    const QSize size = QImageReader(path).size();
    for (int i = 0; i < runs; ++i) {
        for (std::size_t turn = 0; turn < ways.size(); ++turn) {
            Way &way = ways[(std::size_t(i) + turn) % ways.size()];
            readyMemory(size);
            way.times.push_back(way.run());
        }
    }

    const qint64 decoded = qint64(size.width()) * size.height() * 4;
    std::printf("\n%s: %d x %d, %.1f MB on disk, %.1f MB decoded (w*h*4), median of %d\n",
                qPrintable(path), size.width(), size.height(), megabytes(QFileInfo(path).size()),
                megabytes(decoded), runs);
    const double floorTime = median(floor.times);
    for (const Way &way : ways) {
        const double time = median(way.times);
        std::printf("%-24s %8.1f ms  %5.2f x floor", way.name, time, time / floorTime);
        if (way.peakAdded >= 0)
            std::printf("  peak memory added %6.1f MB = %.3f x decoded", megabytes(way.peakAdded),
                        double(way.peakAdded) / double(decoded));
        std::printf("\n");
    }
    const double loaderRatio = median(loader.times) / floorTime;
    const double okRatio = median(ok.times) / floorTime;
    const double memory = double(loader.peakAdded) / double(decoded);
    const auto verdict = [](bool within) { return within ? "within" : "OVER"; };
    std::printf("loadPicture %.2f x floor: %s %.2f; \"O.K\" %.2f x floor: %s %.2f; "
                "memory %.3f x decoded: %s %.2f\n",
                loaderRatio, verdict(loaderRatio <= allowedLoaderRatio), allowedLoaderRatio,
                okRatio, verdict(okRatio <= allowedOkRatio), allowedOkRatio, memory,
                verdict(memory <= allowedMemory), allowedMemory);
    return loaderRatio <= allowedLoaderRatio && okRatio <= allowedOkRatio &&
           (loader.peakAdded < 0 || memory <= allowedMemory);
}

// Loads plug-ins and fonts, and paints the window once, so that what is measured afterwards
// is the picture's own cost.
void warmUp(NewMap &newMap)
{
    QTemporaryDir dir;
    const QString small = dir.filePath(QStringLiteral("pieni.jpg"));
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    if (!writeJpeg(image, small))
        std::exit(1);
    decodeWithoutKeeping(small);
    QImageReader(small).read();
    platform::loadPicture(small);
    newMap.open(small);
    newMap.close();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args[1] == QLatin1String(generateOption))
        return generate(args[2]);

    int runs = 5;
    QStringList pictures;
    for (const QString &arg : args.mid(1)) {
        bool number = false;
        const int value = arg.toInt(&number);
        if (number)
            runs = std::max(1, value);
        else
            pictures.append(arg);
    }
    if (pictures.isEmpty())
        pictures = {QString::fromLatin1(gradientPicture), QString::fromLatin1(photoPicture)};
    for (const QString &path : pictures) {
        if (QFileInfo::exists(path))
            continue;
        std::printf("drawing %s once...\n", qPrintable(path));
        std::fflush(stdout);
        // In a process of its own, so that drawing it leaves no trace in this one's peak.
        if (QProcess::execute(QCoreApplication::applicationFilePath(),
                              {QString::fromLatin1(generateOption), path}) != 0)
            return 1;
    }

    ui::Form1 main;
    main.show();
    QCoreApplication::processEvents();
    NewMap newMap(main);
    warmUp(newMap);

    bool within = true;
    for (const QString &path : pictures)
        within = measure(path, runs, newMap) && within;
    return within ? 0 : 1;
}
