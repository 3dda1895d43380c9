// Writes the seed corpora of the fuzz targets: small inputs of our own making that reach the
// main paths of each target, from which libFuzzer starts its search.
//   make_fuzz_corpus <corpus folder>
// Each target's seeds go into the folder of its name; files of the same name are replaced.

#include "drawing_input.h"
#include "markup_input.h"
#include "tests/changing_picture.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <vector>

using fuzzinput::Answer;
using fuzzinput::DrawingWriter;
using fuzzinput::MarkupInput;
using fuzzinput::Route;

namespace {

QDir g_corpus;

void write(const QString &target, const QString &name, const QByteArray &bytes)
{
    if (!g_corpus.mkpath(target))
        qFatal("cannot make %s", qPrintable(g_corpus.filePath(target)));
    const QString path = g_corpus.filePath(target + QLatin1Char('/') + name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// ---- markup ----

MarkupInput area(int shape, std::array<float, 3> coords, std::int16_t integer,
                 std::array<std::string, fuzzinput::TextCount> texts)
{
    MarkupInput input;
    input.shape = shape;
    input.coords = coords;
    input.integer = integer;
    input.texts = std::move(texts);
    return input;
}

void writeMarkupSeeds()
{
    const auto seed = [](const char *name, const MarkupInput &input) {
        const std::string bytes = fuzzinput::encodeMarkupInput(input);
        write(QStringLiteral("markup"), QLatin1String(name),
              QByteArray(bytes.data(), qsizetype(bytes.size())));
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();

    seed("suorakaide",
         area(0, {10, 20, 110}, 80,
              {R"(C:\kuvat\kartta.gif)", "kartta", "0", "etusivu.html", "oikea", "Etusivu"}));
    seed("ympyra",
         area(1, {200, 150, 0}, 40, {"kartta.gif", "kartta", "0", "tuotteet.html", "_blank", ""}));
    seed("monikulmio",
         area(2, {30, 200, 90}, 180, {"kartta.gif", "kartta", "0", "tuotteet.html", "_blank", ""}));
    seed("tyhjat-kentat", area(0, {0, 0, 0}, 0, {"", "", "", "", "", ""}));
    seed("merkintaa-rikkovat",
         area(0, {1, 2, 3}, 4,
              {R"(C:\kuvat\ääni & "kuva".gif)", R"(a"b<c>d&e)", R"(0" onload="x)", "&amp;&lt;&#10;",
               "<b>x</b>", R"(sano "hei" </map>)"}));
    seed("rivinvaihdot",
         area(1, {5, 6, 0}, 7, {"rivi\nrivi.gif", "kartta\r\n", "\t0", "a\rb", "\n", "loppu\n"}));
    seed("asettamattomat", [] {
        MarkupInput input = area(0, {0, 0, 0}, -32768, {"k.gif", "k", "0", "l", "o", "t"});
        input.unset = {true, true, true};
        return input;
    }());
    seed("murtoluvut", area(0, {-8.5f, 0.1f, 1e20f}, 32767, {"k.gif", "k", "0", "l", "o", "t"}));
    seed("ei-luku", area(2, {nan, -std::numeric_limits<float>::infinity(), 1.4e-45f}, -1,
                         {"k.gif", "k", "0", "l", "o", "t"}));
    seed("unicode",
         area(1, {12, 34, 0}, 5,
              {"/home/käyttäjä/kuvat/€.gif", "kartta ÅØ", "０", "ä.html", "ö", "\u2028\u00a0"}));
}

// ---- number text ----

QByteArray floats(std::initializer_list<float> values)
{
    QByteArray bytes;
    for (const float value : values) {
        const auto bits = std::bit_cast<std::uint32_t>(value);
        for (int b = 0; b < 4; ++b)
            bytes.append(char(bits >> (8 * b)));
    }
    return bytes;
}

void writeNumberSeeds()
{
    using limits = std::numeric_limits<float>;
    const QString target = QStringLiteral("number_text");
    write(target, QStringLiteral("kokonaiset"),
          floats({0.0f, -0.0f, 1.0f, -3.0f, 57.0f, 32767.0f, -32768.0f, 16777216.0f, 1e15f,
                  limits::max()}));
    write(target, QStringLiteral("puolikkaat"),
          floats({0.5f, 1.5f, 2.5f, -2.5f, 3.5f, 32766.5f, 32767.5f, -32767.5f, -32768.5f}));
    write(target, QStringLiteral("murtoluvut"),
          floats({0.1f, 123456.7f, 9.9999996f, 1234567.5f, 0.0009999999f, -0.000123f, 0.3f}));
    write(target, QStringLiteral("erikoiset"),
          floats({limits::quiet_NaN(), limits::infinity(), -limits::infinity(),
                  limits::denorm_min(), limits::min(), -limits::max()}));
}

// ---- pictures ----

QImage drawing(int width, int height, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(QColor(30, 140, 200));
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, QColor(250, 240, 20));
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2,
                     QColor(0, 0, 0, 90));
    painter.end();
    return image.convertToFormat(format);
}

QByteArray encoded(const QImage &image, const char *format, int quality = -1,
                   bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(image))
        qFatal("cannot write %s: %s", format, qPrintable(writer.errorString()));
    return bytes;
}

