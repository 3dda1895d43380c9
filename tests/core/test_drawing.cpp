#include "core/drawing.h"
#include "recording_canvas.h"

#include <QStringList>
#include <QTest>

#include <functional>
#include <limits>
#include <random>
#include <utility>
#include <vector>

using namespace zorvik;

namespace {

QString q(const std::string &text)
{
    return QString::fromStdString(text);
}

QStringList list(const std::vector<std::string> &lines)
{
    QStringList result;
    for (const std::string &line : lines)
        result << q(line);
    return result;
}

QString text(MaybeFloat value)
{
    return value ? q(numberText(*value)) : QStringLiteral("unset");
}

// Every field but the tool flags, so that two states can be compared with a readable diff.
QString describeAllButTools(const EditorState &s)
{
    return QStringLiteral("dragRadius=%1 dragging=%2 polyNew=%3 polyOpen=%4 circle=%5,%6 r%7 "
                          "poly=%8 start=%9,%10 end=%11,%12")
        .arg(s.dragRadius)
        .arg(s.dragging)
        .arg(s.polyNew)
        .arg(s.polyOpen)
        .arg(text(s.circleX), text(s.circleY))
        .arg(s.circleRadius)
        .arg(q(s.polyCoords), text(s.startX), text(s.startY), text(s.endX))
        .arg(s.endY);
}

QString describe(const EditorState &s)
{
    return QStringLiteral("tools=%1%2%3 ").arg(s.rectTool).arg(s.circleTool).arg(s.polyTool) +
           describeAllButTools(s);
}

int toolsSelected(const EditorState &s)
{
    return int(s.rectTool) + int(s.circleTool) + int(s.polyTool);
}

// Stands in for the area dialog. It notes the state it was opened with and then answers as
// the user's button would: O.K clears the canvas and leaves the drag alone, Peruuta also ends
// the drag, and closing from the title bar does nothing at all.
class ScriptedDialog : public AreaDialog {
public:
    enum class Answer { Confirm, Cancel, CloseFromTitleBar };

    ScriptedDialog(EditorState &state, Canvas &canvas) : m_state(state), m_canvas(canvas) {}

    Answer answer = Answer::Confirm;
    std::function<void()> whileOpen;
    std::vector<EditorState> openedWith;

    void showModal() override
    {
        openedWith.push_back(m_state);
        if (whileOpen)
            whileOpen();
        switch (answer) {
        case Answer::Confirm:
            m_canvas.clear();
            break;
        case Answer::Cancel:
            m_state.dragging = false;
            m_canvas.clear();
            break;
        case Answer::CloseFromTitleBar:
            break;
        }
    }

private:
    EditorState &m_state;
    Canvas &m_canvas;
};

using Point = std::pair<float, float>;

// One editor: its state, a recording canvas, the scripted dialog and the tools over them.
struct Rig {
    EditorState state;
    CanvasPoints points;
    RecordingCanvas canvas;
    ScriptedDialog dialog{state, canvas};
    DrawingTools tools{state, points, canvas, dialog};

    explicit Rig(Tool tool = Tool::Rectangle) { tools.selectTool(tool); }

    void press(Point p, int button = leftButton) { tools.mouseDown(button, 0, p.first, p.second); }
    std::string move(Point p, int held = 0) { return tools.mouseMove(held, 0, p.first, p.second); }
    void release(Point p, int button = leftButton) { tools.mouseUp(button, 0, p.first, p.second); }
    void click(Point p, int button = leftButton)
    {
        press(p, button);
        release(p, button);
    }
    // Presses at the first point, moves through the rest with the button held, releases at
    // the last.
    void drag(std::vector<Point> path, int button = leftButton)
    {
        press(path.front(), button);
        for (std::size_t i = 1; i < path.size(); ++i)
            move(path[i], button);
        release(path.back(), button);
    }
    int dialogsOpened() const { return int(dialog.openedWith.size()); }
    const EditorState &lastDialog() const { return dialog.openedWith.back(); }
};

} // namespace

