#include "core/drawing.h"
#include "core/editor_state.h"
#include "platform/canvas/canvas.h"
#include "platform/canvas/keyboard_cursor.h"
#include "platform/modal.h"
#include "tests/ui/map_picture.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/form4.h"
#include "ui/markup_box.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>

#include <functional>
#include <memory>

using namespace zorvik;
using ui::Form1;
using ui::Form3;

namespace {

QString nameOf(QAccessibleInterface *iface)
{
    return iface->text(QAccessible::Name);
}

QString objectNameOf(QAccessibleInterface *iface)
{
    return iface->object() ? iface->object()->objectName() : QString();
}

// Every shown control below |iface|, depth first.
void forEachShown(QAccessibleInterface *iface,
                  const std::function<void(QAccessibleInterface *)> &visit)
{
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface *child = iface->child(i);
        if (!child || child->state().invisible)
            continue;
        visit(child);
        forEachShown(child, visit);
    }
}

enum class Shape { Rectangle, Circle, Polygon };

// What a screen reader was told to say: the places the focus moved on to.
QStringList said;

void hear(QAccessibleEvent *event)
{
    QAccessibleInterface *iface = event->accessibleInterface();
    if (event->type() == QAccessible::Focus && iface && !iface->object())
        said << nameOf(iface);
}

// The place said last, which a reader finds on the canvas when its focus comes back.
QString spokenOn(QWidget *canvas)
{
    QAccessibleInterface *place = QAccessible::queryAccessibleInterface(canvas)->focusChild();
    return place ? nameOf(place) : QString();
}

QStringList areaCoordinates(const std::string &markup)
{
    static const QRegularExpression area(QStringLiteral("COORDS=\"([^\"]*)\""));
    QStringList found;
    for (auto match = area.globalMatch(QString::fromStdString(markup)); match.hasNext();)
        found << match.next().captured(1);
    return found;
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void everyControlIsNamedAndEveryFieldLabelled_data();
    void everyControlIsNamedAndEveryFieldLabelled();
    void keysDrawWhatTheMouseDraws_data();
    void keysDrawWhatTheMouseDraws();
    void keysAndMouseTakeTurns_data();
    void keysAndMouseTakeTurns();
    void toolChangeInADragWritesNoBrokenArea_data();
    void toolChangeInADragWritesNoBrokenArea();
    void placesAreSaidWhereTheKeysRest();
    void closingTheWindowInAKeyboardDragLeavesTheToolsAlone();

private:
    platform::InvertCanvas *canvas() const { return m_form->Picture1(); }
    void startMap(QPushButton *tool);
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(canvas(), k, modifiers);
    }
    // The canvas as it is on the screen, crosshair and all.
    QImage shown() const
    {
        return canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    // Walks the keyboard cursor to |target|, ten pixels a step while it is far.
    void cursorTo(QPoint target);

    std::unique_ptr<Form1> m_form;
    QImage m_picture;
    // The canvas while the area dialog was open, and whether that dialog showed its focus.
    QImage m_outline;
    bool m_dialogShowsFocus = false;
    int m_areaDialogs = 0;
};

void TestAccessibility::initTestCase()
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    // As a screen reader turns it on; the events come to the test instead.
    QAccessible::installUpdateHandler(hear);
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    m_picture = test::mapPicture();
    m_form = std::make_unique<Form1>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    ui::form2().kuva()->setText(QStringLiteral("C:\\kuvat\\kartta.gif"));
    ui::form2().nimi()->setText(QStringLiteral("kartta"));
    platform::setModalDriver([this](QDialog *dialog) {
        auto *form = qobject_cast<Form3 *>(dialog);
        QVERIFY2(form, "only the area dialog may open while drawing");
        ++m_areaDialogs;
        m_outline = canvas()->picture();
        m_dialogShowsFocus = dialog->testAttribute(Qt::WA_KeyboardFocusChange);
        QTest::mouseClick(form->Command1(), Qt::LeftButton);
    });
}

void TestAccessibility::cleanupTestCase()
{
    platform::setModalDriver({});
    m_form.reset();
    QAccessible::installUpdateHandler(nullptr);
}

