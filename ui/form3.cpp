#include "ui/form3.h"

#include "platform/modal.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zorvik::ui {

Form3::Form3(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form3"));
    Label3 = new QLabel(QStringLiteral("Kehys:"), this);
    kehys = new QLineEdit(QStringLiteral("0"), this);
    labeli = new QLabel(QStringLiteral("Linkki:"), this);
    linkki = new QLineEdit(QStringLiteral("linkki.html"), this);
    Label1 = new QLabel(QStringLiteral("Alt:"), this);
    alt = new QLineEdit(QStringLiteral("teksti"), this);
    Label4 = new QLabel(QStringLiteral("Kohde:"), this);
    kohde = new QLineEdit(QStringLiteral("oikea"), this);
    Command1 = new QPushButton(QStringLiteral("O.K"), this);
    Command2 = new QPushButton(QStringLiteral("Peruuta"), this);
}

void Form3::Command1_Click() {}
void Form3::Command2_Click() {}
void Form3::koodipatka1() {}
void Form3::koodipatka2() {}
void Form3::koodipatka3() {}

Form3 &form3()
{
    static Form3 *form = new Form3;
    return *form;
}

void showForm3()
{
    platform::showModal(&form3());
}

} // namespace zorvik::ui