Q_DECLARE_METATYPE(Tool)
Q_DECLARE_METATYPE(ScriptedDialog::Answer)

class TestDrawing : public QObject {
    Q_OBJECT

private slots:
    // Tool palette
    void exactlyOneToolAfterAnyClicks();
    void selectingAToolChangesNothingElse();

    // Rectangle and circle
    void pressAndReleaseWithoutMove_data();
    void pressAndReleaseWithoutMove();
    void rectangleKeepsItsCornerOrder_data();
    void rectangleKeepsItsCornerOrder();
    void dragEndingOutsideTheCanvasGivesNegativeCoordinates();
    void rectangleRubberBandErasesTheOldBoxBeforeDrawingTheNew();
    void circleRubberBandErasesTheOldCircleBeforeDrawingTheNew();
    void circleRadiusIsTheDistanceFromTheCentre_data();
    void circleRadiusIsTheDistanceFromTheCentre();
    void rightPressClearsAndKeepsTheDrag_data();
    void rightPressClearsAndKeepsTheDrag();
    void rightReleaseNeverOpensTheDialog_data();
    void rightReleaseNeverOpensTheDialog();
    void releaseOpensTheDialogOnlyForAShape_data();
    void releaseOpensTheDialogOnlyForAShape();
    void dragEndsAfterTheDialog_data();
    void dragEndsAfterTheDialog();
    void otherButtonsDrawLikeTheLeft_data();
    void otherButtonsDrawLikeTheLeft();
    void readOutFollowsEveryMove_data();
    void readOutFollowsEveryMove();

    // Polygon
    void polygonDrawnByClicksAndClosedByRightButton();
    void polygonClosedAfterOneVertex();
    void nextPolygonHoldsOnlyItsOwnVertices_data();
    void nextPolygonHoldsOnlyItsOwnVertices();
    void rightClickWithoutOpenPolygonBeginsOne();
    void switchingToolsContinuesTheOpenPolygon();
    void edgeStartsWhereTheLastFigureLeftThePen();
    void closingDragStaysOnUntilTheNextRelease_data();
    void closingDragStaysOnUntilTheNextRelease();
    void polygonAndToolFlagsNeverDisagree();
};

void TestDrawing::exactlyOneToolAfterAnyClicks()
{
    const Tool tools[] = {Tool::Rectangle, Tool::Circle, Tool::Polygon};
    // Every sequence of up to four clicks on the palette.
    for (int length = 0; length <= 4; ++length) {
        int sequences = 1;
        for (int i = 0; i < length; ++i)
            sequences *= 3;
        for (int code = 0; code < sequences; ++code) {
            Rig rig;
            Tool last = Tool::Rectangle;
            for (int i = 0, c = code; i < length; ++i, c /= 3) {
                last = tools[c % 3];
                rig.tools.selectTool(last);
            }
            QCOMPARE(toolsSelected(rig.state), 1);
            QCOMPARE(rig.state.rectTool, last == Tool::Rectangle);
            QCOMPARE(rig.state.circleTool, last == Tool::Circle);
            QCOMPARE(rig.state.polyTool, last == Tool::Polygon);
        }
    }
}

void TestDrawing::selectingAToolChangesNothingElse()
{
    Rig rig(Tool::Polygon);
    rig.click({10, 20});
    rig.click({110, 20});
    rig.press({60, 90});
    const QString before = describeAllButTools(rig.state);
    const std::size_t drawn = rig.canvas.calls.size();

    for (Tool tool : {Tool::Circle, Tool::Rectangle, Tool::Rectangle, Tool::Polygon}) {
        rig.tools.selectTool(tool);
        QCOMPARE(describeAllButTools(rig.state), before);
    }
    QCOMPARE(rig.canvas.calls.size(), drawn);
    QCOMPARE(rig.dialogsOpened(), 0);
}

void TestDrawing::pressAndReleaseWithoutMove_data()
{
    QTest::addColumn<Tool>("tool");
    QTest::newRow("rectangle") << Tool::Rectangle;
    QTest::newRow("circle") << Tool::Circle;
}

