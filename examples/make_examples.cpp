// Draws the sample pictures kept in examples/ and the small pictures the tests read from
// tests/data/. Qt writes JPEG but not GIF, so the GIF encoder is here too.
//
//     make-examples [examples folder] [test data folder]

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>

#include <QtMath>

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// ---- GIF encoder ----

// Packs variable-width LZW codes into bytes, lowest bit first, as GIF wants them.
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
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    quint32 m_bits = 0;
    int m_count = 0;
};

constexpr int maxCodes = 4096;

// The LZW code stream of |pixels|, a code per run of pixels seen before.
QByteArray compress(const std::vector<quint8> &pixels, int minCodeSize)
{
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    std::vector<qint16> table(maxCodes * 256, -1); // (prefix code, next pixel) -> code
    int width = minCodeSize + 1;
    int next = end + 1;
    CodeWriter out;
    out.write(clear, width);

    // After each code the decoder grows its code width once the next free code no longer fits.
    const auto put = [&](int code) {
        out.write(code, width);
        if (next >= (1 << width) && width < 12)
            ++width;
    };

    int current = pixels.front();
    for (size_t i = 1; i < pixels.size(); ++i) {
        const int pixel = pixels[i];
        const qint16 known = table[size_t(current) * 256 + size_t(pixel)];
        if (known >= 0) {
            current = known;
            continue;
        }
        put(current);
        if (next >= maxCodes - 1) {
            put(clear);
            std::fill(table.begin(), table.end(), qint16(-1));
            width = minCodeSize + 1;
            next = end + 1;
        } else {
            table[size_t(current) * 256 + size_t(pixel)] = qint16(next++);
        }
        current = pixel;
    }
    put(current);
    put(end);
    return out.finish();
}

void putWord(QByteArray &gif, int value)
{
    gif.append(char(value & 0xff));
    gif.append(char((value >> 8) & 0xff));
}

// One GIF89a picture with a global colour table. Pixels less than half opaque become the
// transparent colour; the picture may have at most 255 other colours.
QByteArray encodeGif(const QImage &picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    QList<QRgb> palette{qRgb(255, 255, 255)}; // index 0 is the transparent colour
    QHash<QRgb, quint8> indexOf;
    bool transparent = false;
    std::vector<quint8> pixels;
    pixels.reserve(size_t(image.width()) * size_t(image.height()));
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) < 128) {
                transparent = true;
                pixels.push_back(0);
                continue;
            }
            const QRgb colour = line[x] | 0xff000000u;
            auto found = indexOf.constFind(colour);
            if (found == indexOf.constEnd()) {
                if (palette.size() == 256)
                    qFatal("A GIF picture may have no more than 255 colours");
                found = indexOf.insert(colour, quint8(palette.size()));
                palette.append(colour);
            }
            pixels.push_back(found.value());
        }
    }

    int bits = 1;
    while ((1 << bits) < palette.size())
        ++bits;
    QByteArray gif("GIF89a");
    putWord(gif, image.width());
    putWord(gif, image.height());
    gif.append(char(0x80 | 0x70 | (bits - 1))); // global table, 8-bit colour resolution
    gif.append(char(0));                        // background colour
    gif.append(char(0));                        // square pixels
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb colour = palette.value(i, qRgb(0, 0, 0));
        gif.append(char(qRed(colour)));
        gif.append(char(qGreen(colour)));
        gif.append(char(qBlue(colour)));
    }
    if (transparent) {
        gif.append("\x21\xf9\x04", 3); // graphic control extension
        gif.append(char(0x01));        // no disposal, transparent colour given
        putWord(gif, 0);               // no delay
        gif.append(char(0));           // the transparent colour's index
        gif.append(char(0));
    }
    gif.append(char(0x2c)); // image descriptor: the whole screen, no local table
    putWord(gif, 0);
    putWord(gif, 0);
    putWord(gif, image.width());
    putWord(gif, image.height());
    gif.append(char(0));

    const int minCodeSize = std::max(2, bits);
    gif.append(char(minCodeSize));
    const QByteArray codes = compress(pixels, minCodeSize);
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        gif.append(char(block.size()));
        gif.append(block);
    }
    gif.append(char(0));
    gif.append(char(0x3b));
    return gif;
}

// ---- Output ----

QImage readBack(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.read().convertToFormat(QImage::Format_ARGB32);
}

// Fully transparent pixels compare equal whatever colour they carry.
bool samePixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (qAlpha(p) < 128 && qAlpha(q) == 0)
                continue;
            if ((p | 0xff000000u) != q)
                return false;
        }
    }
    return true;
}

void saveGif(const QImage &image, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(encodeGif(image)) < 0)
        qFatal("Cannot write %s", qPrintable(path));
    file.close();
    // The encoder is checked against Qt's decoder on every picture it writes.
    if (!samePixels(image.convertToFormat(QImage::Format_ARGB32), readBack(path)))
        qFatal("%s does not read back as drawn", qPrintable(path));
    std::printf("%s\n", qPrintable(path));
}

