// Loads two 100-megapixel JPEGs, a smooth gradient and a photo-like plasma, four ways: libjpeg-
// turbo's own decode into one reused row, which is the decoder's speed with no picture to keep
// and so the floor; Qt's plain image reader; the canvas's picture loader; and "O.K" in the real
// new-map dialog until the canvas has painted the picture. Each way runs in a process of its
// own, started after a pause, with nothing loaded before: the picture a user opens first in a
// fresh editor. The process then gives the picture back and loads it once more at once, as when
// one map follows another. Prints the medians of both, their ratios to the floor and the peak
// memory each way adds, and fails when the loader or "O.K" falls behind the floor by more than
// is allowed, or the loader holds more than the picture.
//
//     bench_load [runs] [picture.jpg...]
//
// Without pictures, the two are drawn once into /tmp and kept there.

#include "platform/canvas/canvas.h"
#include "platform/modal.h"
#include "platform/picture/picture_loader.h"
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

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <thread>
#include <vector>

// After <cstdio>: the decoder's header uses FILE without including it.
#include <jpeglib.h>

using namespace zorvik;

namespace {

const char *gradientPicture = "/tmp/zorvik-bench-10000x10000.jpg";
const char *photoPicture = "/tmp/zorvik-bench-photo-10000x10000.jpg";
const char *generateOption = "--generate";
const char *wayOption = "--way";
constexpr int side = 10000;
constexpr double allowedLoaderRatio = 1.1;
constexpr double allowedOkRatio = 1.2;
constexpr double allowedMemory = 1.02;
// A machine whose idle memory goes back to its host, as virtual machines and laptops with
// memory ballooning do, takes back what was freed within a second or two; what the user meets
// on opening the first picture is memory that has to come back from the host.
constexpr int pauseSeconds = 3;

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

    // Gives the picture and its memory back.
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

// Loads |path| one way and returns its size; what it loaded is kept until the time is taken.
using Load = std::function<QSize()>;

struct Way {
    const char *option;
    const char *name;
};

const Way ways[] = {{"floor", "libjpeg-turbo, one row"},
                    {"qt", "plain QImageReader"},
                    {"loader", "loadPicture"},
                    {"ok", "\"O.K\" to painted"}};
constexpr std::size_t floorWay = 0, loaderWay = 2, okWay = 3;

// What one process measured of a way.
struct Figures {
    double afterPause;
    double backToBack;
    qint64 peakAdded;
};

double timed(const Load &load)
{
    QElapsedTimer timer;
    timer.start();
    const QSize size = load();
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    if (size.isEmpty()) {
        std::fprintf(stderr, "the picture did not load\n");
        std::exit(1);
    }
    return elapsed;
}

// Run in a process of its own: the way named loads |path| as the first picture of the process,
// then at once once more, and prints both times and the peak memory the first added.
int runWay(const QString &way, const QString &path)
{
    ui::Form1 main;
    std::unique_ptr<NewMap> newMap;
    Load load;
    // Given back once the time is taken, as the canvas keeps what "O.K" loads: unmapping 400 MB
    // in 4 KiB pages costs a while too, which is no part of loading.
    QImage kept;
    if (way == QLatin1String("floor")) {
        load = [&] { return decodeWithoutKeeping(path); };
    } else if (way == QLatin1String("qt")) {
        load = [&] {
            // Qt refuses a picture of this size by default; the loader raises the same limit.
            QImageReader::setAllocationLimit(1024);
            kept = QImageReader(path).read();
            return kept.size();
        };
    } else if (way == QLatin1String("loader")) {
        load = [&] {
            kept = platform::loadPicture(path).image;
            return kept.size();
        };
    } else if (way == QLatin1String("ok")) {
        // The editor as the user has it before pressing "Uusi": its window on the screen.
        main.show();
        QCoreApplication::processEvents();
        newMap = std::make_unique<NewMap>(main);
    } else {
        std::fprintf(stderr, "no such way: %s\n", qPrintable(way));
        return 1;
    }
    const auto once = [&] {
        const double elapsed = newMap ? newMap->open(path) : timed(load);
        kept = QImage();
        if (newMap)
            newMap->close();
        return elapsed;
    };
    const bool peakKnown = resetPeakMemory();
    const qint64 before = peakMemory();
    const double afterPause = once();
    const qint64 peakAdded = peakKnown ? peakMemory() - before : -1;
    const double backToBack = once();
    std::printf("%.3f %.3f %lld\n", afterPause, backToBack, static_cast<long long>(peakAdded));
    return 0;
}

// Runs one way in a fresh process, after the pause.
Figures measureWay(const Way &way, const QString &path)
{
    std::this_thread::sleep_for(std::chrono::seconds(pauseSeconds));
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(),
                  {QString::fromLatin1(wayOption), QString::fromLatin1(way.option), path});
    process.waitForFinished(-1);
    const QList<QByteArray> figures = process.readAllStandardOutput().trimmed().split(' ');
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 ||
        figures.size() != 3) {
        std::fprintf(stderr, "%s did not measure %s\n", way.name, qPrintable(path));
        std::exit(1);
    }
    return {figures[0].toDouble(), figures[1].toDouble(), figures[2].toLongLong()};
}

