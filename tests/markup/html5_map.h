#pragma once

// Reads a map's markup the way a browser does, with a real HTML5 parser, and tells where it
// differs from the map the user drew: the markup parsed as the body of a page must give one IMG
// that uses the map, then one MAP of that name whose children are the areas in the order they
// were confirmed, every attribute carrying exactly the typed text, and nothing else at all.

#include <QList>
#include <QString>

#include <gumbo.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace html5map {

struct Area {
    std::string shape; // "RECT", "CIRCLE" or "POLY"
    std::string coords;
    std::string href;
    std::string target;
    std::string alt;
};

struct Map {
    std::string picture;
    std::string name;
    std::string border;
    std::vector<Area> areas;
};

// A typed text (UTF-8, as every field holds it) as the markup writes it. The HTML standard lets
// no document hold a control other than tab, line feed, form feed and carriage return, nor a
// noncharacter; parsers read them differently, so they are written as U+FFFD.
inline std::string asWritten(std::string_view typed)
{
    const auto mayStand = [](char32_t c) {
        const bool control = c <= 0x1F || (c >= 0x7F && c <= 0x9F);
        const bool whitespace = c == 0x09 || c == 0x0A || c == 0x0C || c == 0x0D;
        const bool noncharacter =
            (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFF) == 0xFFFE || (c & 0xFFFF) == 0xFFFF;
        return (!control || whitespace) && !noncharacter;
    };
    // Qt 6.4 gives the code points as uint, later versions as char32_t.
    auto characters = QString::fromUtf8(typed.data(), qsizetype(typed.size())).toUcs4();
    std::u32string written;
    for (qsizetype i = 0; i < characters.size(); ++i) {
        const auto c = char32_t(characters[i]);
        // A line break of any kind reads back as one line feed.
        if (c == U'\r') {
            written += U'\n';
            if (i + 1 < characters.size() && characters[i + 1] == U'\n')
                ++i;
            continue;
        }
        written += mayStand(c) ? c : U'\uFFFD';
    }
    return QString::fromUcs4(written.data(), qsizetype(written.size())).toStdString();
}

namespace detail {

using Attributes = std::vector<std::pair<std::string, std::string>>;

inline std::string inQuotes(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

inline std::string describe(const GumboNode *node)
{
    switch (node->type) {
    case GUMBO_NODE_ELEMENT:
        return std::string("element <") + gumbo_normalized_tagname(node->v.element.tag) + ">";
    case GUMBO_NODE_TEXT:
    case GUMBO_NODE_WHITESPACE:
    case GUMBO_NODE_CDATA:
        return "text " + inQuotes(node->v.text.text);
    case GUMBO_NODE_COMMENT:
        return "a comment";
    default:
        return "another node";
    }
}

inline std::vector<const GumboNode *> children(const GumboNode *element)
{
    std::vector<const GumboNode *> nodes;
    const GumboVector &list = element->v.element.children;
    for (unsigned i = 0; i < list.length; ++i)
        nodes.push_back(static_cast<const GumboNode *>(list.data[i]));
    return nodes;
}

inline const GumboNode *bodyOf(const GumboNode *root)
{
    for (const GumboNode *child : children(root)) {
        if (child->type == GUMBO_NODE_ELEMENT && child->v.element.tag == GUMBO_TAG_BODY)
            return child;
    }
    return nullptr;
}

// Compares the attributes of |element| with |expected| (names in lower case, as the parser
// gives them), in any order, and reports the first difference.
inline std::string compareAttributes(const GumboNode *element, const std::string &what,
                                     const Attributes &expected)
{
    const GumboVector &list = element->v.element.attributes;
    if (list.length != expected.size())
        return what + " has " + std::to_string(list.length) + " attributes, not " +
               std::to_string(expected.size());
    for (const auto &[name, value] : expected) {
        const GumboAttribute *found = gumbo_get_attribute(&list, name.c_str());
        if (!found)
            return what + " has no attribute " + name;
        if (found->value != asWritten(value))
            return what + " has " + name + "=" + inQuotes(found->value) + ", not " +
                   inQuotes(asWritten(value));
    }
    return {};
}

inline std::string expectElement(const GumboNode *node, GumboTag tag, const std::string &what,
                                 const Attributes &expected)
{
    if (node->type != GUMBO_NODE_ELEMENT || node->v.element.tag != tag)
        return what + " is " + describe(node);
    return compareAttributes(node, what, expected);
}

inline std::string compare(const GumboNode *body, const Map &map)
{
    const std::vector<const GumboNode *> top = children(body);
    if (top.size() != 2)
        return "the page's body holds " + std::to_string(top.size()) +
               " nodes, not an IMG and a MAP" +
               (top.size() > 2 ? "; the third is " + describe(top[2]) : std::string());
    std::string problem =
        expectElement(top[0], GUMBO_TAG_IMG, "the first node",
                      {{"src", map.picture}, {"usemap", "#" + map.name}, {"border", map.border}});
    if (!problem.empty())
        return problem;
    problem = expectElement(top[1], GUMBO_TAG_MAP, "the second node", {{"name", map.name}});
    if (!problem.empty())
        return problem;

    const std::vector<const GumboNode *> areas = children(top[1]);
    for (std::size_t i = 0; i < areas.size() && i < map.areas.size(); ++i) {
        const Area &area = map.areas[i];
        problem = expectElement(areas[i], GUMBO_TAG_AREA, "area " + std::to_string(i + 1),
                                {{"shape", area.shape},
                                 {"coords", area.coords},
                                 {"href", area.href},
                                 {"target", area.target},
                                 {"alt", area.alt}});
        if (!problem.empty())
            return problem;
    }
    if (areas.size() != map.areas.size())
        return "the MAP holds " + std::to_string(areas.size()) + " nodes, not the " +
               std::to_string(map.areas.size()) + " areas confirmed";
    return {};
}

} // namespace detail

// Empty when |markup| reads as |map|; otherwise a description of the first difference.
inline std::string differences(std::string_view markup, const Map &map)
{
    const std::string page = "<!DOCTYPE html><html><head><title>kartta</title></head><body>" +
                             std::string(markup) + "</body></html>";
    GumboOutput *output = gumbo_parse_with_options(&kGumboDefaultOptions, page.data(), page.size());
    const GumboNode *body = detail::bodyOf(output->root);
    std::string problem = body ? detail::compare(body, map) : "the page has no body";
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    return problem;
}

} // namespace html5map
