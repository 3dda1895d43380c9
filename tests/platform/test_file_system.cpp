#include <QTest>

class TestFileSystem : public QObject {
    Q_OBJECT
};

QTEST_MAIN(TestFileSystem)
#include "test_file_system.moc"