// Returns whether the picture came within the allowed ratios and memory.
bool measure(const QString &path, int runs)
{
    constexpr std::size_t count = std::size(ways);
    std::vector<double> afterPause[count], backToBack[count];
    std::vector<qint64> peaks[count];
    // Taken in turns, each run starting one way further on, so that a busy moment of the
    // machine does not fall on one way alone.
    for (int i = 0; i < runs; ++i) {
        for (std::size_t turn = 0; turn < count; ++turn) {
            const std::size_t way = (std::size_t(i) + turn) % count;
            const Figures figures = measureWay(ways[way], path);
            afterPause[way].push_back(figures.afterPause);
            backToBack[way].push_back(figures.backToBack);
            peaks[way].push_back(figures.peakAdded);
        }
    }

    const QSize size = QImageReader(path).size();
    const qint64 decoded = qint64(size.width()) * size.height() * 4;
    std::printf("\n%s: %d x %d, %.1f MB on disk, %.1f MB decoded (w*h*4), median of %d, each "
                "way in a process of its own started after %d s\n",
                qPrintable(path), size.width(), size.height(), megabytes(QFileInfo(path).size()),
                megabytes(decoded), runs, pauseSeconds);
    std::printf("%-24s %25s %25s  %s\n", "", "first picture", "back to back",
                "peak memory added by the first");
    const double floorPause = median(afterPause[floorWay]);
    const double floorBack = median(backToBack[floorWay]);
    double worstPeak[count];
    for (std::size_t way = 0; way < count; ++way) {
        const double pause = median(afterPause[way]);
        const double back = median(backToBack[way]);
        worstPeak[way] = double(*std::max_element(peaks[way].begin(), peaks[way].end()));
        std::printf("%-24s %8.1f ms %5.2f x floor %8.1f ms %5.2f x floor  %6.1f MB = %.3f x "
                    "decoded\n",
                    ways[way].name, pause, pause / floorPause, back, back / floorBack,
                    megabytes(qint64(worstPeak[way])), worstPeak[way] / double(decoded));
    }
    const double loaderPause = median(afterPause[loaderWay]) / floorPause;
    const double loaderBack = median(backToBack[loaderWay]) / floorBack;
    const double okPause = median(afterPause[okWay]) / floorPause;
    const double memory = worstPeak[loaderWay] / double(decoded);
    const auto verdict = [](bool within) { return within ? "within" : "OVER"; };
    std::printf("loadPicture %.2f x floor first, %.2f x back to back: %s %.2f; \"O.K\" %.2f x "
                "floor first: %s %.2f; memory %.3f x decoded: %s %.2f\n",
                loaderPause, loaderBack,
                verdict(loaderPause <= allowedLoaderRatio && loaderBack <= allowedLoaderRatio),
                allowedLoaderRatio, okPause, verdict(okPause <= allowedOkRatio), allowedOkRatio,
                memory, verdict(memory <= allowedMemory), allowedMemory);
    return loaderPause <= allowedLoaderRatio && loaderBack <= allowedLoaderRatio &&
           okPause <= allowedOkRatio && (memory < 0 || memory <= allowedMemory);
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
    if (args.size() == 4 && args[1] == QLatin1String(wayOption))
        return runWay(args[2], args[3]);

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
        // In a process of its own, so that drawing it leaves nothing in the memory measured.
        if (QProcess::execute(QCoreApplication::applicationFilePath(),
                              {QString::fromLatin1(generateOption), path}) != 0)
            return 1;
    }

    bool within = true;
    for (const QString &path : pictures)
        within = measure(path, runs) && within;
    return within ? 0 : 1;
}
