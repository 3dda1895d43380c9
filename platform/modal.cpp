#include "platform/modal.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

namespace zorvik::platform {

namespace {

ModalDriver &driver()
{
    static ModalDriver d;
    return d;
}

const char *centredProperty = "zorvikCentred";

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

void showModal(QDialog *dialog)
{
    // A dialog opened by someone working from the keyboard shows its focus at once, not only
    // after the first key pressed in it.
    if (const QWidget *from = QApplication::activeWindow();
        from && from->testAttribute(Qt::WA_KeyboardFocusChange))
        dialog->setAttribute(Qt::WA_KeyboardFocusChange);
    if (!dialog->property(centredProperty).toBool()) {
        centreOnScreen(dialog);
        dialog->setProperty(centredProperty, true);
    }
    if (driver()) {
        dialog->show();
        // The driver may be called again from inside, for a dialog that opens another.
        ModalDriver current = driver();
        current(dialog);
        if (dialog->isVisible())
            dialog->hide();
        return;
    }
    dialog->exec();
}

void setModalDriver(ModalDriver d)
{
    driver() = std::move(d);
}

} // namespace zorvik::platform
