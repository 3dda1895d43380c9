// Feeds every file of the bad-picture corpus (tests/data/bad, made by make_bad_pictures) to "O.K"
// of the new-map dialog, on a blank canvas and on one showing a map: each is refused with one
// "Virhe" box and leaves the dialog open and the canvas untouched, or, where the file's name
// allows it, shows the part that decodes; and no file makes the process's memory balloon.

#include "../platform/canvas_probe.h"
#include "peak_memory.h"
#include "platform/canvas/canvas.h"
#include "platform/message_box.h"
#include "platform/modal.h"
#include "ui/form1.h"
#include "ui/form2.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <memory>

using namespace zorvik;
using platform::ShownMessage;
using ui::Form1;
using ui::form2;

using zorvik::platform::InvertCanvasProbe;

namespace {

// Generous: a 120 x 80 picture needs a few hundred kilobytes, a picture decoded at the size its
// header claims would need gigabytes.
constexpr qint64 memoryBound = qint64(1300) << 20;

QDir corpus()
{
    return QDir(QStringLiteral(ZORVIK_TEST_DATA "/bad"), QString(), QDir::Name, QDir::Files);
}

// What a corpus file's name promises; make_bad_pictures names the files so.
struct Expectation {
    bool mayBeShown = false;
    bool mustBeShown = false;
    QSize shownSize;
};

Expectation expectationFor(const QString &name)
{
    static const QRegularExpression shown(
        QStringLiteral("^(katkennut-kuva|rikkinainen-kuva|png-nimella)-(\\d+)x(\\d+)[-.]"));
    const QRegularExpressionMatch match = shown.match(name);
    if (!match.hasMatch())
        return {};
    const bool whole = match.captured(1) == QStringLiteral("png-nimella");
    return {true, whole, QSize(match.captured(2).toInt(), match.captured(3).toInt())};
}

// The part of a picture that a cut-off file never reached must be painted like the rest. The
// pixels are read as stored: QImage::pixel() reports every RGB32 pixel as opaque.
bool isOpaque(const QImage &picture)
{
    if (picture.format() != QImage::Format_RGB32)
        return false;
    for (int y = 0; y < picture.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(line[x]) != 255)
                return false;
        }
    }
    return true;
}

// Everything about the canvas that "O.K" may change.
struct CanvasLook {
    QImage picture;
    QSize size;
    bool hasPicture, autoSize, enabled;

    static CanvasLook of(const platform::InvertCanvas &canvas)
    {
        return {canvas.picture(), canvas.size(), InvertCanvasProbe::hasPicture(canvas),
                canvas.autoSize(), canvas.isEnabled()};
    }
    bool operator==(const CanvasLook &) const = default;
};

QImage mapPicture()
{
    QImage picture(200, 150, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x, y, (x * 3 + y * 5) % 256));
    }
    return picture;
}

} // namespace

class TestBadPictures : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> m_main;
    std::vector<ShownMessage> m_messages;

    platform::InvertCanvas &canvas() { return *m_main->Picture1(); }

    // As at start: no picture, the canvas filling its frame, disabled.
    void blankCanvas()
    {
        canvas().setPicture(QImage());
        canvas().setAutoSize(false);
        canvas().setEnabled(false);
        m_main->Form_Resize();
    }

    void canvasWithAMap()
    {
        canvas().setPicture(mapPicture());
        canvas().setAutoSize(true);
        canvas().setEnabled(true);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(corpus().count() >= 30, "the bad-picture corpus is missing");
        // The JPEG decoder's own complaints about every damaged file would drown the results.
        QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.jpeg.warning=false"));
        m_main = std::make_unique<Form1>();
        m_main->show();
        platform::recordMessagesInto(&m_messages);
    }

    void cleanupTestCase()
    {
        platform::recordMessagesInto(nullptr);
        m_main.reset();
    }

    void init() { m_messages.clear(); }

    void cleanup()
    {
        platform::setModalDriver({});
        form2().hide();
    }

    void badPictureLeavesTheMapAlone_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("withMap");
        for (const QString &file : corpus().entryList()) {
            QTest::addRow("%s, blank canvas", qPrintable(file)) << file << false;
            QTest::addRow("%s, canvas with a map", qPrintable(file)) << file << true;
        }
    }
    void badPictureLeavesTheMapAlone()
    {
        QFETCH(QString, file);
        QFETCH(bool, withMap);
        const QString path = corpus().filePath(file);
        const Expectation expected = expectationFor(file);
        if (withMap)
            canvasWithAMap();
        else
            blankCanvas();
        // An outline left over from drawing must survive a refused picture too.
        canvas().drawBox(5, 6, 40, 30);
        const CanvasLook before = CanvasLook::of(canvas());

        bool openAfterOk = false;
        platform::setModalDriver([&](QDialog *dialog) {
            QCOMPARE(dialog, &form2());
            form2().nimi()->setText(QStringLiteral("Kartta"));
            form2().kuva()->setText(path);
            QTest::mouseClick(form2().Command1(), Qt::LeftButton);
            openAfterOk = form2().isVisible();
        });
        m_main->uusi_Click();

        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        const qint64 peak = peakMemory();
        QVERIFY2(peak > 0 && peak < memoryBound,
                 qPrintable(QStringLiteral("peak memory %1 MiB").arg(peak >> 20)));
        QCOMPARE(form2().kuva()->text(), path);
        QCOMPARE(form2().nimi()->text(), QStringLiteral("Kartta"));

        if (m_messages.empty() && expected.mayBeShown) {
            QVERIFY(!openAfterOk);
            QCOMPARE(canvas().picture().size(), expected.shownSize);
            QCOMPARE(canvas().size(), expected.shownSize);
            QVERIFY(InvertCanvasProbe::hasPicture(canvas()));
            QVERIFY2(isOpaque(canvas().picture()), "the pixels never decoded are see-through");
            QVERIFY(canvas().autoSize());
            QVERIFY(canvas().isEnabled());
            return;
        }
        QVERIFY2(!expected.mustBeShown, "a readable picture was refused");
        QCOMPARE(m_messages.size(), size_t(1));
        QCOMPARE(m_messages[0].title, QStringLiteral("Virhe"));
        QCOMPARE(m_messages[0].icon, platform::MessageIcon::Critical);
        QVERIFY2(m_messages[0].text.contains(QDir::toNativeSeparators(path)),
                 qPrintable(m_messages[0].text));
        QVERIFY(openAfterOk);
        QVERIFY2(CanvasLook::of(canvas()) == before, "the refused picture changed the canvas");
    }

    // After every bad file, a good one still loads: nothing was left half done.
    void goodPictureLoadsAfterTheBadOnes()
    {
        blankCanvas();
        form2().kuva()->setText(QStringLiteral(ZORVIK_TEST_DATA "/ruudut.gif"));
        form2().show();
        form2().Command1_Click();
        QVERIFY(m_messages.empty());
        QVERIFY(!form2().isVisible());
        QCOMPARE(canvas().size(), QSize(8, 6));
        QCOMPARE(canvas().picture().pixel(0, 0), qRgb(255, 0, 0));
    }
};

QTEST_MAIN(TestBadPictures)
#include "test_bad_pictures.moc"
