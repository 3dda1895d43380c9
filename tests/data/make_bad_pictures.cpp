// Writes the corpus of broken and hostile picture files that test_bad_pictures feeds to the
// new-map dialog. Every file starts from a picture drawn here, so the corpus can be made again
// at will and byte for byte the same: make_bad_pictures <folder> (the bad_pictures target writes
// into tests/data/bad).
//
// The file names tell the test what to expect:
//   katkennut-otsake-*       cut off before the picture's size is known: refused
//   katkennut-kuva-WxH-*     cut off once its size is known: refused, or the part that decodes
//                            is shown at W x H
//   rikkinainen-kuva-WxH-*   damaged picture data behind a sound header: likewise
//   png-nimella-WxH.gif      a PNG under a GIF name: shown as what it is, W x H
//   anything else            refused

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

constexpr int pictureWidth = 120;
constexpr int pictureHeight = 80;

QString pictureSize()
{
    return QStringLiteral("%1x%2").arg(pictureWidth).arg(pictureHeight);
}

// A little landscape in a handful of flat colours, so that it fits a GIF colour table and its
// JPEG has real picture data to cut.
QImage drawnPicture()
{
    QImage picture(pictureWidth, pictureHeight, QImage::Format_RGB32);
    picture.fill(QColor(120, 180, 230));
    QPainter painter(&picture);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(250, 210, 40));
    painter.drawEllipse(QPoint(92, 18), 11, 11);
    painter.setBrush(QColor(40, 130, 50));
    painter.drawPolygon(QPolygon({{0, 60}, {35, 28}, {70, 60}}));
    painter.setBrush(QColor(90, 90, 100));
    painter.drawPolygon(QPolygon({{45, 60}, {80, 34}, {119, 60}}));
    painter.fillRect(0, 60, pictureWidth, 20, QColor(60, 160, 70));
    painter.fillRect(20, 48, 18, 14, QColor(200, 60, 40));
    painter.fillRect(26, 54, 5, 8, QColor(70, 40, 20));
    return picture;
}

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "make_bad_pictures: %s\n", what);
    std::exit(1);
}

void appendLittle(QByteArray &bytes, int value)
{
    bytes.append(char(value & 0xff));
    bytes.append(char((value >> 8) & 0xff));
}

// Packs variable-width codes least significant bit first, as GIF's LZW data is laid out.
class CodeWriter {
public:
    void write(int code, int width)
    {
        m_bits |= quint32(code) << m_count;
        m_count += width;
        while (m_count >= 8) {
            m_bytes.append(char(m_bits & 0xff));
            m_bits >>= 8;
            m_count -= 8;
        }
    }

    QByteArray finish()
    {
        if (m_count > 0)
            m_bytes.append(char(m_bits & 0xff));
        m_bits = 0;
        m_count = 0;
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    quint32 m_bits = 0;
    int m_count = 0;
};

// GIF's LZW compression of colour indexes, the table starting afresh once it is full.
QByteArray lzwCompressed(const QByteArray &indexes, int minimumCodeSize)
{
    const int clearCode = 1 << minimumCodeSize;
    const int endCode = clearCode + 1;
    constexpr int largestCode = 4095;
    QHash<quint32, int> table;
    int codeSize = minimumCodeSize + 1;
    int lastCode = endCode;
    CodeWriter out;
    out.write(clearCode, codeSize);
    int current = -1;
    for (const char c : indexes) {
        const int index = quint8(c);
        if (current < 0) {
            current = index;
            continue;
        }
        const quint32 key = quint32(current) << 8 | quint32(index);
        if (const auto found = table.constFind(key); found != table.cend()) {
            current = *found;
            continue;
        }
        out.write(current, codeSize);
        table.insert(key, ++lastCode);
        if (lastCode >= (1 << codeSize) && codeSize < 12)
            ++codeSize;
        if (lastCode == largestCode) {
            out.write(clearCode, codeSize);
            table.clear();
            codeSize = minimumCodeSize + 1;
            lastCode = endCode;
        }
        current = index;
    }
    out.write(current, codeSize);
    out.write(endCode, codeSize);
    return out.finish();
}

// Image data as GIF carries it: sub-blocks of at most 255 bytes, ended by an empty one.
QByteArray subBlocks(const QByteArray &data)
{
    QByteArray blocks;
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray part = data.mid(at, 255);
        blocks.append(char(part.size()));
        blocks.append(part);
    }
    blocks.append(char(0));
    return blocks;
}

