#include "platform/canvas/keyboard_cursor.h"

#include "core/canvas.h"
#include "platform/canvas/canvas.h"

#include <QAccessibleWidget>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
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

QString placeText(QPoint place)
{
    return QStringLiteral("X = %1, Y = %2").arg(place.x()).arg(place.y());
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

KeyboardCursor *cursorOf(QObject *canvas)
{
    return canvas ? canvas->findChild<KeyboardCursor *>(QString(), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

// A place said to a screen reader. A reader says the object the focus moves on to, and nothing
// when the focus stays where it is, so each place said is an object of its own, and the canvas
// hands its focus on to the newest: this works with any reader and any Qt, where a changed name
// or description of the canvas reaches a reader without its text on some.
class SpokenPlace : public QAccessibleInterface {
public:
    SpokenPlace(QWidget *canvas, QString text, QRect area)
        : m_canvas(canvas), m_text(std::move(text)), m_area(area)
    {}

    bool isValid() const override { return !m_canvas.isNull(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override
    {
        return m_canvas ? m_canvas->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_canvas);
    }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? m_text : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        return m_canvas ? QRect(m_canvas->mapToGlobal(m_area.topLeft()), m_area.size()) : QRect();
    }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.focusable = true;
        const KeyboardCursor *cursor = cursorOf(m_canvas);
        state.focused = m_canvas && m_canvas->hasFocus() && cursor && cursor->spokenPlace() == this;
        return state;
    }

private:
    QPointer<QWidget> m_canvas;
    const QString m_text;
    const QRect m_area;
};

// The canvas as a drawing area whose description tells the tool and the cursor's place, with
// the place said last as its one child. The crosshair is no part of what a reader sees.
class CanvasAccessible : public QAccessibleWidget {
public:
    explicit CanvasAccessible(QWidget *canvas) : QAccessibleWidget(canvas, QAccessible::Canvas) {}

    QString text(QAccessible::Text t) const override
    {
        if (const KeyboardCursor *cursor = cursorOf(object());
            cursor && t == QAccessible::Description)
            return cursor->description();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return spoken() ? 1 : 0; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? spoken() : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && child == spoken() ? 0 : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        QAccessibleInterface *place = spoken();
        return place && place->rect().contains(x, y) ? place : nullptr;
    }
    QAccessibleInterface *focusChild() const override { return spoken(); }

private:
    QAccessibleInterface *spoken() const
    {
        const KeyboardCursor *cursor = cursorOf(object());
        return cursor ? cursor->spokenPlace() : nullptr;
    }
};

QAccessibleInterface *canvasAccessible(const QString &className, QObject *object)
{
    if (className != QLatin1String(InvertCanvas::staticMetaObject.className()) ||
        !object->isWidgetType())
        return nullptr;
    return new CanvasAccessible(static_cast<QWidget *>(object));
}

} // namespace

KeyboardCursor::KeyboardCursor(InvertCanvas *canvas)
    : QObject(canvas), m_canvas(canvas), m_crosshair(new Crosshair(canvas))
{
    static const bool presented = (QAccessible::installFactory(canvasAccessible), true);
    Q_UNUSED(presented);
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMilliseconds);
    connect(&m_settle, &QTimer::timeout, this, &KeyboardCursor::speak);
    connect(canvas, &InvertCanvas::pictureSet, this, [this] {
        m_place = QPoint();
        m_held = false;
        updateCrosshair();
    });
    canvas->installEventFilter(this);
    updateCrosshair();
}

KeyboardCursor::~KeyboardCursor()
{
    m_canvas->removeEventFilter(this);
    forgetSpoken();
    forgetSpoken();
}

void KeyboardCursor::setToolName(const QString &name)
{
    m_toolName = name;
}

QString KeyboardCursor::description() const
{
    const QString place = placeText(m_place);
    return m_toolName.isEmpty() ? place : m_toolName + QStringLiteral(", ") + place;
}

QAccessibleInterface *KeyboardCursor::spokenPlace() const
{
    return m_spoken ? QAccessible::accessibleInterface(m_spoken) : nullptr;
}

void KeyboardCursor::onLetGo(std::function<void()> cancel)
{
    m_letGo = std::move(cancel);
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
    case QEvent::MouseButtonRelease:
        // The mouse takes the button over: what the keyboard held is let go of without a
        // release, so that the next Space presses again.
        m_held = false;
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
        if (m_held) {
            m_held = false;
            if (m_letGo)
                m_letGo();
        }
        break;
    default:
        break;
    }
    return false;
}

bool KeyboardCursor::keyPress(const QKeyEvent &event)
{
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
        announce(QStringLiteral("Napsautus, ") + placeText(m_place));
        m_held = false;
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
    announce(QStringLiteral("Painike alhaalla, ") + placeText(m_place));
    m_canvas->pressAt(leftButton, shift, float(m_place.x()), float(m_place.y()));
}

void KeyboardCursor::release(int shift)
{
    m_held = false;
    announce(QStringLiteral("Painike ylhäällä, ") + placeText(m_place));
    m_canvas->releaseAt(leftButton, shift, float(m_place.x()), float(m_place.y()));
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
    announce(m_held ? QStringLiteral("Painike alhaalla, ") + placeText(m_place)
                    : placeText(m_place));
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

void KeyboardCursor::announce(const QString &what)
{
    m_unsaid = what;
    m_settle.start();
}

void KeyboardCursor::speak()
{
    // A place said while the focus is elsewhere would be heard as the focus coming back.
    if (!QAccessible::isActive() || !m_canvas->hasFocus())
        return;
    forgetSpoken();
    auto *place = new SpokenPlace(m_canvas, m_unsaid, crosshairArea());
    m_spoken = QAccessible::registerAccessibleInterface(place);
    QAccessibleEvent focus(place, QAccessible::Focus);
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
