#include <QTest>

class TestDrawing : public QObject {
    Q_OBJECT
};

QTEST_APPLESS_MAIN(TestDrawing)
#include "test_drawing.moc"