// Where the parts of a GIF file begin, for cutting it at telling places.
struct GifLayout {
    QByteArray bytes;
    qsizetype colourTable = 0;
    qsizetype controlExtension = 0;
    qsizetype imageDescriptor = 0;
    qsizetype imageData = 0; // just after the minimum code size
};

struct IndexedPicture {
    QList<QRgb> colours; // padded to a power of two, at least 4
    QByteArray indexes;
    int tableBits = 2;
};

IndexedPicture indexed(const QImage &picture)
{
    IndexedPicture result;
    QHash<QRgb, int> indexOf;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb colour = picture.pixel(x, y);
            auto found = indexOf.constFind(colour);
            if (found == indexOf.cend()) {
                if (result.colours.size() == 256)
                    fail("the drawn picture has more than 256 colours");
                found = indexOf.insert(colour, int(result.colours.size()));
                result.colours.append(colour);
            }
            result.indexes.append(char(*found));
        }
    }
    while ((1 << result.tableBits) < result.colours.size())
        ++result.tableBits;
    result.colours.resize(1 << result.tableBits, qRgb(0, 0, 0));
    return result;
}

// A GIF89a of one frame covering the whole picture, with a graphic control extension and
// |imageData| as the frame's compressed data.
GifLayout gifFile(int width, int height, const IndexedPicture &picture, int minimumCodeSize,
                  const QByteArray &imageData)
{
    GifLayout gif;
    QByteArray &bytes = gif.bytes;
    bytes.append("GIF89a");
    appendLittle(bytes, width);
    appendLittle(bytes, height);
    const int bits = picture.tableBits - 1;
    bytes.append(char(0x80 | bits << 4 | bits));
    bytes.append(char(0)); // background colour
    bytes.append(char(0)); // square pixels
    gif.colourTable = bytes.size();
    for (const QRgb colour : picture.colours) {
        bytes.append(char(qRed(colour)));
        bytes.append(char(qGreen(colour)));
        bytes.append(char(qBlue(colour)));
    }
    gif.controlExtension = bytes.size();
    bytes.append("\x21\xf9\x04\x00\x00\x00\x00\x00", 8);
    gif.imageDescriptor = bytes.size();
    bytes.append(char(0x2c));
    appendLittle(bytes, 0);
    appendLittle(bytes, 0);
    appendLittle(bytes, width);
    appendLittle(bytes, height);
    bytes.append(char(0)); // no local table, not interlaced
    bytes.append(char(minimumCodeSize));
    gif.imageData = bytes.size();
    bytes.append(subBlocks(imageData));
    bytes.append(char(0x3b));
    return gif;
}

int minimumCodeSize(const IndexedPicture &picture)
{
    return std::max(2, picture.tableBits);
}

GifLayout gifOf(const QImage &picture)
{
    const IndexedPicture pixels = indexed(picture);
    const int codeSize = minimumCodeSize(pixels);
    return gifFile(picture.width(), picture.height(), pixels, codeSize,
                   lzwCompressed(pixels.indexes, codeSize));
}

// A frame whose codes point past the end of the LZW table, after a clear code and one sound
// literal, repeated so that the damage does not look like a short file.
GifLayout gifWithBrokenLzw(const QImage &picture)
{
    const IndexedPicture pixels = indexed(picture);
    const int codeSize = minimumCodeSize(pixels);
    const int clearCode = 1 << codeSize;
    const int width = codeSize + 1;
    CodeWriter out;
    for (int run = 0; run < 200; ++run) {
        out.write(clearCode, width);
        out.write(1, width);
        out.write((1 << width) - 1, width);
        out.write((1 << width) - 2, width);
    }
    return gifFile(picture.width(), picture.height(), pixels, codeSize, out.finish());
}

