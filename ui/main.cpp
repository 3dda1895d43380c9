#include "platform/clipboard.h"
#include "platform/modal.h"
#include "ui/form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.Zorvik"));
    // The tool buttons show the selected tool by their back colour, which Fusion draws on
    // every desktop.
    QApplication::setStyle(QStringLiteral("Fusion"));

    zorvik::ui::Form1 window;
    window.show();
    zorvik::platform::centreOnScreen(&window);
    const int status = app.exec();
    zorvik::platform::keepCopiedText();
    return status;
}