void TestAccessibility::everyControlIsNamedAndEveryFieldLabelled_data()
{
    QTest::addColumn<int>("window");
    // The fields the user types in, each with the label that names it.
    QTest::addColumn<QStringList>("fieldsAndLabels");
    QTest::newRow("Form1") << 1 << QStringList();
    QTest::newRow("Form2") << 2 << QStringList{"nimi", "Label1", "kuva", "Label2"};
    QTest::newRow("Form3") << 3 << QStringList{"kehys", "Label3", "linkki", "labeli",
                                               "alt",   "Label1", "kohde",  "Label4"};
    QTest::newRow("Form4") << 4 << QStringList();
}

void TestAccessibility::everyControlIsNamedAndEveryFieldLabelled()
{
    QFETCH(int, window);
    QFETCH(QStringList, fieldsAndLabels);
    QWidget *const windows[] = {m_form.get(), &ui::form2(), &ui::form3(), &ui::form4()};
    QWidget *shown = windows[window - 1];
    shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    QAccessibleInterface *top = QAccessible::queryAccessibleInterface(shown);
    QVERIFY(top);

    QStringList unnamed;
    QStringList labelled;
    forEachShown(top, [&](QAccessibleInterface *iface) {
        const QAccessible::State state = iface->state();
        const bool frame = iface->role() == QAccessible::Grouping;
        if ((state.focusable || frame) && nameOf(iface).trimmed().isEmpty())
            unnamed << objectNameOf(iface);
        if (iface->role() != QAccessible::EditableText || state.readOnly || state.disabled)
            return;
        const auto labels = iface->relations(QAccessible::Label);
        QCOMPARE(labels.size(), 1);
        QAccessibleInterface *label = labels.first().first;
        labelled << objectNameOf(iface) << objectNameOf(label);
        // The reader says the label's caption as the field's name.
        QCOMPARE(nameOf(iface), nameOf(label));
        QVERIFY(!nameOf(label).contains(QLatin1Char('&')));
    });
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    QCOMPARE(labelled, fieldsAndLabels);

    if (window == 1) {
        QCOMPARE(QAccessible::queryAccessibleInterface(canvas())->role(), QAccessible::Canvas);
        // One tool is checked, and it is the one the editor draws with, after clicks and after
        // Space on the buttons alike; the canvas says which it is.
        QPushButton *const tools[] = {m_form->neliö(), m_form->ympyrä(), m_form->vinkura()};
        const int changes[] = {1, 1, 2, 0, 2, 0, 0, 1};
        for (int n = 0; n < int(std::size(changes)); ++n) {
            QPushButton *tool = tools[changes[n]];
            if (n % 2)
                QTest::mouseClick(tool, Qt::LeftButton);
            else
                QTest::keyClick(tool, Qt::Key_Space);
            QStringList checked;
            for (QPushButton *each : tools) {
                QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(each);
                QVERIFY(iface->state().checkable);
                if (iface->state().checked)
                    checked << nameOf(iface);
            }
            QCOMPARE(checked, QStringList{tool->toolTip()});
            const EditorState &state = editorState();
            QCOMPARE((QList<bool>{state.rectTool, state.circleTool, state.polyTool}),
                     (QList<bool>{changes[n] == 0, changes[n] == 1, changes[n] == 2}));
            QVERIFY(QAccessible::queryAccessibleInterface(canvas())
                        ->text(QAccessible::Description)
                        .startsWith(checked.value(0) + QStringLiteral(", X = ")));
        }
        QTest::mouseClick(m_form->neliö(), Qt::LeftButton);
    } else {
        shown->hide();
    }
}

