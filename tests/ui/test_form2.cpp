#include "platform/canvas/canvas.h"
#include "platform/message_box.h"
#include "platform/modal.h"
#include "platform/twips.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/markup_box.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

#include <memory>

using namespace zorvik;
using platform::ShownMessage;
using ui::Form1;
using ui::Form2;
using ui::form2;

namespace {

QString dataFile(const char *name)
{
    return QStringLiteral(ZORVIK_TEST_DATA "/") + QLatin1String(name);
}

QByteArray jpegBytes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(20, 120, 60));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "jpeg").write(image);
    return bytes;
}

// Everything about the canvas that "O.K" may change.
struct CanvasLook {
    QImage picture;
    QSize size;
    bool autoSize, enabled;

    static CanvasLook of(const platform::InvertCanvas &canvas)
    {
        return {canvas.picture(), canvas.size(), canvas.autoSize(), canvas.isEnabled()};
    }
    bool operator==(const CanvasLook &) const = default;
};

bool isArialBold(const QFont &font)
{
    return font.family() == QStringLiteral("Arial") && font.bold() && font.pointSizeF() == 8.25;
}

} // namespace

class TestForm2 : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> m_main;
    QTemporaryDir m_dir;
    std::vector<ShownMessage> m_messages;

    platform::InvertCanvas &canvas() { return *m_main->Picture1(); }

    QString write(const char *name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(QLatin1String(name));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_main = std::make_unique<Form1>();
        m_main->show();
        platform::recordMessagesInto(&m_messages);
    }

    void cleanupTestCase()
    {
        platform::recordMessagesInto(nullptr);
        m_main.reset();
    }

    void init() { m_messages.clear(); }

    void cleanup()
    {
        platform::setModalDriver({});
        form2().hide();
    }

    void dialogStartsWithItsInitialTexts()
    {
        const Form2 form;
        QCOMPARE(form.nimi()->text(), QStringLiteral("nimetön"));
        QCOMPARE(form.kuva()->text(), QStringLiteral("kuva"));
        QCOMPARE(form.Label1()->text(), QStringLiteral("Mapin nimi:"));
        QCOMPARE(form.Label2()->text(), QStringLiteral("Kuva:"));
        QCOMPARE(form.Command3()->text(), QStringLiteral("avaa..."));
        QCOMPARE(form.Command1()->text(), QStringLiteral("O.K"));
        QCOMPARE(form.objectName(), QStringLiteral("Form2"));
        QCOMPARE(form.kuva()->objectName(), QStringLiteral("kuva"));
    }

    void windowIsAFixedDialog()
    {
        const Form2 &form = form2();
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(!(form.windowFlags() & Qt::WindowMinMaxButtonsHint));
        QVERIFY(form.windowFlags() & Qt::WindowCloseButtonHint);
        QVERIFY(!form.windowIcon().isNull());
    }

    void labelsAndButtonsAreBoldArial()
    {
        const Form2 &form = form2();
        for (const QWidget *w : {static_cast<const QWidget *>(form.Label1()),
                                 static_cast<const QWidget *>(form.Label2()),
                                 static_cast<const QWidget *>(form.Command1()),
                                 static_cast<const QWidget *>(form.Command3())})
            QVERIFY2(isArialBold(w->font()), qPrintable(w->objectName()));
        QVERIFY(!isArialBold(form.nimi()->font()));
    }

    void nameFieldComesFirstInTabOrder()
    {
        Form2 &form = form2();
        QList<QWidget *> order;
        QWidget *w = form.nimi();
        do {
            if (w->focusPolicy() & Qt::TabFocus && w->window() == &form)
                order.append(w);
            w = w->nextInFocusChain();
        } while (w != form.nimi());
        QCOMPARE(order,
                 (QList<QWidget *>{form.nimi(), form.kuva(), form.Command3(), form.Command1()}));
        platform::setModalDriver([&](QDialog *) { QCOMPARE(form.focusWidget(), form.nimi()); });
        platform::showModal(&form, nullptr);
    }

    void enterAndEscapePressNoButton()
    {
        Form2 &form = form2();
        QVERIFY(!form.Command1()->autoDefault() && !form.Command3()->autoDefault());
        QVERIFY(!form.Command1()->isDefault() && !form.Command3()->isDefault());
        form.kuva()->setText(dataFile("ruudut.gif"));
        const CanvasLook before = CanvasLook::of(canvas());
        form.show();
        QTest::keyClick(form.kuva(), Qt::Key_Return);
        QTest::keyClick(form.Command1(), Qt::Key_Enter);
        QTest::keyClick(form.nimi(), Qt::Key_Escape);
        QVERIFY(form.isVisible());
        QVERIFY(CanvasLook::of(canvas()) == before);
    }

    void emptyPathDoesNothing()
    {
        Form2 &form = form2();
        form.kuva()->clear();
        const CanvasLook before = CanvasLook::of(canvas());
        form.show();
        QTest::mouseClick(form.Command1(), Qt::LeftButton);
        QVERIFY(form.isVisible());
        QVERIFY(m_messages.empty());
        QVERIFY(CanvasLook::of(canvas()) == before);
    }

    void validGifIsShownAtNaturalSize()
    {
        Form2 &form = form2();
        form.nimi()->setText(QStringLiteral("Ruudut"));
        form.kuva()->setText(dataFile("ruudut.gif"));
        form.show();
        QTest::mouseClick(form.Command1(), Qt::LeftButton);

        QVERIFY(m_messages.empty());
        QVERIFY(!form.isVisible());
        QCOMPARE(canvas().picture().size(), QSize(8, 6));
        QCOMPARE(canvas().picture().pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(canvas().picture().pixel(7, 5), qRgb(0, 0, 255));
        QVERIFY(canvas().autoSize());
        QCOMPARE(canvas().size(), QSize(8, 6));
        QVERIFY(canvas().isEnabled());
        QCOMPARE(form.nimi()->text(), QStringLiteral("Ruudut"));
    }

    void transparentGifReplacesThePicture()
    {
        Form2 &form = form2();
        form.kuva()->setText(dataFile("puoliksi-lapinakyva.gif"));
        form.Command1_Click();
        QCOMPARE(canvas().picture().size(), QSize(6, 4));
        QCOMPARE(canvas().picture().pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(canvas().size(), QSize(6, 4));
    }

    void unloadablePictureIsReportedAndNothingChanges_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << m_dir.filePath(QStringLiteral("ei-ole.jpg"))
                                 << "Tiedostoa ei löydy";
        QTest::newRow("empty") << write("tyhja.jpg", {}) << "tyhjä";
        QTest::newRow("text named jpg")
            << write("teksti.jpg", "Tämä on tekstiä, ei kuva.\n") << "ei ole kuva";
        QTest::newRow("jpeg cut inside its header")
            << write("katkennut.jpg", jpegBytes(50, 40).left(30)) << "rikki";
        QTest::newRow("folder, as a chooser left without a file gives")
            << QDir::toNativeSeparators(m_dir.path()) + QDir::separator() << "kansio";
    }
    void unloadablePictureIsReportedAndNothingChanges()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        Form2 &form = form2();
        form.kuva()->setText(dataFile("ruudut.gif"));
        form.Command1_Click();
        form.nimi()->setText(QStringLiteral("Kartta"));
        form.kuva()->setText(path);
        const CanvasLook before = CanvasLook::of(canvas());
        form.show();

        QTest::mouseClick(form.Command1(), Qt::LeftButton);

        QCOMPARE(m_messages.size(), size_t(1));
        QCOMPARE(m_messages[0].title, QStringLiteral("Virhe"));
        QCOMPARE(m_messages[0].icon, platform::MessageIcon::Critical);
        QVERIFY2(m_messages[0].text.contains(reason), qPrintable(m_messages[0].text));
        QVERIFY2(m_messages[0].text.contains(QDir::toNativeSeparators(path)),
                 qPrintable(m_messages[0].text));
        QVERIFY(form.isVisible());
        QCOMPARE(form.nimi()->text(), QStringLiteral("Kartta"));
        QCOMPARE(form.kuva()->text(), path);
        QVERIFY(CanvasLook::of(canvas()) == before);
    }

    // A photo cut short in its data still shows at its full size: the part that arrived as
    // drawn, the rest an opaque grey, so the user can map it or pick another file.
    void jpegCutInItsDataShowsWhatArrived()
    {
        const QByteArray jpeg = jpegBytes(300, 200);
        Form2 &form = form2();
        form.kuva()->setText(write("vajaa.jpg", jpeg.left(jpeg.size() / 2)));
        form.show();
        form.Command1_Click();
        QVERIFY(m_messages.empty());
        QVERIFY(!form.isVisible());
        const QImage shown = canvas().picture();
        QCOMPARE(shown.size(), QSize(300, 200));
        QVERIFY(canvas().isEnabled());
        const QColor top = shown.pixelColor(150, 5);
        QVERIFY2(std::abs(top.red() - 20) < 8 && std::abs(top.green() - 120) < 8 &&
                     std::abs(top.blue() - 60) < 8,
                 qPrintable(top.name()));
        for (int y = 0; y < shown.height(); y += 7)
            QCOMPARE(qAlpha(shown.pixel(299, y)), 255);
    }

    void uusiResetsTheMarkupEvenWhenTheDialogIsClosed()
    {
        Form2 &form = form2();
        form.kuva()->setText(dataFile("ruudut.gif"));
        form.Command1_Click();
        m_main->koodi2()->appendArea(markup::Shape::Rect, "1,2,3,4", {"a.html", "oikea", "A"}, [] {
            return markup::Header{"ruudut.gif", "Ruudut", "0"};
        });
        m_main->luo()->setEnabled(true);
        m_main->kopioi()->setEnabled(true);
        const CanvasLook before = CanvasLook::of(canvas());
        bool shown = false;
        platform::setModalDriver([&](QDialog *dialog) {
            shown = dialog == &form && form.isVisible();
            dialog->close();
        });

        m_main->uusi_Click();

        QVERIFY(shown);
        QVERIFY(m_main->koodi2()->text().empty());
        QVERIFY(!m_main->luo()->isEnabled());
        QVERIFY(!m_main->kopioi()->isEnabled());
        QVERIFY(CanvasLook::of(canvas()) == before);
    }

    void fieldsAreKeptBetweenShowings()
    {
        Form2 &form = form2();
        platform::setModalDriver([&](QDialog *) {
            form.nimi()->setText(QStringLiteral("Kylä"));
            form.kuva()->setText(QStringLiteral("kyla.gif"));
            form.close();
        });
        m_main->uusi_Click();

        QString nameShown, pathShown;
        platform::setModalDriver([&](QDialog *dialog) {
            QCOMPARE(dialog, &form);
            nameShown = form.nimi()->text();
            pathShown = form.kuva()->text();
        });
        m_main->uusi_Click();
        QCOMPARE(nameShown, QStringLiteral("Kylä"));
        QCOMPARE(pathShown, QStringLiteral("kyla.gif"));
    }

    void wholeRoadFromUusiToTheCanvas()
    {
        Form2 &form = form2();
        platform::setModalDriver([&](QDialog *) {
            form.nimi()->clear();
            form.kuva()->setText(dataFile("ruudut.gif"));
            QTest::mouseClick(form.Command1(), Qt::LeftButton);
        });
        m_main->uusi_Click();
        QVERIFY(m_messages.empty());
        QVERIFY(!form.isVisible());
        QVERIFY(canvas().isEnabled());
        QCOMPARE(canvas().size(), QSize(8, 6));
        QCOMPARE(form.nimi()->text(), QString());
    }
};

QTEST_MAIN(TestForm2)
#include "test_form2.moc"