void saveJpeg(const QImage &image, const QString &path)
{
    QImageWriter writer(path, "jpeg");
    writer.setQuality(85);
    writer.setOptimizedWrite(true);
    if (!writer.write(image))
        qFatal("Cannot write %s: %s", qPrintable(path), qPrintable(writer.errorString()));
    std::printf("%s\n", qPrintable(path));
}

// ---- Pictures ----

QFont font(int pixelSize, bool bold, bool smooth)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    // A GIF keeps only the colours it is drawn with, so its text has hard edges.
    f.setStyleStrategy(smooth ? QFont::PreferAntialias : QFont::NoAntialias);
    return f;
}

void label(QPainter &p, const QRectF &area, const QString &text, int size, bool smooth = true)
{
    p.setFont(font(size, true, smooth));
    p.setPen(Qt::black);
    p.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, text);
}

void building(QPainter &p, const QRect &r, const QColor &roof, const QString &name)
{
    p.setPen(QPen(QColor(60, 50, 40), 2));
    p.setBrush(roof);
    p.drawRect(r);
    label(p, r, name, 11);
}

// A made-up town: streets, a lake, a park and the buildings one would link to pages.
QImage town()
{
    QImage image(640, 480, QImage::Format_RGB32);
    image.fill(QColor(238, 232, 214));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QPainterPath lake;
    lake.moveTo(430, 300);
    lake.cubicTo(470, 250, 600, 260, 620, 320);
    lake.cubicTo(640, 390, 560, 450, 490, 440);
    lake.cubicTo(420, 430, 400, 350, 430, 300);
    p.setPen(QPen(QColor(70, 110, 160), 2));
    p.setBrush(QColor(140, 185, 225));
    p.drawPath(lake);
    label(p, QRectF(450, 330, 150, 60), QStringLiteral("Peilijärvi"), 15);

    p.setPen(QPen(QColor(60, 120, 60), 2));
    p.setBrush(QColor(160, 210, 140));
    p.drawRoundedRect(QRect(40, 300, 300, 150), 18, 18);
    p.setBrush(QColor(70, 140, 70));
    for (const QPoint tree : {QPoint(80, 340), QPoint(120, 410), QPoint(280, 330), QPoint(300, 410),
                              QPoint(230, 420), QPoint(70, 420)})
        p.drawEllipse(tree, 14, 14);
    label(p, QRectF(110, 350, 160, 50), QStringLiteral("Kaupunginpuisto"), 14);

    p.setPen(QPen(QColor(150, 150, 150), 22, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(0, 270, 640, 270);
    p.drawLine(380, 0, 380, 480);
    p.drawLine(0, 120, 380, 120);
    p.setPen(QPen(Qt::white, 2, Qt::DashLine, Qt::FlatCap));
    p.drawLine(0, 270, 640, 270);
    p.drawLine(380, 0, 380, 480);
    p.drawLine(0, 120, 380, 120);

    building(p, QRect(30, 20, 140, 80), QColor(214, 120, 100), QStringLiteral("Kirjasto"));
    building(p, QRect(200, 20, 150, 80), QColor(230, 200, 110), QStringLiteral("Koulu"));
    building(p, QRect(30, 150, 100, 100), QColor(180, 160, 210), QStringLiteral("Kirkko"));
    building(p, QRect(160, 150, 190, 100), QColor(150, 190, 200), QStringLiteral("Kauppatori"));
    building(p, QRect(410, 20, 200, 90), QColor(200, 140, 90), QStringLiteral("Rautatieasema"));
    building(p, QRect(410, 140, 90, 105), QColor(120, 170, 210), QStringLiteral("Uimahalli"));
    building(p, QRect(520, 140, 90, 105), QColor(220, 170, 170), QStringLiteral("Terveys-asema"));

    p.setPen(Qt::black);
    p.setFont(font(18, true, true));
    p.drawText(QRect(0, 448, 380, 32), Qt::AlignCenter, QStringLiteral("Zorvikin kylä"));
    return image;
}

void room(QPainter &p, const QRect &r, const QColor &floor, const QString &name)
{
    p.setPen(Qt::NoPen);
    p.setBrush(floor);
    p.drawRect(r);
    label(p, r, name, 13, false);
}

// A door: a gap in the wall, its leaf standing open and the arc it swings along.
void door(QPainter &p, QPoint hinge, int startAngle, int spanAngle)
{
    constexpr int leaf = 40;
    p.setPen(QPen(QColor(120, 80, 40), 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRect(hinge.x() - leaf, hinge.y() - leaf, 2 * leaf, 2 * leaf), startAngle * 16,
              spanAngle * 16);
    const double open = qDegreesToRadians(double(startAngle + spanAngle));
    p.drawLine(hinge,
               hinge + QPoint(qRound(leaf * std::cos(open)), -qRound(leaf * std::sin(open))));
}

// The floor plan of a small flat; each room an area of its own.
QImage floorPlan()
{
    QImage image(560, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, false);

    room(p, QRect(20, 20, 300, 200), QColor(235, 215, 170), QStringLiteral("Olohuone"));
    room(p, QRect(320, 20, 220, 140), QColor(200, 225, 200), QStringLiteral("Keittiö"));
    room(p, QRect(20, 220, 200, 160), QColor(210, 205, 235), QStringLiteral("Makuuhuone"));
    room(p, QRect(220, 220, 100, 160), QColor(190, 220, 240), QStringLiteral("Kylpy-\nhuone"));
    room(p, QRect(320, 160, 220, 220), QColor(230, 230, 230), QStringLiteral("Eteinen"));

    p.setPen(QPen(Qt::black, 6, Qt::SolidLine, Qt::SquareCap));
    const QList<QLine> walls{{20, 20, 540, 20},    {20, 20, 20, 380},    {540, 20, 540, 380},
                             {20, 380, 440, 380},  {490, 380, 540, 380}, {320, 20, 320, 100},
                             {320, 150, 320, 170}, {320, 210, 320, 330}, {320, 370, 320, 380},
                             {20, 220, 150, 220},  {200, 220, 320, 220}, {220, 220, 220, 380},
                             {320, 160, 430, 160}, {480, 160, 540, 160}};
    p.drawLines(walls);

    door(p, QPoint(150, 220), 0, -90); // bedroom
    door(p, QPoint(320, 370), 90, 90); // bathroom
    door(p, QPoint(320, 210), 90, 90); // living room
    door(p, QPoint(440, 380), 0, 90);  // front door
    p.setPen(QPen(QColor(40, 90, 160), 6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(80, 20, 240, 20); // windows
    p.drawLine(400, 20, 500, 20);
    p.drawLine(20, 270, 20, 340);
    return image;
}

void step(QPainter &p, const QRect &r, const QColor &fill, const QString &name)
{
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(fill);
    p.drawRoundedRect(r, 12, 12);
    label(p, r, name, 14, false);
}

void arrow(QPainter &p, QPoint from, QPoint to)
{
    p.setPen(QPen(QColor(50, 50, 50), 3));
    p.drawLine(from, to);
    const QPointF along = QPointF(to - from) / std::hypot(to.x() - from.x(), to.y() - from.y());
    const QPointF across(-along.y(), along.x());
    p.setBrush(QColor(50, 50, 50));
    p.drawPolygon(QPolygonF{QPointF(to), QPointF(to) - 12 * along + 6 * across,
                            QPointF(to) - 12 * along - 6 * across});
}

// A diagram on a transparent background: the web page behind it shows through.
QImage diagram()
{
    QImage image(480, 320, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing, false);

    step(p, QRect(20, 30, 180, 70), QColor(250, 220, 120), QStringLiteral("Idea"));
    step(p, QRect(280, 30, 180, 70), QColor(160, 200, 240), QStringLiteral("Suunnitelma"));
    step(p, QRect(280, 220, 180, 70), QColor(170, 220, 160), QStringLiteral("Toteutus"));
    step(p, QRect(20, 220, 180, 70), QColor(230, 160, 160), QStringLiteral("Valmis"));
    arrow(p, QPoint(200, 65), QPoint(278, 65));
    arrow(p, QPoint(370, 100), QPoint(370, 218));
    arrow(p, QPoint(280, 255), QPoint(202, 255));
    p.setPen(Qt::black);
    p.setFont(font(16, true, false));
    p.drawText(QRect(110, 130, 260, 60), Qt::AlignCenter, QStringLiteral("Kuvakartan\nteko"));
    return image;
}

// Two tiny pictures whose every pixel the tests know.
QImage squares()
{
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 0));
    QPainter(&image).fillRect(4, 0, 4, 6, QColor(0, 0, 255));
    return image;
}

QImage halfTransparent()
{
    QImage image(6, 4, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter(&image).fillRect(3, 0, 3, 4, QColor(0, 128, 0));
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QDir examples(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(EXAMPLES_DIR));
    const QDir testData(argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(TEST_DATA_DIR));
    examples.mkpath(QStringLiteral("."));
    testData.mkpath(QStringLiteral("."));

    saveJpeg(town(), examples.filePath(QStringLiteral("kaupunki.jpg")));
    saveGif(floorPlan(), examples.filePath(QStringLiteral("pohjapiirros.gif")));
    saveGif(diagram(), examples.filePath(QStringLiteral("kaavio.gif")));
    saveGif(squares(), testData.filePath(QStringLiteral("ruudut.gif")));
    saveGif(halfTransparent(), testData.filePath(QStringLiteral("puoliksi-lapinakyva.gif")));
    return 0;
}
