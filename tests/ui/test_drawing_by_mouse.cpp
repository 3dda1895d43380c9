#include "core/editor_state.h"
#include "platform/canvas/canvas.h"
#include "platform/modal.h"
#include "tests/ui/map_picture.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/markup_box.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

using namespace zorvik;
using ui::Form1;
using ui::Form3;

namespace {

bool inverted(const QImage &shown, const QImage &original, QPoint p)
{
    return (shown.pixel(p) & 0xFFFFFF) == (~original.pixel(p) & 0xFFFFFF);
}

// How the user answers one showing of the area dialog: the fields typed (those left empty
// keep their text), whatever is looked at while it is open, and the button pressed.
struct AreaAnswer {
    std::optional<QString> link;
    std::optional<QString> target;
    std::optional<QString> alt;
    bool confirm = true;
    std::function<void()> whileOpen;
};

const QColor selectedToolColour(0xE0, 0xE0, 0xE0);

} // namespace

class TestDrawingByMouse : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void wholeMapDrawnByMouse();
    void canvasShowsThePictureAloneAfterTheDialog_data();
    void canvasShowsThePictureAloneAfterTheDialog();
    void dragEndingOutsideTheCanvasIsWrittenAsIs();
    void middleButtonDrawsLikeTheLeft();
    void toolPaletteMarksTheSelectedTool();
    void readOutFollowsThePointer();
    void polygonLeftOpenAcrossANewMapGoesOnFromItsLastVertex();

private:
    platform::InvertCanvas *canvas() const { return m_form->Picture1(); }
    std::string markup() const { return m_form->koodi2()->text(); }

    void press(QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(canvas(), button, {}, p);
    }
    // While QTest holds a button down, its moves carry the button and go straight to the
    // canvas, as moves after a press on it do.
    void moveHeld(QPoint p) { QTest::mouseMove(canvas(), p); }
    void release(QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseRelease(canvas(), button, {}, p);
    }
    void click(QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        press(p, button);
        release(p, button);
    }
    void drag(std::initializer_list<QPoint> path, Qt::MouseButton button = Qt::LeftButton)
    {
        press(*path.begin(), button);
        for (auto p = path.begin() + 1; p != path.end(); ++p)
            moveHeld(*p);
        release(*(path.end() - 1), button);
    }
    void answerArea(QDialog *dialog);

    std::unique_ptr<Form1> m_form;
    QImage m_picture;
    std::deque<AreaAnswer> m_answers;
    int m_areaDialogs = 0;
    // The picture "Uusi" loads, when a case presses it.
    QString m_newPicturePath;
};

void TestDrawingByMouse::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    m_picture = test::mapPicture();
    m_form = std::make_unique<Form1>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    platform::setModalDriver([this](QDialog *dialog) { answerArea(dialog); });
    ui::form2().kuva()->setText(QStringLiteral("C:\\kuvat\\kartta.gif"));
    ui::form2().nimi()->setText(QStringLiteral("kartta"));
}

void TestDrawingByMouse::init()
{
    // Each case starts a fresh map on the picture, with the rectangle tool.
    editorState() = EditorState{};
    m_form->koodi2()->clear();
    m_form->luo()->setEnabled(false);
    m_form->kopioi()->setEnabled(false);
    m_answers.clear();
    m_areaDialogs = 0;
    m_newPicturePath.clear();
    canvas()->setPicture(m_picture);
    canvas()->setAutoSize(true);
    canvas()->setEnabled(true);
    QTest::mouseClick(m_form->neliö(), Qt::LeftButton);
    QCOMPARE(canvas()->size(), QSize(400, 300));
}

void TestDrawingByMouse::cleanupTestCase()
{
    platform::setModalDriver({});
    m_form.reset();
}

