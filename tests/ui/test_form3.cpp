#include "core/editor_state.h"
#include "platform/canvas/canvas.h"
#include "platform/modal.h"
#include "platform/twips.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/markup_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace zorvik;
using namespace zorvik::ui;
using platform::pixels;
using platform::twipsRect;

namespace {

struct Texts {
    QString kehys, linkki, alt, kohde;
};

Texts textsOf(const Form3 &form)
{
    return {form.kehys()->text(), form.linkki()->text(), form.alt()->text(), form.kohde()->text()};
}

bool operator==(const Texts &a, const Texts &b)
{
    return a.kehys == b.kehys && a.linkki == b.linkki && a.alt == b.alt && a.kohde == b.kohde;
}

const Texts initialTexts{"0", "linkki.html", "teksti", "oikea"};

void fill(Form3 &form, const Texts &texts)
{
    form.kehys()->setText(texts.kehys);
    form.linkki()->setText(texts.linkki);
    form.alt()->setText(texts.alt);
    form.kohde()->setText(texts.kohde);
}

// Puts a first area into the map as the dialog would, so that the next area gets no header;
// returns the map's text.
std::string openMap(Form1 &main)
{
    main.koodi2()->appendArea(markup::Shape::Rect, "1,2,3,4", {"eka.html", "oikea", "Eka"}, [] {
        return markup::Header{"kuva.gif", "kartta", "0"};
    });
    return main.koodi2()->text();
}

// Shows the area dialog as a finished shape does, with |user| acting on it while it is shown.
void showAreaDialog(const std::function<void(Form3 &)> &user)
{
    platform::setModalDriver([&](QDialog *dialog) {
        if (auto *form = qobject_cast<Form3 *>(dialog))
            user(*form);
    });
    showForm3();
    platform::setModalDriver({});
}

void pressOk(Form3 &form)
{
    form.Command1()->click();
}

void pressPeruuta(Form3 &form)
{
    form.Command2()->click();
}

Texts textsShownNext()
{
    Texts shown;
    showAreaDialog([&](Form3 &form) {
        shown = textsOf(form);
        pressPeruuta(form);
    });
    return shown;
}

// Throws the process's area dialog away, so that the next use creates it afresh.
void discardAreaDialog()
{
    form3().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void selectRectangle(EditorState &state)
{
    state.rectTool = true;
    state.circleTool = false;
    state.polyTool = false;
}

} // namespace

class TestForm3 : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowIsAFixedOptionsDialog();
    void labelsAndButtonsUseBoldArial();
    void tabOrderStartsWithOkAndEndsWithPeruuta();
    void startsWithTheInitialTexts();
    void fieldsHaveNoLengthLimitOfTheirOwn();
    void enterAndEscapePressNeitherButton();

    void okAppendsTheSelectedToolsShape_data();
    void okAppendsTheSelectedToolsShape();
    void okEnablesLuoClearsTheCanvasAndKeepsTheDrag();
    void peruutaDiscardsTheArea();
    void firstAreaCarriesTheHeaderFromBothDialogs();
    void laterBorderLeavesNoTrace();
    void typedValuesAreEscaped();
    void areasAreAppendedInPlace();

    void fieldsKeepTheirValuesBetweenShowings();
    void titleBarCloseAppendsNothingAndDiscardsTheDialog();
    void realModalShowingEndsOnEitherWay();

private:
    std::unique_ptr<Form1> m_main;
    QImage m_picture;
    QImage m_outlined;

    std::string markup() const { return m_main->koodi2()->text(); }
    void drawOutline();
};

void TestForm3::init()
{
    editorState() = EditorState{};
    m_main = std::make_unique<Form1>();
    QImage picture(64, 48, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 4, y * 5, 120));
    m_picture = picture;
    m_main->Picture1()->setPicture(picture);
    form2().kuva()->setText(QStringLiteral(R"(C:\kuvat\kartta.gif)"));
    form2().nimi()->setText(QStringLiteral("kartta"));
    drawOutline();
}

void TestForm3::cleanup()
{
    platform::setModalDriver({});
    m_main.reset();
}

// The outline of the shape just finished, as the canvas handlers leave it for the dialog.
void TestForm3::drawOutline()
{
    m_main->Picture1()->drawBox(5, 6, 40, 30);
    m_outlined = m_main->Picture1()->picture();
    // Otherwise the checks that the canvas was cleared would prove nothing.
    QVERIFY(m_outlined != m_picture);
}

