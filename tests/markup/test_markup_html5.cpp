// The markup is read by browsers, so it is checked here as one reads it: with an HTML5 parser
// written to the WHATWG parsing rules. For maps built from arbitrary typed values, coordinates
// and orders of confirmed areas and "Luo koodi", the parsed page must hold exactly the map the
// user drew; and the check itself must notice the faults it exists for.

#include "html5_map.h"
#include "markup/markup.h"

#include <QTest>

#include <array>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

using namespace zorvik;
using namespace zorvik::markup;

namespace {

void appendUtf8(std::string &text, char32_t c)
{
    if (c < 0x80) {
        text += char(c);
    } else if (c < 0x800) {
        text += char(0xC0 | (c >> 6));
        text += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += char(0xE0 | (c >> 12));
        text += char(0x80 | ((c >> 6) & 0x3F));
        text += char(0x80 | (c & 0x3F));
    } else {
        text += char(0xF0 | (c >> 18));
        text += char(0x80 | ((c >> 12) & 0x3F));
        text += char(0x80 | ((c >> 6) & 0x3F));
        text += char(0x80 | (c & 0x3F));
    }
}

// Typed text as a user may type or paste it: ordinary words, the characters that mean
// something in markup, line breaks, references spelled out, the closing tag, and any other
// character of Unicode.
class TypedText {
public:
    explicit TypedText(std::uint32_t seed) : m_random(seed) {}

    std::string next()
    {
        static const std::array<std::string_view, 17> pieces{"etusivu.html",
                                                             "Talo & piha",
                                                             "\"",
                                                             "'",
                                                             "<",
                                                             ">",
                                                             "&",
                                                             "\n",
                                                             "\r\n",
                                                             "\r",
                                                             "</map>",
                                                             "&amp;",
                                                             "&quot;",
                                                             "&#10;",
                                                             " ",
                                                             "ä ö å",
                                                             "<AREA SHAPE=\"RECT\">"};
        std::string text;
        const int count = std::uniform_int_distribution<int>(0, 8)(m_random);
        for (int i = 0; i < count; ++i) {
            if (std::uniform_int_distribution<int>(0, 3)(m_random) == 0)
                appendUtf8(text, anyCharacter());
            else
                text += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() -
                                                                                 1)(m_random)];
        }
        return text;
    }

    std::mt19937 &random() { return m_random; }

private:
    char32_t anyCharacter()
    {
        // Now and then a character below 0x20, the parser's own trouble spot.
        if (std::uniform_int_distribution<int>(0, 4)(m_random) == 0)
            return char32_t(std::uniform_int_distribution<int>(0, 0x1F)(m_random));
        for (;;) {
            const auto c =
                char32_t(std::uniform_int_distribution<std::uint32_t>(1, 0x10FFFF)(m_random));
            if (c < 0xD800 || c > 0xDFFF)
                return c;
        }
    }

    std::mt19937 m_random;
};

MaybeFloat coordinate(std::mt19937 &random)
{
    switch (std::uniform_int_distribution<int>(0, 5)(random)) {
    case 0:
        return std::nullopt;
    case 1:
        return float(std::uniform_int_distribution<int>(-500, 2000)(random));
    case 2:
        return std::uniform_real_distribution<float>(-1e6f, 1e6f)(random);
    case 3:
        return std::uniform_real_distribution<float>(-1.0f, 1.0f)(random);
    case 4:
        return std::numeric_limits<float>::max();
    default:
        return float(std::uniform_int_distribution<int>(0, 600)(random));
    }
}

std::int16_t integer(std::mt19937 &random)
{
    return std::int16_t(std::uniform_int_distribution<int>(-32768, 32767)(random));
}

// One area as the dialog confirms it, and what a browser must read back for it.
struct Confirmed {
    Shape shape;
    std::string coords;
    AreaFields fields;
};

Confirmed drawnArea(TypedText &typed)
{
    std::mt19937 &random = typed.random();
    Confirmed area{Shape(std::uniform_int_distribution<int>(0, 2)(random)), {}, {}};
    switch (area.shape) {
    case Shape::Rect:
        area.coords =
            rectCoords(coordinate(random), coordinate(random), coordinate(random), integer(random));
        break;
    case Shape::Circle:
        area.coords = circleCoords(coordinate(random), coordinate(random), integer(random));
        break;
    case Shape::Poly: {
        const int vertices = std::uniform_int_distribution<int>(1, 6)(random);
        for (int i = 0; i < vertices; ++i) {
            if (i > 0)
                area.coords += ',';
            // A vertex comes from a click, so it is always set.
            area.coords += numberText(coordinate(random).value_or(0.0f)) + ',' +
                           numberText(float(integer(random)));
        }
        break;
    }
    }
    area.fields = {typed.next(), typed.next(), typed.next()};
    return area;
}

