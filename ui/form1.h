#pragma once

#include "core/drawing.h"
#include "core/editor_state.h"

#include <QWidget>

#include <memory>

class QGroupBox;
class QLabel;
class QPushButton;
class QScrollArea;

namespace zorvik::platform {
class InvertCanvas;
}

namespace zorvik::ui {

class MarkupBox;

// The main window: the canvas in the frame "Kuva", the command column "Valikko", the tool
// palette and the pointer read-out.
class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // The main window the dialogs work on.
    static Form1 *instance();

    QGroupBox *Frame1;
    QPushButton *uusi;
    QPushButton *luo;
    QPushButton *kopioi;
    QPushButton *esikatselu;
    QPushButton *tietoa;
    QPushButton *Lopeta;
    QGroupBox *Frame3;
    QPushButton *neliö;
    QPushButton *ympyrä;
    QPushButton *vinkura;
    QLabel *Label2;
    MarkupBox *koodi2;
    QGroupBox *Frame2;
    // Scrolls a picture larger than the frame, so that every part of it can be mapped.
    QScrollArea *Picture1Scroll;
    platform::InvertCanvas *Picture1;

    CanvasPoints points;

    // The window's outer size in twips, border and title bar included.
    double windowWidth() const;
    double windowHeight() const;
    void setWindowSize(double widthTwips, double heightTwips);

    void Form_Load();
    void Form_Resize();
    void Form_Unload();

    void uusi_Click();
    void luo_Click();
    void kopioi_Click();
    void tietoa_Click();
    void Lopeta_Click();
    void neliö_Click();
    void ympyrä_Click();
    void vinkura_Click();

    void Picture1_MouseDown(int button, int shift, float x, float y);
    void Picture1_MouseMove(int button, int shift, float x, float y);
    void Picture1_MouseUp(int button, int shift, float x, float y);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createControls();
    void setToolColours(QPushButton *selected);

    class AreaDialogLauncher : public AreaDialog {
    public:
        void showModal() override;
    } m_areaDialog;
    std::unique_ptr<DrawingTools> m_tools;
};

} // namespace zorvik::ui
