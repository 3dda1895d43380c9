#include "markup/markup.h"

namespace zorvik::markup {

namespace {

constexpr std::string_view closingTag = "</map>";

// The map grows one element at a time, so every piece goes straight onto its end.
void appendEscaped(std::string &markup, std::string_view text)
{
    for (const char c : text) {
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
        // A line break pasted into a field must not break the markup's one line.
        case '\n':
            markup += "&#10;";
            break;
        case '\r':
            markup += "&#13;";
            break;
        default:
            markup += c;
        }
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