const char *keyword(Shape shape)
{
    static const char *const keywords[] = {"RECT", "CIRCLE", "POLY"};
    return keywords[int(shape)];
}

// A map as the user makes it: areas confirmed one by one, with "Luo koodi" pressed at any point
// after the first area, any number of times.
struct Session {
    std::string markup;
    html5map::Map expected;
};

Session makeMap(std::uint32_t seed)
{
    TypedText typed(seed);
    std::mt19937 &random = typed.random();
    const Header header{typed.next(), typed.next(), typed.next()};
    Session session{{}, {header.picture, header.mapName, header.border, {}}};
    const int areas = std::uniform_int_distribution<int>(1, 6)(random);
    for (int i = 0; i < areas; ++i) {
        const Confirmed area = drawnArea(typed);
        appendArea(session.markup, area.shape, area.coords, area.fields, [&] { return header; });
        session.expected.areas.push_back({keyword(area.shape), area.coords, area.fields.link,
                                          area.fields.target, area.fields.alt});
        const int closings = std::uniform_int_distribution<int>(0, 2)(random);
        for (int c = 0; c < closings; ++c)
            closeMap(session.markup);
    }
    return session;
}

QString q(const std::string &text)
{
    return QString::fromStdString(text);
}

// A map whose typed values all hold a quotation mark and an ampersand, closed.
Session quotedMap()
{
    const Header header{"kuvat/\"talo\".gif", "kartta & co", "0"};
    Session session{{}, {header.picture, header.mapName, header.border, {}}};
    const AreaFields fields{"sivu.html?a=1&b=2&lt;3", "\"_blank\"", "Talo \"A\" & <piha> &quot;"};
    appendArea(session.markup, Shape::Rect, "1,2,3,4", fields, [&] { return header; });
    session.expected.areas.push_back({"RECT", "1,2,3,4", fields.link, fields.target, fields.alt});
    return session;
}

} // namespace

class TestMarkupHtml5 : public QObject {
    Q_OBJECT

private slots:
    void browserReadsTheMapAsDrawn_data();
    void browserReadsTheMapAsDrawn();
    void workedExampleReadsAsDrawn();
    void areasConfirmedAfterLuoKoodiAreInTheMap();
    void forbiddenCharactersAreWrittenAsReplacements();

    void checkNoticesADroppedEscape_data();
    void checkNoticesADroppedEscape();
    void checkNoticesAnAreaAfterTheClosingTag();
    void checkNoticesAnythingElseOnThePage();
};

void TestMarkupHtml5::browserReadsTheMapAsDrawn_data()
{
    QTest::addColumn<std::uint32_t>("seed");
    for (std::uint32_t seed = 1; seed <= 400; ++seed)
        QTest::addRow("map %u", seed) << seed;
}

void TestMarkupHtml5::browserReadsTheMapAsDrawn()
{
    QFETCH(std::uint32_t, seed);
    const Session session = makeMap(seed);
    QVERIFY2(session.markup.find_first_of("\r\n") == std::string::npos, "one line");
    const std::string problem = html5map::differences(session.markup, session.expected);
    QVERIFY2(problem.empty(), qPrintable(q(problem + "\nin\n" + session.markup)));
}

void TestMarkupHtml5::workedExampleReadsAsDrawn()
{
    const Header header{R"(C:\kuvat\kartta.gif)", "kartta", "0"};
    std::string markup;
    const auto headerOnce = [&] { return header; };
    appendArea(markup, Shape::Rect, rectCoords(10.0f, 20.0f, 110.0f, 80),
               {"etusivu.html", "oikea", "Etusivu"}, headerOnce);
    appendArea(markup, Shape::Circle, circleCoords(200.0f, 150.0f, 40),
               {"tuotteet.html", "_blank", ""}, headerOnce);
    appendArea(markup, Shape::Poly, "30,200,90,180,120,260", {"tuotteet.html", "_blank", ""},
               headerOnce);
    closeMap(markup);
    const html5map::Map expected{
        header.picture,
        header.mapName,
        header.border,
        {{"RECT", "10,20,110,80", "etusivu.html", "oikea", "Etusivu"},
         {"CIRCLE", "200,150,40", "tuotteet.html", "_blank", ""},
         {"POLY", "30,200,90,180,120,260", "tuotteet.html", "_blank", ""}}};
    QCOMPARE(q(html5map::differences(markup, expected)), QString());
}