// A GIF whose screen and frame claim |width| x |height| pixels, with one tiny frame of data.
QByteArray gifClaiming(int width, int height)
{
    IndexedPicture tiny;
    tiny.colours = {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 0, 255)};
    tiny.indexes = QByteArray(4, char(1));
    return gifFile(width, height, tiny, 2, lzwCompressed(tiny.indexes, 2)).bytes;
}

QByteArray encoded(const QImage &picture, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(85);
    if (!writer.write(picture))
        fail("the picture could not be encoded");
    return bytes;
}

// Where the frame header and the start of the entropy-coded data lie in a baseline JPEG.
struct JpegLayout {
    QByteArray bytes;
    qsizetype frameHeader = -1; // the SOF0 marker
    qsizetype frameEnd = -1;    // just after the SOF0 segment, where the size is known
    qsizetype scanHeader = -1;  // the SOS marker
    qsizetype scanData = -1;    // just after the SOS segment
};

JpegLayout jpegOf(const QImage &picture)
{
    JpegLayout jpeg{encoded(picture, "jpeg")};
    const QByteArray &bytes = jpeg.bytes;
    qsizetype at = 2;
    while (at + 4 <= bytes.size() && jpeg.scanData < 0) {
        if (quint8(bytes[at]) != 0xff)
            fail("the JPEG writer wrote an unexpected segment");
        const int marker = quint8(bytes[at + 1]);
        const qsizetype length = quint8(bytes[at + 2]) << 8 | quint8(bytes[at + 3]);
        if (marker == 0xc0) {
            jpeg.frameHeader = at;
            jpeg.frameEnd = at + 2 + length;
        }
        if (marker == 0xda) {
            jpeg.scanHeader = at;
            jpeg.scanData = at + 2 + length;
        }
        at += 2 + length;
    }
    if (jpeg.frameHeader < 0 || jpeg.scanData < 0)
        fail("the JPEG writer wrote no baseline frame");
    return jpeg;
}

// The JPEG with its frame header claiming |width| x |height| pixels.
QByteArray jpegClaiming(JpegLayout jpeg, int width, int height)
{
    const qsizetype size = jpeg.frameHeader + 5;
    jpeg.bytes[size] = char(height >> 8);
    jpeg.bytes[size + 1] = char(height & 0xff);
    jpeg.bytes[size + 2] = char(width >> 8);
    jpeg.bytes[size + 3] = char(width & 0xff);
    return jpeg.bytes;
}

// Random bytes from a fixed seed, so the corpus is the same every time it is made.
QByteArray noise(qsizetype size, unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random() & 0xff);
    return bytes;
}

// |bytes| with |count| bytes from |at| on overwritten by noise.
QByteArray withNoise(QByteArray bytes, qsizetype at, qsizetype count)
{
    bytes.replace(at, count, noise(count, 3));
    return bytes;
}

class Corpus {
public:
    explicit Corpus(const QString &folder) : m_folder(folder) {}

    void write(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_folder.filePath(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            fail("a corpus file could not be written");
        m_total += bytes.size();
        ++m_files;
    }

    // Cuts |bytes| at each offset; those before |sizeKnown| lose the picture's size with it.
    void writeCuts(const QByteArray &bytes, const QList<qsizetype> &offsets, qsizetype sizeKnown,
                   const char *suffix)
    {
        for (const qsizetype offset : offsets) {
            const QString at = QStringLiteral("%1").arg(offset, 5, 10, QLatin1Char('0'));
            const QString name =
                offset < sizeKnown
                    ? QStringLiteral("katkennut-otsake-%1.%2").arg(at, suffix)
                    : QStringLiteral("katkennut-kuva-%1-%2.%3").arg(pictureSize(), at, suffix);
            write(name, bytes.left(offset));
        }
    }

    void report() const
    {
        std::printf("%d files, %lld bytes\n", m_files, static_cast<long long>(m_total));
    }

private:
    QDir m_folder;
    qsizetype m_total = 0;
    int m_files = 0;
};

// The whole pictures must decode as drawn, or their cut copies would test nothing.
void checkWhole(const QByteArray &bytes, const QImage &expected, bool exact)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const QImage decoded = QImageReader(&buffer).read().convertToFormat(QImage::Format_RGB32);
    if (decoded.size() != expected.size())
        fail("a whole picture did not decode at its size");
    if (exact && decoded != expected)
        fail("the GIF did not decode pixel for pixel");
}

