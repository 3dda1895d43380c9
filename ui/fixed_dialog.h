#pragma once

#include "platform/twips.h"
#include "ui/controls.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>

namespace zorvik::ui {

// A dialog with a fixed single border and no minimise or maximise buttons, its client area
// given in twips. It has no default or cancel button: Enter and Escape press nothing, and the
// dialog ends only through its own buttons or its title bar's close button, which hides it.
class FixedDialog : public QDialog {
public:
    FixedDialog(double clientWidthTwips, double clientHeightTwips, QWidget *parent = nullptr)
        : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                              Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    {
        setFixedSize(platform::pixels(clientWidthTwips), platform::pixels(clientHeightTwips));
    }

    // A push button that Enter does not press; in a dialog Qt would otherwise make every button
    // press on Enter once it has the focus.
    static QPushButton *plainButton(const QString &caption, QWidget *parent)
    {
        auto *button = new QPushButton(caption, parent);
        button->setAutoDefault(false);
        button->setDefault(false);
        return button;
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Enter:
        case Qt::Key_Return:
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
        }
    }
};

} // namespace zorvik::ui
