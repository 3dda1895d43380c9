#include "platform/canvas/canvas_accessible.h"

#include "platform/canvas/canvas.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>
#include <QWindow>

namespace zorvik::platform {

namespace {

const CanvasNarrator *narratorOf(QObject *object)
{
    const auto *canvas = qobject_cast<InvertCanvas *>(object);
    return canvas ? canvas->narrator() : nullptr;
}

// A place said to a screen reader. A reader says the object the focus moves on to, and nothing
// when the focus stays where it is, so each place said is an object of its own, and the canvas
// hands its focus on to the newest: this works with any reader and any Qt, where a changed name
// or description of the canvas reaches a reader without its text on some.
class SpokenPlace : public QAccessibleInterface {
public:
    SpokenPlace(InvertCanvas *canvas, QString text, QRect area)
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
        const CanvasNarrator *narrator = narratorOf(m_canvas);
        state.focused =
            m_canvas && m_canvas->hasFocus() && narrator && narrator->spokenPlace() == this;
        return state;
    }

private:
    QPointer<InvertCanvas> m_canvas;
    const QString m_text;
    const QRect m_area;
};

// The canvas as a drawing area whose description tells the tool and the place pointed at, with
// the place said last as its one child. The crosshair is no part of what a reader sees.
class CanvasAccessible : public QAccessibleWidget {
public:
    explicit CanvasAccessible(QWidget *canvas) : QAccessibleWidget(canvas, QAccessible::Canvas) {}

    QString text(QAccessible::Text t) const override
    {
        if (const CanvasNarrator *narrator = narratorOf(object());
            narrator && t == QAccessible::Description)
            return narrator->description();
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
        const CanvasNarrator *narrator = narratorOf(object());
        return narrator ? narrator->spokenPlace() : nullptr;
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

void presentCanvases()
{
    static const bool presented = (QAccessible::installFactory(canvasAccessible), true);
    Q_UNUSED(presented);
}

QAccessible::Id registerSpokenPlace(InvertCanvas *canvas, const QString &text, const QRect &area)
{
    return QAccessible::registerAccessibleInterface(new SpokenPlace(canvas, text, area));
}

} // namespace zorvik::platform
