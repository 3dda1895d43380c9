#include <QTest>

class TestDrawingByMouse : public QObject {
    Q_OBJECT
};

QTEST_MAIN(TestDrawingByMouse)
#include "test_drawing_by_mouse.moc"
