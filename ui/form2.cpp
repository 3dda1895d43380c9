#include "ui/form2.h"

#include "platform/canvas/canvas.h"
#include "platform/message_box.h"
#include "platform/modal.h"
#include "platform/picture/picture_loader.h"
#include "platform/twips.h"
#include "ui/form1.h"
#include "ui/form4.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zorvik::ui {

using platform::twipsRect;

Form2::Form2(QWidget *parent) : FixedDialog(3255, 1770, parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Uusi"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/zorvik-48.png")));

    // The fields and buttons are created in tab order, the name first.
    m_nimi = placed(new QLineEdit(QStringLiteral("nimetön"), this), "nimi",
                    twipsRect(120, 360, 3015, 285));
    m_kuva =
        placed(new QLineEdit(QStringLiteral("kuva"), this), "kuva", twipsRect(120, 960, 2175, 285));
    m_Command3 = placed(plainButton(QStringLiteral("avaa..."), this), "Command3",
                        twipsRect(2400, 980, 735, 285));
    m_Command1 = placed(plainButton(QStringLiteral("O.K"), this), "Command1",
                        twipsRect(120, 1440, 855, 255));
    m_Command3->setFont(arial(true));
    m_Command1->setFont(arial(true));
    m_Label1 =
        boldLabel(this, "Label1", QStringLiteral("Mapin nimi:"), twipsRect(120, 120, 945, 210));
    m_Label2 = boldLabel(this, "Label2", QStringLiteral("Kuva:"), twipsRect(120, 720, 435, 210));
    // Each label names its field for a screen reader; the captions carry no mnemonic.
    m_Label1->setBuddy(m_nimi);
    m_Label2->setBuddy(m_kuva);
    m_nimi->setFocus();

    connect(m_Command3, &QPushButton::clicked, this, &Form2::Command3_Click);
    connect(m_Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
}

void Form2::Command3_Click()
{
    Form4 &chooser = form4();
    chooser.setResult(QDialog::Rejected);
    // Only "Avaa" hands a path over; "Peruuta" and the close button leave the field alone. The
    // chooser belongs to this dialog, which waits for it, so that the window system keeps it
    // above this one and hands the focus back here when it closes.
    if (DiscardableDialog::showUntilHidden(&chooser, this) && chooser.result() == QDialog::Accepted)
        m_kuva->setText(chooser.tiedosto()->text());
}

void Form2::Command1_Click()
{
    const QString path = m_kuva->text();
    if (path.isEmpty())
        return;
    platform::LoadedPicture loaded = platform::loadPicture(path);
    if (!loaded.error.isEmpty()) {
        platform::showMessage(this, QStringLiteral("Virhe"), loaded.error,
                              platform::MessageIcon::Critical);
        return;
    }
    // Handing the picture over without keeping a reference lets the canvas draw on it in
    // place, however large it is.
    platform::InvertCanvas *canvas = Form1::instance()->Picture1();
    canvas->setPicture(std::move(loaded.image));
    accept();
    canvas->setAutoSize(true);
    canvas->setEnabled(true);
}

Form2 &form2()
{
    static Form2 *form = new Form2;
    return *form;
}

} // namespace zorvik::ui
