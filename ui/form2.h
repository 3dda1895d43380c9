#pragma once

#include "ui/fixed_dialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace zorvik::ui {

// "Uusi": the new map's name and picture. It also keeps them for the map's markup, so it is
// only ever hidden, never discarded.
class Form2 : public FixedDialog {
    Q_OBJECT

public:
    explicit Form2(QWidget *parent = nullptr);

    // The controls, named as the program calls them.
    QLabel *Label1() const { return m_Label1; }
    QLineEdit *nimi() const { return m_nimi; }
    QLabel *Label2() const { return m_Label2; }
    QLineEdit *kuva() const { return m_kuva; }
    QPushButton *Command3() const { return m_Command3; }
    QPushButton *Command1() const { return m_Command1; }

    // "avaa...": lets the user pick the picture in the chooser.
    void Command3_Click();
    // "O.K": shows the picture on the main window's canvas and closes the dialog.
    void Command1_Click();

private:
    QLabel *m_Label1 = nullptr;
    QLineEdit *m_nimi = nullptr;
    QLabel *m_Label2 = nullptr;
    QLineEdit *m_kuva = nullptr;
    QPushButton *m_Command3 = nullptr;
    QPushButton *m_Command1 = nullptr;
};

// The one new-map dialog of the process, created on first use.
Form2 &form2();

} // namespace zorvik::ui
