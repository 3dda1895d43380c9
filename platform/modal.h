#pragma once

#include <functional>

class QDialog;
class QWidget;

namespace zorvik::platform {

// Shows |dialog| modally and returns once it has hidden itself or been closed. The first
// showing centres it on the screen.
void showModal(QDialog *dialog);

// Centres |window| on its screen.
void centreOnScreen(QWidget *window);

// Tests set a driver to act as the user: showModal() then shows the dialog without a nested
// event loop and calls the driver, which presses the dialog's buttons. An empty driver restores
// real modal display.
using ModalDriver = std::function<void(QDialog *)>;
void setModalDriver(ModalDriver driver);

} // namespace zorvik::platform
