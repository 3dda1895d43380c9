#include "platform/canvas/keyboard_cursor.h"

#include "core/canvas.h"
#include "core/drawing.h"
#include "platform/canvas/canvas.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>

#include <algorithm>

namespace zorvik::platform {

namespace {

// The crosshair's arms run from this far out from the cursor's pixel, which stays bare...
constexpr int crosshairGap = 2;
// ...to this far, as a white line edged in black, so that it shows on any picture.
constexpr int crosshairReach = 7;
constexpr int crosshairSide = 2 * (crosshairReach + 1) + 1;

// How long the keys must rest before the place is said.
constexpr int settleMilliseconds = 250;

// What the button is doing, said before the place.
const QString buttonDownText = QStringLiteral("Painike alhaalla, ");
const QString buttonUpText = QStringLiteral("Painike ylhäällä, ");
const QString clickText = QStringLiteral("Napsautus, ");

// The keys that press, click or move the pointer, which wait while the mouse holds a button.
bool pointsOnCanvas(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Menu:
        return true;
    case Qt::Key_F10:
        return event.modifiers() & Qt::ShiftModifier;
    default:
        return false;
    }
}

// Painted over the canvas as a child of its own, so that the picture under it is never touched
// and the mouse goes through it to the canvas.
class Crosshair : public QWidget {
public:
    explicit Crosshair(QWidget *canvas) : QWidget(canvas)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        resize(crosshairSide, crosshairSide);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const int centre = crosshairReach + 1;
        const int length = crosshairReach - crosshairGap + 1;
        const QRect arms[] = {QRect(centre + crosshairGap, centre, length, 1),
                              QRect(centre - crosshairReach, centre, length, 1),
                              QRect(centre, centre + crosshairGap, 1, length),
                              QRect(centre, centre - crosshairReach, 1, length)};
        for (const QRect &arm : arms)
            painter.fillRect(arm.adjusted(-1, -1, 1, 1), Qt::black);
        for (const QRect &arm : arms)
            painter.fillRect(arm, Qt::white);
    }
};

} // namespace

KeyboardCursor::KeyboardCursor(InvertCanvas *canvas)
    : CanvasNarrator(canvas), m_canvas(canvas), m_crosshair(new Crosshair(canvas))
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMilliseconds);
    connect(&m_settle, &QTimer::timeout, this, [this] { tell(true); });
    connect(canvas, &InvertCanvas::pictureSet, this, [this] {
        const bool wasHeld = m_held;
        m_place = QPoint();
        m_held = false;
        updateCrosshair();
        retell(wasHeld ? placeText(buttonUpText) : placeText());
    });
    canvas->installEventFilter(this);
    canvas->setNarrator(this);
    updateCrosshair();
}

KeyboardCursor::~KeyboardCursor()
{
    m_canvas->removeEventFilter(this);
    forgetSpoken();
    forgetSpoken();
}

bool KeyboardCursor::buttonDown() const
{
    return m_held || m_canvas->holdsButton();
}

void KeyboardCursor::setToolName(const QString &name)
{
    m_toolName = name;
}

QString KeyboardCursor::description() const
{
    const QString place = placeText();
    return m_toolName.isEmpty() ? place : m_toolName + QStringLiteral(", ") + place;
}

QAccessibleInterface *KeyboardCursor::spokenPlace() const
{
    return m_spoken ? QAccessible::accessibleInterface(m_spoken) : nullptr;
}

bool KeyboardCursor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_canvas)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        return keyPress(*static_cast<QKeyEvent *>(event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        mousePress(static_cast<QMouseEvent *>(event)->button());
        useKeys(false);
        break;
    case QEvent::MouseButtonRelease:
        mouseRelease(static_cast<QMouseEvent *>(event)->button());
        useKeys(false);
        break;
    case QEvent::MouseMove: {
        // A pointer resting where it was has not moved, whatever the toolkit reports.
        const QPointF at = static_cast<QMouseEvent *>(event)->globalPosition();
        if (m_pointer != at) {
            m_pointer = at;
            useKeys(false);
        }
        break;
    }
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
            useKeys(true);
        updateCrosshair();
        break;
    }
    case QEvent::FocusOut:
        updateCrosshair();
        // Another window took the focus in the middle of a drag: no release comes, and the drag
        // ends as a cancelled area does.
        if (m_held)
            letGo();
        break;
    default:
        break;
    }
    return false;
}

// The filter sees a mouse press before the canvas hands it on, so the button is named here
// rather than read from the canvas.
void KeyboardCursor::mousePress(Qt::MouseButton button)
{
    // A right press is a click of its own within Space's drag, as within a mouse drag: Space
    // goes on holding the left button.
    if (button != Qt::LeftButton && button != Qt::MiddleButton)
        return;
    // The mouse takes the left button over: what Space held is let go of without a release,
    // so that the next Space presses again.
    m_held = false;
    retell(placeText(buttonDownText));
}

void KeyboardCursor::mouseRelease(Qt::MouseButton button)
{
    if (button != Qt::LeftButton && button != Qt::MiddleButton)
        return;
    m_held = false;
    retell(placeText(buttonUpText));
}

