#pragma once

#include <functional>

class QDialog;
class QWidget;

namespace zorvik::platform {

// Shows |dialog| modally and returns once it has hidden itself or been closed. A dialog of its
// own, without a parent widget, belongs to |owner|'s window, which the window system keeps it
// above, and its first showing centres it on the screen; one with a parent belongs to its
// parent and is placed over it.
void showModal(QDialog *dialog, QWidget *owner);

// Centres |window| on its screen.
void centreOnScreen(QWidget *window);

// Tests set a driver to act as the user: showModal() then shows the dialog modally without a
// nested event loop and calls the driver, which presses the dialog's buttons. An empty driver
// restores real modal display.
using ModalDriver = std::function<void(QDialog *)>;
void setModalDriver(ModalDriver driver);

} // namespace zorvik::platform
