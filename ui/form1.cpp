#include "ui/form1.h"

#include "markup/markup.h"
#include "platform/canvas/canvas.h"
#include "platform/canvas/keyboard_cursor.h"
#include "platform/clipboard.h"
#include "platform/message_box.h"
#include "platform/modal.h"
#include "platform/twips.h"
#include "ui/canvas_scroll_area.h"
#include "ui/controls.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/markup_box.h"
#include "ui/palette_button.h"
#include "ui/wrapping_button.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>

namespace zorvik::ui {

using platform::pixels;
using platform::twips;
using platform::twipsRect;

namespace {

Form1 *currentForm1 = nullptr;

// The standard sizable border: the client area lies 60 twips in from the left, right and
// bottom edges and 345 twips below the top edge, title bar included.
constexpr double borderWidthTwips = 120;
constexpr double borderHeightTwips = 405;
constexpr double minimumWidthTwips = 2625;
constexpr double minimumHeightTwips = 5790;

const QColor selectedToolColour(0xE0, 0xE0, 0xE0);

QPushButton *commandButton(QWidget *parent, const char *name, const QString &caption,
                           QRect geometry)
{
    auto *button = placed(new QPushButton(caption, parent), name, geometry);
    button->setFont(arial(false));
    return button;
}

// A tool button shows only its picture, so its name is said by a screen reader and shown as
// its tool tip.
QPushButton *toolButton(QWidget *parent, const char *name, const QString &tool,
                        const QString &picture, QRect geometry)
{
    auto *button = placed(new PaletteButton(parent), name, geometry);
    button->setIcon(QIcon(picture));
    button->setIconSize(QSize(32, 32));
    button->setAccessibleName(tool);
    button->setToolTip(tool);
    return button;
}

double widthTwips(const QWidget *w)
{
    return twips(w->width());
}

double heightTwips(const QWidget *w)
{
    return twips(w->height());
}

} // namespace

Form1::Form1(QWidget *parent) : QWidget(parent)
{
    currentForm1 = this;
    createControls();
    m_tools = std::make_unique<DrawingTools>(editorState(), m_points, *m_Picture1, m_areaDialog);
    Form_Load();
}

Form1::~Form1()
{
    // The canvas and its keyboard cursor go with the child widgets, after the drawing tools,
    // and the focus leaving them on the way still reaches the canvas's handlers: from here on
    // nothing calls into the tools.
    m_Picture1->onMouseDown({});
    m_Picture1->onMouseMove({});
    m_Picture1->onMouseUp({});
    m_Picture1->onLetGo({});
    if (currentForm1 == this)
        currentForm1 = nullptr;
}

Form1 *Form1::instance()
{
    return currentForm1;
}

void Form1::createControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zorvik v1.0"));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/zorvik-48.png")));
    QPalette grey = palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(grey);
    setAutoFillBackground(true);
    resize(pixels(8730), pixels(7110));
    setMinimumSize(pixels(minimumWidthTwips - borderWidthTwips),
                   pixels(minimumHeightTwips - borderHeightTwips));

    createCommandColumn();
    createToolPalette();
    createCanvasFrame();
    m_Label2 =
        boldLabel(this, "Label2", QStringLiteral("X = 0, Y = 0"), twipsRect(7080, 4320, 840, 210));
    m_koodi2 = placed(new MarkupBox(this), "koodi2", twipsRect(8160, 4320, 375, 285));
    m_Picture1->setAccessibleName(QStringLiteral("Piirtoalue"));
    m_keyboard->setToolName(m_neliö->accessibleName());

    // Keyboard focus follows the column, then the palette and the canvas, whatever order the
    // frames were made in; the greyed "Esikatselu" closes the round.
    const QList<QWidget *> tabOrder{m_uusi,  m_luo,    m_kopioi,  m_tietoa,   m_Lopeta,
                                    m_neliö, m_ympyrä, m_vinkura, m_Picture1, m_esikatselu};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

