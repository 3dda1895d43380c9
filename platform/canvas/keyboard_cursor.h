#pragma once

#include <QAccessible>
#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

class QKeyEvent;
class QWidget;

namespace zorvik::platform {

class InvertCanvas;

// The keyboard's pointer on the canvas, for drawing without a mouse. It drives the canvas's
// mouse handlers at its place, in picture pixels: arrows move it (Shift: ten pixels), Space
// presses the left button and lets it go again, Enter clicks the left button, and the Menu key
// or Shift+F10 clicks the right one.
//
// It shows as a crosshair over the picture, never drawn into it, once a key on the canvas or
// Tab into it says the keyboard is in use, until the mouse presses or moves on the canvas. A
// screen reader hears where it stands when the keys stop, and when Space presses or lets go.
class KeyboardCursor : public QObject {
    Q_OBJECT

public:
    explicit KeyboardCursor(InvertCanvas *canvas);
    ~KeyboardCursor() override;

    // Back at the top-left corner whenever a picture is set.
    QPoint place() const { return m_place; }
    // Whether Space holds the left button down.
    bool holdsButton() const { return m_held; }

    // The tool the keys draw with, which a screen reader hears with the cursor's place.
    void setToolName(const QString &name);
    // The tool and the place as the pointer read-out writes it: "Suorakulmio, X = 0, Y = 0".
    QString description() const;
    // The newest place a screen reader was told of, which has the canvas's focus.
    QAccessibleInterface *spokenPlace() const;

    // Ends a drag that loses its button without a release: the canvas lost the focus while
    // Space held the button.
    void onLetGo(std::function<void()> cancel);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool keyPress(const QKeyEvent &event);
    void move(QPoint step, int shift);
    void press(int shift);
    void release(int shift);
    void useKeys(bool used);
    void updateCrosshair();
    QRect crosshairArea() const;
    void announce(const QString &what);
    void speak();
    void forgetSpoken();

    InvertCanvas *m_canvas;
    QWidget *m_crosshair;
    QPoint m_place;
    bool m_held = false;
    bool m_keysUsed = false;
    std::optional<QPointF> m_pointer;
    QString m_toolName;
    std::function<void()> m_letGo;
    // A held arrow repeats faster than a place can be said, so only where the keys stop is.
    QTimer m_settle;
    QString m_unsaid;
    // The place said last and the one before, which a screen reader may still ask about.
    QAccessible::Id m_spoken = 0;
    QAccessible::Id m_spokenBefore = 0;
};

} // namespace zorvik::platform
