#include "platform/modal.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

namespace zorvik::platform {

namespace {

ModalDriver &driver()
{
    static ModalDriver d;
    return d;
}

const char *centredProperty = "zorvikCentred";

// Showing a window makes it forget that the keyboard is in use, so that its focus would show
// only after the first key; this tells it again as it is shown, once.
class KeyboardFocusShown : public QObject {
public:
    explicit KeyboardFocusShown(QWidget *window) : QObject(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched == parent()) {
            auto *window = static_cast<QWidget *>(watched);
            window->setAttribute(Qt::WA_KeyboardFocusChange);
            window->update();
            window->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }
};

// The window system keeps a transient window above its parent; without one, a click on the
// blocked owner could bury the dialog behind it.
void belongTo(QDialog *dialog, QWidget *owner)
{
    if (dialog->parentWidget() || !owner)
        return;
    QWindow *ownerWindow = owner->window()->windowHandle();
    if (!ownerWindow)
        return;
    // Asking for the native window makes it, before its first showing too.
    dialog->winId();
    dialog->windowHandle()->setTransientParent(ownerWindow);
}

} // namespace

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void showModal(QDialog *dialog, QWidget *owner)
{
    // A dialog opened by someone working from the keyboard shows its focus at once.
    if (const QWidget *from = QApplication::activeWindow();
        from && from->testAttribute(Qt::WA_KeyboardFocusChange))
        new KeyboardFocusShown(dialog);
    belongTo(dialog, owner);
    if (!dialog->parentWidget() && !dialog->property(centredProperty).toBool()) {
        centreOnScreen(dialog);
        dialog->setProperty(centredProperty, true);
    }
    if (driver()) {
        // Modal as exec() makes it, so that the other windows are blocked as they would be.
        const bool wasModal = dialog->testAttribute(Qt::WA_ShowModal);
        dialog->setAttribute(Qt::WA_ShowModal, true);
        dialog->show();
        // The driver may be called again from inside, for a dialog that opens another.
        ModalDriver current = driver();
        current(dialog);
        if (dialog->isVisible())
            dialog->hide();
        dialog->setAttribute(Qt::WA_ShowModal, wasModal);
        return;
    }
    dialog->exec();
}

void setModalDriver(ModalDriver d)
{
    driver() = std::move(d);
}

} // namespace zorvik::platform
