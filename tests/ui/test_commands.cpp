#include "core/editor_state.h"
#include "platform/message_box.h"
#include "platform/modal.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/markup_box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

using namespace zorvik;
using namespace zorvik::ui;

namespace {

// Confirms the area dialog as the user would, after |edit| has typed into it.
void confirmArea(const std::function<void(Form3 &)> &edit = {})
{
    platform::setModalDriver([&](QDialog *dialog) {
        auto *form = qobject_cast<Form3 *>(dialog);
        if (!form)
            return;
        if (edit)
            edit(*form);
        form->Command1()->click();
    });
    showForm3();
    platform::setModalDriver({});
}

void selectTool(bool rect, bool circle, bool poly)
{
    EditorState &state = editorState();
    state.rectTool = rect;
    state.circleTool = circle;
    state.polyTool = poly;
}

QString clipboardText()
{
    return QGuiApplication::clipboard()->text();
}

} // namespace

class TestCommands : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void workedExampleEndsOnTheClipboard();
    void availabilityFollowsTheMapsLife();
    void typedTagsDoNotCountAsClosed();
    void longMarkupIsClosed();
    void copyIsExactlyTheMarkup();
    void tietoaShowsTheAuthorsAddresses();

private:
    std::unique_ptr<Form1> m_main;

    QString markup() const { return QString::fromStdString(m_main->koodi2()->text()); }
    void checkButtons(bool luo, bool kopioi) const;
    void startNewMap();
};

void TestCommands::init()
{
    editorState() = EditorState{};
    m_main = std::make_unique<Form1>();
    QGuiApplication::clipboard()->setText(QStringLiteral("ennen"));
}

void TestCommands::cleanup()
{
    platform::setModalDriver({});
    platform::recordMessagesInto(nullptr);
    m_main.reset();
}

void TestCommands::checkButtons(bool luo, bool kopioi) const
{
    QCOMPARE(m_main->luo()->isEnabled(), luo);
    QCOMPARE(m_main->kopioi()->isEnabled(), kopioi);
    QVERIFY(m_main->uusi()->isEnabled());
    QVERIFY(m_main->tietoa()->isEnabled());
    QVERIFY(m_main->Lopeta()->isEnabled());
    QVERIFY(!m_main->esikatselu()->isEnabled());
}

// "Uusi", leaving the new-map dialog without confirming.
void TestCommands::startNewMap()
{
    platform::setModalDriver([](QDialog *) {});
    m_main->uusi()->click();
    platform::setModalDriver({});
}

void TestCommands::workedExampleEndsOnTheClipboard()
{
    form2().kuva()->setText(QStringLiteral(R"(C:\kuvat\kartta.gif)"));
    form2().nimi()->setText(QStringLiteral("kartta"));
    EditorState &state = editorState();

    selectTool(true, false, false);
    state.startX = 10;
    state.startY = 20;
    state.endX = 110;
    state.endY = 80;
    confirmArea([](Form3 &form) {
        form.kehys()->setText("0");
        form.linkki()->setText("etusivu.html");
        form.kohde()->setText("oikea");
        form.alt()->setText("Etusivu");
    });

    selectTool(false, true, false);
    state.circleX = 200;
    state.circleY = 150;
    state.circleRadius = 40;
    confirmArea([](Form3 &form) {
        form.linkki()->setText("tuotteet.html");
        form.kohde()->setText("_blank");
        form.alt()->clear();
    });

    selectTool(false, false, true);
    state.polyCoords = "30,200,90,180,120,260";
    confirmArea();

    m_main->luo()->click();
    m_main->kopioi()->click();

    const QString expected =
        R"(<IMG SRC="C:\kuvat\kartta.gif" USEMAP="#kartta" BORDER ="0"><MAP NAME="kartta">)"
        R"(<AREA SHAPE="RECT" COORDS="10,20,110,80" HREF="etusivu.html" TARGET="oikea" Alt="Etusivu">)"
        R"(<AREA SHAPE="CIRCLE" COORDS="200,150,40" HREF="tuotteet.html" TARGET="_blank" Alt="">)"
        R"(<AREA SHAPE="POLY" COORDS="30,200,90,180,120,260" HREF="tuotteet.html" TARGET="_blank" Alt="">)"
        R"(</map>)";
    QCOMPARE(markup(), expected);
    QCOMPARE(clipboardText(), expected);
}

