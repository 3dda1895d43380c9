#include "core/editor_state.h"
#include "platform/canvas/canvas.h"
#include "platform/twips.h"
#include "ui/form1.h"
#include "ui/markup_box.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <cmath>

using zorvik::editorState;
using zorvik::platform::pixels;
using zorvik::platform::twips;
using zorvik::ui::Form1;

namespace {

double widthTwips(const QWidget *w)
{
    return twips(w->width());
}

void showAndWait(Form1 &form)
{
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
}

// What the resize rules promise with the standard sizable border: an 80-twip margin right of
// the command column and left of and above "Kuva", 140 twips between "Kuva" and the column, 20
// twips below "Kuva", and the read-out aligned with the column. A pixel of rounding is allowed.
void checkMargins(const Form1 &form)
{
    const auto left = [&form](const QWidget *w) { return twips(w->mapTo(&form, QPoint()).x()); };
    const auto right = [&](const QWidget *w) { return left(w) + twips(w->width()); };
    const double clientWidth = twips(form.width());
    const double clientHeight = twips(form.height());
    const double pixel = twips(1);
    const auto near = [pixel](double actual, double expected) {
        return std::abs(actual - expected) <= pixel;
    };
    QVERIFY2(near(clientWidth - right(form.Frame1()), 80), "margin right of the column");
    QVERIFY2(near(clientWidth - right(form.Frame3()), 80), "margin right of the palette");
    QVERIFY2(near(left(form.Frame2()), 80), "margin left of Kuva");
    QVERIFY2(near(twips(form.Frame2()->y()), 80), "margin above Kuva");
    QVERIFY2(near(left(form.Frame1()) - right(form.Frame2()), 140), "gap before the column");
    QVERIFY2(near(clientHeight - twips(form.Frame2()->geometry().bottom() + 1), 20),
             "margin below Kuva");
    QCOMPARE(form.Label2()->x(), form.Frame1()->x());
    QCOMPARE(form.Frame3()->x(), form.Frame1()->x());
}

QImage testPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    return image;
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void init();

    void startStateAfterLoad();
    void controlsAsLaidOut();
    void fontsAndColours();
    void startSizeGivesKuvaItsWidth();
    void marginsHoldAtEverySize_data();
    void marginsHoldAtEverySize();
    void tooSmallWindowSnapsToMinimum();
    void correctedSizeIsLaidOutOnReEntry();
    void wideningMovesTheColumnAndWidensTheCanvas();
    void canvasNoLongerFollowsAfterAutoSize();
    void hiddenMarkupBoxNeverMoves();
    void minimisedWindowIsNotLaidOut();
    void canvasTakesItsTurnInTheTabOrder();
    void focusMovesLeaveThePictureWhereItIs();
};

void TestForm1::init()
{
    editorState() = zorvik::EditorState();
}

void TestForm1::startStateAfterLoad()
{
    zorvik::EditorState &state = editorState();
    // Values the load must set, whatever they were before.
    state.rectTool = false;
    state.polyTool = true;
    state.dragging = true;
    state.polyNew = false;
    Form1 form;
    QVERIFY(state.rectTool);
    QVERIFY(!state.circleTool);
    QVERIFY(!state.polyTool);
    QVERIFY(!state.dragging);
    QVERIFY(state.polyNew);
    QCOMPARE(state.polyOpen, zorvik::polyOpenFalse);
    QVERIFY(state.polyCoords.empty());
    QVERIFY(!form.Picture1()->isEnabled());
    QVERIFY(!form.Picture1()->autoSize());
    QVERIFY(!form.luo()->isEnabled());
    QVERIFY(!form.kopioi()->isEnabled());
    QVERIFY(!form.esikatselu()->isEnabled());
    QVERIFY(form.uusi()->isEnabled());
    QVERIFY(form.tietoa()->isEnabled());
    QVERIFY(form.Lopeta()->isEnabled());
    QVERIFY(form.koodi2()->text().empty());
    QCOMPARE(Form1::instance(), &form);
}