bool KeyboardCursor::keyPress(const QKeyEvent &event)
{
    // While a mouse button is held on the canvas the mouse has the drag: the keys neither press
    // the button a second time nor move the drag under it.
    if (pointsOnCanvas(event) && m_canvas->holdsButton())
        return true;
    const int shift = shiftCode(event.modifiers());
    const int stride = event.modifiers() & Qt::ShiftModifier ? 10 : 1;
    // Holding Space, Enter or the Menu key down must not press the button again and again.
    const bool repeated = event.isAutoRepeat();
    switch (event.key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        // As with a mouse button held, the drag keeps the canvas until the button is let go.
        if (!m_held)
            return false;
        break;
    case Qt::Key_Left:
        move({-stride, 0}, shift);
        break;
    case Qt::Key_Right:
        move({stride, 0}, shift);
        break;
    case Qt::Key_Up:
        move({0, -stride}, shift);
        break;
    case Qt::Key_Down:
        move({0, stride}, shift);
        break;
    case Qt::Key_Space:
        if (repeated)
            break;
        if (m_held)
            release(shift);
        else
            press(shift);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (repeated)
            break;
        // A button Space holds is only let go: it cannot be pressed a second time.
        if (!m_held)
            m_canvas->pressAt(leftButton, shift, float(m_place.x()), float(m_place.y()));
        m_held = false;
        announce(placeText(clickText));
        m_canvas->releaseAt(leftButton, shift, float(m_place.x()), float(m_place.y()));
        break;
    case Qt::Key_F10:
        if (!(event.modifiers() & Qt::ShiftModifier))
            return false;
        [[fallthrough]];
    case Qt::Key_Menu:
        if (repeated)
            break;
        m_canvas->pressAt(rightButton, shift, float(m_place.x()), float(m_place.y()));
        m_canvas->releaseAt(rightButton, shift, float(m_place.x()), float(m_place.y()));
        break;
    default:
        return false;
    }
    // Dialogs opened from here show their focus at once, as after Tab.
    m_canvas->window()->setAttribute(Qt::WA_KeyboardFocusChange);
    useKeys(true);
    return true;
}

// The state changes before the handler runs: a release may open a dialog and wait for it.
void KeyboardCursor::press(int shift)
{
    m_held = true;
    announce(placeText());
    m_canvas->pressAt(leftButton, shift, float(m_place.x()), float(m_place.y()));
}

void KeyboardCursor::release(int shift)
{
    m_held = false;
    announce(placeText(buttonUpText));
    m_canvas->releaseAt(leftButton, shift, float(m_place.x()), float(m_place.y()));
}

// The button went without a release; the drag it held ends as a cancelled one.
void KeyboardCursor::letGo()
{
    m_held = false;
    retell(placeText(buttonUpText));
    m_canvas->letGo();
}

// Each arrow key is one mouse move, at the cursor's new place with the button the keyboard
// holds, so that a rubber band follows it as it follows the mouse. The cursor stays on the
// picture, and the view scrolls after it.
void KeyboardCursor::move(QPoint step, int shift)
{
    const QRect bounds = m_canvas->picture().rect();
    if (bounds.isEmpty())
        return;
    const QPoint moved(std::clamp(m_place.x() + step.x(), bounds.left(), bounds.right()),
                       std::clamp(m_place.y() + step.y(), bounds.top(), bounds.bottom()));
    if (moved == m_place)
        return;
    m_place = moved;
    updateCrosshair();
    if (QWidget *viewport = m_canvas->parentWidget()) {
        if (auto *view = qobject_cast<QScrollArea *>(viewport->parentWidget())) {
            const int margin = crosshairSide / 2 + 1;
            view->ensureVisible(m_place.x(), m_place.y(), margin, margin);
        }
    }
    announce(placeText());
    m_canvas->moveAt(m_held ? leftButton : 0, shift, float(m_place.x()), float(m_place.y()));
}

void KeyboardCursor::useKeys(bool used)
{
    m_keysUsed = used;
    updateCrosshair();
}

void KeyboardCursor::updateCrosshair()
{
    m_crosshair->move(m_place - QPoint(crosshairReach + 1, crosshairReach + 1));
    m_crosshair->setVisible(m_keysUsed && m_canvas->hasFocus());
}

QRect KeyboardCursor::crosshairArea() const
{
    return m_crosshair->geometry();
}

// The place as the pointer read-out writes it, after the button while it is down.
QString KeyboardCursor::placeText() const
{
    return placeText(buttonDown() ? buttonDownText : QString());
}

QString KeyboardCursor::placeText(const QString &button) const
{
    return button + QString::fromStdString(readOut(float(m_place.x()), float(m_place.y())));
}

// Said once the keys rest.
void KeyboardCursor::announce(const QString &what)
{
    m_unsaid = what;
    m_settle.start();
}

// The mouse or the window changed the button: what a reader finds on the canvas follows at
// once, without being said over what the user is doing.
void KeyboardCursor::retell(const QString &what)
{
    m_settle.stop();
    m_unsaid = what;
    tell(false);
}

void KeyboardCursor::tell(bool aloud)
{
    if (!QAccessible::isActive())
        return;
    forgetSpoken();
    m_spoken = registerSpokenPlace(m_canvas, m_unsaid, crosshairArea());
    // A place said while the focus is elsewhere would be heard as the focus coming back; the
    // reader finds it when the focus does come back.
    if (!aloud || !m_canvas->hasFocus())
        return;
    QAccessibleEvent focus(spokenPlace(), QAccessible::Focus);
    QAccessible::updateAccessibility(&focus);
}

// A reader may still ask about the place said before the newest one; older ones it has done
// with.
void KeyboardCursor::forgetSpoken()
{
    if (m_spokenBefore)
        QAccessible::deleteAccessibleInterface(m_spokenBefore);
    m_spokenBefore = m_spoken;
    m_spoken = 0;
}

} // namespace zorvik::platform