// "Valikko": the commands that act on the map as a whole.
void Form1::createCommandColumn()
{
    m_Frame1 = placed(new QGroupBox(QStringLiteral("Valikko"), this), "Frame1",
                      twipsRect(7080, 80, 1575, 3375));
    m_uusi =
        commandButton(m_Frame1, "uusi", QStringLiteral("Uusi"), twipsRect(240, 360, 1095, 375));
    m_luo =
        commandButton(m_Frame1, "luo", QStringLiteral("Luo koodi"), twipsRect(240, 840, 1095, 375));
    // Taller than the others, so that its caption wraps to two lines.
    m_kopioi = placed(new WrappingButton(QStringLiteral("Kopioi koodi leikepöydälle"), m_Frame1),
                      "kopioi", twipsRect(240, 1320, 1095, 495));
    m_kopioi->setFont(arial(false));
    m_esikatselu = commandButton(m_Frame1, "esikatselu", QStringLiteral("Esikatselu"),
                                 twipsRect(240, 1920, 1095, 375));
    m_tietoa = commandButton(m_Frame1, "tietoa", QStringLiteral("Tietoa"),
                             twipsRect(240, 2400, 1095, 375));
    m_Lopeta = commandButton(m_Frame1, "Lopeta", QStringLiteral("Lopeta"),
                             twipsRect(240, 2880, 1095, 375));

    // Nothing to close or copy before a map has an area; preview is never offered.
    m_luo->setEnabled(false);
    m_kopioi->setEnabled(false);
    m_esikatselu->setEnabled(false);

    connect(m_uusi, &QPushButton::clicked, this, &Form1::uusi_Click);
    connect(m_luo, &QPushButton::clicked, this, &Form1::luo_Click);
    connect(m_kopioi, &QPushButton::clicked, this, &Form1::kopioi_Click);
    connect(m_tietoa, &QPushButton::clicked, this, &Form1::tietoa_Click);
    connect(m_Lopeta, &QPushButton::clicked, this, &Form1::Lopeta_Click);
}

// The caption-less frame of the three tool buttons.
void Form1::createToolPalette()
{
    m_Frame3 = placed(new QGroupBox(this), "Frame3", twipsRect(7080, 3480, 1575, 735));
    m_Frame3->setAccessibleName(QStringLiteral("Työkalut"));
    m_neliö = toolButton(m_Frame3, "neliö", QStringLiteral("Suorakulmio"),
                         QStringLiteral(":/pictures/nelio.png"), twipsRect(120, 240, 375, 375));
    m_ympyrä = toolButton(m_Frame3, "ympyrä", QStringLiteral("Ympyrä"),
                          QStringLiteral(":/pictures/ympyra.png"), twipsRect(600, 240, 375, 375));
    m_vinkura =
        toolButton(m_Frame3, "vinkura", QStringLiteral("Monikulmio"),
                   QStringLiteral(":/pictures/vinkura.png"), twipsRect(1080, 240, 375, 375));
    markSelectedTool(m_neliö);

    connect(m_neliö, &QPushButton::clicked, this, &Form1::neliö_Click);
    connect(m_ympyrä, &QPushButton::clicked, this, &Form1::ympyrä_Click);
    connect(m_vinkura, &QPushButton::clicked, this, &Form1::vinkura_Click);
}

// "Kuva": the canvas, inside a scroll area so that every part of a large picture can be mapped.
void Form1::createCanvasFrame()
{
    m_Frame2 = placed(new QGroupBox(QStringLiteral("Kuva"), this), "Frame2",
                      twipsRect(80, 80, 6855, 6975));
    m_Picture1Scroll =
        placed(new CanvasScrollArea(m_Frame2), "Picture1Scroll", twipsRect(120, 240, 6615, 6615));
    m_Picture1Scroll->setFrameShape(QFrame::NoFrame);
    m_Picture1Scroll->setFocusPolicy(Qt::NoFocus);
    m_Picture1Scroll->setWidgetResizable(false);
    m_Picture1Scroll->viewport()->setAutoFillBackground(false);
    m_Picture1Scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_Picture1 =
        placed(new platform::InvertCanvas, "Picture1", QRect(0, 0, pixels(6615), pixels(6615)));
    m_Picture1Scroll->setWidget(m_Picture1);

    m_Picture1->onMouseDown(
        [this](int b, int s, float x, float y) { Picture1_MouseDown(b, s, x, y); });
    m_Picture1->onMouseMove(
        [this](int b, int s, float x, float y) { Picture1_MouseMove(b, s, x, y); });
    m_Picture1->onMouseUp([this](int b, int s, float x, float y) { Picture1_MouseUp(b, s, x, y); });
    m_Picture1->onLetGo([this] { m_tools->cancelDrag(); });
    m_keyboard = new platform::KeyboardCursor(m_Picture1);
}

double Form1::windowWidth() const
{
    return widthTwips(this) + borderWidthTwips;
}

double Form1::windowHeight() const
{
    return heightTwips(this) + borderHeightTwips;
}

void Form1::setWindowSize(double widthTwips, double heightTwips)
{
    resize(pixels(widthTwips - borderWidthTwips), pixels(heightTwips - borderHeightTwips));
}

void Form1::Form_Load()
{
    // The canvas has only the inverting pen, so it is in its drawing mode from the start.
    EditorState &state = editorState();
    state.dragging = false;
    m_Picture1->setEnabled(false);
    m_tools->selectTool(Tool::Rectangle);
    state.polyNew = true;
}

