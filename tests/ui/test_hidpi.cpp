// The main window on a scaled screen (run with QT_SCALE_FACTOR=2 and with 1.5): the layout keeps
// its twips, the map's coordinates stay picture pixels, a point on any device pixel is the
// picture pixel it lies over, and the rubber band is drawn as whole picture pixels, each a crisp
// block of exactly inverted colour.

#include "core/editor_state.h"
#include "platform/canvas/canvas.h"
#include "platform/modal.h"
#include "platform/twips.h"
#include "tests/ui/map_picture.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/markup_box.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>

#include <cmath>
#include <functional>
#include <memory>

using namespace zorvik;
using ui::Form1;
using ui::Form3;

namespace {

constexpr QRgb colourBits = 0x00FFFFFF;

// The scale the suite was started with.
double screenScale()
{
    return qEnvironmentVariable("QT_SCALE_FACTOR").toDouble();
}

} // namespace

class TestHiDpi : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> m_main;
    QImage m_picture;
    // What to check while the area dialog shows the finished outline.
    std::function<void()> m_whileOpen;
    int m_areaDialogs = 0;

    platform::InvertCanvas *canvas() const { return m_main->Picture1(); }
    QString markup() const { return QString::fromStdString(m_main->koodi2()->text()); }

    void answerArea(QDialog *dialog)
    {
        auto *form = qobject_cast<Form3 *>(dialog);
        QVERIFY2(form, "only the area dialog may open while drawing");
        ++m_areaDialogs;
        if (m_whileOpen)
            m_whileOpen();
        QTest::mouseClick(form->Command1(), Qt::LeftButton);
    }

    // The picture on the canvas as "O.K" of "Uusi" leaves it.
    void showPicture()
    {
        canvas()->setPicture(m_picture);
        canvas()->setAutoSize(true);
        canvas()->setEnabled(true);
    }

    void press(QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(canvas(), button, {}, p);
    }
    void release(QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(canvas(), button, {}, p);
    }
    void click(QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        press(p, button);
        release(p, button);
    }
    void drag(std::initializer_list<QPoint> path)
    {
        press(*path.begin());
        for (auto p = path.begin() + 1; p != path.end(); ++p)
            QTest::mouseMove(canvas(), *p);
        release(*(path.end() - 1));
    }

    // The mouse as the windowing system delivers it on a scaled screen: the pointer stands on a
    // device pixel, which reaches the window as a fraction of a pixel, and the window passes it
    // on to the canvas.
    void sendAtDevicePixel(QEvent::Type type, QPoint device, Qt::MouseButtons held)
    {
        const QPointF inWindow =
            QPointF(canvas()->mapTo(m_main.get(), QPoint(0, 0))) + QPointF(device) / screenScale();
        const QPointF global = QPointF(m_main->mapToGlobal(QPoint(0, 0))) + inWindow;
        QMouseEvent event(type, inWindow, inWindow, global,
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, {});
        QApplication::sendEvent(m_main->windowHandle(), &event);
    }

    // The canvas as the scaled screen shows it: every device pixel is the colour, as drawn, of
    // the picture pixel it shows, which is the picture's own colour or its exact inverse, so an
    // inverted picture pixel covers its device block and nothing beside it.
    void expectCrispOutline(const QList<QPoint> &onOutline)
    {
        const double scale = screenScale();
        const QPixmap grabbed = canvas()->grab();
        QCOMPARE(grabbed.devicePixelRatio(), scale);
        const QImage device = grabbed.toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(device.size(), m_picture.size() * scale);
        // Which picture pixel a device pixel shows: the one the pointer on it would name.
        std::vector<int> shows(std::size_t(device.width()));
        for (int d = 0; d < device.width(); ++d)
            shows[std::size_t(d)] = int(std::floor(d / scale));
        const QImage &drawn = canvas()->picture();
        qint64 invertedPixels = 0;
        for (int y = 0; y < m_picture.height(); ++y) {
            for (int x = 0; x < m_picture.width(); ++x) {
                const QRgb original = m_picture.pixel(x, y) & colourBits;
                const QRgb shown = drawn.pixel(x, y) & colourBits;
                QVERIFY(shown == original || shown == (~original & colourBits));
                invertedPixels += shown != original;
            }
        }
        for (int dy = 0; dy < device.height(); ++dy) {
            for (int dx = 0; dx < device.width(); ++dx) {
                const QPoint p(shows[std::size_t(dx)], shows[std::size_t(dy)]);
                if ((device.pixel(dx, dy) & colourBits) != (drawn.pixel(p) & colourBits))
                    QFAIL(qPrintable(QStringLiteral("device pixel (%1, %2) is not the colour of "
                                                    "picture pixel (%3, %4)")
                                         .arg(dx)
                                         .arg(dy)
                                         .arg(p.x())
                                         .arg(p.y())));
            }
        }
        QVERIFY(invertedPixels > 0);
        for (const QPoint p : onOutline) {
            QVERIFY2(
                (drawn.pixel(p) & colourBits) == (~m_picture.pixel(p) & colourBits),
                qPrintable(QStringLiteral("(%1, %2) is not on the outline").arg(p.x()).arg(p.y())));
        }
    }