// Qt writes no GIF, so the GIF seeds are put together here. The pixels are stored as literal
// codes only, with a clear code before the code table would need wider codes: a valid stream,
// if not a compressed one.
class GifCodes {
public:
    static constexpr int minCodeSize = 3;

    QByteArray encode(const std::vector<int> &indices)
    {
        constexpr int clear = 1 << minCodeSize;
        constexpr int literalsPerRun = clear - 2;
        int run = 0;
        put(clear);
        for (const int index : indices) {
            if (run == literalsPerRun) {
                put(clear);
                run = 0;
            }
            put(index);
            ++run;
        }
        put(clear + 1);
        if (m_bitCount > 0)
            m_bytes.append(char(m_bits));
        QByteArray blocks(1, char(minCodeSize));
        for (qsizetype at = 0; at < m_bytes.size(); at += 255) {
            const QByteArray block = m_bytes.mid(at, 255);
            blocks.append(char(block.size()));
            blocks.append(block);
        }
        blocks.append(char(0));
        return blocks;
    }

private:
    void put(int code)
    {
        m_bits |= code << m_bitCount;
        m_bitCount += minCodeSize + 1;
        while (m_bitCount >= 8) {
            m_bytes.append(char(m_bits & 0xff));
            m_bits >>= 8;
            m_bitCount -= 8;
        }
    }

    QByteArray m_bytes;
    int m_bits = 0;
    int m_bitCount = 0;
};

void word(QByteArray &gif, int value)
{
    gif.append(char(value & 0xff));
    gif.append(char((value >> 8) & 0xff));
}

// Eight colours, the size of a table that minCodeSize 3 addresses.
QByteArray colourTable(int shift)
{
    QByteArray table;
    for (int i = 0; i < 8; ++i) {
        table.append(char((i * 37 + shift) & 0xff));
        table.append(char((i * 91) & 0xff));
        table.append(char((255 - i * 29) & 0xff));
    }
    return table;
}

struct GifFrame {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    bool localTable = false;
    int transparent = -1;
    int disposal = 0;
};

std::vector<int> framePixels(const GifFrame &frame)
{
    std::vector<int> rows;
    if (frame.interlaced) {
        for (const auto &[start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}}) {
            for (int y = start; y < frame.height; y += step)
                rows.push_back(y);
        }
    } else {
        for (int y = 0; y < frame.height; ++y)
            rows.push_back(y);
    }
    std::vector<int> pixels;
    for (const int y : rows) {
        for (int x = 0; x < frame.width; ++x)
            pixels.push_back((x / 2 + y) % 8);
    }
    return pixels;
}

QByteArray gif(int width, int height, const std::vector<GifFrame> &frames, bool looping = false,
               bool comment = false)
{
    QByteArray bytes("GIF89a");
    word(bytes, width);
    word(bytes, height);
    bytes.append(char(0x80 | 0x70 | (GifCodes::minCodeSize - 1)));
    bytes.append(char(0));
    bytes.append(char(0));
    bytes.append(colourTable(0));
    if (looping) {
        bytes.append("\x21\xff\x0bNETSCAPE2.0\x03\x01", 16);
        word(bytes, 0);
        bytes.append(char(0));
    }
    if (comment)
        bytes.append("\x21\xfe\x0ckuvan kuvaus\x00", 16);
    for (const GifFrame &frame : frames) {
        if (frame.transparent >= 0 || frame.disposal != 0) {
            bytes.append("\x21\xf9\x04", 3);
            bytes.append(char((frame.disposal << 2) | (frame.transparent >= 0 ? 1 : 0)));
            word(bytes, 10);
            bytes.append(char(std::max(frame.transparent, 0)));
            bytes.append(char(0));
        }
        bytes.append(char(0x2c));
        word(bytes, frame.left);
        word(bytes, frame.top);
        word(bytes, frame.width);
        word(bytes, frame.height);
        bytes.append(char((frame.localTable ? 0x80 | (GifCodes::minCodeSize - 1) : 0) |
                          (frame.interlaced ? 0x40 : 0)));
        if (frame.localTable)
            bytes.append(colourTable(100));
        bytes.append(GifCodes().encode(framePixels(frame)));
    }
    bytes.append(char(0x3b));
    return bytes;
}