void TestForm3::windowIsAFixedOptionsDialog()
{
    Form3 form;
    QCOMPARE(form.objectName(), "Form3");
    QCOMPARE(form.minimumSize(), form.maximumSize());
    const Qt::WindowFlags flags = form.windowFlags();
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Dialog);
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::MSWindowsFixedSizeDialogHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!form.windowIcon().isNull());
    QVERIFY(form.windowIcon().availableSizes().contains(QSize(48, 48)));
}

void TestForm3::labelsAndButtonsUseBoldArial()
{
    Form3 form;
    for (QWidget *control :
         std::initializer_list<QWidget *>{form.Label3(), form.labeli(), form.Label1(),
                                          form.Label4(), form.Command1(), form.Command2()}) {
        QCOMPARE(control->font().family(), "Arial");
        QCOMPARE(control->font().pointSizeF(), 8.25);
        QVERIFY(control->font().bold());
    }
    for (QLineEdit *box : {form.kehys(), form.linkki(), form.alt(), form.kohde()})
        QCOMPARE(box->font(), QFont());
}

void TestForm3::tabOrderStartsWithOkAndEndsWithPeruuta()
{
    Form3 form;
    QList<QWidget *> order;
    for (QWidget *w = form.nextInFocusChain(); w != &form; w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            order << w;
    }
    const QList<QWidget *> expected{form.Command1(), form.kehys(), form.linkki(),
                                    form.alt(),      form.kohde(), form.Command2()};
    QCOMPARE(order, expected);
}

void TestForm3::startsWithTheInitialTexts()
{
    discardAreaDialog();
    QVERIFY(textsOf(form3()) == initialTexts);
    for (QLineEdit *box : {form3().kehys(), form3().linkki(), form3().alt(), form3().kohde()}) {
        QCOMPARE(box->echoMode(), QLineEdit::Normal);
        QVERIFY(!box->isReadOnly());
    }
}

void TestForm3::fieldsHaveNoLengthLimitOfTheirOwn()
{
    const QString longLink = QString(100'000, QLatin1Char('a')) + ".html";
    showAreaDialog([&](Form3 &form) {
        fill(form, {"0", longLink, "t", "k"});
        pressOk(form);
    });
    QCOMPARE(form3().linkki()->text(), longLink);
    QVERIFY(markup().find("HREF=\"" + longLink.toStdString() + "\"") != std::string::npos);
}

void TestForm3::enterAndEscapePressNeitherButton()
{
    Form3 form;
    QVERIFY(!form.Command1()->isDefault() && !form.Command1()->autoDefault());
    QVERIFY(!form.Command2()->isDefault() && !form.Command2()->autoDefault());

    editorState().dragging = true;
    platform::setModalDriver([&](QDialog *dialog) {
        QTest::keyClick(form.kohde(), Qt::Key_Return);
        QTest::keyClick(form.Command1(), Qt::Key_Enter);
        QTest::keyClick(form.Command2(), Qt::Key_Return);
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(dialog->isVisible());
    });
    platform::showModal(&form, nullptr);
    QVERIFY(markup().empty());
    QVERIFY(!m_main->luo()->isEnabled());
    QVERIFY(editorState().dragging);
    QVERIFY(!form.discarded());
}

void TestForm3::okAppendsTheSelectedToolsShape_data()
{
    QTest::addColumn<bool>("rectTool");
    QTest::addColumn<bool>("circleTool");
    QTest::addColumn<bool>("polyTool");
    QTest::addColumn<QString>("element");
    QTest::newRow("rectangle") << true << false << false
                               << R"(<AREA SHAPE="RECT" COORDS="110,80,-4,)"
                                  "-2"
                                  R"(" HREF="l")";
    QTest::newRow("circle") << false << true << false
                            << R"(<AREA SHAPE="CIRCLE" COORDS="200,,40" HREF="l")";
    QTest::newRow("polygon") << false << false << true
                             << R"(<AREA SHAPE="POLY" COORDS="30,200,90,180,120,260" HREF="l")";
    QTest::newRow("no tool falls back to polygon")
        << false << false << false << R"(<AREA SHAPE="POLY" COORDS="30,200,90,180,120,260")";
    QTest::newRow("rectangle wins") << true << true << true << R"(<AREA SHAPE="RECT")";
    QTest::newRow("circle before polygon") << false << true << true << R"(<AREA SHAPE="CIRCLE")";
}