void TestCommands::availabilityFollowsTheMapsLife()
{
    checkButtons(false, false);

    platform::setModalDriver([](QDialog *dialog) {
        if (auto *form = qobject_cast<Form3 *>(dialog))
            form->Command2()->click();
    });
    showForm3();
    platform::setModalDriver({});
    checkButtons(false, false);

    confirmArea();
    checkButtons(true, false);
    confirmArea();
    checkButtons(true, false);

    m_main->luo()->click();
    checkButtons(true, true);
    const QString closed = markup();
    QVERIFY(closed.endsWith("</map>"));

    m_main->luo()->click();
    QCOMPARE(markup(), closed);
    checkButtons(true, true);

    // An area confirmed on the closed map goes in before its closing tag.
    confirmArea();
    const QString open = closed.chopped(6);
    QVERIFY(markup().startsWith(open + "<AREA "));
    QVERIFY(markup().endsWith(">" + QStringLiteral("</map>")));
    QCOMPARE(markup().count("</map>"), 1);
    checkButtons(true, true);
    const QString reopened = markup();
    m_main->luo()->click();
    QCOMPARE(markup(), reopened);
    QCOMPARE(markup().count("</map>"), 1);
    checkButtons(true, true);

    startNewMap();
    QVERIFY(markup().isEmpty());
    checkButtons(false, false);

    confirmArea();
    QVERIFY(markup().startsWith("<IMG SRC="));
    checkButtons(true, false);
}

// The closing tag or its upper-case form typed into a field is text, not the map's end: "Luo
// koodi" still closes the map, once.
void TestCommands::typedTagsDoNotCountAsClosed()
{
    confirmArea([](Form3 &form) { form.alt()->setText("</map> </MAP>"); });
    m_main->luo()->click();
    checkButtons(true, true);
    const QString closed = markup();
    QVERIFY(closed.endsWith("&gt;\">" + QStringLiteral("</map>")));
    QCOMPARE(closed.count("</map>"), 1);

    m_main->luo()->click();
    QCOMPARE(markup(), closed);
    checkButtons(true, true);
}

void TestCommands::longMarkupIsClosed()
{
    const QString longAlt(100'000, QLatin1Char('x'));
    confirmArea([&](Form3 &form) { form.alt()->setText(longAlt); });
    const QString open = markup();
    QVERIFY(open.size() > 100'000);
    m_main->luo()->click();
    QCOMPARE(markup(), open + "</map>");
    checkButtons(true, true);
    m_main->luo()->click();
    QCOMPARE(markup(), open + "</map>");
}

void TestCommands::copyIsExactlyTheMarkup()
{
    form2().kuva()->setText(QStringLiteral(R"(C:\Käyttäjät\öljy.gif)"));
    form2().nimi()->setText(QStringLiteral("€-kartta"));
    selectTool(false, false, true);
    editorState().polyCoords = "1,2,3,4,5,6";
    confirmArea([](Form3 &form) { form.alt()->setText(QStringLiteral("Ääni & \"kuva\"")); });
    m_main->luo()->click();
    const std::string before = m_main->koodi2()->text();

    m_main->kopioi()->click();
    QCOMPARE(clipboardText(), QString::fromStdString(before));
    QVERIFY(clipboardText().startsWith(QStringLiteral(R"(<IMG SRC="C:\Käyttäjät\öljy.gif")")));
    QVERIFY(clipboardText().contains(QStringLiteral(R"(Alt="Ääni &amp; &quot;kuva&quot;">)")));
    QVERIFY(clipboardText().endsWith("</map>"));
    QVERIFY(!clipboardText().contains('\n') && !clipboardText().contains('\r'));
    QVERIFY(m_main->koodi2()->text() == before);
    checkButtons(true, true);
}

void TestCommands::tietoaShowsTheAuthorsAddresses()
{
    std::vector<platform::ShownMessage> shown;
    platform::recordMessagesInto(&shown);
    m_main->tietoa()->click();
    QCOMPARE(shown.size(), std::size_t(1));
    const platform::ShownMessage &about = shown.front();
    QCOMPARE(about.title, QStringLiteral("Tietoa tekijästä"));
    QVERIFY(about.icon == platform::MessageIcon::Information);

    const QStringList lines = about.text.split('\n');
    QCOMPARE(lines.size(), 4);
    QVERIFY(!about.text.contains('\r'));
    QVERIFY(!lines[0].trimmed().isEmpty());
    QCOMPARE(lines[1], " ");
    QVERIFY(lines[2].startsWith("E-MAIL:    "));
    QVERIFY(lines[3].startsWith("WEBBI:    "));
    const QString mail = lines[2].mid(11);
    const QString web = lines[3].mid(10);
    QVERIFY(!mail.isEmpty() && !mail.front().isSpace() && mail.contains('@'));
    QVERIFY(!web.isEmpty() && !web.front().isSpace());
    checkButtons(false, false);
}

QTEST_MAIN(TestCommands)
#include "test_commands.moc"
