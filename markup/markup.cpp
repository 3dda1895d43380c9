#include "markup/markup.h"

namespace zorvik::markup {

namespace {

constexpr std::string_view closingTag = "</map>";

constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD";

// Code points no HTML document may hold: the controls but for tab, line feed, form feed and
// carriage return, and the noncharacters. Parsers differ on what they make of them, raw or as
// references, and NUL cuts the clipboard short for programs that read it as C text.
bool forbidden(char32_t c)
{
    if (c < 0x20)
        return c != '\t' && c != '\n' && c != '\f' && c != '\r';
    if (c >= 0x7F && c <= 0x9F)
        return true;
    return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

// The length of the well-formed UTF-8 sequence at the start of |text| and its code point, or
// 0 when the bytes there are not one.
std::size_t decodeUtf8(std::string_view text, char32_t &c)
{
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length;
    if (lead < 0x80) {
        c = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return 0;
        c = c << 6 | (byte(i) & 0x3F);
    }
    const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < smallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return 0;
    return length;
}

// The map grows one element at a time, so every piece goes straight onto its end.
void appendEscaped(std::string &markup, std::string_view text)
{
    while (!text.empty()) {
        char32_t c = 0;
        std::size_t length = decodeUtf8(text, c);
        if (length == 0) {
            // A byte that is not UTF-8 is kept as it is; the fields always hold UTF-8.
            markup += text.front();
            text.remove_prefix(1);
            continue;
        }
        switch (c) {
        case '&':
            markup += "&amp;";
            break;
        case '"':
            markup += "&quot;";
            break;
        case '<':
            markup += "&lt;";
            break;
        case '>':
            markup += "&gt;";
            break;
        // A line break pasted into a field must not break the markup's one line. HTML forbids
        // a reference to a carriage return, so CR LF and a lone CR become one line feed, as a
        // parser would read them raw.
        case '\r':
            if (text.size() > 1 && text[1] == '\n')
                text.remove_prefix(1);
            [[fallthrough]];
        case '\n':
            markup += "&#10;";
            break;
        default:
            // Written as the replacement character every parser reads for the worst of them.
            if (forbidden(c))
                markup += replacementCharacter;
            else
                markup += text.substr(0, length);
        }
        text.remove_prefix(length);
    }
}

void appendAttribute(std::string &markup, std::string_view name, std::string_view value)
{
    markup += name;
    markup += '"';
    appendEscaped(markup, value);
    markup += '"';
}

void appendHeader(std::string &markup, const Header &header)
{
    appendAttribute(markup, "<IMG SRC=", header.picture);
    markup += " USEMAP=\"#";
    appendEscaped(markup, header.mapName);
    markup += '"';
    appendAttribute(markup, " BORDER =", header.border);
    appendAttribute(markup, "><MAP NAME=", header.mapName);
    markup += '>';
}

std::string_view keyword(Shape shape)
{
    switch (shape) {
    case Shape::Rect:
        return "RECT";
    case Shape::Circle:
        return "CIRCLE";
    case Shape::Poly:
        break;
    }
    return "POLY";
}

void appendElement(std::string &markup, Shape shape, std::string_view coords,
                   const AreaFields &fields)
{
    markup += "<AREA SHAPE=\"";
    markup += keyword(shape);
    markup += "\" COORDS=\"";
    markup += coords;
    markup += '"';
    appendAttribute(markup, " HREF=", fields.link);
    appendAttribute(markup, " TARGET=", fields.target);
    appendAttribute(markup, " Alt=", fields.alt);
    markup += '>';
}

} // namespace

std::string escapeAttribute(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    appendEscaped(escaped, text);
    return escaped;
}

std::string rectCoords(MaybeFloat startX, MaybeFloat startY, MaybeFloat endX, std::int16_t endY)
{
    return numberText(startX) + ',' + numberText(startY) + ',' + numberText(endX) + ',' +
           numberText(endY);
}

std::string circleCoords(MaybeFloat circleX, MaybeFloat circleY, std::int16_t radius)
{
    return numberText(circleX) + ',' + numberText(circleY) + ',' + numberText(radius);
}

void appendArea(std::string &markup, Shape shape, std::string_view coords, const AreaFields &fields,
                const std::function<Header()> &header)
{
    if (markup.empty())
        appendHeader(markup, header());
    // Browsers ignore an area outside its map, so on a closed map the area goes in before the
    // closing tag. Typed text is escaped and cannot spell the tag, so the tag is only ever the
    // one "Luo koodi" wrote, at the end.
    const bool closed = markup.ends_with(closingTag);
    if (closed)
        markup.resize(markup.size() - closingTag.size());
    appendElement(markup, shape, coords, fields);
    if (closed)
        markup += closingTag;
}

bool closeMap(std::string &markup)
{
    if (markup.find(closingTag) != std::string::npos)
        return false;
    markup += closingTag;
    return true;
}

} // namespace zorvik::markup