void TestForm3::okAppendsTheSelectedToolsShape()
{
    QFETCH(bool, rectTool);
    QFETCH(bool, circleTool);
    QFETCH(bool, polyTool);
    QFETCH(QString, element);
    EditorState &state = editorState();
    state.rectTool = rectTool;
    state.circleTool = circleTool;
    state.polyTool = polyTool;
    // Dragged up and left past the canvas's edge.
    state.startX = 110;
    state.startY = 80;
    state.endX = -4;
    state.endY = -2;
    state.circleX = 200;
    state.circleY.reset();
    state.circleRadius = 40;
    state.polyCoords = "30,200,90,180,120,260";
    const std::string open = openMap(*m_main);
    showAreaDialog([](Form3 &form) {
        fill(form, {"0", "l", "a", "t"});
        pressOk(form);
    });
    QVERIFY2(markup().starts_with(open + element.toStdString()), markup().c_str());
    QVERIFY(markup().ends_with(R"( TARGET="t" Alt="a">)"));
}

void TestForm3::okEnablesLuoClearsTheCanvasAndKeepsTheDrag()
{
    discardAreaDialog();
    EditorState &state = editorState();
    selectRectangle(state);
    state.dragging = true;
    state.startX = 1;
    state.startY = 2;
    state.endX = 3;
    state.endY = 4;
    const EditorState before = state;
    bool shownWhileOpen = false;
    showAreaDialog([&](Form3 &form) {
        shownWhileOpen = form.isVisible();
        pressOk(form);
        QVERIFY(!form.isVisible());
    });
    QVERIFY(shownWhileOpen);
    QVERIFY(m_main->luo()->isEnabled());
    QVERIFY(!m_main->kopioi()->isEnabled());
    QVERIFY(!m_main->esikatselu()->isEnabled());
    QCOMPARE(m_main->Picture1()->picture(), m_picture);
    QVERIFY(
        markup().ends_with(R"(COORDS="1,2,3,4" HREF="linkki.html" TARGET="oikea" Alt="teksti">)"));
    QVERIFY(state.dragging);
    QCOMPARE(state.endY, before.endY);
    QCOMPARE(state.startX, before.startX);
    QCOMPARE(state.polyCoords, before.polyCoords);
}

void TestForm3::peruutaDiscardsTheArea()
{
    EditorState &state = editorState();
    state.dragging = true;
    state.polyOpen = polyOpenTrue;
    state.polyNew = false;
    const std::string open = openMap(*m_main);
    showAreaDialog([](Form3 &form) {
        form.linkki()->setText("muu.html");
        pressPeruuta(form);
        QVERIFY(!form.isVisible());
    });
    QCOMPARE(m_main->koodi2()->text(), open);
    QVERIFY(!state.dragging);
    QCOMPARE(state.polyOpen, polyOpenTrue);
    QVERIFY(!state.polyNew);
    QVERIFY(!m_main->luo()->isEnabled());
    QCOMPARE(m_main->Picture1()->picture(), m_picture);
}

void TestForm3::firstAreaCarriesTheHeaderFromBothDialogs()
{
    EditorState &state = editorState();
    state.circleTool = true;
    state.rectTool = false;
    state.circleX = 7;
    state.circleY = 8;
    state.circleRadius = 9;
    form2().nimi()->setText("");
    showAreaDialog([](Form3 &form) {
        fill(form, {"3", "", "", ""});
        pressOk(form);
    });
    QCOMPARE(QString::fromStdString(markup()),
             R"(<IMG SRC="C:\kuvat\kartta.gif" USEMAP="#" BORDER ="3"><MAP NAME="">)"
             R"(<AREA SHAPE="CIRCLE" COORDS="7,8,9" HREF="" TARGET="" Alt="">)");
}

void TestForm3::laterBorderLeavesNoTrace()
{
    selectRectangle(editorState());
    showAreaDialog([](Form3 &form) {
        fill(form, {"0", "a", "b", "c"});
        pressOk(form);
    });
    const std::string first = markup();
    form2().kuva()->setText("toinen.gif");
    form2().nimi()->setText("toinen");
    showAreaDialog([](Form3 &form) {
        form.kehys()->setText("12345");
        pressOk(form);
    });
    QVERIFY(markup().starts_with(first));
    const std::string added = markup().substr(first.size());
    QVERIFY(added.starts_with("<AREA "));
    QVERIFY(added.find("12345") == std::string::npos);
    QVERIFY(added.find("toinen") == std::string::npos);
    QCOMPARE(form3().kehys()->text(), "12345");
}