void TestDrawing::pressAndReleaseWithoutMove()
{
    QFETCH(Tool, tool);
    Rig rig(tool);
    rig.dialog.whileOpen = [&] { QVERIFY(rig.canvas.calls.empty()); };

    rig.click({57, 33});

    QCOMPARE(rig.dialogsOpened(), 1);
    const EditorState &seen = rig.lastDialog();
    QCOMPARE(seen.startX, MaybeFloat(57));
    QCOMPARE(seen.startY, MaybeFloat(33));
    QCOMPARE(seen.endX, MaybeFloat(57));
    QCOMPARE(int(seen.endY), 33);
    if (tool == Tool::Circle) {
        QCOMPARE(seen.circleX, MaybeFloat(57));
        QCOMPARE(seen.circleY, MaybeFloat(33));
        QCOMPARE(int(seen.circleRadius), 1);
    } else {
        QCOMPARE(seen.circleX, MaybeFloat());
        QCOMPARE(int(seen.circleRadius), 1);
    }
    QCOMPARE(rig.points.lastX, MaybeFloat(57));
    QCOMPARE(rig.points.lastY, MaybeFloat(33));
}

void TestDrawing::rectangleKeepsItsCornerOrder_data()
{
    QTest::addColumn<float>("endY");
    QTest::addColumn<int>("storedEndY");
    QTest::newRow("whole") << 150.0f << 150;
    QTest::newRow("half rounds down to even") << 2.5f << 2;
    QTest::newRow("half rounds up to even") << 3.5f << 4;
}

void TestDrawing::rectangleKeepsItsCornerOrder()
{
    QFETCH(float, endY);
    QFETCH(int, storedEndY);
    Rig rig(Tool::Rectangle);

    rig.drag({{300, 200}, {250, 170}, {120, endY}});

    QCOMPARE(rig.dialogsOpened(), 1);
    const EditorState &seen = rig.lastDialog();
    QCOMPARE(seen.startX, MaybeFloat(300));
    QCOMPARE(seen.startY, MaybeFloat(200));
    QCOMPARE(seen.endX, MaybeFloat(120));
    QCOMPARE(int(seen.endY), storedEndY);
    QVERIFY(*seen.endX < *seen.startX);
    QVERIFY(seen.endY < *seen.startY);
}

void TestDrawing::dragEndingOutsideTheCanvasGivesNegativeCoordinates()
{
    Rig rig(Tool::Rectangle);
    rig.press({10, 10});
    QCOMPARE(rig.move({-30, -40}, leftButton), std::string("X = -30, Y = -40"));
    rig.release({-30, -40});

    const EditorState &seen = rig.lastDialog();
    QCOMPARE(seen.endX, MaybeFloat(-30));
    QCOMPARE(int(seen.endY), -40);
    QCOMPARE(rig.points.lastX, MaybeFloat(-30));
    QCOMPARE(rig.points.lastY, MaybeFloat(-40));
}

void TestDrawing::rectangleRubberBandErasesTheOldBoxBeforeDrawingTheNew()
{
    Rig rig(Tool::Rectangle);
    QStringList visibleWhileOpen;
    rig.dialog.whileOpen = [&] { visibleWhileOpen = list(rig.canvas.visible()); };

    rig.press({10, 20});
    QVERIFY(rig.canvas.calls.empty());
    rig.move({50, 60}, leftButton);
    rig.move({110, 80}, leftButton);
    QCOMPARE(list(rig.canvas.calls), QStringList({"box 10,20 10,20", "box 10,20 50,60",
                                                  "box 10,20 50,60", "box 10,20 110,80"}));
    rig.release({110, 80});

    // The release draws nothing: the last box stays on show while the dialog is open, beside
    // whatever the first erase inverted at the press point.
    QCOMPARE(visibleWhileOpen, QStringList({"box 10,20 10,20", "box 10,20 110,80"}));
    QCOMPARE(list(rig.canvas.since(4)), QStringList({"clear"}));
}

