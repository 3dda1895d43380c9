#pragma once

#include <QString>
#include <QWidget>

#include <string>

namespace zorvik::ui {

// The hidden text box that holds the map's markup. The text lives as UTF-8 so that areas are
// appended in place, however long the map grows; it is never shown.
class MarkupBox : public QWidget {
    Q_OBJECT

public:
    explicit MarkupBox(QWidget *parent = nullptr) : QWidget(parent) { hide(); }

    const std::string &text() const { return m_text; }
    std::string &buffer() { return m_text; }
    void setText(std::string text) { m_text = std::move(text); }
    QString qtext() const { return QString::fromStdString(m_text); }

private:
    std::string m_text;
};

} // namespace zorvik::ui
