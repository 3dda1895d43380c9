#pragma once

#include <QFont>
#include <QLabel>
#include <QRect>
#include <QString>

namespace zorvik::ui {

// Arial 8.25 pt: the main window's command buttons, and in bold the read-out and the dialogs'
// labels and buttons.
inline QFont arial(bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(8.25);
    font.setBold(bold);
    return font;
}

// Names |widget| and places it at |geometry| (pixels) in its parent.
template <typename W> W *placed(W *widget, const char *name, QRect geometry)
{
    widget->setObjectName(QString::fromUtf8(name));
    widget->setGeometry(geometry);
    return widget;
}

// A bold label that sizes itself to its caption from its top-left corner.
inline QLabel *boldLabel(QWidget *parent, const char *name, const QString &caption, QRect geometry)
{
    auto *label = placed(new QLabel(caption, parent), name, geometry);
    label->setFont(arial(true));
    label->adjustSize();
    return label;
}

} // namespace zorvik::ui