void TestDrawing::circleRubberBandErasesTheOldCircleBeforeDrawingTheNew()
{
    Rig rig(Tool::Circle);
    QStringList visibleWhileOpen;
    rig.dialog.whileOpen = [&] { visibleWhileOpen = list(rig.canvas.visible()); };

    rig.drag({{200, 150}, {220, 150}, {240, 150}});

    QCOMPARE(list(rig.canvas.calls),
             QStringList({"circle 200,150 r1", "circle 200,150 r20", "circle 200,150 r20",
                          "circle 200,150 r40", "clear"}));
    QCOMPARE(visibleWhileOpen, QStringList({"circle 200,150 r1", "circle 200,150 r40"}));
    const EditorState &seen = rig.lastDialog();
    QCOMPARE(seen.circleX, MaybeFloat(200));
    QCOMPARE(seen.circleY, MaybeFloat(150));
    QCOMPARE(int(seen.circleRadius), 40);
}

void TestDrawing::circleRadiusIsTheDistanceFromTheCentre_data()
{
    constexpr float huge = std::numeric_limits<float>::max();
    QTest::addColumn<float>("cx");
    QTest::addColumn<float>("cy");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<int>("radius");
    QTest::newRow("right of the centre") << 200.f << 150.f << 240.f << 150.f << 40;
    QTest::newRow("above the centre") << 200.f << 150.f << 200.f << 110.f << 40;
    QTest::newRow("left of the centre") << 200.f << 150.f << 160.f << 150.f << 40;
    QTest::newRow("diagonal") << 200.f << 150.f << 230.f << 190.f << 50;
    QTest::newRow("not the pointer's y") << 100.f << 100.f << 300.f << 40.f << 209;
    QTest::newRow("above the canvas") << 100.f << 100.f << 100.f << -60.f << 160;
    QTest::newRow("exactly the floor") << 100.f << 100.f << 103.f << 104.f << 5;
    QTest::newRow("below the floor") << 100.f << 100.f << 101.f << 101.f << 5;
    QTest::newRow("at the centre") << 100.f << 100.f << 100.f << 100.f << 5;
    QTest::newRow("just above the floor") << 100.f << 100.f << 106.f << 100.f << 6;
    QTest::newRow("half rounds down to even") << 100.f << 100.f << 106.5f << 100.f << 6;
    QTest::newRow("half rounds up to even") << 100.f << 100.f << 107.5f << 100.f << 8;
    QTest::newRow("far off the canvas") << 100.f << 100.f << 1e30f << 100.f << 32767;
    QTest::newRow("across the whole float range") << -huge << 0.f << huge << 0.f << 32767;
    QTest::newRow("pointer not a number")
        << 100.f << 100.f << std::numeric_limits<float>::quiet_NaN() << 100.f << 5;
}

void TestDrawing::circleRadiusIsTheDistanceFromTheCentre()
{
    QFETCH(float, cx);
    QFETCH(float, cy);
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(int, radius);
    Rig rig(Tool::Circle);

    rig.press({cx, cy});
    rig.move({x, y}, leftButton);
    QCOMPARE(int(rig.state.dragRadius), radius);
    rig.release({x, y});

    QCOMPARE(int(rig.lastDialog().circleRadius), radius);
    QCOMPARE(int(rig.state.circleRadius), radius);
    QCOMPARE(rig.state.circleX, MaybeFloat(cx));
    QCOMPARE(rig.state.circleY, MaybeFloat(cy));
}

void TestDrawing::rightPressClearsAndKeepsTheDrag_data()
{
    QTest::addColumn<Tool>("tool");
    QTest::addColumn<bool>("midDrag");
    QTest::newRow("rectangle, idle") << Tool::Rectangle << false;
    QTest::newRow("rectangle, mid-drag") << Tool::Rectangle << true;
    QTest::newRow("circle, idle") << Tool::Circle << false;
    QTest::newRow("circle, mid-drag") << Tool::Circle << true;
}

