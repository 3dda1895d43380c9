#include <QTest>

class TestEditorState : public QObject {
    Q_OBJECT
};

QTEST_APPLESS_MAIN(TestEditorState)
#include "test_editor_state.moc"
