#include "ui/form1.h"

#include "markup/markup.h"
#include "platform/canvas.h"
#include "platform/message_box.h"
#include "platform/modal.h"
#include "platform/twips.h"
#include "ui/controls.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/markup_box.h"
#include "ui/palette_button.h"
#include "ui/wrapping_button.h"

#include <QApplication>
#include <QClipboard>
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

QPushButton *toolButton(QWidget *parent, const char *name, const QString &picture, QRect geometry)
{
    auto *button = placed(new PaletteButton(parent), name, geometry);
    button->setIcon(QIcon(picture));
    button->setIconSize(QSize(32, 32));
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
    m_tools = std::make_unique<DrawingTools>(editorState(), points, *Picture1, m_areaDialog);
    Form_Load();
}

Form1::~Form1()
{
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

    // Created in tab order.
    Frame1 = placed(new QGroupBox(QStringLiteral("Valikko"), this), "Frame1",
                    twipsRect(7080, 80, 1575, 3375));
    uusi = commandButton(Frame1, "uusi", QStringLiteral("Uusi"), twipsRect(240, 360, 1095, 375));
    luo = commandButton(Frame1, "luo", QStringLiteral("Luo koodi"), twipsRect(240, 840, 1095, 375));
    kopioi = placed(new WrappingButton(QStringLiteral("Kopioi koodi leikepöydälle"), Frame1),
                    "kopioi", twipsRect(240, 1320, 1095, 495));
    kopioi->setFont(arial(false));
    tietoa =
        commandButton(Frame1, "tietoa", QStringLiteral("Tietoa"), twipsRect(240, 2400, 1095, 375));
    Lopeta =
        commandButton(Frame1, "Lopeta", QStringLiteral("Lopeta"), twipsRect(240, 2880, 1095, 375));
    neliö = toolButton(this, "neliö", QStringLiteral(":/pictures/nelio.png"), QRect());
    ympyrä = toolButton(this, "ympyrä", QStringLiteral(":/pictures/ympyra.png"), QRect());
    vinkura = toolButton(this, "vinkura", QStringLiteral(":/pictures/vinkura.png"), QRect());
    Frame2 = placed(new QGroupBox(QStringLiteral("Kuva"), this), "Frame2",
                    twipsRect(80, 80, 6855, 6975));
    Picture1Scroll =
        placed(new QScrollArea(Frame2), "Picture1Scroll", twipsRect(120, 240, 6615, 6615));
    Picture1Scroll->setFrameShape(QFrame::NoFrame);
    Picture1Scroll->setFocusPolicy(Qt::NoFocus);
    Picture1Scroll->setWidgetResizable(false);
    Picture1Scroll->viewport()->setAutoFillBackground(false);
    Picture1Scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture1 =
        placed(new platform::InvertCanvas, "Picture1", QRect(0, 0, pixels(6615), pixels(6615)));
    Picture1Scroll->setWidget(Picture1);
    Label2 =
        boldLabel(this, "Label2", QStringLiteral("X = 0, Y = 0"), twipsRect(7080, 4320, 840, 210));
    Frame3 = placed(new QGroupBox(this), "Frame3", twipsRect(7080, 3480, 1575, 735));
    neliö->setParent(Frame3);
    ympyrä->setParent(Frame3);
    vinkura->setParent(Frame3);
    neliö->setGeometry(twipsRect(120, 240, 375, 375));
    ympyrä->setGeometry(twipsRect(600, 240, 375, 375));
    vinkura->setGeometry(twipsRect(1080, 240, 375, 375));
    koodi2 = placed(new MarkupBox(this), "koodi2", twipsRect(8160, 4320, 375, 285));
    esikatselu = commandButton(Frame1, "esikatselu", QStringLiteral("Esikatselu"),
                               twipsRect(240, 1920, 1095, 375));
    esikatselu->setEnabled(false);

    luo->setEnabled(false);
    kopioi->setEnabled(false);

    const QList<QWidget *> tabOrder{uusi,  luo,    kopioi,  tietoa,   Lopeta,
                                    neliö, ympyrä, vinkura, Picture1, esikatselu};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(uusi, &QPushButton::clicked, this, &Form1::uusi_Click);
    connect(luo, &QPushButton::clicked, this, &Form1::luo_Click);
    connect(kopioi, &QPushButton::clicked, this, &Form1::kopioi_Click);
    connect(tietoa, &QPushButton::clicked, this, &Form1::tietoa_Click);
    connect(Lopeta, &QPushButton::clicked, this, &Form1::Lopeta_Click);
    connect(neliö, &QPushButton::clicked, this, &Form1::neliö_Click);
    connect(ympyrä, &QPushButton::clicked, this, &Form1::ympyrä_Click);
    connect(vinkura, &QPushButton::clicked, this, &Form1::vinkura_Click);

    Picture1->onMouseDown(
        [this](int b, int s, float x, float y) { Picture1_MouseDown(b, s, x, y); });
    Picture1->onMouseMove(
        [this](int b, int s, float x, float y) { Picture1_MouseMove(b, s, x, y); });
    Picture1->onMouseUp([this](int b, int s, float x, float y) { Picture1_MouseUp(b, s, x, y); });

    setToolColours(neliö);
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
    Picture1->setEnabled(false);
    state.rectTool = true;
    state.circleTool = false;
    state.polyTool = false;
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
    Frame1->move(pixels(width - widthTwips(Frame1) - 200), Frame1->y());
    Frame3->move(pixels(width - widthTwips(Frame3) - 200), Frame3->y());
    Frame2->resize(pixels(widthTwips(this) - widthTwips(Frame1) - 300),
                   pixels(heightTwips(this) - 100));
    Label2->move(pixels(widthTwips(Frame2) + 220), Label2->y());

    const QSize canvasArea(pixels(widthTwips(Frame2) - 250), pixels(heightTwips(Frame2) - 350));
    Picture1Scroll->resize(canvasArea);
    if (Picture1->autoSize())
        return;
    Picture1->resize(canvasArea);
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
    event->accept();
    Form_Unload();
}

void Form1::uusi_Click()
{
    kopioi->setEnabled(false);
    luo->setEnabled(false);
    koodi2->setText({});
    platform::showModal(&form2());
}

void Form1::luo_Click()
{
    if (markup::closeMap(koodi2->buffer()))
        kopioi->setEnabled(true);
}

void Form1::kopioi_Click()
{
    QGuiApplication::clipboard()->setText(koodi2->qtext());
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

void Form1::setToolColours(QPushButton *selected)
{
    for (QPushButton *button : {ympyrä, neliö, vinkura}) {
        if (button == selected) {
            QPalette palette = button->palette();
            palette.setColor(QPalette::Button, selectedToolColour);
            button->setPalette(palette);
        } else {
            // An empty palette inherits the system's button face again.
            button->setPalette(QPalette());
        }
    }
}

void Form1::neliö_Click()
{
    setToolColours(neliö);
    m_tools->selectTool(Tool::Rectangle);
}

void Form1::ympyrä_Click()
{
    setToolColours(ympyrä);
    m_tools->selectTool(Tool::Circle);
}

void Form1::vinkura_Click()
{
    setToolColours(vinkura);
    m_tools->selectTool(Tool::Polygon);
}

void Form1::Picture1_MouseDown(int button, int shift, float x, float y)
{
    m_tools->mouseDown(button, shift, x, y);
}

void Form1::Picture1_MouseMove(int button, int shift, float x, float y)
{
    Label2->setText(QString::fromStdString(m_tools->mouseMove(button, shift, x, y)));
    Label2->adjustSize();
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