void TestForm3::typedValuesAreEscaped()
{
    editorState().polyTool = true;
    editorState().rectTool = false;
    editorState().polyCoords = "1,2,3,4,5,6";
    form2().kuva()->setText(QStringLiteral(R"(C:\Käyttäjät\Öljy & "€".gif)"));
    form2().nimi()->setText(QStringLiteral("<ä>"));
    showAreaDialog([](Form3 &form) {
        fill(form, {QStringLiteral(R"(1")"), QStringLiteral("a.html?b=1&c=2"),
                    QStringLiteral("Hyvä \"€\""), QStringLiteral("_top>")});
        pressOk(form);
    });
    QCOMPARE(
        QString::fromStdString(markup()),
        QStringLiteral(R"(<IMG SRC="C:\Käyttäjät\Öljy &amp; &quot;€&quot;.gif" USEMAP="#&lt;ä&gt;")"
                       R"( BORDER ="1&quot;"><MAP NAME="&lt;ä&gt;">)"
                       R"(<AREA SHAPE="POLY" COORDS="1,2,3,4,5,6" HREF="a.html?b=1&amp;c=2")"
                       R"( TARGET="_top&gt;" Alt="Hyvä &quot;€&quot;">)"));
}

void TestForm3::areasAreAppendedInPlace()
{
    selectRectangle(editorState());
    // Once the text has room for one more area, the dialog's area must go into that room.
    std::string open = openMap(*m_main);
    const std::string &text = m_main->koodi2()->text();
    while (text.capacity() - text.size() < 300)
        open = openMap(*m_main);
    const void *storage = text.data();
    showAreaDialog(pressOk);
    QCOMPARE(static_cast<const void *>(text.data()), storage);
    QVERIFY(markup().starts_with(open + "<AREA "));
}

void TestForm3::fieldsKeepTheirValuesBetweenShowings()
{
    const Texts typed{"2", "sivu.html", "Sivu", "_self"};
    showAreaDialog([&](Form3 &form) {
        fill(form, typed);
        pressOk(form);
    });
    QVERIFY(textsShownNext() == typed);

    const Texts afterCancel{"5", "", "x", "y"};
    showAreaDialog([&](Form3 &form) {
        fill(form, afterCancel);
        pressPeruuta(form);
    });
    QVERIFY(textsShownNext() == afterCancel);

    // The new-map dialog is left without confirming; only the command's reset matters here.
    platform::setModalDriver([](QDialog *) {});
    m_main->uusi_Click();
    platform::setModalDriver({});
    QVERIFY(m_main->koodi2()->text().empty());
    QVERIFY(textsShownNext() == afterCancel);
}

void TestForm3::titleBarCloseAppendsNothingAndDiscardsTheDialog()
{
    EditorState &state = editorState();
    selectRectangle(state);
    state.dragging = true;
    const std::string open = openMap(*m_main);
    QPointer<Form3> closed;
    showAreaDialog([&](Form3 &form) {
        closed = &form;
        form.linkki()->setText("muu.html");
        form.close();
        QVERIFY(!form.isVisible());
        QVERIFY(form.discarded());
    });
    QVERIFY(closed.isNull());
    QCOMPARE(m_main->koodi2()->text(), open);
    QVERIFY(!m_main->luo()->isEnabled());
    QVERIFY(state.dragging);
    QCOMPARE(m_main->Picture1()->picture(), m_outlined);

    QVERIFY(textsShownNext() == initialTexts);
}

// Without a driver the dialog runs its own nested event loop, as for the user.
void TestForm3::realModalShowingEndsOnEitherWay()
{
    selectRectangle(editorState());
    QTimer::singleShot(0, [] { form3().Command1()->click(); });
    showForm3();
    QVERIFY(markup().starts_with("<IMG SRC="));
    const std::string confirmed = markup();

    drawOutline();
    QPointer<Form3> closed = &form3();
    QTimer::singleShot(0, [closed] {
        closed->kehys()->setText("9");
        closed->close();
    });
    showForm3();
    QVERIFY(closed.isNull());
    QCOMPARE(markup(), confirmed);
    QCOMPARE(m_main->Picture1()->picture(), m_outlined);
    QCOMPARE(form3().kehys()->text(), "0");
}

QTEST_MAIN(TestForm3)
#include "test_form3.moc"
