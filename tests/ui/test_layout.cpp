// Where every control of the four windows stands before the user touches anything: its name,
// its container, its caption and its place in twips, as the windows' layout tables give them.
// This is the one place that holds those tables; the other suites test behaviour.

#include "core/editor_state.h"
#include "platform/canvas/canvas.h"
#include "platform/file_system.h"
#include "platform/twips.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/form3.h"
#include "ui/form4.h"

#include <QAbstractButton>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace zorvik;
using platform::twipsRect;

namespace {

struct Place {
    const char *name;
    const char *container;
    // Empty where the control shows no caption or text.
    const char *caption;
    double left, top, width, height;
    // A label that sizes itself to its caption keeps only its top-left corner.
    bool sizesItself = false;
};

QString captionOf(const QWidget *widget)
{
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (const auto *frame = qobject_cast<const QGroupBox *>(widget))
        return frame->title();
    if (const auto *box = qobject_cast<const QLineEdit *>(widget))
        return box->text();
    return {};
}

void checkPlaces(const QWidget &window, double clientWidth, double clientHeight,
                 const std::vector<Place> &places)
{
    QCOMPARE(window.size(), twipsRect(0, 0, clientWidth, clientHeight).size());
    for (const Place &place : places) {
        const auto *widget = window.findChild<QWidget *>(QString::fromUtf8(place.name));
        QVERIFY2(widget, place.name);
        const QWidget *parent = widget->parentWidget();
        QVERIFY2(parent && parent->objectName() == QString::fromUtf8(place.container), place.name);
        QCOMPARE(captionOf(widget), QString::fromUtf8(place.caption));
        const QRect expected = twipsRect(place.left, place.top, place.width, place.height);
        if (place.sizesItself) {
            QCOMPARE(widget->pos(), expected.topLeft());
            QCOMPARE(widget->size(), widget->sizeHint());
        } else {
            QCOMPARE(widget->geometry(), expected);
        }
    }
}

} // namespace

class TestLayout : public QObject {
    Q_OBJECT

    QTemporaryDir m_startFolder;

private slots:
    void initTestCase()
    {
        QVERIFY(m_startFolder.isValid());
        QVERIFY(QDir::setCurrent(m_startFolder.path()));
    }

    void mainWindow()
    {
        editorState() = EditorState{};
        const ui::Form1 form;
        checkPlaces(form, 8730, 7110,
                    {
                        {"Frame1", "Form1", "Valikko", 7080, 80, 1575, 3375},
                        {"uusi", "Frame1", "Uusi", 240, 360, 1095, 375},
                        {"luo", "Frame1", "Luo koodi", 240, 840, 1095, 375},
                        {"kopioi", "Frame1", "Kopioi koodi leikepöydälle", 240, 1320, 1095, 495},
                        {"esikatselu", "Frame1", "Esikatselu", 240, 1920, 1095, 375},
                        {"tietoa", "Frame1", "Tietoa", 240, 2400, 1095, 375},
                        {"Lopeta", "Frame1", "Lopeta", 240, 2880, 1095, 375},
                        {"Frame3", "Form1", "", 7080, 3480, 1575, 735},
                        {"neliö", "Frame3", "", 120, 240, 375, 375},
                        {"ympyrä", "Frame3", "", 600, 240, 375, 375},
                        {"vinkura", "Frame3", "", 1080, 240, 375, 375},
                        {"Label2", "Form1", "X = 0, Y = 0", 7080, 4320, 840, 210, true},
                        {"koodi2", "Form1", "", 8160, 4320, 375, 285},
                        {"Frame2", "Form1", "Kuva", 80, 80, 6855, 6975},
                        // The canvas scrolls inside the frame where the canvas itself stands.
                        {"Picture1Scroll", "Frame2", "", 120, 240, 6615, 6615},
                    });
        QCOMPARE(form.Picture1()->size(), twipsRect(0, 0, 6615, 6615).size());
        QCOMPARE(form.windowTitle(), QStringLiteral("Zorvik v1.0"));
    }

    void newMapDialog()
    {
        checkPlaces(ui::form2(), 3255, 1770,
                    {
                        {"Label1", "Form2", "Mapin nimi:", 120, 120, 945, 210, true},
                        {"nimi", "Form2", "nimetön", 120, 360, 3015, 285},
                        {"Label2", "Form2", "Kuva:", 120, 720, 435, 210, true},
                        {"kuva", "Form2", "kuva", 120, 960, 2175, 285},
                        {"Command3", "Form2", "avaa...", 2400, 980, 735, 285},
                        {"Command1", "Form2", "O.K", 120, 1440, 855, 255},
                    });
        QCOMPARE(ui::form2().windowTitle(), QStringLiteral("Uusi"));
    }

    void areaDialog()
    {
        checkPlaces(ui::form3(), 2190, 3000,
                    {
                        {"Label3", "Form3", "Kehys:", 120, 120, 555, 210, true},
                        {"kehys", "Form3", "0", 120, 360, 1935, 285},
                        {"labeli", "Form3", "Linkki:", 120, 720, 555, 210, true},
                        {"linkki", "Form3", "linkki.html", 120, 960, 1935, 285},
                        {"Label1", "Form3", "Alt:", 120, 1320, 270, 210, true},
                        {"alt", "Form3", "teksti", 120, 1560, 1935, 285},
                        {"Label4", "Form3", "Kohde:", 120, 1920, 570, 210, true},
                        {"kohde", "Form3", "oikea", 120, 2160, 1935, 285},
                        {"Command1", "Form3", "O.K", 120, 2640, 855, 255},
                        {"Command2", "Form3", "Peruuta", 1080, 2640, 975, 255},
                    });
        QCOMPARE(ui::form3().windowTitle(), QStringLiteral("Options"));
    }

    void pictureChooser()
    {
        const QString start = QDir::toNativeSeparators(QDir::currentPath());
        checkPlaces(ui::form4(), 6015, 5370,
                    {
                        {"Drive1", "Form4", "", 120, 120, 2775, 315},
                        {"Dir1", "Form4", "", 120, 520, 2775, 4140},
                        {"File1", "Form4", "", 3000, 500, 2895, 4185},
                        {"Text1", "Form4", "*.jpeg;*.jpg;*.gif", 3000, 120, 2850, 315},
                        {"Frame1", "Form4", "", 3000, 4680, 2895, 615},
                        {"Frame2", "Form4", "", 120, 4680, 2775, 615},
                        {"avaa", "Frame2", "Avaa", 120, 240, 1215, 255},
                        {"peruuta", "Frame2", "Peruuta", 1440, 240, 1215, 255},
                    });
        // The path field starts on the start folder, so its text is checked apart.
        const auto *tiedosto = ui::form4().tiedosto();
        QCOMPARE(tiedosto->parentWidget(), ui::form4().Frame1());
        QCOMPARE(tiedosto->geometry(), twipsRect(120, 240, 2655, 285));
        QCOMPARE(tiedosto->text(), platform::composePath(start, QString()));
        QCOMPARE(ui::form4().windowTitle(), QStringLiteral("Valitse kuvatiedosto"));
    }
};

QTEST_MAIN(TestLayout)
#include "test_layout.moc"