// A fresh map on the picture, drawn with |tool|.
void TestAccessibility::startMap(QPushButton *tool)
{
    editorState() = EditorState{};
    QTest::mouseClick(tool, Qt::LeftButton);
    m_form->koodi2()->clear();
    canvas()->setPicture(m_picture);
    canvas()->setAutoSize(true);
    canvas()->setEnabled(true);
    m_areaDialogs = 0;
    m_outline = QImage();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestAccessibility::cursorTo(QPoint target)
{
    while (m_form->keyboard()->place() != target) {
        const QPoint off = target - m_form->keyboard()->place();
        if (std::abs(off.x()) >= 10)
            key(off.x() > 0 ? Qt::Key_Right : Qt::Key_Left, Qt::ShiftModifier);
        else if (std::abs(off.y()) >= 10)
            key(off.y() > 0 ? Qt::Key_Down : Qt::Key_Up, Qt::ShiftModifier);
        else if (off.x() != 0)
            key(off.x() > 0 ? Qt::Key_Right : Qt::Key_Left);
        else
            key(off.y() > 0 ? Qt::Key_Down : Qt::Key_Up);
    }
    const QString readOut = QStringLiteral("X = %1, Y = %2").arg(target.x()).arg(target.y());
    QCOMPARE(m_form->Label2()->text(), readOut);
    QVERIFY(QAccessible::queryAccessibleInterface(canvas())
                ->text(QAccessible::Description)
                .endsWith(readOut));
}

void TestAccessibility::keysDrawWhatTheMouseDraws_data()
{
    QTest::addColumn<int>("shape");
    QTest::addColumn<QList<QPoint>>("points");
    QTest::addColumn<int>("closingKey");
    QTest::newRow("rectangle") << int(Shape::Rectangle)
                               << QList<QPoint>{{23, 41}, {57, 20}, {135, 88}} << 0;
    QTest::newRow("circle") << int(Shape::Circle)
                            << QList<QPoint>{{200, 150}, {213, 148}, {236, 62}} << 0;
    QTest::newRow("polygon, Menu key")
        << int(Shape::Polygon) << QList<QPoint>{{30, 200}, {91, 180}, {120, 263}, {45, 240}}
        << int(Qt::Key_Menu);
    QTest::newRow("polygon, Shift+F10")
        << int(Shape::Polygon) << QList<QPoint>{{5, 5}, {300, 12}, {250, 290}, {7, 150}}
        << int(Qt::Key_F10);
}

// The same area drawn once with the mouse and once with the keys gives the same outline and the
// same markup, and the canvas shows the picture alone afterwards: the keyboard's crosshair is
// never drawn into it.
void TestAccessibility::keysDrawWhatTheMouseDraws()
{
    QFETCH(int, shape);
    QFETCH(QList<QPoint>, points);
    QFETCH(int, closingKey);
    QPushButton *const tools[] = {m_form->neliö(), m_form->ympyrä(), m_form->vinkura()};

    startMap(tools[shape]);
    if (shape == int(Shape::Polygon)) {
        for (QPoint p : points)
            QTest::mouseClick(canvas(), Qt::LeftButton, {}, p);
        QTest::mouseClick(canvas(), Qt::RightButton, {}, points.last());
    } else {
        QTest::mousePress(canvas(), Qt::LeftButton, {}, points.first());
        for (QPoint p : points.mid(1))
            QTest::mouseMove(canvas(), p);
        QTest::mouseRelease(canvas(), Qt::LeftButton, {}, points.last());
    }
    QCOMPARE(m_areaDialogs, 1);
    QCOMPARE(canvas()->picture(), m_picture);
    const QImage mouseOutline = m_outline;
    const std::string byMouse = m_form->koodi2()->text();

    startMap(tools[shape]);
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    canvas()->setFocus(Qt::TabFocusReason);
    QCOMPARE(m_form->keyboard()->place(), QPoint(0, 0));
    cursorTo(points.first());
    if (shape == int(Shape::Polygon)) {
        for (QPoint p : points) {
            cursorTo(p);
            key(Qt::Key_Return);
        }
        key(Qt::Key(closingKey), closingKey == Qt::Key_F10 ? Qt::ShiftModifier : Qt::NoModifier);
    } else {
        key(Qt::Key_Space);
        for (QPoint p : points.mid(1))
            cursorTo(p);
        QCOMPARE(m_areaDialogs, 0);
        // The crosshair shows on the screen, over the outline, but not in the picture.
        const QImage screen = canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QPoint arm = points.last() + QPoint(4, 0);
        QCOMPARE(screen.pixel(arm), qRgb(255, 255, 255));
        QVERIFY(canvas()->picture().pixel(arm) != screen.pixel(arm));
        key(Qt::Key_Space);
    }
    QCOMPARE(m_areaDialogs, 1);
    QVERIFY(m_dialogShowsFocus);
    QCOMPARE(m_outline, mouseOutline);
    QCOMPARE(canvas()->picture(), m_picture);
    QCOMPARE(m_form->koodi2()->text(), byMouse);
    QVERIFY(!byMouse.empty());
}

void TestAccessibility::keysAndMouseTakeTurns_data()
{
    // S: Space on the canvas and an arrow; p, r: a left mouse press and release on it; R: a right
    // click; f: another window takes the focus; l: a picture is loaded.
    QTest::addColumn<QString>("steps");
    // After each step, the button as the canvas tells a screen reader of it: D down, U let go,
    // . up and unsaid (the keys moved on after letting go).
    QTest::addColumn<QString>("button");
    // The areas of the steps, then the one the next Space or two made, with the circle tool,
    // which opens the dialog at any release.
    QTest::addColumn<QStringList>("areas");
    const QString mouse = QStringLiteral("40,30,58");
    const auto row = [](const char *name, const char *steps, const char *button,
                        const QStringList &areas) {
        QTest::newRow(name) << QString::fromLatin1(steps) << QString::fromLatin1(button) << areas;
    };
    row("Space, mouse drag", "Spr", "DDU", {mouse, "10,0,1"});
    row("mouse press, Space, mouse release", "pSr", "DDU", {mouse, "0,0,1"});
    row("Space twice, mouse drag", "SSpr", "D.DU", {"0,0,10", mouse, "20,0,1"});
    row("Space, focus lost", "Sf", "DU", {"10,0,1"});
    row("Space, focus lost, mouse drag", "Sfpr", "DUDU", {mouse, "10,0,1"});
    row("Space, picture loaded", "Sl", "DU", {"0,0,1"});
    row("mouse alone, after Tab elsewhere", "pr", "DU", {mouse, "0,0,1"});
    // The right click clears the outline in the keys' drag, and Space goes on holding.
    row("Space, right click", "SR", "DD", {"0,0,10"});
}

// One left button: whatever holds it decides the drag, and what the canvas tells a screen reader
// follows it. After the steps the next Space presses the button, starting a drag without a
// dialog, and the Space after it lets go; or, while Space still holds, lets go at once. The
// crosshair goes with the mouse's first touch.
void TestAccessibility::keysAndMouseTakeTurns()
{
    QFETCH(QString, steps);
    QFETCH(QString, button);
    QFETCH(QStringList, areas);
    startMap(m_form->ympyrä());
    QTest::keyClick(m_form->uusi(), Qt::Key_Tab);
    const auto focusCanvas = [this] {
        if (!canvas()->hasFocus())
            canvas()->setFocus(Qt::TabFocusReason);
    };
    QWidget other;
    for (qsizetype n = 0; n < steps.size(); ++n) {
        const QChar step = steps[n];
        if (step == u'S') {
            focusCanvas();
            key(Qt::Key_Space);
            key(Qt::Key_Right, Qt::ShiftModifier);
        } else if (step == u'p') {
            QTest::mousePress(canvas(), Qt::LeftButton, {}, QPoint(40, 30));
        } else if (step == u'r') {
            QTest::mouseMove(canvas(), QPoint(90, 60));
            QTest::mouseRelease(canvas(), Qt::LeftButton, {}, QPoint(90, 60));
        } else if (step == u'R') {
            QTest::mouseClick(canvas(), Qt::RightButton, {}, QPoint(40, 30));
        } else if (step == u'f') {
            other.show();
            other.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&other));
            QVERIFY(!editorState().dragging);
            QCOMPARE(canvas()->picture(), m_picture);
            m_form->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        } else {
            canvas()->setPicture(m_picture);
        }
        const QPoint at = m_form->keyboard()->place();
        const QString place = QString::fromStdString(readOut(float(at.x()), float(at.y())));
        const QString down = QStringLiteral("Painike alhaalla, ");
        QCOMPARE(QAccessible::queryAccessibleInterface(canvas())->text(QAccessible::Description),
                 QStringLiteral("Ympyrä, ") + (button[n] == u'D' ? down : QString()) + place);
        // The keys' own changes are said once the keys rest; the others are found at once.
        if (QStringLiteral("prfl").contains(step)) {
            const QString heard = button[n] == u'D' ? down : QStringLiteral("Painike ylhäällä, ");
            QCOMPARE(spokenOn(canvas()), heard + place);
        }
    }
    if (steps.endsWith(u'r'))
        QCOMPARE(shown(), canvas()->picture());
    const int dialogs = m_areaDialogs;
    focusCanvas();
    if (!button.endsWith(u'D')) {
        key(Qt::Key_Space);
        QVERIFY(editorState().dragging);
        QCOMPARE(m_areaDialogs, dialogs);
    }
    key(Qt::Key_Space);
    QCOMPARE(m_areaDialogs, dialogs + 1);
    QCOMPARE(areaCoordinates(m_form->koodi2()->text()), areas);
}

