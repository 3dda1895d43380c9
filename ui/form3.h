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

    QLabel *Label3;
    QLineEdit *kehys;
    QLabel *labeli;
    QLineEdit *linkki;
    QLabel *Label1;
    QLineEdit *alt;
    QLabel *Label4;
    QLineEdit *kohde;
    QPushButton *Command1;
    QPushButton *Command2;

    void Command1_Click();
    void Command2_Click();
    void koodipatka1();
    void koodipatka2();
    void koodipatka3();

private:
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
