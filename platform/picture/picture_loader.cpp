#include "platform/picture/picture_loader.h"

#include "platform/picture/jpeg_decoder.h"
#include "platform/picture/on_white.h"
#include "platform/picture/picture_memory.h"

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>

#include <algorithm>
#include <optional>

namespace zorvik::platform {

namespace {

// Reading a large picture takes a while; the wait cursor tells the user the program is busy,
// and goes away however the reading ends.
class WaitCursor {
public:
    WaitCursor() : m_app(qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
    {
        if (m_app)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor()
    {
        if (m_app)
            QGuiApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    QGuiApplication *m_app;
};

LoadedPicture failure(const QString &what, const QString &path)
{
    return {QImage(), what + QStringLiteral(":\n") + QDir::toNativeSeparators(path)};
}

// Why the file at |path| cannot be given to the picture reader at all, or empty when it can.
QString fileProblem(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("Tiedostoa ei löydy");
    if (info.isDir())
        return QStringLiteral("Tämä on kansio eikä kuvatiedosto");
    // A pipe or a device could keep the reader waiting for ever.
    if (!info.isFile())
        return QStringLiteral("Tämä ei ole tavallinen tiedosto");
    return {};
}

QString tooLarge(QSize size)
{
    return QStringLiteral("Kuva on liian suuri (%1 × %2 kuvapistettä); suurin sallittu "
                          "leveys ja korkeus on %3 kuvapistettä ja koko purettuna 1 Gt")
        .arg(size.width())
        .arg(size.height())
        .arg(largestPictureSide);
}

bool withinBound(qint64 bytes)
{
    return bytes >= 0 && bytes <= largestPictureBytes;
}

// The bytes loading a picture of |size| holds at its peak when the reader decodes it to
// |decoded|: those pixels, and beside them the turned copy the reader makes of a photo its
// camera held on its side, or the canvas's copy, whichever is the larger.
qint64 peakBytes(QSize size, QImage::Format decoded, bool turned)
{
    if (decoded == QImage::Format_Invalid)
        decoded = QImage::Format_RGB32;
    const qint64 read = pictureBytes(size, decoded);
    const qint64 canvas = pictureBytes(size, QImage::Format_RGB32);
    if (read < 0 || canvas < 0)
        return -1;
    return read + std::max(turned ? read : 0, flattensInPlace(decoded) ? 0 : canvas);
}

// RGB32 promises alpha 255 in every pixel, yet a reader cut short leaves the pixels it never
// reached as it found them (a GIF leaves them 0, a BMP whatever the memory held), and the
// toolkit would paint those translucent. The JPEG reader needs no such pass: it writes every
// pixel opaque, filling what a cut file lacks with grey, and it reads the largest photos.
bool mayLeaveAlphaUnset(const QByteArray &format)
{
    return format != "jpeg";
}

void makeOpaque(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] |= 0xff000000u;
    }
}

// Transparent parts show white, as on the canvas's white background.
void prepareForCanvas(QImage &image, const QByteArray &format)
{
    if (image.format() == QImage::Format_RGB32 && mayLeaveAlphaUnset(format))
        makeOpaque(image);
    else
        flattenOnWhite(image);
}

// Qt's own allocation limit (128 MB in Qt 6.4) would refuse a 100-megapixel photo; the canvas
// keeps up to 1 GiB, and the header has been checked against that before decoding starts.
void allowLargestPicture()
{
    const int megabytes = int(largestPictureBytes >> 20);
    const int limit = QImageReader::allocationLimit();
    if (limit != 0 && limit < megabytes)
        QImageReader::setAllocationLimit(megabytes);
}

// The picture the reader is to decode into: picture memory of the size and pixel format the
// header tells, which the JPEG and PNG readers fill in place rather than making a picture of
// their own. Null for other formats, which make their own, as the readers do too when the
// memory cannot be had.
QImage decodingTarget(QImageReader &reader, QSize declared, const QByteArray &format)
{
    if (!declared.isValid() || (format != "jpeg" && format != "png"))
        return {};
    return allocatePicture(declared, reader.imageFormat());
}

const QString brokenPicture = QStringLiteral("Kuvan tiedot ovat rikki, eikä kuvaa voi näyttää");

// A JPEG the reader has told the size of, decoded from |start| straight into picture memory;
// nothing when it is left to the reader, which then goes on from where it had read to.
std::optional<LoadedPicture> decodeJpegDirectly(QIODevice &device, qint64 start,
                                                const QString &name)
{
    const qint64 resume = device.pos();
    QImage picture;
    QSize told;
    if (device.seek(start)) {
        switch (decodeJpeg(device, picture, told)) {
        case JpegOutcome::Decoded:
            return LoadedPicture{std::move(picture), QString()};
        case JpegOutcome::Broken:
            return failure(brokenPicture, name);
        case JpegOutcome::TooLarge:
            return failure(tooLarge(told), name);
        case JpegOutcome::LeftToQt:
            break;
        }
    }
    device.seek(resume);
    return std::nullopt;
}

// Decodes the picture in |device| and names its format in |format| ("jpeg", "gif", ...). The
// reader is gone once this returns: some format handlers keep a reference to the last picture
// read, and the blend on white would then copy it whole.
LoadedPicture decode(QIODevice &device, const QString &name, QByteArray &format)
{
    const qint64 start = device.pos();
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    // Browsers turn a photo the way its camera recorded it; the map's coordinates must match.
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return failure(QStringLiteral("Tiedosto ei ole kuva, tai sen kuvamuotoa ei tunneta"), name);
    // Asked now: once the picture has been read, the reader no longer tells.
    format = reader.format();
    const QSize declared = reader.size();
    const QImageIOHandler::Transformations turn = reader.transformation();
    // A photo its camera held turned is left to the reader, which turns it.
    const bool directly = format == "jpeg" && declared.isValid() && !device.isSequential() &&
                          turn == QImageIOHandler::TransformationNone;
    QImage::Format decoded = reader.imageFormat();
    // The direct decoder turns a grey photo into the canvas's pixels as it decodes.
    if (directly && decoded == QImage::Format_Grayscale8)
        decoded = QImage::Format_RGB32;
    // Most formats tell the size in their header, so an oversized picture is refused before a
    // byte of it is decoded; the rest are checked once decoded, within the allocation limit.
    if (declared.isValid() &&
        !withinBound(
            peakBytes(declared, decoded, turn.testFlag(QImageIOHandler::TransformationRotate90))))
        return failure(tooLarge(declared), name);

    allowLargestPicture();
    if (directly) {
        if (std::optional<LoadedPicture> direct = decodeJpegDirectly(device, start, name))
            return std::move(*direct);
    }
    QImage image = decodingTarget(reader, declared, format);
    if (!reader.read(&image))
        return failure(brokenPicture, name);
    if (!withinBound(pictureBytes(image.size(), QImage::Format_RGB32)))
        return failure(tooLarge(image.size()), name);
    return {std::move(image), QString()};
}

// What both ways of loading share once there is something to read.
LoadedPicture load(QIODevice &device, const QString &name)
{
    if (!device.isSequential() && device.size() == 0)
        return failure(QStringLiteral("Tiedosto on tyhjä"), name);
    QByteArray format;
    LoadedPicture loaded = decode(device, name, format);
    // The picture's helper has nothing left to make ready, or its picture is gone.
    settlePictureMemory();
    if (loaded.image.isNull())
        return loaded;
    prepareForCanvas(loaded.image, format);
    // Without memory for its conversion the picture is lost, as when the reader has none.
    if (loaded.image.isNull())
        return failure(brokenPicture, name);
    return loaded;
}

} // namespace

LoadedPicture loadPicture(const QString &path)
{
    const WaitCursor wait;
    if (const QString problem = fileProblem(path); !problem.isEmpty())
        return failure(problem, path);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("Tiedostoa ei voi lukea"), path);
    return load(file, path);
}

LoadedPicture loadPicture(QIODevice &device, const QString &name)
{
    const WaitCursor wait;
    return load(device, name);
}

} // namespace zorvik::platform