void TestMarkupHtml5::areasConfirmedAfterLuoKoodiAreInTheMap()
{
    Session session = quotedMap();
    QVERIFY(closeMap(session.markup));
    for (const char *link : {"toinen.html", "kolmas.html"}) {
        appendArea(session.markup, Shape::Circle, "5,6,7", {link, "t", "a"}, [] {
            QTest::qFail("a second header", __FILE__, __LINE__);
            return Header{};
        });
        session.expected.areas.push_back({"CIRCLE", "5,6,7", link, "t", "a"});
    }
    QVERIFY(!closeMap(session.markup));
    QCOMPARE(q(html5map::differences(session.markup, session.expected)), QString());
}

// Controls and noncharacters cannot stand in an HTML document; the markup holds the replacement
// character instead, which is what the parser reads.
void TestMarkupHtml5::forbiddenCharactersAreWrittenAsReplacements()
{
    const std::string typed(std::string("a") + '\0' +
                            "b\x01"
                            "c\x7f\xc2\x85"
                            "d\xef\xb7\x90"
                            "\xef\xbf\xbe\tf\x0c");
    std::string markup;
    appendArea(markup, Shape::Rect, "1,2,3,4", {typed, "t", "a"}, [&] {
        return Header{"k.gif", typed, "0"};
    });
    QVERIFY(markup.find('\0') == std::string::npos);
    QCOMPARE(q(html5map::asWritten(typed)),
             QString::fromUtf8("a\uFFFDb\uFFFDc\uFFFD\uFFFDd\uFFFD\uFFFD\tf\x0c"));
    QVERIFY(markup.find(html5map::asWritten(typed)) != std::string::npos);
    const html5map::Map expected{"k.gif", typed, "0", {{"RECT", "1,2,3,4", typed, "t", "a"}}};
    QCOMPARE(q(html5map::differences(markup, expected)), QString());
}

// Left out where it matters to a browser: every quotation mark, and the ampersand of a
// reference the user typed as text. (A bare "<" or "&" inside a quoted value reads the same
// either way, so leaving out those escapes would change nothing a browser sees.)
void TestMarkupHtml5::checkNoticesADroppedEscape_data()
{
    QTest::addColumn<QString>("escaped");
    QTest::addColumn<QString>("unescaped");
    QTest::newRow("quotation mark") << "&quot;"
                                    << "\"";
    QTest::newRow("ampersand of a typed &lt;") << "&amp;lt;"
                                               << "&lt;";
    QTest::newRow("ampersand of a typed &quot;") << "&amp;quot;"
                                                 << "&quot;";
}

void TestMarkupHtml5::checkNoticesADroppedEscape()
{
    QFETCH(QString, escaped);
    QFETCH(QString, unescaped);
    const Session session = quotedMap();
    QCOMPARE(q(html5map::differences(session.markup, session.expected)), QString());

    // The escape left out at each place it occurs in turn.
    const std::string written = escaped.toStdString();
    int places = 0;
    for (auto at = session.markup.find(written); at != std::string::npos;
         at = session.markup.find(written, at + 1)) {
        std::string broken = session.markup;
        broken.replace(at, written.size(), unescaped.toStdString());
        QVERIFY2(!html5map::differences(broken, session.expected).empty(), broken.c_str());
        ++places;
    }
    QVERIFY(places > 0);
}

void TestMarkupHtml5::checkNoticesAnAreaAfterTheClosingTag()
{
    Session session = quotedMap();
    closeMap(session.markup);
    session.markup += R"(<AREA SHAPE="CIRCLE" COORDS="5,6,7" HREF="h" TARGET="t" Alt="a">)";
    session.expected.areas.push_back({"CIRCLE", "5,6,7", "h", "t", "a"});
    const std::string problem = html5map::differences(session.markup, session.expected);
    QVERIFY2(problem.find("3 nodes") != std::string::npos, problem.c_str());
}

void TestMarkupHtml5::checkNoticesAnythingElseOnThePage()
{
    const Session session = quotedMap();
    QVERIFY(!html5map::differences(session.markup + " ", session.expected).empty());
    QVERIFY(!html5map::differences(session.markup + "<b>", session.expected).empty());
    std::string inside = session.markup;
    inside.insert(inside.find("<AREA"), "x");
    QVERIFY(!html5map::differences(inside, session.expected).empty());
    html5map::Map other = session.expected;
    other.areas.front().alt += "!";
    QVERIFY(!html5map::differences(session.markup, other).empty());
}

QTEST_MAIN(TestMarkupHtml5)
#include "test_markup_html5.moc"