void TestForm1::controlsAsLaidOut()
{
    Form1 form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Zorvik v1.0"));
    QCOMPARE(form.Frame1()->title(), QStringLiteral("Valikko"));
    QCOMPARE(form.Frame2()->title(), QStringLiteral("Kuva"));
    QVERIFY(form.Frame3()->title().isEmpty());
    const QList<QPair<QPushButton *, QString>> captions{
        {form.uusi(), "Uusi"},
        {form.luo(), "Luo koodi"},
        {form.kopioi(), "Kopioi koodi leikepöydälle"},
        {form.esikatselu(), "Esikatselu"},
        {form.tietoa(), "Tietoa"},
        {form.Lopeta(), "Lopeta"}};
    for (const auto &[button, caption] : captions) {
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->parentWidget(), form.Frame1());
    }
    for (QPushButton *tool : {form.neliö(), form.ympyrä(), form.vinkura()}) {
        QVERIFY(tool->text().isEmpty());
        QVERIFY(!tool->icon().isNull());
        QCOMPARE(tool->parentWidget(), form.Frame3());
    }
    QCOMPARE(form.Label2()->text(), QStringLiteral("X = 0, Y = 0"));
    QVERIFY(form.koodi2()->isHidden());
    QCOMPARE(form.findChild<QWidget *>(QStringLiteral("neliö")), form.neliö());
    QCOMPARE(form.findChild<QWidget *>(QStringLiteral("Picture1")), form.Picture1());

    // Focus moves through the commands first, then the tool palette.
    QWidget *w = form.uusi();
    QStringList order;
    for (int i = 0; i < 9; ++i, w = w->nextInFocusChain()) {
        while (w->focusPolicy() == Qt::NoFocus || !w->isEnabled() || w->isHidden())
            w = w->nextInFocusChain();
        order << w->objectName();
    }
    QCOMPARE(order.mid(0, 7),
             QStringList({"uusi", "tietoa", "Lopeta", "neliö", "ympyrä", "vinkura", "uusi"}));
}

void TestForm1::fontsAndColours()
{
    Form1 form;
    for (QPushButton *button : {form.uusi(), form.luo(), form.kopioi(), form.Lopeta()}) {
        QCOMPARE(button->font().family(), QStringLiteral("Arial"));
        QCOMPARE(button->font().pointSizeF(), 8.25);
        QVERIFY(!button->font().bold());
    }
    QCOMPARE(form.Label2()->font().pointSizeF(), 8.25);
    QVERIFY(form.Label2()->font().bold());
    QCOMPARE(form.palette().color(QPalette::Window), QColor(192, 192, 192));
    QCOMPARE(form.neliö()->palette().color(QPalette::Button), QColor(0xE0, 0xE0, 0xE0));
    QVERIFY(form.ympyrä()->palette().color(QPalette::Button) != QColor(0xE0, 0xE0, 0xE0));
    QVERIFY(form.vinkura()->palette().color(QPalette::Button) != QColor(0xE0, 0xE0, 0xE0));
}

void TestForm1::startSizeGivesKuvaItsWidth()
{
    Form1 form;
    showAndWait(form);
    QCOMPARE(form.size(), QSize(pixels(8730), pixels(7110)));
    QCOMPARE(widthTwips(form.Frame2()), 6855.0);
    checkMargins(form);
}

void TestForm1::marginsHoldAtEverySize_data()
{
    QTest::addColumn<QSizeF>("windowTwips");
    QTest::newRow("smallest") << QSizeF(2625, 5790);
    QTest::newRow("narrow and tall") << QSizeF(2700, 12000);
    QTest::newRow("wide and low") << QSizeF(15000, 5800);
    QTest::newRow("large") << QSizeF(12345, 9876);
}

void TestForm1::marginsHoldAtEverySize()
{
    QFETCH(QSizeF, windowTwips);
    Form1 form;
    showAndWait(form);
    form.setWindowSize(windowTwips.width(), windowTwips.height());
    checkMargins(form);
    // Before a picture the canvas fills its frame, inside the frame's border and caption.
    const QRect canvas(form.Picture1()->mapTo(form.Frame2(), QPoint()), form.Picture1()->size());
    QVERIFY(form.Frame2()->rect().contains(canvas));
    QVERIFY(canvas.width() > form.Frame2()->width() - pixels(300));
    QVERIFY(canvas.height() > form.Frame2()->height() - pixels(400));
}
void TestForm1::tooSmallWindowSnapsToMinimum()
{
    Form1 form;
    showAndWait(form);
    form.setWindowSize(1500, 3000);
    QCOMPARE(form.windowWidth(), 2625.0);
    QCOMPARE(form.windowHeight(), 5790.0);
    QCOMPARE(widthTwips(form.Frame2()), 630.0);
    QCOMPARE(form.Picture1()->width(), pixels(380));
    QCOMPARE(form.Picture1()->height(), pixels(4935));
    QCOMPARE(form.Frame1()->x(), pixels(850));

    form.setWindowSize(2625, 5790);
    QCOMPARE(form.windowWidth(), 2625.0);
    QCOMPARE(form.windowHeight(), 5790.0);
}

void TestForm1::correctedSizeIsLaidOutOnReEntry()
{
    Form1 form;
    showAndWait(form);
    // Without the window's own minimum the resize handler itself has to snap the size back.
    form.setMinimumSize(0, 0);
    form.resize(100, 100);
    QCOMPARE(form.windowWidth(), 2625.0);
    QCOMPARE(form.windowHeight(), 5790.0);
    QCOMPARE(widthTwips(form.Frame2()), 630.0);
    QCOMPARE(form.Frame2()->height(), pixels(5285));
    QCOMPARE(form.Frame1()->x(), pixels(850));
    checkMargins(form);
}