void TestAccessibility::toolChangeInADragWritesNoBrokenArea_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("byKeys");
    const char *const names[] = {"rectangle", "circle", "polygon"};
    for (int from = 0; from < 3; ++from) {
        QTest::addRow("%s, mouse held", names[from]) << from << false;
        QTest::addRow("%s, Space held", names[from]) << from << true;
    }
}

// A tool reached from the keyboard in the middle of a drag is not taken: the drag ends with the
// tool it began with, and every area written has numbers for coordinates.
void TestAccessibility::toolChangeInADragWritesNoBrokenArea()
{
    QFETCH(int, from);
    QFETCH(bool, byKeys);
    QPushButton *const tools[] = {m_form->neliö(), m_form->ympyrä(), m_form->vinkura()};
    startMap(tools[from]);
    canvas()->setFocus(Qt::TabFocusReason);
    const QPoint at(60, 40);
    if (byKeys) {
        cursorTo(at);
        key(Qt::Key_Space);
        key(Qt::Key_Down, Qt::ShiftModifier);
        key(Qt::Key_Backtab);
        QVERIFY(canvas()->hasFocus());
    } else {
        QTest::mousePress(canvas(), Qt::LeftButton, {}, at);
        QTest::mouseMove(canvas(), at + QPoint(0, 10));
    }
    QTest::keyClick(tools[(from + 1) % 3], Qt::Key_Space);
    if (byKeys)
        key(Qt::Key_Space);
    else
        QTest::mouseRelease(canvas(), Qt::LeftButton, {}, at + QPoint(0, 10));

    const EditorState &state = editorState();
    QCOMPARE((QList<bool>{state.rectTool, state.circleTool, state.polyTool}),
             (QList<bool>{from == 0, from == 1, from == 2}));
    QVERIFY(tools[from]->isChecked() && !tools[(from + 1) % 3]->isChecked());
    QCOMPARE(m_areaDialogs, from == 2 ? 0 : 1);
    static const QRegularExpression numbers(QStringLiteral("^-?\\d+(,-?\\d+)+$"));
    for (const QString &coordinates : areaCoordinates(m_form->koodi2()->text()))
        QVERIFY2(numbers.match(coordinates).hasMatch(), qPrintable(coordinates));
}

