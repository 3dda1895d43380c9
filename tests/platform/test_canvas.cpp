#include <QTest>

class TestCanvas : public QObject {
    Q_OBJECT
};

QTEST_MAIN(TestCanvas)
#include "test_canvas.moc"
