#include "ui/form2.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zorvik::ui {

Form2::Form2(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form2"));
    Label1 = new QLabel(QStringLiteral("Mapin nimi:"), this);
    nimi = new QLineEdit(QStringLiteral("nimetön"), this);
    Label2 = new QLabel(QStringLiteral("Kuva:"), this);
    kuva = new QLineEdit(QStringLiteral("kuva"), this);
    Command3 = new QPushButton(QStringLiteral("avaa..."), this);
    Command1 = new QPushButton(QStringLiteral("O.K"), this);
}

void Form2::Command3_Click() {}

void Form2::Command1_Click() {}

Form2 &form2()
{
    static Form2 *form = new Form2;
    return *form;
}

} // namespace zorvik::ui