void writeGifSeeds(const QString &target)
{
    write(target, QStringLiteral("ruudut.gif"), gif(8, 6, {{0, 0, 8, 6}}));
    write(target, QStringLiteral("lapinakyva.gif"),
          gif(6, 4, {{.width = 6, .height = 4, .transparent = 2}}));
    write(target, QStringLiteral("lomitettu.gif"),
          gif(5, 11, {{.width = 5, .height = 11, .interlaced = true}}, false, true));
    write(target, QStringLiteral("oma-paletti.gif"),
          gif(7, 3, {{.left = 1, .top = 1, .width = 4, .height = 2, .localTable = true}}));
    write(target, QStringLiteral("kaksi-kuvaa.gif"),
          gif(6, 6,
              {{.width = 6, .height = 6, .disposal = 2},
               {.left = 2, .top = 2, .width = 3, .height = 3, .transparent = 0, .disposal = 1}},
              true));
    // A header that claims a side beyond the canvas's bound: refused before decoding.
    write(target, QStringLiteral("liian-levea.gif"), gif(40000, 2, {{.width = 2, .height = 2}}));
    write(target, QStringLiteral("katkennut.gif"), gif(8, 6, {{0, 0, 8, 6}}).left(30));
}

void writeJpegSeeds(const QString &target)
{
    write(target, QStringLiteral("kuva.jpg"), encoded(drawing(16, 12), "jpeg", 50));
    write(target, QStringLiteral("harmaa.jpg"),
          encoded(drawing(8, 8, QImage::Format_Grayscale8), "jpeg", 30));
    write(target, QStringLiteral("asteittainen.jpg"), encoded(drawing(16, 16), "jpeg", 40, true));
    write(target, QStringLiteral("katkennut.jpg"),
          encoded(drawing(16, 12), "jpeg", 50).chopped(40));

    // A camera's record of how the picture is turned: the loader turns it the same way.
    QByteArray turned;
    QBuffer buffer(&turned);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(40);
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    if (!writer.write(drawing(12, 6)))
        qFatal("cannot write a turned JPEG");
    write(target, QStringLiteral("kaannetty.jpg"), turned);

    // A photo whose header grows past the bound between the loader's read and the decoder's.
    const QByteArray photo = encoded(drawing(16, 12), "jpeg", 50);
    write(target, QStringLiteral("kasvava.jpg"),
          photo + changingpicture::laterMarker +
              changingpicture::claimingSize(photo, QSize(17000, 16000)));
}

void writeOtherPictureSeeds(const QString &target)
{
    QImage palette(6, 4, QImage::Format_Indexed8);
    palette.setColorTable({qRgba(0, 0, 0, 0), qRgb(10, 20, 30), qRgba(200, 100, 0, 128)});
    palette.fill(0);
    palette.setPixel(3, 1, 1);
    palette.setPixel(4, 2, 2);

    write(target, QStringLiteral("kuva.png"), encoded(drawing(9, 7), "png"));
    write(target, QStringLiteral("lapikuultava.png"),
          encoded(drawing(9, 7, QImage::Format_ARGB32), "png"));
    write(target, QStringLiteral("paletti.png"), encoded(palette, "png"));
    write(target, QStringLiteral("harmaa.png"),
          encoded(drawing(5, 5, QImage::Format_Grayscale16), "png"));
    const QByteArray deep = encoded(drawing(4, 3, QImage::Format_RGBA64), "png");
    write(target, QStringLiteral("syva.png"), deep);
    // 16384 x 16384 would take 1 GiB in the canvas's pixels, twice that in the PNG's own.
    write(target, QStringLiteral("syva-valtava.png"),
          changingpicture::claimingSize(deep, QSize(16384, 16384)));
    write(target, QStringLiteral("mustavalkoinen.png"),
          encoded(drawing(9, 3, QImage::Format_Mono), "png"));
    write(target, QStringLiteral("kuva.bmp"), encoded(drawing(5, 3), "bmp"));
    write(target, QStringLiteral("paletti.bmp"), encoded(palette, "bmp"));
    write(target, QStringLiteral("mustavalkoinen.bmp"),
          encoded(drawing(9, 3, QImage::Format_Mono), "bmp"));
    write(target, QStringLiteral("kuvake.ico"),
          encoded(drawing(8, 8, QImage::Format_ARGB32), "ico"));
    write(target, QStringLiteral("kuva.ppm"), encoded(drawing(4, 3), "ppm"));
    write(target, QStringLiteral("kuva.xpm"), encoded(palette, "xpm"));
}

