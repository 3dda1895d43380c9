#include <QTest>

class TestForm2 : public QObject {
    Q_OBJECT
};

QTEST_MAIN(TestForm2)
#include "test_form2.moc"
