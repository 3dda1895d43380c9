#pragma once

#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace zorvik::ui {

// A push button whose caption wraps over several lines when it is wider than the button, as
// "Kopioi koodi leikepöydälle" does, while text() keeps the caption whole.
class WrappingButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        painter.drawControl(QStyle::CE_PushButton, option);
        const QRect textArea =
            style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                       QPalette::ButtonText));
        painter.drawText(textArea, Qt::AlignCenter | Qt::TextWordWrap, text());
    }
};

} // namespace zorvik::ui
