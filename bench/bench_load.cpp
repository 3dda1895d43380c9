// Loads a 100-megapixel JPEG through the canvas's picture loader and through Qt's plain image
// reader, and prints the median times, their ratio and the peak memory of the loader.
//
//     bench_load [picture.jpg] [runs]
//
// Without a picture, one of 10000 x 10000 pixels is drawn once into /tmp and kept there.

#include "platform/picture_loader.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

const char *defaultPicture = "/tmp/zorvik-bench-10000x10000.jpg";
const char *generateOption = "--generate";
constexpr double allowedRatio = 1.2;

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

// Something with edges, gradients and grain, so that the decoder has real work to do.
int generate(const QString &path)
{
    QImage image(10000, 10000, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, 10000, 10000);
    sky.setColorAt(0, QColor(30, 80, 160));
    sky.setColorAt(1, QColor(230, 200, 120));
    painter.fillRect(image.rect(), sky);
    for (int i = 0; i < 400; ++i) {
        painter.setBrush(QColor::fromHsv((i * 37) % 360, 160, 220));
        painter.drawEllipse(QPoint((i * 7919) % 10000, (i * 104729) % 10000), 150 + i % 300,
                            100 + i % 200);
    }
    painter.end();
    addGrain(image);
    QImageWriter writer(path, "jpeg");
    writer.setQuality(90);
    if (!writer.write(image)) {
        std::fprintf(stderr, "cannot write %s: %s\n", qPrintable(path),
                     qPrintable(writer.errorString()));
        return 1;
    }
    return 0;
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

QImage loadThroughLoader(const QString &path)
{
    return zorvik::platform::loadPicture(path).image;
}

QImage loadThroughPlainReader(const QString &path)
{
    // Qt refuses a picture of this size by default; the loader raises the same limit.
    QImageReader::setAllocationLimit(1024);
    return QImageReader(path).read();
}

struct Peak {
    qint64 before = -1, after = -1;
    qint64 growth() const { return after - before; }
};

// The process's peak memory before and after |load| has run.
Peak peakWhile(const std::function<QImage()> &load, QSize *size)
{
    Peak peak;
    peak.before = peakMemory();
    *size = load().size();
    peak.after = peakMemory();
    return peak;
}

void printPeak(const char *what, const Peak &peak, qint64 decoded)
{
    std::printf("%-18s VmHWM %.1f MB before, %.1f MB after: %.1f MB = %.3f x decoded size\n", what,
                megabytes(peak.before), megabytes(peak.after), megabytes(peak.growth()),
                double(peak.growth()) / double(decoded));
}

double millisecondsFor(const std::function<QImage()> &load)
{
    QElapsedTimer timer;
    timer.start();
    const QImage image = load();
    const double elapsed = double(timer.nsecsElapsed()) / 1e6;
    if (image.isNull()) {
        std::fprintf(stderr, "the picture did not load\n");
        std::exit(1);
    }
    return elapsed;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 3 && args[1] == QLatin1String(generateOption))
        return generate(args[2]);

    const QString path = args.size() > 1 ? args[1] : QString::fromLatin1(defaultPicture);
    const int runs = args.size() > 2 ? std::max(1, args[2].toInt()) : 5;
    if (!QFileInfo::exists(path)) {
        std::printf("drawing %s once...\n", qPrintable(path));
        // In a process of its own, so that drawing it leaves no trace in this one's peak.
        if (QProcess::execute(QCoreApplication::applicationFilePath(),
                              {QString::fromLatin1(generateOption), path}) != 0)
            return 1;
    }

    const auto loader = [&] { return loadThroughLoader(path); };
    const auto plain = [&] { return loadThroughPlainReader(path); };

    QSize size;
    const Peak loaderPeak = peakWhile(loader, &size);
    const bool plainMeasured = resetPeakMemory();
    const Peak plainPeak = plainMeasured ? peakWhile(plain, &size) : Peak();
    const qint64 decoded = qint64(size.width()) * size.height() * 4;

    std::vector<double> loaderTimes, plainTimes;
    for (int i = 0; i < runs; ++i) {
        loaderTimes.push_back(millisecondsFor(loader));
        plainTimes.push_back(millisecondsFor(plain));
    }
    const double loaderMedian = median(loaderTimes);
    const double plainMedian = median(plainTimes);
    const double ratio = loaderMedian / plainMedian;

    std::printf("picture            %s, %d x %d, %.1f MB on disk\n", qPrintable(path), size.width(),
                size.height(), megabytes(QFileInfo(path).size()));
    std::printf("decoded size       %.1f MB (w*h*4)\n", megabytes(decoded));
    std::printf("loadPicture        %.1f ms (median of %d)\n", loaderMedian, runs);
    std::printf("plain QImageReader %.1f ms (median of %d)\n", plainMedian, runs);
    std::printf("ratio              %.3f (allowed %.2f)\n", ratio, allowedRatio);
    printPeak("loadPicture", loaderPeak, decoded);
    if (plainMeasured)
        printPeak("plain QImageReader", plainPeak, decoded);
    return ratio <= allowedRatio ? 0 : 1;
}
