// Draws the program's own pictures: the window icons and the tool button pictures.
// Run from the source tree's top: make-pictures ui/pictures

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

namespace {

QImage transparent(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

QImage wordIcon(int size)
{
    QImage image = transparent(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setBold(true);
    font.setPixelSize(size * 30 / 100);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, 0, size, size), Qt::AlignCenter, QStringLiteral("Zorvik"));
    return image;
}

QImage toolPicture(void (*draw)(QPainter &))
{
    QImage image = transparent(32);
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    draw(painter);
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    bool ok = true;
    for (int size : {48, 96, 256})
        ok &= wordIcon(size).save(folder + QStringLiteral("/zorvik-%1.png").arg(size));
    ok &= toolPicture([](QPainter &p) {
              p.drawRect(7, 7, 18, 18);
          }).save(folder + QStringLiteral("/nelio.png"));
    ok &= toolPicture([](QPainter &p) {
              p.setRenderHint(QPainter::Antialiasing);
              p.drawEllipse(QPointF(16, 16), 9.5, 9.5);
          }).save(folder + QStringLiteral("/ympyra.png"));
    ok &= toolPicture([](QPainter &p) {
              const QPolygon zigzag({{6, 8},
                                     {13, 13},
                                     {18, 6},
                                     {26, 11},
                                     {22, 18},
                                     {26, 26},
                                     {15, 22},
                                     {8, 26},
                                     {10, 17}});
              p.drawPolygon(zigzag);
          }).save(folder + QStringLiteral("/vinkura.png"));
    return ok ? 0 : 1;
}
