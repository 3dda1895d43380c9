// Any bytes given to the editor as a picture either load as a picture the canvas can keep, or
// are refused with an explanation that names the file; nothing crashes, and no picture takes
// more than the loader's bound of 1 GiB (scripts/fuzz.sh runs this target with resident memory
// and allocations limited just above it). The bytes go through the same loading path as a file
// chosen in the editor; bytes holding changingpicture::laterMarker are a file that changes
// while it is read.

#include "fuzz_check.h"

#include "platform/picture/picture_loader.h"
#include "tests/changing_picture.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdint>
#include <string>

using fuzzcheck::require;
using zorvik::platform::largestPictureBytes;
using zorvik::platform::largestPictureSide;

namespace {

const QString pictureName = QStringLiteral("sumea.gif");

// Checking every pixel of a picture larger than this would slow the search down for nothing
// new: the blend on white treats every row alike.
constexpr qint64 pixelsCheckedWhole = qint64(1) << 22;

// The decoders describe every broken input on the console; the loader's own answer is what
// counts here, and the printing would cost more than the decoding.
void ignoreMessages(QtMsgType, const QMessageLogContext &, const QString &) {}

std::string describe(const zorvik::platform::LoadedPicture &loaded)
{
    return QStringLiteral("%1 x %2, format %3, error \"%4\"")
        .arg(loaded.image.width())
        .arg(loaded.image.height())
        .arg(int(loaded.image.format()))
        .arg(loaded.error)
        .toStdString();
}

bool rowIsOpaque(const QImage &image, int y)
{
    const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
        if (qAlpha(line[x]) != 255)
            return false;
    }
    return true;
}

// RGB32 promises an opaque picture: transparency must already have been blended on white.
bool isOpaque(const QImage &image)
{
    if (qint64(image.width()) * image.height() > pixelsCheckedWhole)
        return rowIsOpaque(image, 0) && rowIsOpaque(image, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        if (!rowIsOpaque(image, y))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The loader shows the wait cursor, which takes a GUI application; it needs no display.
    // The application lives as long as the process, as in the editor.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_picture";
    static char *argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
    qInstallMessageHandler(ignoreMessages);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // No copy: a read past the end of the input is a read past the end of libFuzzer's buffer.
    const auto *begin = reinterpret_cast<const char *>(data);
    const QByteArray bytes = QByteArray::fromRawData(begin, qsizetype(size));
    const QByteArray &marker = changingpicture::laterMarker;
    const qsizetype cut = bytes.indexOf(marker);
    const qsizetype rest = cut + marker.size();
    changingpicture::ChangingDevice device(
        cut < 0 ? bytes : QByteArray::fromRawData(begin, cut),
        cut < 0 ? bytes : QByteArray::fromRawData(begin + rest, bytes.size() - rest));
    const auto loaded = zorvik::platform::loadPicture(device, pictureName);
    const std::string detail = describe(loaded);
    require(QGuiApplication::overrideCursor() == nullptr, "the wait cursor goes away", detail);

    if (loaded.image.isNull()) {
        require(!loaded.error.isEmpty() && loaded.error.endsWith(pictureName),
                "a refused picture is explained, naming the file", detail);
        return 0;
    }
    const QImage &image = loaded.image;
    require(loaded.error.isEmpty(), "a loaded picture has no error", detail);
    require(image.format() == QImage::Format_RGB32, "the canvas gets RGB32", detail);
    require(image.width() >= 1 && image.height() >= 1 && image.width() <= largestPictureSide &&
                image.height() <= largestPictureSide,
            "a loaded picture has sides of 1 to 32767 pixels", detail);
    require(image.sizeInBytes() <= largestPictureBytes, "a loaded picture takes at most 1 GiB",
            detail);
    require(isOpaque(image), "every pixel of the loaded picture is opaque", detail);
    return 0;
}
