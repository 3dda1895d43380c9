#include "markup/markup.h"

#include <QTest>

#include <string>

using zorvik::MaybeFloat;
using namespace zorvik::markup;

namespace {

// Failures then print both texts instead of an opaque std::string.
QString q(const std::string &text)
{
    return QString::fromStdString(text);
}

std::function<Header()> headerOf(std::string picture, std::string mapName, std::string border)
{
    return [=] { return Header{picture, mapName, border}; };
}

// A header callback that must not be asked.
Header noHeader()
{
    QTest::qFail("the header was asked for a map that already has one", __FILE__, __LINE__);
    return {};
}

std::string openMap()
{
    std::string markup;
    appendArea(markup, Shape::Rect, "1,2,3,4", {"a.html", "oikea", "A"},
               headerOf("kuva.gif", "kartta", "0"));
    return markup;
}

int occurrences(const std::string &text, const std::string &part)
{
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

} // namespace

class TestMarkup : public QObject {
    Q_OBJECT

private slots:
    void workedExampleGivesTheWholeMap();

    void headerOnlyBeforeTheFirstArea();
    void laterBorderLeavesNoTrace();
    void emptyValuesKeepTheirAttributes();
    void shapeKeywords_data();
    void shapeKeywords();

    void coordinateText_data();
    void coordinateText();

    void escapesForQuotedAttributes_data();
    void escapesForQuotedAttributes();
    void escapesEveryTypedValueAndNothingElse();

    void closingTagOnlyOnce();
    void areasOnAClosedMapGoBeforeItsTag();
    void typedClosingTagDoesNotCountAsTheMapsEnd();
    void upperCaseTagDoesNotClose();
    void tagAnywhereCountsAsClosed();
    void longMarkupClosesCorrectly();