private slots:
    void initTestCase()
    {
        QApplication::setStyle(QStringLiteral("Fusion"));
        m_picture = test::mapPicture();
        platform::setModalDriver([this](QDialog *dialog) { answerArea(dialog); });
        ui::form2().kuva()->setText(QStringLiteral("C:\\kuvat\\kartta.gif"));
        ui::form2().nimi()->setText(QStringLiteral("kartta"));
    }

    void cleanupTestCase()
    {
        platform::setModalDriver({});
        m_main.reset();
    }

    // Each case has a main window of its own, as the program starts it.
    void init()
    {
        m_whileOpen = {};
        m_areaDialogs = 0;
        editorState() = EditorState{};
        m_main = std::make_unique<Form1>();
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    }

    void cleanup() { m_main.reset(); }

    void screenIsScaled()
    {
        QVERIFY(screenScale() > 1);
        QCOMPARE(m_main->devicePixelRatio(), screenScale());
        QCOMPARE(canvas()->devicePixelRatio(), screenScale());
        // Twips follow the logical pixels, which the scaling leaves at 96 to the inch.
        QCOMPARE(platform::twipsPerPixel(), 15.0);
    }

    // Before a picture is loaded, the canvas still follows its frame.
    void layoutIsTheSameInLogicalPixels()
    {
        QCOMPARE(m_main->size(), QSize(582, 474));
        QCOMPARE(platform::twips(m_main->width()), 8730.0);
        QCOMPARE(platform::twips(m_main->height()), 7110.0);
        QCOMPARE(platform::twips(m_main->Frame2()->width()), 6855.0);
        QCOMPARE(m_main->Frame2()->geometry(), QRect(5, 5, 457, 467));
        QCOMPARE(m_main->Frame1()->geometry(), QRect(472, 5, 105, 225));
        QCOMPARE(m_main->Frame3()->geometry(), QRect(472, 232, 105, 49));
        QCOMPARE(m_main->Label2()->pos(), QPoint(472, 288));
        QCOMPARE(m_main->uusi()->geometry(), QRect(16, 24, 73, 25));
        QCOMPARE(m_main->neliö()->geometry(), QRect(8, 16, 25, 25));
        QCOMPARE(canvas()->size(), QSize(440, 444));
        QCOMPARE(ui::form2().size(), QSize(217, 118));
        QCOMPARE(ui::form3().size(), QSize(146, 200));
    }

    void pictureTakesItsSizeInLogicalPixels()
    {
        showPicture();
        QCOMPARE(canvas()->size(), m_picture.size());
        QCOMPARE(canvas()->grab().size(), m_picture.size() * screenScale());
    }

    // A drag from each device pixel of a short run: the read-out and the markup both name the
    // picture pixel under the pointer, floor(d / scale), never its neighbour.
    void pointIsThePicturePixelUnderThePointer_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        for (int d = 116; d <= 127; ++d)
            QTest::addRow("device %d", d) << QPoint(d, d - 40) << QPoint(d + 200, d + 100);
        QTest::newRow("device 199") << QPoint(199, 199) << QPoint(321, 221);
    }

    void pointIsThePicturePixelUnderThePointer()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        showPicture();
        const auto under = [](int d) { return int(std::floor(d / screenScale())); };
        m_whileOpen = [&] {
            QCOMPARE(m_main->Label2()->text(),
                     QStringLiteral("X = %1, Y = %2").arg(under(to.x())).arg(under(to.y())));
        };
        sendAtDevicePixel(QEvent::MouseMove, from, Qt::NoButton);
        QCOMPARE(m_main->Label2()->text(),
                 QStringLiteral("X = %1, Y = %2").arg(under(from.x())).arg(under(from.y())));
        sendAtDevicePixel(QEvent::MouseButtonPress, from, Qt::LeftButton);
        sendAtDevicePixel(QEvent::MouseMove, to, Qt::LeftButton);
        sendAtDevicePixel(QEvent::MouseButtonRelease, to, Qt::NoButton);
        QCOMPARE(m_areaDialogs, 1);
        const QString coords = QStringLiteral(R"(SHAPE="RECT" COORDS="%1,%2,%3,%4")")
                                   .arg(under(from.x()))
                                   .arg(under(from.y()))
                                   .arg(under(to.x()))
                                   .arg(under(to.y()));
        QVERIFY2(markup().contains(coords), qPrintable(markup()));
    }

    void rectangleIsWrittenInPicturePixels()
    {
        showPicture();
        QTest::mouseClick(m_main->neliö(), Qt::LeftButton);
        m_whileOpen = [this] { expectCrispOutline({{60, 20}, {110, 50}, {60, 80}, {10, 50}}); };
        drag({{10, 20}, {60, 50}, {110, 80}});
        QCOMPARE(m_areaDialogs, 1);
        QCOMPARE(m_main->Label2()->text(), QStringLiteral("X = 110, Y = 80"));
        QVERIFY2(markup().contains(QStringLiteral(R"(SHAPE="RECT" COORDS="10,20,110,80")")),
                 qPrintable(markup()));
        QVERIFY(canvas()->picture() == m_picture);
    }

    void circleIsWrittenInPicturePixels()
    {
        showPicture();
        QTest::mouseClick(m_main->ympyrä(), Qt::LeftButton);
        m_whileOpen = [this] { expectCrispOutline({{240, 150}, {200, 110}, {160, 150}}); };
        drag({{200, 150}, {220, 160}, {240, 150}});
        QCOMPARE(m_areaDialogs, 1);
        QVERIFY2(markup().contains(QStringLiteral(R"(SHAPE="CIRCLE" COORDS="200,150,40")")),
                 qPrintable(markup()));
        QVERIFY(canvas()->picture() == m_picture);
    }

    void polygonIsWrittenInPicturePixels()
    {
        showPicture();
        QTest::mouseClick(m_main->vinkura(), Qt::LeftButton);
        m_whileOpen = [this] { expectCrispOutline({{60, 190}, {105, 220}, {75, 230}}); };
        click({30, 200});
        click({90, 180});
        click({120, 260});
        click({350, 20}, Qt::RightButton);
        QCOMPARE(m_areaDialogs, 1);
        QVERIFY2(
            markup().contains(QStringLiteral(R"(SHAPE="POLY" COORDS="30,200,90,180,120,260")")),
            qPrintable(markup()));
        QVERIFY(canvas()->picture() == m_picture);
    }
};

QTEST_MAIN(TestHiDpi)
#include "test_hidpi.moc"
