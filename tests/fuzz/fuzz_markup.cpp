// Whatever the user types into the dialogs' fields and wherever the areas lie, the markup must
// read back as exactly the elements and attributes the program means to write: every typed
// value comes back unchanged from its attribute, no attribute appears that the program did not
// write, the text stays on one line, and typed text can never close the map early.
//
// The same map is then read by a real HTML5 parser as the body of a page, which must find the
// picture, the map and every area in the order confirmed, each attribute carrying exactly the
// typed text.
//
// The input is laid out as markup_input.h describes. Each input builds a map of two or three
// areas of the same shape and fields, the first with the header and the others without, with
// "Luo koodi" pressed in between as the input says and once more at the end.

#include "../markup/html5_map.h"
#include "fuzz_check.h"
#include "markup_input.h"

#include "core/editor_state.h"
#include "markup/markup.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using fuzzcheck::fail;
using fuzzcheck::require;
using fuzzinput::MarkupInput;
using namespace zorvik;

namespace {

struct Attribute {
    std::string name; // "BORDER " keeps the space the program writes before its "="
    std::string value;
};

struct Element {
    std::string name;
    std::vector<Attribute> attributes;
};

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Reads elements of the one form the program writes, <NAME( NAME="VALUE")*>, and fails on
// anything else. A value ends at the first quotation mark, as it does for a browser.
class Scanner {
public:
    explicit Scanner(std::string_view markup) : m_markup(markup), m_rest(markup) {}

    Element element()
    {
        expect('<');
        Element element{name(), {}};
        while (!m_rest.empty() && m_rest.front() == ' ') {
            m_rest.remove_prefix(1);
            element.attributes.push_back(attribute());
        }
        expect('>');
        return element;
    }

    std::string_view rest() const { return m_rest; }

    [[noreturn]] void broken(std::string_view rule) const
    {
        fail(rule, "at offset " + std::to_string(m_markup.size() - m_rest.size()) + " of\n" +
                       std::string(m_markup));
    }

private:
    void expect(char c)
    {
        if (m_rest.empty() || m_rest.front() != c)
            broken(std::string("the markup has '") + c + "' here");
        m_rest.remove_prefix(1);
    }

    std::string name()
    {
        std::size_t length = 0;
        while (length < m_rest.size() && isLetter(m_rest[length]))
            ++length;
        if (length == 0)
            broken("a name of letters follows");
        std::string name(m_rest.substr(0, length));
        m_rest.remove_prefix(length);
        return name;
    }

    Attribute attribute()
    {
        Attribute attribute{name(), {}};
        if (!m_rest.empty() && m_rest.front() == ' ') {
            attribute.name += ' ';
            m_rest.remove_prefix(1);
        }
        expect('=');
        expect('"');
        const auto end = m_rest.find('"');
        if (end == std::string_view::npos)
            broken("every attribute value is closed");
        attribute.value = m_rest.substr(0, end);
        m_rest.remove_prefix(end + 1);
        return attribute;
    }

