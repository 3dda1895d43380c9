#include "ui/form3.h"

#include "core/editor_state.h"
#include "platform/canvas/canvas.h"
#include "platform/modal.h"
#include "platform/twips.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/markup_box.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace zorvik::ui {

using platform::twipsRect;

namespace {

QLineEdit *textBox(QWidget *parent, const char *name, const QString &text, QRect geometry)
{
    auto *box = placed(new QLineEdit(parent), name, geometry);
    // The fields have no length limit of their own; a line edit cuts at 32767 by default.
    box->setMaxLength(std::numeric_limits<int>::max());
    box->setText(text);
    return box;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption, QRect geometry)
{
    auto *button = placed(FixedDialog::plainButton(caption, parent), name, geometry);
    button->setFont(arial(true));
    return button;
}

std::string fieldText(const QLineEdit *box)
{
    return box->text().toStdString();
}

} // namespace

Form3::Form3(QWidget *parent) : DiscardableDialog(2190, 3000, parent)
{
    createControls();
    connect(m_Command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(m_Command2, &QPushButton::clicked, this, &Form3::Command2_Click);
}

void Form3::createControls()
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Options"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/zorvik-48.png")));

    // Created in tab order; the labels take no focus.
    m_Command1 = button(this, "Command1", QStringLiteral("O.K"), twipsRect(120, 2640, 855, 255));
    m_kehys = textBox(this, "kehys", QStringLiteral("0"), twipsRect(120, 360, 1935, 285));
    m_linkki =
        textBox(this, "linkki", QStringLiteral("linkki.html"), twipsRect(120, 960, 1935, 285));
    m_alt = textBox(this, "alt", QStringLiteral("teksti"), twipsRect(120, 1560, 1935, 285));
    m_kohde = textBox(this, "kohde", QStringLiteral("oikea"), twipsRect(120, 2160, 1935, 285));
    m_Label3 = boldLabel(this, "Label3", QStringLiteral("Kehys:"), twipsRect(120, 120, 555, 210));
    m_Label1 = boldLabel(this, "Label1", QStringLiteral("Alt:"), twipsRect(120, 1320, 270, 210));
    m_labeli = boldLabel(this, "labeli", QStringLiteral("Linkki:"), twipsRect(120, 720, 555, 210));
    m_Label4 = boldLabel(this, "Label4", QStringLiteral("Kohde:"), twipsRect(120, 1920, 570, 210));
    m_Command2 =
        button(this, "Command2", QStringLiteral("Peruuta"), twipsRect(1080, 2640, 975, 255));
    // Each label names its field for a screen reader; the captions carry no mnemonic.
    m_Label3->setBuddy(m_kehys);
    m_labeli->setBuddy(m_linkki);
    m_Label1->setBuddy(m_alt);
    m_Label4->setBuddy(m_kohde);

    const QList<QWidget *> tabOrder{m_Command1, m_kehys, m_linkki, m_alt, m_kohde, m_Command2};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void Form3::Command1_Click()
{
    Form1 *main = Form1::instance();
    main->luo()->setEnabled(true);
    main->Picture1()->clear();
    const EditorState &state = editorState();
    if (state.rectTool)
        koodipatka1();
    else if (state.circleTool)
        koodipatka2();
    else
        koodipatka3();
    hide();
}

void Form3::Command2_Click()
{
    editorState().dragging = false;
    Form1::instance()->Picture1()->clear();
    hide();
}

void Form3::koodipatka1()
{
    const EditorState &state = editorState();
    appendArea(markup::Shape::Rect,
               markup::rectCoords(state.startX, state.startY, state.endX, state.endY));
}

void Form3::koodipatka2()
{
    const EditorState &state = editorState();
    appendArea(markup::Shape::Circle,
               markup::circleCoords(state.circleX, state.circleY, state.circleRadius));
}

void Form3::koodipatka3()
{
    appendArea(markup::Shape::Poly, editorState().polyCoords);
}

void Form3::appendArea(markup::Shape shape, std::string_view coords)
{
    Form1::instance()->koodi2()->appendArea(shape, coords, fields(), [this] { return header(); });
}

markup::AreaFields Form3::fields() const
{
    return {fieldText(m_linkki), fieldText(m_kohde), fieldText(m_alt)};
}

// Asked for only while the map is empty, so later areas never read the new-map dialog or the
// border.
markup::Header Form3::header() const
{
    const Form2 &newMap = form2();
    return {fieldText(newMap.kuva()), fieldText(newMap.nimi()), fieldText(m_kehys)};
}

Form3 &form3()
{
    return DiscardableDialog::instance<Form3>();
}

void showForm3()
{
    DiscardableDialog::showUntilHidden(&form3(), Form1::instance());
}

} // namespace zorvik::ui