void TestDrawing::rightPressClearsAndKeepsTheDrag()
{
    QFETCH(Tool, tool);
    QFETCH(bool, midDrag);
    Rig rig(tool);
    if (midDrag) {
        rig.press({10, 20});
        rig.move({60, 70}, leftButton);
    }
    const QString before = describe(rig.state);
    const std::size_t drawn = rig.canvas.calls.size();

    rig.press({300, 300}, rightButton);

    QCOMPARE(list(rig.canvas.since(drawn)), QStringList({"clear"}));
    QCOMPARE(describe(rig.state), before);
    QCOMPARE(rig.state.dragging, midDrag);
    QCOMPARE(rig.points.lastX, midDrag ? MaybeFloat(60) : MaybeFloat());
    QCOMPARE(rig.dialogsOpened(), 0);
}

void TestDrawing::rightReleaseNeverOpensTheDialog_data()
{
    QTest::addColumn<Tool>("tool");
    QTest::newRow("rectangle") << Tool::Rectangle;
    QTest::newRow("circle") << Tool::Circle;
    QTest::newRow("polygon") << Tool::Polygon;
}

void TestDrawing::rightReleaseNeverOpensTheDialog()
{
    QFETCH(Tool, tool);
    Rig rig(tool);
    rig.press({100, 100});
    rig.move({100, 140}, leftButton);
    const std::int16_t dragRadius = rig.state.dragRadius;
    const bool dragging = rig.state.dragging;

    rig.release({100, 140}, rightButton);

    QCOMPARE(rig.dialogsOpened(), 0);
    QCOMPARE(rig.state.circleRadius, dragRadius);
    QCOMPARE(rig.state.dragRadius, dragRadius);
    QCOMPARE(rig.state.dragging, dragging);
    QVERIFY(rig.state.dragging);

    // The drag goes on and the left release still finishes it.
    rig.release({100, 140});
    QCOMPARE(rig.dialogsOpened(), tool == Tool::Polygon ? 0 : 1);
    QVERIFY(!rig.state.dragging);
}

void TestDrawing::releaseOpensTheDialogOnlyForAShape_data()
{
    QTest::addColumn<Tool>("tool");
    QTest::addColumn<bool>("pressedFirst");
    QTest::addColumn<int>("dialogs");
    QTest::newRow("rectangle after a press") << Tool::Rectangle << true << 1;
    QTest::newRow("rectangle without a press") << Tool::Rectangle << false << 0;
    QTest::newRow("circle after a press") << Tool::Circle << true << 1;
    QTest::newRow("circle without a press") << Tool::Circle << false << 1;
    QTest::newRow("polygon after a press") << Tool::Polygon << true << 0;
    QTest::newRow("polygon without a press") << Tool::Polygon << false << 0;
}

void TestDrawing::releaseOpensTheDialogOnlyForAShape()
{
    QFETCH(Tool, tool);
    QFETCH(bool, pressedFirst);
    QFETCH(int, dialogs);
    Rig rig(tool);
    if (pressedFirst)
        rig.press({40, 40});

    rig.release({40, 40});

    QCOMPARE(rig.dialogsOpened(), dialogs);
    QVERIFY(!rig.state.dragging);
    QCOMPARE(int(rig.state.dragRadius), 1);
}

void TestDrawing::dragEndsAfterTheDialog_data()
{
    QTest::addColumn<Tool>("tool");
    QTest::addColumn<ScriptedDialog::Answer>("answer");
    for (auto [tool, toolName] :
         {std::pair{Tool::Rectangle, "rectangle"}, std::pair{Tool::Circle, "circle"}}) {
        for (auto [answer, answerName] :
             {std::pair{ScriptedDialog::Answer::Confirm, "O.K"},
              std::pair{ScriptedDialog::Answer::Cancel, "Peruuta"},
              std::pair{ScriptedDialog::Answer::CloseFromTitleBar, "title bar"}}) {
            QTest::addRow("%s, %s", toolName, answerName) << tool << answer;
        }
    }
}

