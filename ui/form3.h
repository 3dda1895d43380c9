#pragma once

#include "markup/markup.h"
#include "ui/fixed_dialog.h"

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zorvik::ui {

// "Options": the link, target, alternative text and border of the area just drawn.
class Form3 : public FixedDialog {
    Q_OBJECT

public:
    explicit Form3(QWidget *parent = nullptr);
    ~Form3() override;

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

    // True once the user has closed the dialog from its title bar; it is then no longer the
    // process's area dialog and is deleted as soon as nothing shows it.
    bool discarded() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void appendArea(markup::Shape shape, std::string_view coords);
    markup::AreaFields fields() const;
    markup::Header header() const;

    bool m_discarded = false;
    // While showForm3() waits on the dialog, a title-bar close leaves the deletion to it.
    bool m_shownModally = false;

    friend void showForm3();
};

// The area dialog of the process, created on first use and again after a title-bar close.
Form3 &form3();

// Shows the area dialog modally and returns once it has been hidden or closed.
void showForm3();

} // namespace zorvik::ui
