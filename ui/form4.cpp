#include "ui/form4.h"

namespace zorvik::ui {

Form4::Form4(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form4"));
}

Form4 &form4()
{
    static Form4 *form = new Form4;
    return *form;
}

} // namespace zorvik::ui