void TestForm1::wideningMovesTheColumnAndWidensTheCanvas()
{
    Form1 form;
    showAndWait(form);
    const int frame1 = form.Frame1()->x();
    const int frame3 = form.Frame3()->x();
    const int label = form.Label2()->x();
    const int kuva = form.Frame2()->width();
    const int canvas = form.Picture1()->width();
    const int canvasHeight = form.Picture1()->height();

    form.setWindowSize(form.windowWidth() + 1000, form.windowHeight());
    const int step = pixels(1000);
    QCOMPARE(form.Frame1()->x(), frame1 + step);
    QCOMPARE(form.Frame3()->x(), frame3 + step);
    QCOMPARE(form.Label2()->x(), label + step);
    QCOMPARE(form.Frame2()->width(), kuva + step);
    QCOMPARE(form.Picture1()->width(), canvas + step);
    QCOMPARE(form.Picture1()->height(), canvasHeight);
    QCOMPARE(form.Frame1()->y(), pixels(80));
    checkMargins(form);
}

void TestForm1::canvasNoLongerFollowsAfterAutoSize()
{
    Form1 form;
    showAndWait(form);
    form.Picture1()->setPicture(testPicture(300, 200));
    form.Picture1()->setAutoSize(true);
    QCOMPARE(form.Picture1()->size(), QSize(300, 200));
    const int kuva = form.Frame2()->width();

    form.setWindowSize(form.windowWidth() + 1500, form.windowHeight() + 600);
    QCOMPARE(form.Picture1()->size(), QSize(300, 200));
    QCOMPARE(form.Frame2()->width(), kuva + pixels(1500));

    // A picture larger than the frame scrolls inside it instead of being cut off.
    form.Picture1()->setPicture(testPicture(3000, 2500));
    form.Picture1()->setAutoSize(true);
    QCOMPARE(form.Picture1()->size(), QSize(3000, 2500));
    QVERIFY(form.Picture1Scroll()->width() <= form.Frame2()->width());
    QVERIFY(form.Picture1Scroll()->horizontalScrollBar()->maximum() > 0);
    QVERIFY(form.Picture1Scroll()->verticalScrollBar()->maximum() > 0);
}

void TestForm1::hiddenMarkupBoxNeverMoves()
{
    Form1 form;
    showAndWait(form);
    const QRect at = zorvik::platform::twipsRect(8160, 4320, 375, 285);
    QCOMPARE(form.koodi2()->geometry(), at);
    form.setWindowSize(12000, 9000);
    QCOMPARE(form.koodi2()->geometry(), at);
    QVERIFY(form.koodi2()->isHidden());
}

void TestForm1::minimisedWindowIsNotLaidOut()
{
    Form1 form;
    showAndWait(form);
    const QRect frame2 = form.Frame2()->geometry();
    const QSize size = form.size();
    form.setWindowState(Qt::WindowMinimized);
    QVERIFY(form.isMinimized());
    form.resize(size + QSize(200, 100));
    QCOMPARE(form.Frame2()->geometry(), frame2);

    form.setWindowState(Qt::WindowNoState);
    form.resize(size);
    QCOMPARE(form.Frame2()->geometry(), frame2);
}

// Tab goes from the last tool to the canvas once a picture has made it usable; before that it
// passes the canvas by, and the greyed "Esikatselu" too, back round to "Uusi".
void TestForm1::canvasTakesItsTurnInTheTabOrder()
{
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    form.vinkura()->setFocus();
    QTest::keyClick(form.vinkura(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form.uusi());

    form.Picture1()->setEnabled(true);
    form.vinkura()->setFocus();
    QTest::keyClick(form.vinkura(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form.Picture1());
    QTest::keyClick(form.Picture1(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form.uusi());
    QTest::keyClick(form.uusi(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), form.Picture1());
    QTest::keyClick(form.Picture1(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), form.vinkura());
}

// On a picture larger than the frame, Tab and Shift+Tab into and off the canvas leave the view
// where the user scrolled it, at the top-left corner and anywhere else.
void TestForm1::focusMovesLeaveThePictureWhereItIs()
{
    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    form.Picture1()->setPicture(testPicture(2000, 1500));
    form.Picture1()->setAutoSize(true);
    form.Picture1()->setEnabled(true);
    QScrollBar *across = form.Picture1Scroll()->horizontalScrollBar();
    QScrollBar *down = form.Picture1Scroll()->verticalScrollBar();
    for (const QPoint scrolled : {QPoint(0, 0), QPoint(300, 200), QPoint(across->maximum(), 0)}) {
        across->setValue(scrolled.x());
        down->setValue(scrolled.y());
        const auto press = [&form](Qt::Key key) {
            QTest::keyClick(QApplication::focusWidget(), key);
            QCoreApplication::processEvents();
        };
        form.vinkura()->setFocus();
        for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Backtab}) {
            press(key);
            QCOMPARE(QPoint(across->value(), down->value()), scrolled);
        }
        QCOMPARE(QApplication::focusWidget(), form.vinkura());
    }
}

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
