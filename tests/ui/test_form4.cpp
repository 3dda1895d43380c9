#include <QTest>

class TestForm4 : public QObject {
    Q_OBJECT
};

QTEST_MAIN(TestForm4)
#include "test_form4.moc"
