#include <QTest>

class TestForm3 : public QObject {
    Q_OBJECT
};

QTEST_MAIN(TestForm3)
#include "test_form3.moc"
