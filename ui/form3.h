#pragma once

#include "markup/markup.h"
#include "ui/fixed_dialog.h"

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zorvik::ui {

// "Options": the link, target, alternative text and border of the area just drawn.
class Form3 : public DiscardableDialog {
    Q_OBJECT

public:
    explicit Form3(QWidget *parent = nullptr);

    // The controls, named as the program calls them.
    QLabel *Label3() const { return m_Label3; }
    QLineEdit *kehys() const { return m_kehys; }
    QLabel *labeli() const { return m_labeli; }
    QLineEdit *linkki() const { return m_linkki; }
    QLabel *Label1() const { return m_Label1; }
    QLineEdit *alt() const { return m_alt; }
    QLabel *Label4() const { return m_Label4; }
    QLineEdit *kohde() const { return m_kohde; }
    QPushButton *Command1() const { return m_Command1; }
    QPushButton *Command2() const { return m_Command2; }

    void Command1_Click();
    void Command2_Click();
    void koodipatka1();
    void koodipatka2();
    void koodipatka3();

private:
    QLabel *m_Label3 = nullptr;
    QLineEdit *m_kehys = nullptr;
    QLabel *m_labeli = nullptr;
    QLineEdit *m_linkki = nullptr;
    QLabel *m_Label1 = nullptr;
    QLineEdit *m_alt = nullptr;
    QLabel *m_Label4 = nullptr;
    QLineEdit *m_kohde = nullptr;
    QPushButton *m_Command1 = nullptr;
    QPushButton *m_Command2 = nullptr;

    void createControls();
    void appendArea(markup::Shape shape, std::string_view coords);
    markup::AreaFields fields() const;
    markup::Header header() const;
};

// The area dialog of the process, created on first use and again after a title-bar close.
Form3 &form3();

// Shows the area dialog modally and returns once it has been hidden or closed.
void showForm3();

} // namespace zorvik::ui
