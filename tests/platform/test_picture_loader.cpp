#include "platform/canvas/canvas.h"
#include "platform/picture/picture_loader.h"
#include "platform/picture/picture_memory.h"
#include "tests/changing_picture.h"
#include "tests/ui/peak_memory.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using changingpicture::ChangingDevice;
using changingpicture::claimingSize;
using zorvik::platform::InvertCanvas;
using zorvik::platform::loadPicture;
using zorvik::platform::pictureMemoryHelpers;
using zorvik::platform::pictureMemoryInUse;

namespace {

QString dataFile(const char *name)
{
    return QStringLiteral(ZORVIK_TEST_DATA "/") + QLatin1String(name);
}

QImage sample(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(30, 140, 200));
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, QColor(250, 240, 20));
    return image;
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.write(image);
    return bytes;
}

void little(QByteArray &bytes, int value)
{
    bytes.append(char(value & 0xff));
    bytes.append(char(value >> 8));
}

// A GIF whose header claims |width| x |height| pixels, followed by one tiny frame.
QByteArray gifClaiming(int width, int height)
{
    QByteArray gif("GIF89a");
    little(gif, width);
    little(gif, height);
    gif.append("\x80\x00\x00", 3); // a global table of two colours
    gif.append("\x00\x00\x00\xff\xff\xff", 6);
    gif.append(char(0x2c));
    little(gif, 0);
    little(gif, 0);
    little(gif, width);
    little(gif, height);
    gif.append(char(0));
    gif.append("\x02\x02\x44\x01\x00", 5); // one pixel of colour 0
    gif.append(char(0x3b));
    return gif;
}

// |jpeg| with EXIF data that asks for a quarter turn clockwise, as a camera held upright writes.
QByteArray turnedByExif(const QByteArray &jpeg)
{
    // An APP1 segment of 34 bytes: the EXIF name, a little-endian TIFF header and one entry,
    // orientation (0x0112) as one SHORT of 6.
    const QByteArray exif("\xff\xe1\x00\x22"
                          "Exif\0\0"
                          "II*\0\x08\0\0\0"
                          "\x01\0"
                          "\x12\x01\x03\0\x01\0\0\0\x06\0\0\0"
                          "\0\0\0\0",
                          36);
    return jpeg.left(2) + exif + jpeg.mid(2);
}

// Colours and transparency that change from pixel to pixel, so that a pixel out of place shows.
QImage variedPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y,
                             qRgba((x * 37 + y * 11) & 255, (x * 5 ^ y * 23) & 255,
                                   (x + y * 3 + 90) & 255, (x * 3 + y) & 255));
    return picture;
}

// |picture| as it shows on white, worked out here pixel by pixel.
QImage onWhite(const QImage &picture)
{
    const QImage straight = picture.convertToFormat(QImage::Format_ARGB32);
    QImage shown(picture.size(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = straight.pixel(x, y);
            const int a = qAlpha(p);
            const auto mix = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            shown.setPixel(x, y, qRgb(mix(qRed(p)), mix(qGreen(p)), mix(qBlue(p))));
        }
    }
    return shown;
}

bool near(QRgb actual, QRgb expected, int tolerance)
{
    return qAbs(qRed(actual) - qRed(expected)) <= tolerance &&
           qAbs(qGreen(actual) - qGreen(expected)) <= tolerance &&
           qAbs(qBlue(actual) - qBlue(expected)) <= tolerance;
}

} // namespace