void TestDrawingByMouse::answerArea(QDialog *dialog)
{
    if (dialog == &ui::form2()) {
        QVERIFY2(!m_newPicturePath.isEmpty(), "\"Uusi\" opened unexpectedly");
        ui::form2().kuva()->setText(m_newPicturePath);
        QTest::mouseClick(ui::form2().Command1(), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        return;
    }
    auto *form = qobject_cast<Form3 *>(dialog);
    QVERIFY2(form, "only the area dialog may open while drawing");
    ++m_areaDialogs;
    QVERIFY2(!m_answers.empty(), "the area dialog opened unexpectedly");
    const AreaAnswer answer = m_answers.front();
    m_answers.pop_front();

    form->kehys()->setText(QStringLiteral("0"));
    if (answer.link)
        form->linkki()->setText(*answer.link);
    if (answer.target)
        form->kohde()->setText(*answer.target);
    if (answer.alt)
        form->alt()->setText(*answer.alt);
    if (answer.whileOpen)
        answer.whileOpen();
    QTest::mouseClick(answer.confirm ? form->Command1() : form->Command2(), Qt::LeftButton);
    QVERIFY(!form->isVisible());
}

void TestDrawingByMouse::wholeMapDrawnByMouse()
{
    m_answers = {{QStringLiteral("etusivu.html"),
                  QStringLiteral("oikea"),
                  QStringLiteral("Etusivu"),
                  true,
                  {}},
                 {QStringLiteral("tuotteet.html"), QStringLiteral("_blank"), QString(), true, {}},
                 {std::nullopt, std::nullopt, std::nullopt, true, {}}};

    drag({{10, 20}, {60, 50}, {110, 80}});
    QTest::mouseClick(m_form->ympyrä(), Qt::LeftButton);
    drag({{200, 150}, {220, 160}, {240, 150}});
    QTest::mouseClick(m_form->vinkura(), Qt::LeftButton);
    click({30, 200});
    click({90, 180});
    click({120, 260});
    click({300, 40}, Qt::RightButton);
    QCOMPARE(m_areaDialogs, 3);
    QVERIFY(m_form->luo()->isEnabled());
    QTest::mouseClick(m_form->luo(), Qt::LeftButton);

    QCOMPARE(
        QString::fromStdString(markup()),
        QStringLiteral(R"(<IMG SRC="C:\kuvat\kartta.gif" USEMAP="#kartta" BORDER ="0">)"
                       R"(<MAP NAME="kartta">)"
                       R"(<AREA SHAPE="RECT" COORDS="10,20,110,80" HREF="etusivu.html" )"
                       R"(TARGET="oikea" Alt="Etusivu">)"
                       R"(<AREA SHAPE="CIRCLE" COORDS="200,150,40" HREF="tuotteet.html" )"
                       R"(TARGET="_blank" Alt="">)"
                       R"(<AREA SHAPE="POLY" COORDS="30,200,90,180,120,260" HREF="tuotteet.html" )"
                       R"(TARGET="_blank" Alt="">)"
                       R"(</map>)"));
    QVERIFY(m_form->kopioi()->isEnabled());
}

void TestDrawingByMouse::canvasShowsThePictureAloneAfterTheDialog_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<bool>("confirm");
    for (bool confirm : {true, false}) {
        const char *answer = confirm ? "O.K" : "Peruuta";
        QTest::addRow("rectangle, %s", answer) << 0 << confirm;
        QTest::addRow("circle, %s", answer) << 1 << confirm;
        QTest::addRow("polygon, %s", answer) << 2 << confirm;
    }
}

void TestDrawingByMouse::canvasShowsThePictureAloneAfterTheDialog()
{
    QFETCH(int, shape);
    QFETCH(bool, confirm);
    // Points on the outline that no other figure of the drag touches.
    const QList<QPoint> onOutline[] = {{{60, 20}, {110, 50}, {60, 80}, {10, 50}},
                                       {{240, 150}, {200, 110}, {160, 150}, {200, 190}},
                                       {{60, 190}, {105, 220}, {75, 230}}};
    // Points on an outline an earlier move drew, which the rubber band has erased again.
    const QList<QPoint> offOutline[] = {{{50, 30}, {30, 40}}, {{200, 170}, {220, 150}}, {}};
    QList<QPoint> notShown;
    QList<QPoint> leftOver;
    AreaAnswer answer;
    answer.confirm = confirm;
    answer.whileOpen = [&] {
        const QImage shown = canvas()->picture();
        for (QPoint p : onOutline[shape]) {
            if (!inverted(shown, m_picture, p))
                notShown << p;
        }
        for (QPoint p : offOutline[shape]) {
            if (shown.pixel(p) != m_picture.pixel(p))
                leftOver << p;
        }
    };
    m_answers = {answer};

    switch (shape) {
    case 0:
        drag({{10, 20}, {50, 40}, {110, 80}});
        break;
    case 1:
        QTest::mouseClick(m_form->ympyrä(), Qt::LeftButton);
        drag({{200, 150}, {210, 150}, {200, 170}, {240, 150}});
        break;
    default:
        QTest::mouseClick(m_form->vinkura(), Qt::LeftButton);
        click({30, 200});
        click({90, 180});
        click({120, 260});
        click({350, 20}, Qt::RightButton);
        break;
    }

    QCOMPARE(m_areaDialogs, 1);
    QVERIFY2(notShown.isEmpty(), "the outline was not on the canvas while the dialog was open");
    QVERIFY2(leftOver.isEmpty(), "the rubber band left an earlier outline on the canvas");
    QVERIFY2(canvas()->picture() == m_picture, "the canvas does not show the picture alone");
    QCOMPARE(markup().empty(), !confirm);
    QCOMPARE(m_form->luo()->isEnabled(), confirm);
    // A polygon closed with the right button keeps its drag through O.K until the next
    // release of another button.
    QCOMPARE(editorState().dragging, shape == 2 && confirm);
}

