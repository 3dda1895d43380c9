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
class KeyboardCursor;
} // namespace zorvik::platform

namespace zorvik::ui {

class MarkupBox;

// The main window: the canvas in the frame "Kuva", the command column "Valikko", the tool
// palette and the pointer read-out.
class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // The controls, named as the program calls them.
    QGroupBox *Frame1() const { return m_Frame1; }
    QPushButton *uusi() const { return m_uusi; }
    QPushButton *luo() const { return m_luo; }
    QPushButton *kopioi() const { return m_kopioi; }
    QPushButton *esikatselu() const { return m_esikatselu; }
    QPushButton *tietoa() const { return m_tietoa; }
    QPushButton *Lopeta() const { return m_Lopeta; }
    QGroupBox *Frame3() const { return m_Frame3; }
    QPushButton *neliö() const { return m_neliö; }
    QPushButton *ympyrä() const { return m_ympyrä; }
    QPushButton *vinkura() const { return m_vinkura; }
    QLabel *Label2() const { return m_Label2; }
    MarkupBox *koodi2() const { return m_koodi2; }
    QGroupBox *Frame2() const { return m_Frame2; }
    // Scrolls a picture larger than the frame, so that every part of it can be mapped.
    QScrollArea *Picture1Scroll() const { return m_Picture1Scroll; }
    platform::InvertCanvas *Picture1() const { return m_Picture1; }
    // Draws on the canvas from the keys.
    platform::KeyboardCursor *keyboard() const { return m_keyboard; }

    // The main window the dialogs work on.
    static Form1 *instance();

    // The window's outer size in twips, border and title bar included.
    double windowWidth() const;
    double windowHeight() const;
    void setWindowSize(double widthTwips, double heightTwips);

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
    QGroupBox *m_Frame1 = nullptr;
    QPushButton *m_uusi = nullptr;
    QPushButton *m_luo = nullptr;
    QPushButton *m_kopioi = nullptr;
    QPushButton *m_esikatselu = nullptr;
    QPushButton *m_tietoa = nullptr;
    QPushButton *m_Lopeta = nullptr;
    QGroupBox *m_Frame3 = nullptr;
    QPushButton *m_neliö = nullptr;
    QPushButton *m_ympyrä = nullptr;
    QPushButton *m_vinkura = nullptr;
    QLabel *m_Label2 = nullptr;
    MarkupBox *m_koodi2 = nullptr;
    QGroupBox *m_Frame2 = nullptr;
    QScrollArea *m_Picture1Scroll = nullptr;
    platform::InvertCanvas *m_Picture1 = nullptr;
    platform::KeyboardCursor *m_keyboard = nullptr;
    CanvasPoints m_points;

    // Runs once, when the window is made: the editor's start state and the canvas disabled.
    void Form_Load();
    void createControls();
    void createCommandColumn();
    void createToolPalette();
    void createCanvasFrame();
    void markSelectedTool(QPushButton *selected);
    void selectTool(QPushButton *button, Tool tool);

    class AreaDialogLauncher : public AreaDialog {
    public:
        void showModal() override;
    } m_areaDialog;
    std::unique_ptr<DrawingTools> m_tools;
};

} // namespace zorvik::ui