class TestPictureLoader : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // A failed load gives no picture, a Finnish message that names the file and its reason,
    // and takes the wait cursor away again.
    void expectFailure(const QString &path, const QString &reason)
    {
        const auto loaded = loadPicture(path);
        QVERIFY(loaded.image.isNull());
        QVERIFY2(loaded.error.contains(reason), qPrintable(loaded.error));
        QVERIFY2(loaded.error.contains(QDir::toNativeSeparators(path)), qPrintable(loaded.error));
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void jpegLoadsAsRgb32()
    {
        const QString path = write(QStringLiteral("kartta.jpg"), encoded(sample(64, 48), "jpeg"));
        const auto loaded = loadPicture(path);
        QVERIFY2(loaded.error.isEmpty(), qPrintable(loaded.error));
        QCOMPARE(loaded.image.format(), QImage::Format_RGB32);
        QCOMPARE(loaded.image.size(), QSize(64, 48));
        QVERIFY(near(loaded.image.pixel(4, 4), qRgb(250, 240, 20), 12));
        QVERIFY(near(loaded.image.pixel(60, 44), qRgb(30, 140, 200), 12));
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void greyJpegLoadsAsRgb32()
    {
        QImage grey(20, 10, QImage::Format_Grayscale8);
        grey.fill(100);
        const auto loaded = loadPicture(write(QStringLiteral("harmaa.jpg"), encoded(grey, "jpeg")));
        QCOMPARE(loaded.image.format(), QImage::Format_RGB32);
        QVERIFY(near(loaded.image.pixel(10, 5), qRgb(100, 100, 100), 2));
    }

    void gifLoadsPixelForPixel()
    {
        const auto loaded = loadPicture(dataFile("ruudut.gif"));
        QVERIFY2(loaded.error.isEmpty(), qPrintable(loaded.error));
        QCOMPARE(loaded.image.format(), QImage::Format_RGB32);
        QCOMPARE(loaded.image.size(), QSize(8, 6));
        QCOMPARE(loaded.image.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(loaded.image.pixel(3, 5), qRgb(255, 0, 0));
        QCOMPARE(loaded.image.pixel(4, 0), qRgb(0, 0, 255));
        QCOMPARE(loaded.image.pixel(7, 5), qRgb(0, 0, 255));
    }

    void transparentGifShowsWhite()
    {
        const auto loaded = loadPicture(dataFile("puoliksi-lapinakyva.gif"));
        QVERIFY2(loaded.error.isEmpty(), qPrintable(loaded.error));
        QCOMPARE(loaded.image.format(), QImage::Format_RGB32);
        QCOMPARE(loaded.image.size(), QSize(6, 4));
        QCOMPARE(loaded.image.pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(loaded.image.pixel(2, 3), qRgb(255, 255, 255));
        QCOMPARE(loaded.image.pixel(3, 0), qRgb(0, 128, 0));
        QCOMPARE(loaded.image.pixel(5, 3), qRgb(0, 128, 0));
    }

    void translucentPngBlendsOnWhite()
    {
        QImage image(4, 4, QImage::Format_ARGB32);
        image.fill(qRgba(0, 0, 0, 128));
        image.setPixel(0, 0, qRgba(200, 0, 0, 255));
        image.setPixel(1, 0, qRgba(0, 0, 0, 0));
        const auto loaded = loadPicture(write(QStringLiteral("varjo.png"), encoded(image, "png")));
        QCOMPARE(loaded.image.format(), QImage::Format_RGB32);
        QCOMPARE(loaded.image.pixel(0, 0), qRgb(200, 0, 0));
        QCOMPARE(loaded.image.pixel(1, 0), qRgb(255, 255, 255));
        QVERIFY(near(loaded.image.pixel(2, 2), qRgb(127, 127, 127), 1));
    }

    void palettePngWithTransparentColourShowsWhite()
    {
        QImage image(4, 2, QImage::Format_Indexed8);
        image.setColorTable({qRgba(0, 0, 0, 0), qRgb(10, 20, 30)});
        image.fill(0);
        image.setPixel(3, 1, 1);
        const auto loaded =
            loadPicture(write(QStringLiteral("paletti.png"), encoded(image, "png")));
        QCOMPARE(loaded.image.format(), QImage::Format_RGB32);
        QCOMPARE(loaded.image.pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(loaded.image.pixel(3, 1), qRgb(10, 20, 30));
    }

    void otherFormatsLoadWhenTypedByHand_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("png") << "kuva.png" << QByteArray("png");
        QTest::newRow("bmp") << "kuva.bmp" << QByteArray("bmp");
        QTest::newRow("webp") << "kuva.webp" << QByteArray("webp");
        QTest::newRow("png named jpg") << "harhaan.jpg" << QByteArray("png");
        QTest::newRow("jpeg named gif") << "harhaan.gif" << QByteArray("jpeg");
        QTest::newRow("no extension") << "kuva" << QByteArray("bmp");
    }
    void otherFormatsLoadWhenTypedByHand()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, format);
        const QByteArray bytes = encoded(sample(30, 20), format.constData());
        if (bytes.isEmpty())
            QSKIP("Qt cannot write this format here");
        const auto loaded = loadPicture(write(name, bytes));
        QVERIFY2(loaded.error.isEmpty(), qPrintable(loaded.error));
        QCOMPARE(loaded.image.size(), QSize(30, 20));
        QCOMPARE(loaded.image.format(), QImage::Format_RGB32);
    }

    void oversizeHeaderIsRefusedBeforeDecoding_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("65535 square") << 65535 << 65535;
        QTest::newRow("too wide") << 32768 << 1;
        QTest::newRow("too high") << 1 << 40000;
        QTest::newRow("over a gibibyte") << 20000 << 20000;
    }
    void oversizeHeaderIsRefusedBeforeDecoding()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        const QString path = write(QStringLiteral("valtava.gif"), gifClaiming(width, height));
        expectFailure(path, QStringLiteral("liian suuri"));
        QVERIFY(loadPicture(path).error.contains(QStringLiteral("%1 × %2").arg(width).arg(height)));
    }

    void largestAllowedSideIsAccepted()
    {
        const auto loaded = loadPicture(write(QStringLiteral("pitka.gif"), gifClaiming(32767, 1)));
        QVERIFY2(loaded.error.isEmpty(), qPrintable(loaded.error));
        QCOMPARE(loaded.image.size(), QSize(32767, 1));
    }

    // Qt's own allocation limit would refuse this 160 MB picture.
    void pictureBeyondQtsDefaultLimitLoads()
    {
        const auto loaded = loadPicture(write(QStringLiteral("iso.gif"), gifClaiming(8000, 5000)));
        QVERIFY2(loaded.error.isEmpty(), qPrintable(loaded.error));
        QCOMPARE(loaded.image.size(), QSize(8000, 5000));
    }

    // Each kind of picture reaches the canvas with the pixels Qt's own reader gives, put on
    // white. What its header describes is decoded straight into picture memory, a conversion is
    // made in it too, and the canvas gives the memory back when the next picture takes its place;
    // a load that fails gives back what it took and leaves the canvas's picture alone. The GIF
    // reader decodes into a picture of its own, which is blended where it lies. Over 2 MiB
    // decoded, a picture's memory is made ready by a helper thread, which no load leaves behind.
    void picturesReachTheCanvasInPictureMemory_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("inPictureMemory");
        const QImage photo = variedPicture(1000, 700).convertToFormat(QImage::Format_RGB32);
        const QByteArray jpeg = encoded(photo, "jpeg");
        QTest::newRow("colour jpeg") << write(QStringLiteral("valokuva.jpg"), jpeg) << true;
        QTest::newRow("grey jpeg")
            << write(QStringLiteral("harmaa.jpg"),
                     encoded(photo.convertToFormat(QImage::Format_Grayscale8), "jpeg"))
            << true;
        QTest::newRow("jpeg cut short")
            << write(QStringLiteral("puolikas.jpg"), jpeg.left(jpeg.size() / 2)) << true;
        // Half-transparent pixels tell a blend of straight colours from a premultiplied one.
        QTest::newRow("png with alpha")
            << write(QStringLiteral("lapikuultava.png"), encoded(variedPicture(1000, 700), "png"))
            << true;
        QTest::newRow("gif") << dataFile("puoliksi-lapinakyva.gif") << false;
        // Both are left to Qt's reader after the loader has looked at them itself.
        QTest::newRow("cmyk jpeg") << dataFile("painovarit-cmyk.jpg") << true;
        QTest::newRow("jpeg turned by exif")
            << write(QStringLiteral("pysty.jpg"), turnedByExif(encoded(sample(64, 40), "jpeg")))
            << false;
    }
    void picturesReachTheCanvasInPictureMemory()
    {
        QFETCH(QString, path);
        QFETCH(bool, inPictureMemory);
        QCOMPARE(pictureMemoryInUse(), 0);
        InvertCanvas canvas;
        canvas.setPicture(loadPicture(path).image);
        QCOMPARE(pictureMemoryHelpers(), 0);
        QImageReader reader(path);
        reader.setAutoTransform(true);
        QCOMPARE(canvas.picture(), onWhite(reader.read()));
        QCOMPARE(pictureMemoryInUse(), inPictureMemory ? canvas.picture().sizeInBytes() : 0);

        const QString next = m_dir.filePath(QStringLiteral("valokuva.jpg"));
        canvas.setPicture(loadPicture(next).image);
        QCOMPARE(pictureMemoryHelpers(), 0);
        const QImage shown = onWhite(QImageReader(next).read());
        QCOMPARE(canvas.picture(), shown);
        QCOMPARE(pictureMemoryInUse(), canvas.picture().sizeInBytes());

        // The PNG reader gives up on a file cut short once its picture has been made.
        QFile png(m_dir.filePath(QStringLiteral("lapikuultava.png")));
        QVERIFY(png.open(QIODevice::ReadOnly));
        const QString broken = write(QStringLiteral("katkennut.png"), png.read(png.size() / 2));
        QVERIFY(loadPicture(broken).image.isNull());
        QCOMPARE(pictureMemoryHelpers(), 0);
        QCOMPARE(pictureMemoryInUse(), canvas.picture().sizeInBytes());
        QCOMPARE(canvas.picture(), shown);
        canvas.setPicture(QImage());
        QCOMPARE(pictureMemoryInUse(), 0);
    }

    // No picture holds more than the bound while it loads, however its file is made or changes:
    // it is refused before its pixels are allocated, or shown within what its pixels need. A
    // 16-bit PNG decodes to twice the canvas's pixels; a device may serve the JPEG decoder a
    // header other than the one the loader checked.
    void limitsHoldWhereThePixelsAreTaken_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("later");
        QTest::addColumn<QSize>("told");
        QTest::addColumn<bool>("shown");
        QImage deep(6000, 6000, QImage::Format_RGBA64);
        deep.fill(QColor::fromRgba64(0x1234, 0x8000, 0xfedc, 0x9000));
        const QByteArray png = encoded(deep, "png");
        const QByteArray over = claimingSize(png, QSize(16384, 16384));
        const QByteArray jpeg = encoded(sample(64, 48), "jpeg");
        const QByteArray small = encoded(sample(64, 48), "png");
        QTest::newRow("16-bit png under") << png << png << deep.size() << true;
        QTest::newRow("16-bit png over") << over << over << QSize(16384, 16384) << false;
        QTest::newRow("jpeg growing too wide")
            << jpeg << claimingSize(jpeg, QSize(32768, 8)) << QSize(32768, 8) << false;
        QTest::newRow("jpeg growing past the bound")
            << jpeg << claimingSize(jpeg, QSize(17000, 16000)) << QSize(17000, 16000) << false;
        // The PNG reader reads its header once, and the pixels right after it.
        QTest::newRow("png growing past the bound") << small << over << QSize(64, 48) << true;
    }
    void limitsHoldWhereThePixelsAreTaken()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, later);
        QFETCH(QSize, told);
        QFETCH(bool, shown);
        ChangingDevice device(first, later);
        const bool measured = resetPeakMemory();
        const qint64 before = peakMemory();
        const auto loaded = loadPicture(device, QStringLiteral("muuttuva"));
        const qint64 added = peakMemory() - before;
        // Pixels held at once: at most 2.2 times the canvas's, and none of a refused picture, so
        // that only the reader's own workings remain.
        const qint64 held = shown ? qint64(2.2 * told.width() * told.height() * 4) : 0;
        const qint64 bound = std::max(held, qint64(64) << 20);
        if (measured)
            QVERIFY2(added <= bound, qPrintable(QStringLiteral("%1 MiB").arg(added >> 20)));
        if (!shown && !loaded.image.isNull()) {
            // Qt's own JPEG reader, on Windows, reads the header once and fills what it checked.
            QBuffer checked(&first);
            QCOMPARE(loaded.image.size(), QImageReader(&checked).size());
            return;
        }
        if (!shown) {
            QVERIFY2(
                loaded.error.contains(
                    QStringLiteral("liian suuri (%1 × %2").arg(told.width()).arg(told.height())),
                qPrintable(loaded.error));
            return;
        }
        QVERIFY2(loaded.error.isEmpty(), qPrintable(loaded.error));
        QCOMPARE(loaded.image.size(), told);
        const QImage corner = QImage::fromData(first).copy(0, 0, 1, 1);
        QCOMPARE(loaded.image.pixel(0, 0), onWhite(corner).pixel(0, 0));
    }

    void failuresAreDescribedInFinnish_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i)
            garbage.append(char((i * 7919) % 251));
        const QByteArray jpeg = encoded(sample(64, 48), "jpeg");
        QTest::newRow("empty") << "tyhja.jpg" << QByteArray() << "Tiedosto on tyhjä";
        QTest::newRow("garbage") << "sotku.gif" << garbage << "ei ole kuva";
        QTest::newRow("text named jpg")
            << "teksti.jpg" << QByteArray("<html>ei kuva</html>\n") << "ei ole kuva";
        QTest::newRow("jpeg cut inside its header") << "katkennut.jpg" << jpeg.left(40) << "rikki";
        QTest::newRow("gif cut after its signature")
            << "katkennut.gif" << QByteArray("GIF89a\x10") << "rikki";
    }
    void failuresAreDescribedInFinnish()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        expectFailure(write(name, bytes), reason);
    }

    void missingFileFolderAndDevice()
    {
        expectFailure(m_dir.filePath(QStringLiteral("ei-ole.jpg")),
                      QStringLiteral("Tiedostoa ei löydy"));
        expectFailure(m_dir.path(), QStringLiteral("kansio"));
#ifdef Q_OS_WIN
        // To Qt a Windows device is no file at all, so it is refused before anything reads it.
        expectFailure(QStringLiteral("//./NUL"), QStringLiteral("Tiedostoa ei löydy"));
#else
        if (QFileInfo::exists(QStringLiteral("/dev/zero")))
            expectFailure(QStringLiteral("/dev/zero"),
                          QStringLiteral("ei ole tavallinen tiedosto"));
#endif
    }

    // A photo whose file was cut short, by a broken download say: cut before its pixel data
    // begins it is refused as broken; cut inside the data it is shown at its full size, what
    // arrived as in the photo and the rest a plain grey, opaque throughout, since the loader
    // trusts the JPEG reader to leave no pixel transparent.
    void jpegCutShortShowsWhatArrived()
    {
        const QByteArray jpeg = encoded(sample(400, 300), "jpeg");
        const qsizetype scanStart = jpeg.indexOf(QByteArray("\xff\xda", 2));
        QVERIFY(scanStart > 0);
        expectFailure(write(QStringLiteral("otsake.jpg"), jpeg.left(scanStart)),
                      QStringLiteral("rikki"));

        const qsizetype data = jpeg.size() - scanStart;
        for (const qsizetype length : {scanStart + data / 3, scanStart + data / 2}) {
            const auto loaded = loadPicture(write(QStringLiteral("vajaa.jpg"), jpeg.left(length)));
            QVERIFY2(loaded.error.isEmpty(), qPrintable(loaded.error));
            QCOMPARE(loaded.image.format(), QImage::Format_RGB32);
            QCOMPARE(loaded.image.size(), QSize(400, 300));
            for (int y = 0; y < 300; ++y)
                for (int x = 0; x < 400; ++x)
                    QCOMPARE(qAlpha(loaded.image.pixel(x, y)), 255);
            QVERIFY(near(loaded.image.pixel(4, 4), qRgb(250, 240, 20), 12));
            QVERIFY(near(loaded.image.pixel(399, 299), qRgb(128, 128, 128), 2));
            QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        }

        // Without its end marker the photo is whole.
        const auto whole = loadPicture(write(QStringLiteral("koko.jpg"), jpeg));
        const auto unended = loadPicture(write(QStringLiteral("loputon.jpg"), jpeg.chopped(2)));
        QVERIFY2(unended.error.isEmpty(), qPrintable(unended.error));
        QCOMPARE(unended.image, whole.image);
    }
};

QTEST_MAIN(TestPictureLoader)
#include "test_picture_loader.moc"