// A screen reader is told where the keys came to rest and what the button did there, and only
// that: the mouse's clicks on the canvas are not said over.
void TestAccessibility::placesAreSaidWhereTheKeysRest()
{
    startMap(m_form->vinkura());
    // The activations the dialogs before left to come arrive first, or they would take the
    // focus from the canvas while the keys rest.
    QApplication::processEvents();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    canvas()->setFocus(Qt::TabFocusReason);
    said.clear();
    const QList<std::pair<QList<Qt::Key>, QString>> keysAndSaid{
        {{Qt::Key_Right, Qt::Key_Right, Qt::Key_Down}, "X = 2, Y = 1"},
        {{Qt::Key_Return}, "Napsautus, X = 2, Y = 1"},
        {{Qt::Key_Space}, "Painike alhaalla, X = 2, Y = 1"},
        {{Qt::Key_Left}, "Painike alhaalla, X = 1, Y = 1"},
        {{Qt::Key_Space}, "Painike ylhäällä, X = 1, Y = 1"}};
    QStringList expected;
    for (const auto &[keys, text] : keysAndSaid) {
        for (Qt::Key k : keys)
            key(k);
        expected << text;
        QTRY_COMPARE(said, expected);
    }
    QTest::mousePress(canvas(), Qt::LeftButton, {}, QPoint(30, 20));
    QCOMPARE(spokenOn(canvas()), QStringLiteral("Painike alhaalla, X = 1, Y = 1"));
    QTest::mouseRelease(canvas(), Qt::LeftButton, {}, QPoint(30, 20));
    QCOMPARE(said, expected);
}

// The drawing tools go before the canvas, and the focus leaving the canvas as the window goes
// reaches nothing of them: the drag the keys held stays as the window left it.
void TestAccessibility::closingTheWindowInAKeyboardDragLeavesTheToolsAlone()
{
    startMap(m_form->neliö());
    canvas()->setFocus(Qt::TabFocusReason);
    key(Qt::Key_Space);
    key(Qt::Key_Down, Qt::ShiftModifier);
    QVERIFY(editorState().dragging && canvas()->hasFocus());
    m_form.reset();
    QVERIFY(editorState().dragging);
}

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