void TestDrawingByMouse::dragEndingOutsideTheCanvasIsWrittenAsIs()
{
    m_answers = {{}};
    drag({{50, 60}, {20, 30}, {-20, -15}});
    QCOMPARE(m_areaDialogs, 1);
    QVERIFY(QString::fromStdString(markup()).contains(QStringLiteral("COORDS=\"50,60,-20,-15\"")));
}

void TestDrawingByMouse::middleButtonDrawsLikeTheLeft()
{
    m_answers = {{}};
    drag({{15, 25}, {70, 90}, {120, 95}}, Qt::MiddleButton);
    QCOMPARE(m_areaDialogs, 1);
    QVERIFY(QString::fromStdString(markup()).contains(
        QStringLiteral("<AREA SHAPE=\"RECT\" COORDS=\"15,25,120,95\"")));
}

void TestDrawingByMouse::toolPaletteMarksTheSelectedTool()
{
    QPushButton *const buttons[] = {m_form->neliö(), m_form->ympyrä(), m_form->vinkura()};
    const int clicks[] = {1, 1, 2, 0, 2, 2, 1, 0, 0, 2, 1};
    for (int index : clicks) {
        QTest::mouseClick(buttons[index], Qt::LeftButton);
        const EditorState &state = editorState();
        QCOMPARE(int(state.rectTool) + int(state.circleTool) + int(state.polyTool), 1);
        QCOMPARE(state.rectTool, index == 0);
        QCOMPARE(state.circleTool, index == 1);
        QCOMPARE(state.polyTool, index == 2);
        for (int i = 0; i < 3; ++i) {
            const QColor colour = buttons[i]->palette().color(QPalette::Button);
            QCOMPARE(colour == selectedToolColour, i == index);
            // The face shows the colour itself, where the picture leaves it bare: a style
            // that shades the face would make the selection hard to see.
            const QImage face = buttons[i]->grab().toImage();
            QCOMPARE(face.pixelColor(face.rect().center()), colour);
        }
    }
}

void TestDrawingByMouse::readOutFollowsThePointer()
{
    QTest::mouseMove(canvas(), {120, 45});
    QCOMPARE(m_form->Label2()->text(), QStringLiteral("X = 120, Y = 45"));

    m_answers = {{}};
    press({100, 100});
    moveHeld({60, 50});
    QCOMPARE(m_form->Label2()->text(), QStringLiteral("X = 60, Y = 50"));
    moveHeld({-20, 350});
    QCOMPARE(m_form->Label2()->text(), QStringLiteral("X = -20, Y = 350"));
    release({-20, 350});
    QCOMPARE(m_areaDialogs, 1);
}

// "Uusi" leaves an open polygon as it was, and loading the new picture leaves the pen on the
// polygon's last vertex, so the next click draws the edge from there.
void TestDrawingByMouse::polygonLeftOpenAcrossANewMapGoesOnFromItsLastVertex()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QImage next = m_picture.mirrored(true, false);
    m_newPicturePath = dir.filePath(QStringLiteral("uusi.png"));
    QVERIFY(next.save(m_newPicturePath));
    m_answers = {
        {QStringLiteral("tori.html"), QStringLiteral("_self"), QStringLiteral("Tori"), true, {}}};

    QTest::mouseClick(m_form->vinkura(), Qt::LeftButton);
    click({30, 40});
    click({120, 60});
    QTest::mouseClick(m_form->uusi(), Qt::LeftButton);
    QVERIFY(markup().empty());
    QCOMPARE(canvas()->picture(), next);
    QCOMPARE(editorState().polyOpen, polyOpenTrue);

    click({200, 150});
    platform::InvertCanvas expected;
    expected.setPicture(next);
    expected.drawLine(120, 60, 200, 150);
    QCOMPARE(canvas()->picture(), expected.picture());
    QVERIFY(inverted(canvas()->picture(), next, {120, 60}));
    QVERIFY(!inverted(canvas()->picture(), next, {1, 1}));

    click({5, 5}, Qt::RightButton);
    QCOMPARE(m_areaDialogs, 1);
    QCOMPARE(QString::fromStdString(markup()),
             QStringLiteral(R"(<IMG SRC="%1" USEMAP="#kartta" BORDER ="0"><MAP NAME="kartta">)"
                            R"(<AREA SHAPE="POLY" COORDS="30,40,120,60,200,150" HREF="tori.html" )"
                            R"(TARGET="_self" Alt="Tori">)")
                 .arg(m_newPicturePath));
}

QTEST_MAIN(TestDrawingByMouse)
#include "test_drawing_by_mouse.moc"
