#include <QTest>

class TestMarkup : public QObject {
    Q_OBJECT
};

QTEST_APPLESS_MAIN(TestMarkup)
#include "test_markup.moc"