    std::string_view m_markup;
    std::string_view m_rest;
};

// The typed text behind an attribute value. Every "&" must start one of the references the
// program writes, and no angle bracket may stand bare.
std::string unescaped(const Scanner &scanner, std::string_view value)
{
    static const std::pair<std::string_view, char> references[] = {
        {"&amp;", '&'}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&#10;", '\n'}};
    std::string text;
    while (!value.empty()) {
        const char c = value.front();
        if (c == '<' || c == '>')
            scanner.broken("angle brackets in a value are escaped");
        if (c != '&') {
            text += c;
            value.remove_prefix(1);
            continue;
        }
        bool known = false;
        for (const auto &[reference, character] : references) {
            if (value.starts_with(reference)) {
                text += character;
                value.remove_prefix(reference.size());
                known = true;
                break;
            }
        }
        if (!known)
            scanner.broken("an \"&\" in a value starts a reference the program writes");
    }
    return text;
}

void expectElement(Scanner &scanner, std::string_view name,
                   const std::vector<std::pair<std::string_view, std::string>> &attributes)
{
    const Element element = scanner.element();
    if (element.name != name)
        scanner.broken("the element is " + std::string(name));
    if (element.attributes.size() != attributes.size())
        scanner.broken(std::string(name) + " has exactly the attributes the program writes");
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        const auto &[expectedName, typed] = attributes[i];
        if (element.attributes[i].name != expectedName)
            scanner.broken("attribute " + std::to_string(i) + " of " + std::string(name) + " is " +
                           std::string(expectedName));
        if (unescaped(scanner, element.attributes[i].value) != html5map::asWritten(typed))
            scanner.broken("attribute " + std::string(expectedName) +
                           " gives back exactly the typed text");
    }
}

// The coordinates an area is drawn with; unset ones are empty.
struct Coordinates {
    std::vector<std::optional<float>> floats;
    std::optional<std::int16_t> integer;
};

Coordinates coordinatesOf(const MarkupInput &input)
{
    const auto maybe = [&input](std::size_t i) {
        return input.unset[i] ? MaybeFloat() : MaybeFloat(input.coords[i]);
    };
    switch (input.shape) {
    case 0:
        return {{maybe(0), maybe(1), maybe(2)}, input.integer};
    case 1:
        return {{maybe(0), maybe(1)}, input.integer};
    default:
        // A polygon's vertices are always set: they come from clicks.
        return {{input.coords[0], input.coords[1], input.coords[2], float(input.integer)}, {}};
    }
}

// The coordinate text the program hands to appendArea for this area.
std::string coordinateText(const MarkupInput &input, const Coordinates &coordinates)
{
    const auto &f = coordinates.floats;
    switch (input.shape) {
    case 0:
        return markup::rectCoords(f[0], f[1], f[2], *coordinates.integer);
    case 1:
        return markup::circleCoords(f[0], f[1], *coordinates.integer);
    default:
        // As the polygon tool builds its list, one vertex at a time.
        return numberText(f[0]) + ',' + numberText(f[1]) + ',' + numberText(f[2]) + ',' +
               numberText(f[3]);
    }
}

void checkCoordinates(const Scanner &scanner, std::string_view text, const Coordinates &coordinates)
{
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const auto comma = text.find(',', start);
        fields.push_back(text.substr(start, comma - start));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    const std::size_t count = coordinates.floats.size() + (coordinates.integer ? 1 : 0);
    if (fields.size() != count)
        scanner.broken("COORDS holds one number per coordinate, joined by single commas");
    for (std::size_t i = 0; i < coordinates.floats.size(); ++i) {
        if (coordinates.floats[i])
            fuzzcheck::checkNumberText(*coordinates.floats[i], fields[i]);
        else
            require(fields[i].empty(), "an unset coordinate is written as empty text",
                    std::string(text));
    }
    if (coordinates.integer)
        fuzzcheck::checkIntegerText(*coordinates.integer, fields.back());
}

std::vector<std::pair<std::string_view, std::string>> areaAttributes(const MarkupInput &input,
                                                                     const std::string &coords)
{
    static constexpr std::string_view keywords[] = {"RECT", "CIRCLE", "POLY"};
    const auto &t = input.texts;
    return {{"SHAPE", std::string(keywords[input.shape])},
            {"COORDS", coords},
            {"HREF", t[fuzzinput::Link]},
            {"TARGET", t[fuzzinput::Target]},
            {"Alt", t[fuzzinput::Alt]}};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const MarkupInput input = fuzzinput::decodeMarkupInput(data, size);
    const auto &t = input.texts;
    const Coordinates coordinates = coordinatesOf(input);
    const std::string coords = coordinateText(input, coordinates);
    const markup::Shape shapes[] = {markup::Shape::Rect, markup::Shape::Circle,
                                    markup::Shape::Poly};
    const markup::AreaFields fields{t[fuzzinput::Link], t[fuzzinput::Target], t[fuzzinput::Alt]};
    int headerAsked = 0;
    const auto header = [&] {
        ++headerAsked;
        return markup::Header{t[fuzzinput::Picture], t[fuzzinput::MapName], t[fuzzinput::Border]};
    };

    std::string text;
    bool closed = false;
    for (int area = 0; area < input.areas; ++area) {
        markup::appendArea(text, shapes[input.shape], coords, fields, header);
        if (input.closeAfter[std::size_t(area)]) {
            require(markup::closeMap(text) != closed, "only the first \"Luo koodi\" closes", text);
            closed = true;
        }
    }
    require(headerAsked == 1, "the header is asked for once, for the first area", text);
    require(markup::closeMap(text) != closed, "typed text never closes the map", text);
    require(!markup::closeMap(text), "a closed map is not closed again", text);
    require(text.find_first_of("\r\n") == std::string::npos,
            "the markup stays one line whatever is typed", text);

    Scanner scanner(text);
    expectElement(scanner, "IMG",
                  {{"SRC", t[fuzzinput::Picture]},
                   {"USEMAP", "#" + t[fuzzinput::MapName]},
                   {"BORDER ", t[fuzzinput::Border]}});
    expectElement(scanner, "MAP", {{"NAME", t[fuzzinput::MapName]}});
    const auto attributes = areaAttributes(input, coords);
    for (int area = 0; area < input.areas; ++area)
        expectElement(scanner, "AREA", attributes);
    checkCoordinates(scanner, coords, coordinates);
    if (scanner.rest() != "</map>")
        scanner.broken("the closing tag ends the markup and nothing follows it");

    static constexpr std::string_view keywords[] = {"RECT", "CIRCLE", "POLY"};
    html5map::Map expected{t[fuzzinput::Picture], t[fuzzinput::MapName], t[fuzzinput::Border], {}};
    for (int area = 0; area < input.areas; ++area)
        expected.areas.push_back(
            {std::string(keywords[input.shape]), coords, fields.link, fields.target, fields.alt});
    const std::string problem = html5map::differences(text, expected);
    require(problem.empty(), "a browser reads the map as drawn: " + problem, text);
    return 0;
}