void writeJpegs(Corpus &corpus, const QImage &picture)
{
    const JpegLayout jpeg = jpegOf(picture);
    checkWhole(jpeg.bytes, picture, false);
    const qsizetype size = jpeg.bytes.size();
    const qsizetype data = size - jpeg.scanData;
    corpus.writeCuts(jpeg.bytes,
                     {1, 2, 3, 12, 40, jpeg.frameHeader, jpeg.frameHeader + 7,
                      jpeg.frameHeader + 12, jpeg.frameEnd + 20, jpeg.scanHeader, jpeg.scanData - 1,
                      jpeg.scanData, jpeg.scanData + 1, jpeg.scanData + data / 4,
                      jpeg.scanData + data / 2, jpeg.scanData + 3 * data / 4, size - 3, size - 2},
                     jpeg.frameEnd, "jpg");
    corpus.write(QStringLiteral("rikkinainen-kuva-%1-data.jpg").arg(pictureSize()),
                 withNoise(jpeg.bytes, jpeg.scanData + (size - jpeg.scanData) / 3, 64));
    corpus.write(QStringLiteral("jattikoko-65535x65535.jpg"), jpegClaiming(jpeg, 65535, 65535));
    corpus.write(QStringLiteral("jattikoko-32767x32767.jpg"), jpegClaiming(jpeg, 32767, 32767));
}

void writeGifs(Corpus &corpus, const QImage &picture)
{
    const GifLayout gif = gifOf(picture);
    checkWhole(gif.bytes, picture, true);
    const qsizetype size = gif.bytes.size();
    const qsizetype data = size - gif.imageData;
    corpus.writeCuts(gif.bytes,
                     {3, 6, 10, gif.colourTable + 5, gif.controlExtension + 4,
                      gif.imageDescriptor + 5, gif.imageData - 1, gif.imageData, gif.imageData + 1,
                      gif.imageData + 10, gif.imageData + data / 4, gif.imageData + data / 2,
                      gif.imageData + 3 * data / 4, size - 2, size - 1},
                     gif.imageData, "gif");
    corpus.write(QStringLiteral("jattikoko-65535x65535.gif"), gifClaiming(65535, 65535));
    corpus.write(QStringLiteral("jattikoko-20000x20000.gif"), gifClaiming(20000, 20000));
    corpus.write(QStringLiteral("rikkinainen-kuva-%1-lzw.gif").arg(pictureSize()),
                 gifWithBrokenLzw(picture).bytes);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        fail("usage: make_bad_pictures <folder>");
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder))
        fail("the folder could not be made");
    // Files of an earlier corpus whose names are no longer made would linger as stale cases.
    QDir old(folder, QStringLiteral("*.jpg;*.gif"), QDir::Name, QDir::Files);
    for (const QString &name : old.entryList())
        old.remove(name);

    const QImage picture = drawnPicture();
    Corpus corpus(folder);
    corpus.write(QStringLiteral("tyhja.jpg"), {});
    corpus.write(QStringLiteral("satunnainen.jpg"), noise(4096, 1));
    corpus.write(QStringLiteral("satunnainen.gif"), noise(4096, 2));
    corpus.write(QStringLiteral("png-nimella-%1.gif").arg(pictureSize()), encoded(picture, "png"));
    writeJpegs(corpus, picture);
    writeGifs(corpus, picture);
    corpus.report();
    return 0;
}