    void appendsInPlace();
    void tenThousandAreasStayOneLine();
};

void TestMarkup::workedExampleGivesTheWholeMap()
{
    std::string markup;
    appendArea(markup, Shape::Rect, rectCoords(10.0f, 20.0f, 110.0f, 80),
               {"etusivu.html", "oikea", "Etusivu"},
               headerOf(R"(C:\kuvat\kartta.gif)", "kartta", "0"));
    appendArea(markup, Shape::Circle, circleCoords(200.0f, 150.0f, 40),
               {"tuotteet.html", "_blank", ""}, noHeader);
    appendArea(markup, Shape::Poly, "30,200,90,180,120,260", {"tuotteet.html", "_blank", ""},
               noHeader);
    QVERIFY(closeMap(markup));

    const std::string expected =
        R"(<IMG SRC="C:\kuvat\kartta.gif" USEMAP="#kartta" BORDER ="0"><MAP NAME="kartta">)"
        R"(<AREA SHAPE="RECT" COORDS="10,20,110,80" HREF="etusivu.html" TARGET="oikea" Alt="Etusivu">)"
        R"(<AREA SHAPE="CIRCLE" COORDS="200,150,40" HREF="tuotteet.html" TARGET="_blank" Alt="">)"
        R"(<AREA SHAPE="POLY" COORDS="30,200,90,180,120,260" HREF="tuotteet.html" TARGET="_blank" Alt="">)"
        R"(</map>)";
    QCOMPARE(q(markup), q(expected));
}

void TestMarkup::headerOnlyBeforeTheFirstArea()
{
    int asked = 0;
    const auto header = [&] {
        ++asked;
        return Header{"p.gif", "m", "2"};
    };
    std::string markup;
    appendArea(markup, Shape::Rect, "1,2,3,4", {"l", "t", "a"}, header);
    appendArea(markup, Shape::Rect, "5,6,7,8", {"l", "t", "a"}, header);
    QCOMPARE(asked, 1);
    QCOMPARE(occurrences(markup, "<IMG"), 1);
    QCOMPARE(occurrences(markup, "<MAP"), 1);
    QCOMPARE(markup.find("<IMG"), std::size_t(0));
    // The second element follows the first one's ">" directly.
    QVERIFY(markup.find(R"(Alt="a"><AREA SHAPE="RECT" COORDS="5,6,7,8")") != std::string::npos);
}

void TestMarkup::laterBorderLeavesNoTrace()
{
    std::string markup = openMap();
    const std::string before = markup;
    appendArea(markup, Shape::Circle, "9,9,9", {"l", "t", "a"}, headerOf("x", "y", "77"));
    QVERIFY(markup.starts_with(before));
    QCOMPARE(q(markup.substr(before.size())),
             q(R"(<AREA SHAPE="CIRCLE" COORDS="9,9,9" HREF="l" TARGET="t" Alt="a">)"));
    QCOMPARE(occurrences(markup, "77"), 0);
    QCOMPARE(occurrences(markup, "BORDER"), 1);
}

void TestMarkup::emptyValuesKeepTheirAttributes()
{
    std::string markup;
    appendArea(markup, Shape::Poly, "", {"", "", ""}, headerOf("", "", ""));
    QCOMPARE(q(markup), q(R"(<IMG SRC="" USEMAP="#" BORDER =""><MAP NAME="">)"
                          R"(<AREA SHAPE="POLY" COORDS="" HREF="" TARGET="" Alt="">)"));
}

void TestMarkup::shapeKeywords_data()
{
    QTest::addColumn<Shape>("shape");
    QTest::addColumn<QString>("element");
    QTest::newRow("rectangle") << Shape::Rect
                               << R"(<AREA SHAPE="RECT" COORDS="c" HREF="l" TARGET="t" Alt="a">)";
    QTest::newRow("circle") << Shape::Circle
                            << R"(<AREA SHAPE="CIRCLE" COORDS="c" HREF="l" TARGET="t" Alt="a">)";
    QTest::newRow("polygon") << Shape::Poly
                             << R"(<AREA SHAPE="POLY" COORDS="c" HREF="l" TARGET="t" Alt="a">)";
}

void TestMarkup::shapeKeywords()
{
    QFETCH(Shape, shape);
    QFETCH(QString, element);
    std::string markup = "x";
    appendArea(markup, shape, "c", {"l", "t", "a"}, noHeader);
    QCOMPARE(q(markup), "x" + element);
}

void TestMarkup::coordinateText_data()
{
    QTest::addColumn<QString>("coords");
    QTest::addColumn<QString>("expected");
    const MaybeFloat unset;
    QTest::newRow("rectangle") << q(rectCoords(10.0f, 20.0f, 110.0f, 80)) << "10,20,110,80";
    QTest::newRow("rectangle dragged up and left")
        << q(rectCoords(110.0f, 80.0f, 10.0f, 20)) << "110,80,10,20";
    QTest::newRow("rectangle ending left and above")
        << q(rectCoords(5.0f, 7.0f, -12.0f, -3)) << "5,7,-12,-3";
    QTest::newRow("rectangle unset") << q(rectCoords(unset, unset, unset, 0)) << ",,,0";
    QTest::newRow("rectangle partly unset") << q(rectCoords(4.0f, unset, 9.0f, 6)) << "4,,9,6";
    QTest::newRow("circle") << q(circleCoords(200.0f, 150.0f, 40)) << "200,150,40";
    QTest::newRow("circle negative centre") << q(circleCoords(-8.0f, -1.0f, 5)) << "-8,-1,5";
    QTest::newRow("circle unset centre") << q(circleCoords(unset, unset, 1)) << ",,1";
    QTest::newRow("extreme integers") << q(rectCoords(0.0f, 0.0f, 0.0f, -32768)) << "0,0,0,-32768";
}

void TestMarkup::coordinateText()
{
    QFETCH(QString, coords);
    QFETCH(QString, expected);
    QCOMPARE(coords, expected);
}

void TestMarkup::escapesForQuotedAttributes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << "etusivu.html"
                           << "etusivu.html";
    QTest::newRow("quotation mark") << R"(sano "hei")"
                                    << "sano &quot;hei&quot;";
    QTest::newRow("angle brackets") << "<b>x</b>"
                                    << "&lt;b&gt;x&lt;/b&gt;";
    QTest::newRow("ampersand") << "a&b"
                               << "a&amp;b";
    QTest::newRow("entity typed by hand") << "&amp;"
                                          << "&amp;amp;";
    QTest::newRow("non-ASCII letters") << "äö€ÅØ"
                                       << "äö€ÅØ";
    QTest::newRow("windows path") << R"(C:\kuvat\ääni & "kuva".gif)"
                                  << R"(C:\kuvat\ääni &amp; &quot;kuva&quot;.gif)";
    QTest::newRow("apostrophe and spaces") << "it's  ok "
                                           << "it's  ok ";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("pasted line breaks") << "rivi\nrivi\r\nloppu\r"
                                        << "rivi&#10;rivi&#10;loppu&#10;";
    QTest::newRow("tab stays") << "a\tb"
                               << "a\tb";
}

void TestMarkup::escapesForQuotedAttributes()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(q(escapeAttribute(text.toStdString())), expected);
}

