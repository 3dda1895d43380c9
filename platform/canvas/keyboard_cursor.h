#pragma once

#include "platform/canvas/canvas_accessible.h"

#include <QAccessible>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <QTimer>

#include <optional>

class QKeyEvent;
class QWidget;

namespace zorvik::platform {

class InvertCanvas;

// The keyboard's pointer on the canvas, for drawing without a mouse. It drives the canvas
// through the canvas's own press, move, release and let-go, at its place in picture pixels:
// arrows move it (Shift: ten pixels), Space presses the left button and lets it go again, Enter
// clicks the left button, and the Menu key or Shift+F10 clicks the right one.
//
// The canvas has one left button, which Space and the mouse never hold both. While a mouse
// button is held on the canvas the keys leave the canvas to the mouse; a left or middle press
// of the mouse takes the button over from Space, and a right one only clicks in Space's drag.
//
// It shows as a crosshair over the picture, never drawn into it, once a key on the canvas or
// Tab into it says the keyboard is in use, until the mouse presses or moves on the canvas. A
// screen reader hears where it stands when the keys stop, and whether the button is down.
class KeyboardCursor : public CanvasNarrator {
    Q_OBJECT

public:
    explicit KeyboardCursor(InvertCanvas *canvas);
    ~KeyboardCursor() override;

    // Back at the top-left corner whenever a picture is set.
    QPoint place() const { return m_place; }
    // Whether Space holds the left button down.
    bool holdsButton() const { return m_held; }
    // Whether the canvas's button is down, held by Space or by the mouse.
    bool buttonDown() const;

    // The tool the keys draw with, which a screen reader hears with the cursor's place.
    void setToolName(const QString &name);
    // The tool, the button when it is down, and the place as the pointer read-out writes it:
    // "Suorakulmio, Painike alhaalla, X = 0, Y = 0".
    QString description() const override;
    // The newest place a screen reader was told of, which has the canvas's focus.
    QAccessibleInterface *spokenPlace() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool keyPress(const QKeyEvent &event);
    void mousePress(Qt::MouseButton button);
    void mouseRelease(Qt::MouseButton button);
    void move(QPoint step, int shift);
    void press(int shift);
    void release(int shift);
    void letGo();
    void useKeys(bool used);
    void updateCrosshair();
    QRect crosshairArea() const;
    QString placeText() const;
    QString placeText(const QString &button) const;
    void announce(const QString &what);
    void retell(const QString &what);
    void tell(bool aloud);
    void forgetSpoken();

    InvertCanvas *m_canvas;
    QWidget *m_crosshair;
    QPoint m_place;
    bool m_held = false;
    bool m_keysUsed = false;
    std::optional<QPointF> m_pointer;
    QString m_toolName;
    // A held arrow repeats faster than a place can be said, so only where the keys stop is.
    QTimer m_settle;
    QString m_unsaid;
    // The place said last and the one before, which a screen reader may still ask about.
    QAccessible::Id m_spoken = 0;
    QAccessible::Id m_spokenBefore = 0;
};

} // namespace zorvik::platform
