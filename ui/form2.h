#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zorvik::ui {

// "Uusi": the new map's name and picture.
class Form2 : public QDialog {
    Q_OBJECT

public:
    explicit Form2(QWidget *parent = nullptr);

    QLabel *Label1;
    QLineEdit *nimi;
    QLabel *Label2;
    QLineEdit *kuva;
    QPushButton *Command3;
    QPushButton *Command1;

    void Command3_Click();
    void Command1_Click();
};

// The one new-map dialog of the process, created on first use.
Form2 &form2();

} // namespace zorvik::ui