void TestDrawing::dragEndsAfterTheDialog()
{
    QFETCH(Tool, tool);
    QFETCH(ScriptedDialog::Answer, answer);
    Rig rig(tool);
    rig.dialog.answer = answer;

    rig.drag({{100, 100}, {140, 130}});

    QCOMPARE(rig.dialogsOpened(), 1);
    // The drag is still on while the dialog is open; the release ends it only afterwards.
    QVERIFY(rig.lastDialog().dragging);
    QVERIFY(!rig.state.dragging);
    QCOMPARE(int(rig.state.dragRadius), 1);
    QCOMPARE(rig.canvas.visible().empty(), answer != ScriptedDialog::Answer::CloseFromTitleBar);
}

void TestDrawing::otherButtonsDrawLikeTheLeft_data()
{
    QTest::addColumn<Tool>("tool");
    QTest::addColumn<int>("button");
    for (auto [tool, toolName] :
         {std::pair{Tool::Rectangle, "rectangle"}, std::pair{Tool::Circle, "circle"},
          std::pair{Tool::Polygon, "polygon"}}) {
        QTest::addRow("%s, middle", toolName) << tool << middleButton;
        QTest::addRow("%s, extra", toolName) << tool << 8;
        QTest::addRow("%s, none", toolName) << tool << 0;
    }
}

void TestDrawing::otherButtonsDrawLikeTheLeft()
{
    QFETCH(Tool, tool);
    QFETCH(int, button);
    auto script = [](Rig &rig, int b) {
        rig.drag({{10, 20}, {50, 60}, {110, 80}}, b);
        rig.drag({{200, 150}, {240, 150}}, b);
        rig.click({30, 200}, rightButton);
    };
    Rig left(tool);
    Rig other(tool);

    script(left, leftButton);
    script(other, button);

    QCOMPARE(list(other.canvas.calls), list(left.canvas.calls));
    QCOMPARE(describe(other.state), describe(left.state));
    QCOMPARE(other.dialogsOpened(), left.dialogsOpened());
    for (int i = 0; i < left.dialogsOpened(); ++i)
        QCOMPARE(describe(other.dialog.openedWith[i]), describe(left.dialog.openedWith[i]));
}

void TestDrawing::readOutFollowsEveryMove_data()
{
    QTest::addColumn<Tool>("tool");
    QTest::addColumn<bool>("pressed");
    for (auto [tool, toolName] :
         {std::pair{Tool::Rectangle, "rectangle"}, std::pair{Tool::Circle, "circle"},
          std::pair{Tool::Polygon, "polygon"}}) {
        QTest::addRow("%s, no button", toolName) << tool << false;
        QTest::addRow("%s, button held", toolName) << tool << true;
    }
}

void TestDrawing::readOutFollowsEveryMove()
{
    QFETCH(Tool, tool);
    QFETCH(bool, pressed);
    Rig rig(tool);
    if (pressed)
        rig.press({0, 0});
    const int held = pressed ? leftButton : 0;

    QCOMPARE(rig.move({120, 45}, held), std::string("X = 120, Y = 45"));
    QCOMPARE(rig.move({0, 0}, held), std::string("X = 0, Y = 0"));
    QCOMPARE(rig.move({-12, 9000}, held), std::string("X = -12, Y = 9000"));
    QCOMPARE(rig.move({1.5f, -0.25f}, held), std::string("X = 1.5, Y = -0.25"));

    // Only a drag of a rectangle or circle draws; other moves change the read-out alone.
    const bool drawsBand = pressed && tool != Tool::Polygon;
    const std::size_t polygonMarks = pressed && tool == Tool::Polygon ? 3 : 0;
    QCOMPARE(rig.canvas.calls.size(), drawsBand ? std::size_t(8) : polygonMarks);
}

