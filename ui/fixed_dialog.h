#pragma once

#include "platform/modal.h"
#include "platform/twips.h"
#include "ui/controls.h"

#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>

namespace zorvik::ui {

// A dialog with a fixed single border and no minimise or maximise buttons, its client area
// given in twips. It has no default or cancel button: Enter and Escape press nothing, and the
// dialog ends only through its own buttons or its title bar's close button.
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

// A dialog that the user closes from its title bar is thrown away with everything typed into
// it; the next use makes a fresh one with the initial texts. Its own buttons only hide it.
class DiscardableDialog : public FixedDialog {
public:
    using FixedDialog::FixedDialog;

    // True once the user has closed the dialog from its title bar.
    bool discarded() const { return m_discarded; }

    // Shows |dialog| modally over |owner|. Returns true when it hid itself, and false when the
    // user closed it from its title bar; it has then been deleted.
    static bool showUntilHidden(DiscardableDialog *dialog, QWidget *owner)
    {
        const QPointer<DiscardableDialog> guard(dialog);
        dialog->m_shownModally = true;
        platform::showModal(dialog, owner);
        if (!guard)
            return false;
        guard->m_shownModally = false;
        if (!guard->discarded())
            return true;
        delete guard.data();
        return false;
    }

    // The process's one instance of a dialog type, made on first use and again after a
    // title-bar close.
    template <typename D> static D &instance()
    {
        static QPointer<D> current;
        if (!current || current->discarded())
            current = new D;
        return *current;
    }

protected:
    void closeEvent(QCloseEvent *event) override
    {
        event->accept();
        m_discarded = true;
        // While shown modally, showUntilHidden() deletes it once the showing has ended.
        if (!m_shownModally)
            deleteLater();
    }

private:
    bool m_discarded = false;
    bool m_shownModally = false;
};

} // namespace zorvik::ui
