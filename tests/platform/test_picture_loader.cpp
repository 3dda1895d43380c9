#include <QTest>

class TestPictureLoader : public QObject {
    Q_OBJECT
};

QTEST_MAIN(TestPictureLoader)
#include "test_picture_loader.moc"
