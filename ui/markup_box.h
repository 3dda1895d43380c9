#pragma once

#include "markup/markup.h"

#include <QWidget>

#include <functional>
#include <string>
#include <string_view>

namespace zorvik::ui {

// The hidden text box that holds the map's markup. The text lives as UTF-8 so that areas are
// appended in place, however long the map grows; it is never shown. It changes only by the
// markup rules: emptied for a new map, an area appended, the map closed.
class MarkupBox : public QWidget {
    Q_OBJECT

public:
    explicit MarkupBox(QWidget *parent = nullptr) : QWidget(parent) { hide(); }

    const std::string &text() const { return m_text; }

    void clear() { m_text.clear(); }
    void appendArea(markup::Shape shape, std::string_view coords, const markup::AreaFields &fields,
                    const std::function<markup::Header()> &header)
    {
        markup::appendArea(m_text, shape, coords, fields, header);
    }
    // True when the closing tag was appended, false when the map was closed already.
    bool closeMap() { return markup::closeMap(m_text); }

private:
    std::string m_text;
};

} // namespace zorvik::ui