void TestMarkup::escapesEveryTypedValueAndNothingElse()
{
    std::string markup;
    appendArea(markup, Shape::Rect, rectCoords(1.0f, 2.0f, 3.0f, 4),
               {R"(a.html?x=1&y="2")", "<ikkuna>", "Äiti & €"},
               headerOf(R"(D:\Kuvat\päivä "1" <uusi>.jpg)", R"(kartta"&)", R"(1" onclick=")"));
    appendArea(markup, Shape::Circle, circleCoords(5.0f, 6.0f, 7), {"ö", "\\", "\"\""}, noHeader);
    QCOMPARE(
        q(markup),
        q(R"(<IMG SRC="D:\Kuvat\päivä &quot;1&quot; &lt;uusi&gt;.jpg" USEMAP="#kartta&quot;&amp;")"
          R"( BORDER ="1&quot; onclick=&quot;"><MAP NAME="kartta&quot;&amp;">)"
          R"(<AREA SHAPE="RECT" COORDS="1,2,3,4" HREF="a.html?x=1&amp;y=&quot;2&quot;")"
          R"( TARGET="&lt;ikkuna&gt;" Alt="Äiti &amp; €">)"
          R"(<AREA SHAPE="CIRCLE" COORDS="5,6,7" HREF="ö" TARGET="\" Alt="&quot;&quot;">)"));
}

void TestMarkup::closingTagOnlyOnce()
{
    std::string markup = openMap();
    const std::string open = markup;
    QVERIFY(closeMap(markup));
    QCOMPARE(q(markup), q(open + "</map>"));
    QVERIFY(!closeMap(markup));
    QCOMPARE(q(markup), q(open + "</map>"));
}

void TestMarkup::areasOnAClosedMapGoBeforeItsTag()
{
    const std::string open = openMap();
    std::string markup = open;
    QVERIFY(closeMap(markup));
    appendArea(markup, Shape::Poly, "1,1,2,2,3,1", {"l", "t", "a"}, noHeader);
    appendArea(markup, Shape::Circle, circleCoords(5.0f, 6.0f, 7), {"m", "u", "b"}, noHeader);
    QCOMPARE(q(markup),
             q(open + R"(<AREA SHAPE="POLY" COORDS="1,1,2,2,3,1" HREF="l" TARGET="t" Alt="a">)"
                      R"(<AREA SHAPE="CIRCLE" COORDS="5,6,7" HREF="m" TARGET="u" Alt="b">)"
                      "</map>"));

    // Still closed: "Luo koodi" finds the one tag and changes nothing.
    const std::string closed = markup;
    QVERIFY(!closeMap(markup));
    QCOMPARE(q(markup), q(closed));
    QCOMPARE(markup.find("</map>"), markup.size() - 6);
}

void TestMarkup::typedClosingTagDoesNotCountAsTheMapsEnd()
{
    std::string markup;
    appendArea(markup, Shape::Rect, rectCoords(1.0f, 2.0f, 3.0f, 4), {"a", "b", "</map>"},
               headerOf("kuva.gif", "</map>", "0"));
    QVERIFY(closeMap(markup));
    appendArea(markup, Shape::Rect, rectCoords(5.0f, 6.0f, 7.0f, 8), {"</map>", "c", "d"},
               noHeader);
    QCOMPARE(markup.find("</map>"), markup.size() - 6);
    QVERIFY(markup.find(R"(COORDS="5,6,7,8")") < markup.size() - 6);
}

void TestMarkup::upperCaseTagDoesNotClose()
{
    std::string markup = openMap() + "</MAP>";
    const std::string before = markup;
    QVERIFY(closeMap(markup));
    QCOMPARE(q(markup), q(before + "</map>"));
}

void TestMarkup::tagAnywhereCountsAsClosed()
{
    std::string markup = "</map>" + openMap();
    const std::string before = markup;
    QVERIFY(!closeMap(markup));
    QCOMPARE(q(markup), q(before));

    std::string partial = openMap() + "</map";
    QVERIFY(closeMap(partial));
    QVERIFY(partial.ends_with("</map</map>"));
}

void TestMarkup::longMarkupClosesCorrectly()
{
    std::string markup = openMap();
    markup.append(100'000 - markup.size(), 'x');
    QVERIFY(closeMap(markup));
    QCOMPARE(markup.size(), std::size_t(100'006));
    QVERIFY(markup.ends_with("x</map>"));

    // A tag far beyond what a 16-bit position could reach still counts.
    std::string closedLate = std::string(70'000, 'y') + "</map>" + std::string(30'000, 'y');
    QVERIFY(!closeMap(closedLate));
    QCOMPARE(closedLate.size(), std::size_t(100'006));
}

void TestMarkup::appendsInPlace()
{
    std::string markup = openMap();
    const std::string before = markup;
    markup.reserve(markup.size() + 4096);
    const char *const storage = markup.data();
    appendArea(markup, Shape::Rect, "1,2,3,4", {"l", "t", "a"}, noHeader);
    closeMap(markup);
    QCOMPARE(static_cast<const void *>(markup.data()), static_cast<const void *>(storage));
    QVERIFY(markup.starts_with(before));
}

void TestMarkup::tenThousandAreasStayOneLine()
{
    std::string markup;
    for (int i = 0; i < 10'000; ++i)
        appendArea(markup, Shape::Circle, circleCoords(float(i), float(-i), 3), {"l", "t", "a"},
                   headerOf("p", "m", "0"));
    QVERIFY(closeMap(markup));
    QCOMPARE(occurrences(markup, "<AREA "), 10'000);
    QCOMPARE(occurrences(markup, "<IMG "), 1);
    QVERIFY(markup.find_first_of("\r\n\t") == std::string::npos);
    QVERIFY(markup.find(R"(COORDS="9999,-9999,3")") != std::string::npos);
    QVERIFY(markup.ends_with(R"(Alt="a"></map>)"));
}

QTEST_APPLESS_MAIN(TestMarkup)
#include "test_markup.moc"