void Form1::Form_Resize()
{
    if (isMinimized())
        return;
    // Correcting the size raises the resize again; the nested pass lays out the corrected size
    // and this one then goes on with the same sizes, read afresh.
    if (windowWidth() < minimumWidthTwips)
        setWindowSize(minimumWidthTwips, windowHeight());
    if (windowHeight() < minimumHeightTwips)
        setWindowSize(windowWidth(), minimumHeightTwips);

    const double width = windowWidth();
    m_Frame1->move(pixels(width - widthTwips(m_Frame1) - 200), m_Frame1->y());
    m_Frame3->move(pixels(width - widthTwips(m_Frame3) - 200), m_Frame3->y());
    m_Frame2->resize(pixels(widthTwips(this) - widthTwips(m_Frame1) - 300),
                     pixels(heightTwips(this) - 100));
    m_Label2->move(pixels(widthTwips(m_Frame2) + 220), m_Label2->y());

    const QSize canvasArea(pixels(widthTwips(m_Frame2) - 250), pixels(heightTwips(m_Frame2) - 350));
    m_Picture1Scroll->resize(canvasArea);
    if (m_Picture1->autoSize())
        return;
    m_Picture1->resize(canvasArea);
}

void Form1::Form_Unload()
{
    QApplication::quit();
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void Form1::closeEvent(QCloseEvent *event)
{
    // While a dialog is shown modally the main window takes no input, and so no close request
    // of the window system either: some systems drop it for a blocked window, others do not.
    if (QApplication::activeModalWidget()) {
        event->ignore();
        return;
    }
    event->accept();
    Form_Unload();
}

void Form1::uusi_Click()
{
    m_kopioi->setEnabled(false);
    m_luo->setEnabled(false);
    m_koodi2->clear();
    platform::showModal(&form2(), this);
}

void Form1::luo_Click()
{
    if (m_koodi2->closeMap())
        m_kopioi->setEnabled(true);
}

void Form1::kopioi_Click()
{
    platform::copyToClipboard(QString::fromStdString(m_koodi2->text()));
}

void Form1::tietoa_Click()
{
    platform::showMessage(this, QStringLiteral("Tietoa tekijästä"),
                          QStringLiteral("Zorvik v1.0 \u00a9 2026 Zorvikin tekijät\n"
                                         " \n"
                                         "E-MAIL:    zorvik@example.org\n"
                                         "WEBBI:    https://zorvik.example.org/"),
                          platform::MessageIcon::Information);
}

void Form1::Lopeta_Click()
{
    QApplication::quit();
}

// The selected tool shows by its colour, and to a screen reader as the one button checked; the
// canvas names it with the keyboard cursor.
void Form1::markSelectedTool(QPushButton *selected)
{
    for (QPushButton *button : {m_ympyrä, m_neliö, m_vinkura}) {
        button->setChecked(button == selected);
        if (button == selected) {
            QPalette palette = button->palette();
            palette.setColor(QPalette::Button, selectedToolColour);
            button->setPalette(palette);
        } else {
            // An empty palette inherits the system's button face again.
            button->setPalette(QPalette());
        }
    }
    if (m_keyboard)
        m_keyboard->setToolName(selected->accessibleName());
}

// A drag ends with the tool it began with: ended by another, it would make an area of values
// that tool never set. The mouse cannot reach a tool in the middle of a drag; the keys can, and
// the click then leaves the selection as it was.
void Form1::selectTool(QPushButton *button, Tool tool)
{
    if (m_keyboard->buttonDown()) {
        const EditorState &state = editorState();
        markSelectedTool(state.rectTool ? m_neliö : state.circleTool ? m_ympyrä : m_vinkura);
        return;
    }
    markSelectedTool(button);
    m_tools->selectTool(tool);
}

void Form1::neliö_Click()
{
    selectTool(m_neliö, Tool::Rectangle);
}

void Form1::ympyrä_Click()
{
    selectTool(m_ympyrä, Tool::Circle);
}

void Form1::vinkura_Click()
{
    selectTool(m_vinkura, Tool::Polygon);
}

void Form1::Picture1_MouseDown(int button, int shift, float x, float y)
{
    m_tools->mouseDown(button, shift, x, y);
}

void Form1::Picture1_MouseMove(int button, int shift, float x, float y)
{
    m_Label2->setText(QString::fromStdString(m_tools->mouseMove(button, shift, x, y)));
    m_Label2->adjustSize();
}

void Form1::Picture1_MouseUp(int button, int shift, float x, float y)
{
    m_tools->mouseUp(button, shift, x, y);
}

void Form1::AreaDialogLauncher::showModal()
{
    showForm3();
}

} // namespace zorvik::ui
