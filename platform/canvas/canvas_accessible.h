#pragma once

#include <QAccessible>
#include <QObject>
#include <QRect>
#include <QString>

namespace zorvik::platform {

class InvertCanvas;

// What a screen reader hears of a canvas beyond its name, told by whatever points on it: the
// tool and the place as a description, and the place said last, which holds the canvas's focus.
class CanvasNarrator : public QObject {
public:
    using QObject::QObject;

    virtual QString description() const = 0;
    virtual QAccessibleInterface *spokenPlace() const = 0;
};

// Makes every canvas a drawing area to a screen reader, whether or not anything narrates it.
void presentCanvases();

// A place said to a screen reader over |canvas|, with |area| in the canvas's pixels. The
// accessibility layer keeps it until QAccessible::deleteAccessibleInterface() with the id given.
QAccessible::Id registerSpokenPlace(InvertCanvas *canvas, const QString &text, const QRect &area);

} // namespace zorvik::platform
