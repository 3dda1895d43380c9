#include "markup/markup.h"

namespace zorvik::markup {

std::string escapeAttribute(std::string_view text)
{
    return std::string(text);
}

std::string rectCoords(MaybeFloat, MaybeFloat, MaybeFloat, std::int16_t)
{
    return {};
}

std::string circleCoords(MaybeFloat, MaybeFloat, std::int16_t)
{
    return {};
}

void appendArea(std::string &, Shape, std::string_view, const AreaFields &,
                const std::function<Header()> &)
{
}

bool closeMap(std::string &)
{
    return false;
}

} // namespace zorvik::markup
