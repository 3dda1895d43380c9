#pragma once

#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

namespace zorvik::ui {

// A button of the tool palette. Its face is filled flat with the palette's button colour, so
// that the selected tool shows exactly its light grey: a style's gradient would lighten the
// colour until the selection could hardly be seen. The picture keeps its own 32 × 32 size,
// centred inside the bevel and cut off by it where the button is smaller, so that it never
// blurs from scaling.
//
// It is checked while its tool is selected, so that a screen reader tells the selected tool;
// the main window checks one tool and unchecks the others. The buttons form no button group,
// which would take the unchecked ones out of the tab order.
class PaletteButton : public QPushButton {
public:
    explicit PaletteButton(QWidget *parent = nullptr) : QPushButton(parent) { setCheckable(true); }

protected:
    // A click selects the tool, also when it is selected already: it never unchecks it.
    void nextCheckState() override { setChecked(true); }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QBrush face = palette().button();
        qDrawWinButton(&painter, rect(), palette(), isDown(), &face);

        const QRect inside = rect().adjusted(2, 2, -2, -2);
        QRect picture(QPoint(), iconSize());
        picture.moveCenter(rect().center());
        if (isDown())
            picture.translate(1, 1);
        painter.save();
        painter.setClipRect(inside);
        icon().paint(&painter, picture, Qt::AlignCenter,
                     isEnabled() ? QIcon::Normal : QIcon::Disabled);
        painter.restore();

        if (hasFocus()) {
            QStyleOptionFocusRect focus;
            focus.initFrom(this);
            focus.rect = inside.adjusted(1, 1, -1, -1);
            focus.backgroundColor = face.color();
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
        }
    }
};

} // namespace zorvik::ui