void TestDrawing::polygonDrawnByClicksAndClosedByRightButton()
{
    Rig rig(Tool::Polygon);
    QStringList visibleWhileOpen;
    rig.dialog.whileOpen = [&] { visibleWhileOpen = list(rig.canvas.visible()); };

    rig.click({10, 20});
    QCOMPARE(list(rig.canvas.calls),
             QStringList({"point 10,20", "line 10,20 10,20", "lineTo 10,20 10,20"}));
    rig.move({80, 40});
    rig.click({110, 20});
    rig.move({90, 60});
    rig.click({60, 90});
    QCOMPARE(list(rig.canvas.since(3)),
             QStringList({"lineTo 10,20 110,20", "lineTo 110,20 60,90"}));
    QCOMPARE(rig.dialogsOpened(), 0);

    rig.click({300, 250}, rightButton);

    QCOMPARE(list(rig.canvas.since(5)), QStringList({"line 60,90 10,20", "clear"}));
    QCOMPARE(rig.dialogsOpened(), 1);
    const EditorState &seen = rig.lastDialog();
    QCOMPARE(q(seen.polyCoords), QStringLiteral("10,20,110,20,60,90"));
    QVERIFY(seen.polyNew);
    QCOMPARE(int(seen.polyOpen), 0);
    QCOMPARE(visibleWhileOpen, QStringList({"line 10,20 110,20", "line 110,20 60,90",
                                            "line 60,90 10,20", "point 10,20"}));
    QCOMPARE(q(rig.state.polyCoords), QStringLiteral("10,20,110,20,60,90"));
}

void TestDrawing::polygonClosedAfterOneVertex()
{
    Rig rig(Tool::Polygon);
    rig.click({45, 55});
    rig.click({0, 0}, rightButton);

    QCOMPARE(rig.dialogsOpened(), 1);
    QCOMPARE(q(rig.lastDialog().polyCoords), QStringLiteral("45,55"));
    QCOMPARE(q(rig.canvas.calls.at(3)), QStringLiteral("line 45,55 45,55"));
}

void TestDrawing::nextPolygonHoldsOnlyItsOwnVertices_data()
{
    QTest::addColumn<ScriptedDialog::Answer>("answer");
    QTest::newRow("first confirmed") << ScriptedDialog::Answer::Confirm;
    QTest::newRow("first cancelled") << ScriptedDialog::Answer::Cancel;
}

void TestDrawing::nextPolygonHoldsOnlyItsOwnVertices()
{
    QFETCH(ScriptedDialog::Answer, answer);
    Rig rig(Tool::Polygon);
    rig.dialog.answer = answer;
    for (Point p : {Point{10, 20}, Point{110, 20}, Point{60, 90}})
        rig.click(p);
    rig.click({0, 0}, rightButton);

    const std::size_t drawn = rig.canvas.calls.size();
    for (Point p : {Point{200, 200}, Point{250, 210}, Point{240, 280}, Point{190, 260}})
        rig.click(p);
    rig.click({0, 0}, rightButton);

    QCOMPARE(rig.dialogsOpened(), 2);
    QCOMPARE(q(rig.lastDialog().polyCoords), QStringLiteral("200,200,250,210,240,280,190,260"));
    // A new polygon marks its first vertex afresh and closes on it.
    QCOMPARE(q(rig.canvas.calls.at(drawn)), QStringLiteral("point 200,200"));
    QCOMPARE(q(rig.canvas.calls.at(rig.canvas.calls.size() - 2)),
             QStringLiteral("line 190,260 200,200"));
}

void TestDrawing::rightClickWithoutOpenPolygonBeginsOne()
{
    Rig rig(Tool::Polygon);

    rig.click({70, 80}, rightButton);

    QCOMPARE(rig.dialogsOpened(), 0);
    QCOMPARE(list(rig.canvas.calls),
             QStringList({"point 70,80", "line 70,80 70,80", "lineTo 70,80 70,80"}));
    QCOMPARE(int(rig.state.polyOpen), polyOpenTrue);
    QVERIFY(!rig.state.polyNew);
    QCOMPARE(q(rig.state.polyCoords), QStringLiteral("70,80"));

    // The next right click closes it.
    rig.click({0, 0}, rightButton);
    QCOMPARE(rig.dialogsOpened(), 1);
    QCOMPARE(q(rig.lastDialog().polyCoords), QStringLiteral("70,80"));
}