void writePictureSeeds()
{
    const QString target = QStringLiteral("picture");
    writeGifSeeds(target);
    writeJpegSeeds(target);
    writeOtherPictureSeeds(target);
}

// ---- drawing ----

// Toolkit buttons by their place in the input's list, and the program's button codes.
constexpr int left = 0;
constexpr int right = 1;
constexpr int middle = 2;
constexpr int back = 3;
constexpr int leftCode = 1;
constexpr int rightCode = 2;
constexpr int middleCode = 4;

DrawingWriter &dragBox(DrawingWriter &w, Route route, int button, float x1, float y1, float x2,
                       float y2)
{
    w.press(route, button, 0, x1, y1);
    w.move(route, button, 0, (x1 + x2) / 2, (y1 + y2) / 2);
    w.move(route, button, 0, x2, y2);
    return w.release(route, button, 0, x2, y2);
}

void writeDrawingSeeds()
{
    const auto seed = [](const char *name, const DrawingWriter &w) {
        write(QStringLiteral("drawing"), QLatin1String(name),
              QByteArray(w.bytes().data(), qsizetype(w.bytes().size())));
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();

    DrawingWriter rectangles;
    dragBox(rectangles, Route::Straight, leftCode, 5, 5, 30, 25).answer(Answer::Ok);
    dragBox(rectangles, Route::Widget, left, 35, 28, 2, 1).answer(Answer::Cancel);
    dragBox(rectangles, Route::Widget, middle, 10, 10, 12, 11).answer(Answer::Close);
    rectangles.press(Route::Straight, leftCode, 0, 7, 7)
        .release(Route::Straight, leftCode, 0, 7, 7);
    rectangles.answer(Answer::Ok);
    seed("suorakaiteet", rectangles);

    DrawingWriter circles;
    circles.tool(1);
    dragBox(circles, Route::Widget, left, 20, 15, 38, 3).answer(Answer::Ok);
    dragBox(circles, Route::Straight, middleCode, 5, 5, 100, 90).answer(Answer::Close);
    // A release without a press shows the dialog as well.
    circles.release(Route::Straight, leftCode, 0, 1, 1).answer(Answer::Cancel);
    seed("ympyrat", circles);

    DrawingWriter polygons;
    polygons.tool(2);
    polygons.press(Route::Widget, left, 0, 10, 20).release(Route::Widget, left, 0, 10, 20);
    polygons.press(Route::Widget, left, 0, 35, 20).release(Route::Widget, left, 0, 35, 20);
    polygons.press(Route::Straight, middleCode, 0, 20, 28);
    polygons.press(Route::Widget, right, 0, 0, 0).answer(Answer::Ok);
    polygons.release(Route::Widget, right, 0, 0, 0);
    // A right press with no polygon open begins one; closed after one vertex, then cancelled.
    polygons.press(Route::Straight, rightCode, 0, 4, 4);
    polygons.press(Route::Straight, rightCode, 0, 9, 9).answer(Answer::Cancel);
    seed("monikulmiot", polygons);

    DrawingWriter switching;
    switching.tool(2)
        .press(Route::Straight, leftCode, 0, 3, 3)
        .press(Route::Straight, leftCode, 0, 20, 4);
    switching.tool(0);
    dragBox(switching, Route::Straight, leftCode, 15, 15, 25, 20).answer(Answer::Close);
    switching.press(Route::Straight, rightCode, 0, 0, 0);
    switching.tool(1).tool(2).press(Route::Straight, leftCode, 0, 30, 25);
    switching.press(Route::Straight, rightCode, 0, 30, 25).answer(Answer::Ok);
    seed("tyokalun-vaihto", switching);

    DrawingWriter faraway;
    faraway.press(Route::Straight, leftCode, 0, -32, 159);
    faraway.move(Route::Straight, leftCode, 0, 1e30f, -1e30f);
    faraway.move(Route::Widget, left, 0, nan, inf);
    faraway.move(Route::Straight, leftCode, 0, -inf, -32768.5f);
    faraway.release(Route::Straight, leftCode, 0, 3e38f, nan).answer(Answer::Ok);
    faraway.tool(1);
    dragBox(faraway, Route::Straight, leftCode, 2.5f, 3.5f, -40000, 65536).answer(Answer::Ok);
    faraway.tool(2).press(Route::Straight, leftCode, 0, nan, 1.25f);
    faraway.press(Route::Straight, leftCode, 0, 1e-40f, -0.0f);
    faraway.press(Route::Straight, rightCode, 0, 5, 5).answer(Answer::Ok);
    seed("kaukana", faraway);

    DrawingWriter buttons;
    buttons.press(Route::Widget, back, 0, 5, 5).move(Route::Widget, back, 0, 9, 9);
    buttons.release(Route::Widget, back, 0, 9, 9);
    buttons.press(Route::Widget, left, 7, 5, 5).press(Route::Widget, right, 0, 6, 6);
    buttons.move(Route::Widget, left, 0, 20, 20).release(Route::Widget, right, 0, 20, 20);
    buttons.move(Route::Widget, left, 0, 25, 22).release(Route::Widget, left, 0, 25, 22);
    buttons.answer(Answer::Ok);
    buttons.press(Route::Straight, 0, 0, 3, 3).release(Route::Straight, -1, 5, 8, 8);
    buttons.answer(Answer::Ok);
    buttons.press(Route::Straight, 127, 0, 3, 3).release(Route::Straight, rightCode, 0, 8, 8);
    seed("napit", buttons);

    DrawingWriter newMaps;
    newMaps.tool(2)
        .press(Route::Straight, leftCode, 0, 2, 2)
        .press(Route::Straight, leftCode, 0, 6, 4);
    newMaps.newMap().load(3).press(Route::Straight, leftCode, 0, 50, 2);
    newMaps.press(Route::Straight, rightCode, 0, 0, 0).answer(Answer::Ok);
    newMaps.tool(0).load(1).press(Route::Straight, leftCode, 0, 1, 1);
    newMaps.move(Route::Straight, leftCode, 0, 6, 4).load(2);
    newMaps.move(Route::Straight, leftCode, 0, 0, 0).release(Route::Straight, leftCode, 0, 0, 0);
    newMaps.answer(Answer::Ok).newMap().load(4).load(5).closeMap();
    dragBox(newMaps, Route::Straight, leftCode, 1, 1, 2, 40).answer(Answer::Cancel);
    seed("uusi-kartta", newMaps);

    // Areas confirmed after "Luo koodi" still belong to the map.
    DrawingWriter closed;
    closed.closeMap();
    dragBox(closed, Route::Straight, leftCode, 3, 3, 20, 20).answer(Answer::Ok).closeMap();
    closed.tool(1);
    dragBox(closed, Route::Straight, leftCode, 10, 10, 10, 30).answer(Answer::Ok).closeMap();
    closed.tool(2)
        .press(Route::Straight, leftCode, 0, 1, 1)
        .press(Route::Straight, leftCode, 0, 30, 2);
    closed.press(Route::Straight, rightCode, 0, 0, 0).answer(Answer::Ok).newMap().closeMap();
    closed.press(Route::Straight, leftCode, 0, 5, 5).press(Route::Straight, rightCode, 0, 0, 0);
    closed.answer(Answer::Ok).closeMap();
    seed("luo-koodi", closed);

    DrawingWriter layouts;
    layouts.resize(20, 90).paint();
    dragBox(layouts, Route::Widget, left, 1, 1, 39, 29).paint().answer(Answer::Close);
    layouts.paint().place(-20, -15).tool(1).press(Route::Widget, left, 0, 30, 20);
    layouts.move(Route::Widget, left, 0, 30, 50).paint().move(Route::Widget, left, 0, 0, 0);
    layouts.paint().release(Route::Widget, left, 0, 0, 0).answer(Answer::Ok).paint();
    layouts.load(0).autoSize().place(70, 50).press(Route::Straight, leftCode, 0, 20, 15);
    layouts.move(Route::Straight, leftCode, 0, 150, 150).paint().resize(0, 0);
    layouts.release(Route::Straight, leftCode, 0, 150, 150).answer(Answer::Cancel).paint();
    seed("asettelu", layouts);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    g_corpus = QDir(QString::fromLocal8Bit(argv[1]));
    writeMarkupSeeds();
    writeNumberSeeds();
    writePictureSeeds();
    writeDrawingSeeds();
    return 0;
}