void TestDrawing::switchingToolsContinuesTheOpenPolygon()
{
    Rig rig(Tool::Polygon);
    rig.click({10, 20});
    rig.click({110, 20});

    rig.tools.selectTool(Tool::Rectangle);
    rig.tools.selectTool(Tool::Circle);
    rig.tools.selectTool(Tool::Polygon);
    rig.click({60, 90});
    rig.click({0, 0}, rightButton);

    QCOMPARE(q(rig.lastDialog().polyCoords), QStringLiteral("10,20,110,20,60,90"));
    QCOMPARE(q(rig.canvas.calls.at(4)), QStringLiteral("lineTo 110,20 60,90"));
}

void TestDrawing::edgeStartsWhereTheLastFigureLeftThePen()
{
    Rig rig(Tool::Polygon);
    rig.click({10, 20});
    rig.tools.selectTool(Tool::Circle);
    rig.press({200, 150});
    rig.move({240, 150}, leftButton);
    rig.move({250, 150}, leftButton);
    rig.tools.selectTool(Tool::Polygon);
    rig.click({110, 20});
    QCOMPARE(q(rig.canvas.calls.back()), QStringLiteral("lineTo 200,150 110,20"));

    // A right press of the rectangle tool clears the canvas and leaves the pen at the origin.
    rig.tools.selectTool(Tool::Rectangle);
    rig.click({5, 5}, rightButton);
    rig.tools.selectTool(Tool::Polygon);
    rig.click({60, 90});
    QCOMPARE(q(rig.canvas.calls.back()), QStringLiteral("lineTo 0,0 60,90"));

    QCOMPARE(q(rig.state.polyCoords), QStringLiteral("10,20,110,20,60,90"));
}

void TestDrawing::closingDragStaysOnUntilTheNextRelease_data()
{
    QTest::addColumn<ScriptedDialog::Answer>("answer");
    QTest::addColumn<bool>("draggingAfter");
    QTest::newRow("confirmed") << ScriptedDialog::Answer::Confirm << true;
    QTest::newRow("cancelled") << ScriptedDialog::Answer::Cancel << false;
}

void TestDrawing::closingDragStaysOnUntilTheNextRelease()
{
    QFETCH(ScriptedDialog::Answer, answer);
    QFETCH(bool, draggingAfter);
    Rig rig(Tool::Polygon);
    rig.dialog.answer = answer;
    rig.click({10, 20});
    QVERIFY(!rig.state.dragging);

    rig.click({0, 0}, rightButton);
    QCOMPARE(rig.state.dragging, draggingAfter);

    rig.release({0, 0});
    QVERIFY(!rig.state.dragging);
    QCOMPARE(rig.dialogsOpened(), 1);
}

void TestDrawing::polygonAndToolFlagsNeverDisagree()
{
    Rig rig;
    auto check = [&] {
        QCOMPARE(toolsSelected(rig.state), 1);
        QVERIFY(rig.state.polyOpen == polyOpenTrue || rig.state.polyOpen == polyOpenFalse);
        QCOMPARE(rig.state.polyNew, rig.state.polyOpen == polyOpenFalse);
    };
    rig.dialog.whileOpen = check;

    std::minstd_rand random(20240611);
    const int buttons[] = {leftButton, rightButton, middleButton};
    for (int step = 0; step < 3000; ++step) {
        const Point p{float(random() % 400), float(random() % 300)};
        const int button = buttons[random() % 3];
        rig.dialog.answer = ScriptedDialog::Answer(random() % 3);
        switch (random() % 4) {
        case 0:
            rig.tools.selectTool(Tool(random() % 3));
            break;
        case 1:
            rig.press(p, button);
            break;
        case 2:
            rig.move(p, button);
            break;
        default:
            rig.release(p, button);
            break;
        }
        check();
        if (QTest::currentTestFailed())
            return;
    }
}

QTEST_APPLESS_MAIN(TestDrawing)
#include "test_drawing.moc"
